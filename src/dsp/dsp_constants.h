#pragma once

#include <numbers>

namespace vb {

// Constants shared by the filters and the resamplers. The logarithms are the
// correctly rounded Double values, which is what the run-time library's ln()
// yields for these arguments.
inline constexpr double kLn2 = std::numbers::ln2;
inline constexpr double kHalfLn2 = std::numbers::ln2 / 2;
inline constexpr double kInvLn2 = 1 / std::numbers::ln2;
inline constexpr double kLn10 = std::numbers::ln10;
inline constexpr double kTwoPi = 2 * std::numbers::pi;
inline constexpr double kHalf64 = 0.5;
inline constexpr float kHalf32 = 0.5f;

// Anti-denormal offsets: added to signals that feed recursive filters so that
// their states never decay into the slow subnormal range.
inline constexpr float kDenorm32 = 1e-24f;
inline constexpr double kDenorm64 = 1e-34;

}  // namespace vb
