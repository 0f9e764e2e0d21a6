#pragma once
// Rounding to the nearest integer with ties to even, independent of the
// floating-point environment a host may have set.

#include <cmath>
#include <cstdint>
#include <limits>

namespace vb {

inline double RoundHalfToEven(double value) {
  const double rounded = std::round(value);  // ties away from zero
  if (std::fabs(value - std::trunc(value)) == 0.5) return 2.0 * std::round(value / 2.0);
  return rounded;
}

// Rounded and saturated to the 32-bit range; NaN gives 0.
inline std::int32_t RoundToInt32(double value) {
  if (std::isnan(value)) return 0;
  const double r = RoundHalfToEven(value);
  if (r <= double(std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
  if (r >= double(std::numeric_limits<std::int32_t>::max())) return std::numeric_limits<std::int32_t>::max();
  return std::int32_t(r);
}

}  // namespace vb
