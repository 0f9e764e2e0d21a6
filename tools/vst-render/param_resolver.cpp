#include "param_resolver.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace vb {

namespace {

constexpr int kGridSteps = 200;       // coarse scan of the normalised range
constexpr int kBisectSteps = 40;      // halvings of a bracket (2^-40 of the range)
constexpr int kSwitchScanSteps = 64;  // a switch shows its settings on this grid
// Words of an on/off label: "on" is the setting at the top of the range,
// "off" the one that shows 0.
constexpr const char* kOnWords[] = {"on", "yes", "true", "enabled"};
constexpr const char* kOffWords[] = {"off", "no", "false", "disabled"};

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
  return !tail.empty() && s.size() >= tail.size() && Lower(s.substr(s.size() - tail.size())) == Lower(tail);
}

// Text comparison the user expects: blanks, letter case and a trailing unit
// label do not matter.
std::string Canonical(const std::string& text, const std::string& label) {
  std::string t = Trim(text);
  if (EndsWithNoCase(t, Trim(label))) t = Trim(t.substr(0, t.size() - Trim(label).size()));
  return Lower(t);
}

std::string FormatNearest(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

std::string UnknownParameter(const std::string& name) {
  return "unknown parameter '" + name + "' (vst-render --list-params shows the names)";
}

bool NumbersEqual(double a, double b) {
  if (std::isinf(a) || std::isinf(b)) return a == b;
  return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::max(std::fabs(a), std::fabs(b)));
}

}  // namespace

bool TParamResolver::ParseNumber(const std::string& text, const std::string& label, double& value) {
  std::string t = Trim(text);
  std::string l = Trim(label);
  if (EndsWithNoCase(t, l)) t = Trim(t.substr(0, t.size() - l.size()));
  std::replace(t.begin(), t.end(), ',', '.');
  if (t.empty()) return false;
  char* end = nullptr;
  double v = std::strtod(t.c_str(), &end);
  if (end == t.c_str() || std::isnan(v)) return false;
  // Anything after the number may only be a unit the plug-in did not label.
  for (const char* p = end; *p; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (!(std::isalpha(c) || c == ' ' || c == '%' || c == '/' || c == '*')) return false;
  }
  value = v;
  return true;
}

int TParamResolver::Find(const std::string& nameOrIndex) {
  const int n = FAccess.Count();
  const std::string wanted = Trim(nameOrIndex);
  for (int i = 0; i < n; ++i)
    if (Trim(FAccess.Name(i)) == wanted) return i;
  for (int i = 0; i < n; ++i)
    if (Lower(Trim(FAccess.Name(i))) == Lower(wanted)) return i;
  if (!wanted.empty() && std::all_of(wanted.begin(), wanted.end(), [](unsigned char c) { return std::isdigit(c); })) {
    long idx = std::strtol(wanted.c_str(), nullptr, 10);
    if (wanted.size() < 10 && idx < n) return static_cast<int>(idx);
  }
  return -1;
}

bool TParamResolver::IsSwitch(int index) {
  const TParamRestore restore(FAccess, index);
  const std::string label = FAccess.Label(index);
  std::vector<std::string> seen;
  for (int k = 0; k <= kSwitchScanSteps && static_cast<int>(seen.size()) <= kMaxSwitchSettings; ++k) {
    FAccess.Set(index, static_cast<float>(k) / kSwitchScanSteps);
    const std::string text = Canonical(FAccess.Display(index), label);
    if (std::find(seen.begin(), seen.end(), text) == seen.end()) seen.push_back(text);
  }
  return static_cast<int>(seen.size()) <= kMaxSwitchSettings;
}

bool TParamResolver::ApplyOrder(const std::vector<TParamRequest>& requests, std::vector<size_t>& order,
                                std::string& error) {
  std::vector<size_t> switches, continuous;
  for (size_t k = 0; k < requests.size(); ++k) {
    const int index = Find(requests[k].Name);
    if (index < 0) {
      error = UnknownParameter(requests[k].Name);
      return false;
    }
    (IsSwitch(index) ? switches : continuous).push_back(k);
  }
  order = switches;
  order.insert(order.end(), continuous.begin(), continuous.end());
  return true;
}

bool TParamResolver::Apply(const TParamRequest& request, bool normalised, TParamSetting& result, std::string& error) {
  int index = Find(request.Name);
  if (index < 0) {
    error = UnknownParameter(request.Name);
    return false;
  }
  const std::string name = Trim(FAccess.Name(index));
  float x = 0.0f;
  if (normalised) {
    double v = 0;
    if (!ParseNumber(request.Value, "", v) || v < 0.0 || v > 1.0) {
      error = "parameter '" + name + "' needs a normalised value from 0 to 1, not '" + request.Value + "'";
      return false;
    }
    x = static_cast<float>(v);
  } else {
    // A word of the unit label (On/Off, 1x/8x/16x) stands for the setting
    // that shows it, when the plug-in's own parser does not take it.
    const std::string word = LabelWordValue(index, request.Value);
    if (word.empty() && !CheckNumberForm(index, request.Value, error)) return false;
    if (FromPluginText(index, request.Value))
      x = FAccess.Get(index);
    else if (!SearchByDisplay(index, word.empty() ? request.Value : word, x, error))
      return false;
  }
  FAccess.Set(index, x);
  result.Index = index;
  result.Normalised = FAccess.Get(index);
  result.Display = Trim(FAccess.Display(index));
  return true;
}

