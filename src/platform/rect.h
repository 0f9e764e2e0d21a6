#pragma once
// Integer rectangles and points in pixel coordinates (X to the right, Y down).
// Right and Bottom are exclusive: a rectangle covers columns Left..Right-1
// and rows Top..Bottom-1.

#include <algorithm>
#include <cstdint>

namespace vb {

struct TPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;

  constexpr std::int32_t Width() const { return Right - Left; }
  constexpr std::int32_t Height() const { return Bottom - Top; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Rect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  return TRect{left, top, right, bottom};
}

// The overlap of two rectangles; empty (Right <= Left or Bottom <= Top) when
// they do not meet.
constexpr TRect Intersection(const TRect& a, const TRect& b) {
  return TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
               std::min(a.Bottom, b.Bottom)};
}

constexpr bool Intersects(const TRect& a, const TRect& b) { return !Intersection(a, b).IsEmpty(); }

}  // namespace vb
