#pragma once
// Shapes for the artwork generator, described by signed distance: negative
// inside, positive outside, in pixels. A distance field gives antialiased
// edges (coverage = 0.5 - distance), soft shadows (a wider ramp) and bevels
// (rings at a distance) from one description. Coordinates are in pixels
// with (0, 0) at the top-left corner of the top-left pixel.

#include <functional>
#include <vector>

namespace vb::artwork {

struct TVec {
  double X = 0;
  double Y = 0;
};

struct TBox {
  double Left = 0;
  double Top = 0;
  double Right = 0;
  double Bottom = 0;
};

class TShape {
 public:
  using TDistance = std::function<double(double X, double Y)>;
  TShape(TDistance Distance, TBox Bounds) : FDistance(std::move(Distance)), FBounds(Bounds) {}

  double Distance(double X, double Y) const { return FDistance(X, Y); }
  // A box outside of which the shape has no ink (distance >= 0.5).
  const TBox& Bounds() const { return FBounds; }

  // The same shape moved by (Dx, Dy).
  TShape Moved(double Dx, double Dy) const;
  // Grown outwards by Amount pixels (shrunk for a negative amount).
  TShape Grown(double Amount) const;
  // The band of Width pixels centred on the outline.
  TShape Outline(double Width) const;

 private:
  TDistance FDistance;
  TBox FBounds;
};

TShape Circle(double Cx, double Cy, double Radius);
TShape RoundRect(double Left, double Top, double Right, double Bottom, double Radius);
// A line with round caps, Width pixels thick.
TShape Capsule(TVec From, TVec To, double Width);
// A closed polygon (non-zero winding); corners stay sharp.
TShape Polygon(std::vector<TVec> Points);
TShape Union(const TShape& A, const TShape& B);
TShape Intersect(const TShape& A, const TShape& B);
TShape Subtract(const TShape& A, const TShape& B);

}  // namespace vb::artwork
