#pragma once
// Rounding to the nearest integer with ties to even, independent of the
// floating-point environment a host may have set.

#include <cmath>
#include <cstdint>
#include <limits>

namespace vb {

inline double RoundHalfToEven(double Value) {
  const double rounded = std::round(Value);  // ties away from zero
  if (std::fabs(Value - std::trunc(Value)) == 0.5) return 2.0 * std::round(Value / 2.0);
  return rounded;
}

// Rounded and saturated to the 32-bit range; NaN gives 0.
inline std::int32_t RoundToInt32(double Value) {
  if (std::isnan(Value)) return 0;
  const double r = RoundHalfToEven(Value);
  if (r <= double(std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
  if (r >= double(std::numeric_limits<std::int32_t>::max())) return std::numeric_limits<std::int32_t>::max();
  return std::int32_t(r);
}

}  // namespace vb
