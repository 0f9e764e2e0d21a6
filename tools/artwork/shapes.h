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
  using TDistance = std::function<double(double x, double y)>;
  TShape(TDistance distance, TBox bounds) : FDistance(std::move(distance)), FBounds(bounds) {}

  double Distance(double x, double y) const { return FDistance(x, y); }
  // A box outside of which the shape has no ink (distance >= 0.5).
  const TBox& Bounds() const { return FBounds; }

  // The same shape moved by (Dx, Dy).
  TShape Moved(double dx, double dy) const;
  // Grown outwards by Amount pixels (shrunk for a negative amount).
  TShape Grown(double amount) const;
  // The band of Width pixels centred on the outline.
  TShape Outline(double width) const;

 private:
  TDistance FDistance;
  TBox FBounds;
};

TShape Circle(double cx, double cy, double radius);
TShape RoundRect(double left, double top, double right, double bottom, double radius);
// A line with round caps, Width pixels thick.
TShape Capsule(TVec from, TVec to, double width);
// A closed polygon (non-zero winding); corners stay sharp.
TShape Polygon(std::vector<TVec> points);
TShape Union(const TShape& a, const TShape& b);
TShape Intersect(const TShape& a, const TShape& b);
TShape Subtract(const TShape& a, const TShape& b);

}  // namespace vb::artwork
