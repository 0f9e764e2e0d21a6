#pragma once
// The built-in parser that turns a host's text ("2.5 kHz", "1,5k") into a
// parameter value.

#include <string>

namespace vb {

// Trims blanks and control characters, removes the first occurrence of
// Units, reads the number (sign, digits, separators, exponent 'E') with
// DecimalSeparator and applies the first suffix found at or after the
// number's end: k 1000, K 1024, G 1048576, m 0.001, µ (byte 0xB5) 1e-6,
// c 0.01. Answers Value unchanged when there is no number, when it holds
// the other separator or does not read as a whole, or when the product is
// not finite.
float ParseParameterText(const std::string& Text, const std::string& Units, char DecimalSeparator, float Value);

}  // namespace vb
