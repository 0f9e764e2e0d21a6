#include "params/parameter_text_parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vb {

namespace {

struct TSuffix {
  char Letter;
  double Factor;
};

// Tested in this order; the first letter found at or after the number wins.
constexpr TSuffix kSuffixes[] = {{'k', 1e3}, {'K', 1024.0}, {'G', 1048576.0}, {'m', 1e-3}, {'\xB5', 1e-6}, {'c', 1e-2}};

std::string Trimmed(const std::string& Text) {
  std::size_t first = 0;
  std::size_t last = Text.size();
  while (first < last && static_cast<unsigned char>(Text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(Text[last - 1]) <= 32) --last;
  return Text.substr(first, last - first);
}

}  // namespace

float ParseParameterText(const std::string& Text, const std::string& Units, char DecimalSeparator, float Value) {
  std::string text = Trimmed(Text);
  if (!Units.empty()) {
    const auto unit = text.find(Units);
    if (unit != std::string::npos) text.erase(unit, Units.size());
  }
  // A sign, separator or digit starts the number; separators, digits and
  // the exponent letter continue it.
  const auto start = text.find_first_of("+,-.0123456789");
  if (start == std::string::npos) return Value;
  const auto stop = text.find_first_not_of(",.0123456789E", start + 1);
  const std::size_t end = stop == std::string::npos ? text.size() : stop;
  std::string number = text.substr(start, end - start);

  double multiplier = 1.0;
  for (const TSuffix& suffix : kSuffixes) {
    const auto at = text.find(suffix.Letter);
    if (at != std::string::npos && at >= end) {
      multiplier = suffix.Factor;
      break;
    }
  }

  // std::from_chars ignores the process locale; the user's separator is
  // mapped to the point and the other separator makes the text invalid.
  const char other = DecimalSeparator == ',' ? '.' : ',';
  if (number.find(other) != std::string::npos) return Value;
  std::replace(number.begin(), number.end(), DecimalSeparator, '.');
  if (!number.empty() && number[0] == '+') number.erase(0, 1);
  double parsed = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), parsed);
  if (result.ec != std::errc() || result.ptr != number.data() + number.size()) return Value;
  const double value = multiplier * parsed;
  if (!std::isfinite(value) || std::fabs(value) > 3.4028234663852886e38) return Value;
  return static_cast<float>(value);
}

}  // namespace vb
