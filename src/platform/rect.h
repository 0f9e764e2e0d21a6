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

constexpr TRect Rect(std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom) {
  return TRect{Left, Top, Right, Bottom};
}

// The overlap of two rectangles; empty (Right <= Left or Bottom <= Top) when
// they do not meet.
constexpr TRect Intersection(const TRect& A, const TRect& B) {
  return TRect{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
               std::min(A.Bottom, B.Bottom)};
}

constexpr bool Intersects(const TRect& A, const TRect& B) { return !Intersection(A, B).IsEmpty(); }

}  // namespace vb
