#pragma once
// Number texts of parameter values (display texts, host-extension queries).

#include <string>

namespace vb {

// Turns Value into a display text.
// Digits >= 0: rounds to Digits decimal places (ties to even), then writes at
//   most Digits significant digits in plain notation, without trailing zeros
//   and without a trailing separator (200, -15, 0.5, 12.35). Magnitudes with
//   more integer digits than Digits use an exponent of at least Digits digits
//   (1.235E+0004).
// Digits < 0: the shortest general form with up to 15 significant digits.
// DecimalSeparator replaces the point. Never reads the process locale.
// NaN and infinities give "NaN", "INF" and "-INF".
std::string FormatParameterNumber(double Value, int Digits, char DecimalSeparator);

// Rounds to the nearest integer, exact halves to the even neighbour,
// independent of the floating-point rounding mode the host may have set.
double RoundHalfEven(double Value);

}  // namespace vb
