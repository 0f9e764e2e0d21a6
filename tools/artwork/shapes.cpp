#include "shapes.h"

#include <algorithm>
#include <cmath>

namespace vb::artwork {
namespace {

constexpr double kEdge = 1.0;  // bounds margin for the antialiased edge, px

TBox Inflate(const TBox& box, double amount) {
  return TBox{box.Left - amount, box.Top - amount, box.Right + amount, box.Bottom + amount};
}

TBox Cover(const TBox& a, const TBox& b) {
  return TBox{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
              std::max(a.Bottom, b.Bottom)};
}

TBox Overlap(const TBox& a, const TBox& b) {
  return TBox{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
              std::min(a.Bottom, b.Bottom)};
}

double SegmentDistance(TVec p, TVec a, TVec b) {
  const double dx = b.X - a.X, dy = b.Y - a.Y;
  const double length2 = dx * dx + dy * dy;
  const double t = length2 > 0 ? std::clamp(((p.X - a.X) * dx + (p.Y - a.Y) * dy) / length2, 0.0, 1.0) : 0.0;
  return std::hypot(p.X - (a.X + t * dx), p.Y - (a.Y + t * dy));
}

}  // namespace

TShape TShape::Moved(double dx, double dy) const {
  TDistance distance = FDistance;
  return TShape([distance, dx, dy](double x, double y) { return distance(x - dx, y - dy); },
                TBox{FBounds.Left + dx, FBounds.Top + dy, FBounds.Right + dx, FBounds.Bottom + dy});
}

TShape TShape::Grown(double amount) const {
  TDistance distance = FDistance;
  return TShape([distance, amount](double x, double y) { return distance(x, y) - amount; },
                Inflate(FBounds, std::max(0.0, amount)));
}

TShape TShape::Outline(double width) const {
  TDistance distance = FDistance;
  const double half = width / 2;
  return TShape([distance, half](double x, double y) { return std::abs(distance(x, y)) - half; },
                Inflate(FBounds, half));
}

TShape Circle(double cx, double cy, double radius) {
  return TShape([cx, cy, radius](double x, double y) { return std::hypot(x - cx, y - cy) - radius; },
                Inflate(TBox{cx - radius, cy - radius, cx + radius, cy + radius}, kEdge));
}

TShape RoundRect(double left, double top, double right, double bottom, double radius) {
  const double cx = (left + right) / 2, cy = (top + bottom) / 2;
  const double hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
  return TShape(
      [=](double x, double y) {
        const double qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
        return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
      },
      Inflate(TBox{left, top, right, bottom}, kEdge));
}

TShape Capsule(TVec from, TVec to, double width) {
  const double half = width / 2;
  return TShape(
      [=](double x, double y) {
        return SegmentDistance(TVec{x, y}, from, to) - half;
      },
      Inflate(TBox{std::min(from.X, to.X), std::min(from.Y, to.Y), std::max(from.X, to.X), std::max(from.Y, to.Y)},
              half + kEdge));
}

TShape Polygon(std::vector<TVec> points) {
  TBox bounds{1e9, 1e9, -1e9, -1e9};
  for (const TVec& p : points) bounds = Cover(bounds, TBox{p.X, p.Y, p.X, p.Y});
  return TShape(
      [points = std::move(points)](double x, double y) {
        double nearest = 1e18;
        int winding = 0;
        for (std::size_t i = 0, n = points.size(); i < n; ++i) {
          const TVec a = points[i], b = points[(i + 1) % n];
          nearest = std::min(nearest, SegmentDistance(TVec{x, y}, a, b));
          if (a.Y <= y && b.Y > y && (b.X - a.X) * (y - a.Y) - (x - a.X) * (b.Y - a.Y) > 0) ++winding;
          if (a.Y > y && b.Y <= y && (b.X - a.X) * (y - a.Y) - (x - a.X) * (b.Y - a.Y) < 0) --winding;
        }
        return winding != 0 ? -nearest : nearest;
      },
      Inflate(bounds, kEdge));
}

TShape Union(const TShape& a, const TShape& b) {
  return TShape([a, b](double x, double y) { return std::min(a.Distance(x, y), b.Distance(x, y)); },
                Cover(a.Bounds(), b.Bounds()));
}

TShape Intersect(const TShape& a, const TShape& b) {
  return TShape([a, b](double x, double y) { return std::max(a.Distance(x, y), b.Distance(x, y)); },
                Overlap(a.Bounds(), b.Bounds()));
}

TShape Subtract(const TShape& a, const TShape& b) {
  return TShape([a, b](double x, double y) { return std::max(a.Distance(x, y), -b.Distance(x, y)); }, a.Bounds());
}

}  // namespace vb::artwork
