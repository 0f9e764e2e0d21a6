#include "params/parameter_number_format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace vb {

namespace {

// std::to_chars is locale-independent and rounds exactly, unlike printf,
// which follows whatever LC_NUMERIC the host process has chosen.
std::string ToChars(double Value, std::chars_format Format, int Precision) {
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof(buf), Value, Format, Precision);
  return std::string(buf, res.ptr);
}

std::string ToChars(double Value, std::chars_format Format) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof(buf), Value, Format);
  return std::string(buf, res.ptr);
}

// Rewrites "1.235e+04" as mantissa, 'E', sign and at least MinExponentDigits
// exponent digits.
std::string WidenExponent(const std::string& Text, int MinExponentDigits) {
  auto e = Text.find('e');
  if (e == std::string::npos) return Text;
  std::string out = Text.substr(0, e) + 'E';
  std::string_view rest(Text.c_str() + e + 1);
  char sign = '+';
  if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
    sign = rest[0];
    rest.remove_prefix(1);
  }
  while (rest.size() > 1 && rest[0] == '0') rest.remove_prefix(1);
  out += sign;
  for (int i = static_cast<int>(rest.size()); i < MinExponentDigits; ++i) out += '0';
  out += rest;
  return out;
}

std::string UseSeparator(std::string Text, char DecimalSeparator) {
  for (char& c : Text)
    if (c == '.') c = DecimalSeparator;
  return Text;
}

}  // namespace

double RoundHalfEven(double Value) {
  if (!std::isfinite(Value)) return Value;
  double lower = std::floor(Value);
  double diff = Value - lower;
  if (diff < 0.5) return lower;
  if (diff > 0.5) return lower + 1.0;
  return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::string FormatParameterNumber(double Value, int Digits, char DecimalSeparator) {
  if (std::isnan(Value)) return "NaN";
  if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
  if (Digits < 0) {
    // Shortest text that reads back to the same value, capped at 15 digits.
    std::string shortest = ToChars(Value, std::chars_format::general);
    std::string capped = ToChars(Value, std::chars_format::general, 15);
    std::string text = shortest.size() <= capped.size() ? shortest : capped;
    if (text == "-0") text = "0";
    return UseSeparator(WidenExponent(text, 0), DecimalSeparator);
  }
  // First round to Digits decimal places (exact decimal rounding, ties to
  // even), read back to the nearest double, then keep Digits significant digits.
  std::string fixed = ToChars(Value, std::chars_format::fixed, Digits);
  double rounded = 0.0;
  std::from_chars(fixed.data(), fixed.data() + fixed.size(), rounded);
  if (rounded == 0.0) return "0";  // also folds -0 into 0
  int precision = Digits > 0 ? Digits : 1;
  std::string text = ToChars(rounded, std::chars_format::general, precision);
  return UseSeparator(WidenExponent(text, Digits), DecimalSeparator);
}

}  // namespace vb
