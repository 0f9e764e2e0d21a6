#include "shapes.h"

#include <algorithm>
#include <cmath>

namespace vb::artwork {
namespace {

constexpr double kEdge = 1.0;  // bounds margin for the antialiased edge, px

TBox Inflate(const TBox& Box, double Amount) {
  return TBox{Box.Left - Amount, Box.Top - Amount, Box.Right + Amount, Box.Bottom + Amount};
}

TBox Cover(const TBox& A, const TBox& B) {
  return TBox{std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
              std::max(A.Bottom, B.Bottom)};
}

TBox Overlap(const TBox& A, const TBox& B) {
  return TBox{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
              std::min(A.Bottom, B.Bottom)};
}

double SegmentDistance(TVec P, TVec A, TVec B) {
  const double dx = B.X - A.X, dy = B.Y - A.Y;
  const double length2 = dx * dx + dy * dy;
  const double t = length2 > 0 ? std::clamp(((P.X - A.X) * dx + (P.Y - A.Y) * dy) / length2, 0.0, 1.0) : 0.0;
  return std::hypot(P.X - (A.X + t * dx), P.Y - (A.Y + t * dy));
}

}  // namespace

TShape TShape::Moved(double Dx, double Dy) const {
  TDistance distance = FDistance;
  return TShape([distance, Dx, Dy](double X, double Y) { return distance(X - Dx, Y - Dy); },
                TBox{FBounds.Left + Dx, FBounds.Top + Dy, FBounds.Right + Dx, FBounds.Bottom + Dy});
}

TShape TShape::Grown(double Amount) const {
  TDistance distance = FDistance;
  return TShape([distance, Amount](double X, double Y) { return distance(X, Y) - Amount; },
                Inflate(FBounds, std::max(0.0, Amount)));
}

TShape TShape::Outline(double Width) const {
  TDistance distance = FDistance;
  const double half = Width / 2;
  return TShape([distance, half](double X, double Y) { return std::abs(distance(X, Y)) - half; },
                Inflate(FBounds, half));
}

TShape Circle(double Cx, double Cy, double Radius) {
  return TShape([Cx, Cy, Radius](double X, double Y) { return std::hypot(X - Cx, Y - Cy) - Radius; },
                Inflate(TBox{Cx - Radius, Cy - Radius, Cx + Radius, Cy + Radius}, kEdge));
}

TShape RoundRect(double Left, double Top, double Right, double Bottom, double Radius) {
  const double cx = (Left + Right) / 2, cy = (Top + Bottom) / 2;
  const double hx = (Right - Left) / 2 - Radius, hy = (Bottom - Top) / 2 - Radius;
  return TShape(
      [=](double X, double Y) {
        const double qx = std::abs(X - cx) - hx, qy = std::abs(Y - cy) - hy;
        return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - Radius;
      },
      Inflate(TBox{Left, Top, Right, Bottom}, kEdge));
}

TShape Capsule(TVec From, TVec To, double Width) {
  const double half = Width / 2;
  return TShape(
      [=](double X, double Y) {
        return SegmentDistance(TVec{X, Y}, From, To) - half;
      },
      Inflate(TBox{std::min(From.X, To.X), std::min(From.Y, To.Y), std::max(From.X, To.X), std::max(From.Y, To.Y)},
              half + kEdge));
}

TShape Polygon(std::vector<TVec> Points) {
  TBox bounds{1e9, 1e9, -1e9, -1e9};
  for (const TVec& p : Points) bounds = Cover(bounds, TBox{p.X, p.Y, p.X, p.Y});
  return TShape(
      [points = std::move(Points)](double X, double Y) {
        double nearest = 1e18;
        int winding = 0;
        for (std::size_t i = 0, n = points.size(); i < n; ++i) {
          const TVec a = points[i], b = points[(i + 1) % n];
          nearest = std::min(nearest, SegmentDistance(TVec{X, Y}, a, b));
          if (a.Y <= Y && b.Y > Y && (b.X - a.X) * (Y - a.Y) - (X - a.X) * (b.Y - a.Y) > 0) ++winding;
          if (a.Y > Y && b.Y <= Y && (b.X - a.X) * (Y - a.Y) - (X - a.X) * (b.Y - a.Y) < 0) --winding;
        }
        return winding != 0 ? -nearest : nearest;
      },
      Inflate(bounds, kEdge));
}

TShape Union(const TShape& A, const TShape& B) {
  return TShape([A, B](double X, double Y) { return std::min(A.Distance(X, Y), B.Distance(X, Y)); },
                Cover(A.Bounds(), B.Bounds()));
}

TShape Intersect(const TShape& A, const TShape& B) {
  return TShape([A, B](double X, double Y) { return std::max(A.Distance(X, Y), B.Distance(X, Y)); },
                Overlap(A.Bounds(), B.Bounds()));
}

TShape Subtract(const TShape& A, const TShape& B) {
  return TShape([A, B](double X, double Y) { return std::max(A.Distance(X, Y), -B.Distance(X, Y)); }, A.Bounds());
}

}  // namespace vb::artwork