std::string TParamResolver::LabelWordValue(int index, const std::string& value) {
  const std::string label = FAccess.Label(index);
  if (label.find('/') == std::string::npos || !IsSwitch(index)) return {};
  const std::string want = Lower(Trim(value));
  bool listed = false;
  for (size_t start = 0; start <= label.size() && !listed;) {
    const size_t slash = std::min(label.find('/', start), label.size());
    listed = Lower(Trim(label.substr(start, slash - start))) == want;
    start = slash + 1;
  }
  if (!listed || want.empty()) return {};
  char* end = nullptr;
  const double number = std::strtod(want.c_str(), &end);
  if (end != want.c_str()) return FormatNearest(number);  // "16x": the setting that shows 16
  std::string top;
  {
    const TParamRestore restore(FAccess, index);
    FAccess.Set(index, 1.0f);
    top = Trim(FAccess.Display(index));
  }
  for (const char* on : kOnWords)
    if (want == on) return top;
  for (const char* off : kOffWords)
    if (want == off) return "0";
  return {};
}

bool TParamResolver::FromPluginText(int index, const std::string& value) {
  const float before = FAccess.Get(index);
  if (!FAccess.FromString(index, value)) return false;
  // A number is the plug-in's to read; a word counts only when the plug-in
  // then shows it (some parse "On" as the number 0).
  double number = 0;
  const std::string label = FAccess.Label(index);
  if (ParseNumber(value, label, number) || Canonical(FAccess.Display(index), label) == Canonical(value, label))
    return true;
  FAccess.Set(index, before);
  return false;
}

bool TParamResolver::CheckNumberForm(int index, const std::string& value, std::string& error) {
  const std::string name = Trim(FAccess.Name(index));
  std::string t = Trim(value);
  const size_t digits = t.find_first_not_of("+-");
  if (digits != std::string::npos && Lower(t.substr(digits, 2)) == "0x") {
    error = "value '" + value + "' of '" + name + "' is hexadecimal; give it as a decimal number";
    return false;
  }
  std::string dotted = t;
  std::replace(dotted.begin(), dotted.end(), ',', '.');
  char* end = nullptr;
  (void)std::strtod(dotted.c_str(), &end);
  if (end == dotted.c_str()) return true;  // no number: a word the display may show
  const std::string after = t.substr(static_cast<size_t>(end - dotted.c_str()));
  const std::string label = FAccess.Label(index);
  const std::string suffix = Canonical(after, label);
  if (suffix.empty()) return true;
  // A unit the plug-in shows without labelling it (16x) is fine; others
  // (3k, 5m) would be read as the bare number.
  bool shown = false;
  {
    const TParamRestore restore(FAccess, index);
    for (int k = 0; k <= kSwitchScanSteps && !shown; ++k) {
      FAccess.Set(index, static_cast<float>(k) / kSwitchScanSteps);
      shown = EndsWithNoCase(Canonical(FAccess.Display(index), label), suffix);
    }
  }
  if (shown) return true;
  if (label.find('/') != std::string::npos) {
    error = "value '" + value + "' of '" + name + "' is none of its settings (" + Trim(label) + ")";
    return false;
  }
  error = "value '" + value + "' of '" + name + "' has a suffix '" + Trim(after) +
          "' that vst-render does not read; give a plain decimal number" +
          (Trim(label).empty() ? std::string() : " in " + Trim(label));
  return false;
}

double TParamResolver::DisplayNumber(int index, float x, const std::string& label) {
  FAccess.Set(index, x);
  double v = 0;
  return ParseNumber(FAccess.Display(index), label, v) ? v : std::numeric_limits<double>::quiet_NaN();
}

TParamResolver::TDisplayScan TParamResolver::ScanDisplays(int index, const std::string& label) {
  TDisplayScan scan;
  bool allNumbers = true;
  for (int k = 0; k <= kGridSteps; ++k) {
    const float x = static_cast<float>(k) / kGridSteps;
    FAccess.Set(index, x);
    const std::string t = FAccess.Display(index);
    double v = 0;
    const bool isNum = ParseNumber(t, label, v);
    allNumbers = allNumbers && isNum;
    scan.Xs.push_back(x);
    scan.Texts.push_back(t);
    scan.Numbers.push_back(isNum ? v : std::numeric_limits<double>::quiet_NaN());
  }
  const std::vector<double>& nums = scan.Numbers;
  scan.Increasing = allNumbers && nums.back() > nums.front();
  scan.Decreasing = allNumbers && nums.back() < nums.front();
  for (size_t k = 1; allNumbers && k < nums.size(); ++k) {
    scan.Increasing = scan.Increasing && nums[k] >= nums[k - 1];
    scan.Decreasing = scan.Decreasing && nums[k] <= nums[k - 1];
  }
  return scan;
}

bool TParamResolver::CheckInRange(const TDisplayScan& scan, const std::string& name, const std::string& value,
                                  const std::string& label, double target, std::string& error) {
  const double lo = std::min(scan.Numbers.front(), scan.Numbers.back());
  const double hi = std::max(scan.Numbers.front(), scan.Numbers.back());
  const bool below = target < lo && !NumbersEqual(target, lo), above = target > hi && !NumbersEqual(target, hi);
  if (!below && !above) return true;
  const std::string& first = scan.Texts[scan.Increasing ? 0 : kGridSteps];
  const std::string& last = scan.Texts[scan.Increasing ? kGridSteps : 0];
  error = "value '" + value + "' is " + (below ? "below" : "above") + " the range of '" + name + "' (" + Trim(first) +
          " .. " + Trim(last) + " " + Trim(label) + ")";
  return false;
}

bool TParamResolver::BisectTo(int index, const TDisplayScan& scan, const std::string& name, const std::string& value,
                              const std::string& label, double target, float& found, std::string& error) {
  // Two bisections over the normalised range: the first x that shows at
  // least the target and the first that shows more; between them the
  // display reads the target, and their middle is the value itself. Each
  // bisection also yields the last x below its edge.
  const double sign = scan.Increasing ? 1.0 : -1.0;
  struct TEdge {
    float Below, At;
  };
  auto firstWhere = [&](auto pred) {
    float a = 0.0f, b = 1.0f;
    if (pred(sign * DisplayNumber(index, a, label))) return TEdge{a, a};
    for (int s = 0; s < kBisectSteps; ++s) {
      float m = 0.5f * (a + b);
      if (m <= a || m >= b) break;
      if (pred(sign * DisplayNumber(index, m, label)))
        b = m;
      else
        a = m;
    }
    return TEdge{a, b};
  };
  const double t = sign * target;
  const TEdge atLeast = firstWhere([&](double v) { return v >= t || NumbersEqual(v, t); });
  const TEdge above = firstWhere([&](double v) { return v > t && !NumbersEqual(v, t); });
  const bool topShowsTarget = NumbersEqual(sign * DisplayNumber(index, 1.0f, label), t);
  if (atLeast.At == 0.0f) {
    found = 0.0f;  // the bottom end shows the target: take the end itself
  } else if (topShowsTarget) {
    found = 1.0f;
  } else if (above.At > atLeast.At) {
    found = 0.5f * (atLeast.At + above.At);
  } else {
    // No setting shows the target. Neighbours closer than a hundredth of
    // the range are display rounding: take the nearer one. A wider gap is
    // a stepped parameter that has no such step.
    const double up = DisplayNumber(index, atLeast.At, label);
    const double down = DisplayNumber(index, atLeast.Below, label);
    const double range = std::fabs(scan.Numbers.back() - scan.Numbers.front());
    if (std::fabs(up - down) > 0.01 * range) {
      error = "parameter '" + name + "' has no setting " + Trim(value) + " (the nearest are " + FormatNearest(down) +
              " and " + FormatNearest(up) + ")";
      return false;
    }
    found = std::fabs(up - target) <= std::fabs(down - target) ? atLeast.At : atLeast.Below;
  }
  return true;
}

bool TParamResolver::SearchByDisplay(int index, const std::string& value, float& found, std::string& error) {
  const TParamRestore restore(FAccess, index);
  const std::string label = FAccess.Label(index);
  const std::string name = Trim(FAccess.Name(index));
  const TDisplayScan scan = ScanDisplays(index, label);

  // A text shown somewhere on the scan: take the middle of its run.
  const std::string want = Canonical(value, label);
  for (size_t k = 0; k < scan.Texts.size(); ++k) {
    if (Canonical(scan.Texts[k], label) != want) continue;
    size_t last = k;
    while (last + 1 < scan.Texts.size() && Canonical(scan.Texts[last + 1], label) == want) ++last;
    found = 0.5f * (scan.Xs[k] + scan.Xs[last]);
    return true;
  }
  double target = 0;
  if (!(scan.Increasing || scan.Decreasing) || !ParseNumber(value, label, target)) {
    error = "parameter '" + name + "' never shows '" + value + "' (it shows e.g. '" + Trim(scan.Texts.front()) +
            "' .. '" + Trim(scan.Texts.back()) + "')";
    return false;
  }
  return CheckInRange(scan, name, value, label, target, error) &&
         BisectTo(index, scan, name, value, label, target, found, error);
}

}  // namespace vb
