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

std::string Trim(const std::string& S) {
  size_t b = 0, e = S.size();
  while (b < e && static_cast<unsigned char>(S[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(S[e - 1]) <= ' ') --e;
  return S.substr(b, e - b);
}

std::string Lower(std::string S) {
  std::transform(S.begin(), S.end(), S.begin(), [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
  return S;
}

bool EndsWithNoCase(const std::string& S, const std::string& Tail) {
  return !Tail.empty() && S.size() >= Tail.size() && Lower(S.substr(S.size() - Tail.size())) == Lower(Tail);
}

// Text comparison the user expects: blanks, letter case and a trailing unit
// label do not matter.
std::string Canonical(const std::string& Text, const std::string& Label) {
  std::string t = Trim(Text);
  if (EndsWithNoCase(t, Trim(Label))) t = Trim(t.substr(0, t.size() - Trim(Label).size()));
  return Lower(t);
}

std::string FormatNearest(double V) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", V);
  return buf;
}

std::string UnknownParameter(const std::string& Name) {
  return "unknown parameter '" + Name + "' (vst-render --list-params shows the names)";
}

bool NumbersEqual(double A, double B) {
  if (std::isinf(A) || std::isinf(B)) return A == B;
  return std::fabs(A - B) <= 1e-9 * std::max(1.0, std::max(std::fabs(A), std::fabs(B)));
}

}  // namespace

bool TParamResolver::ParseNumber(const std::string& Text, const std::string& Label, double& Value) {
  std::string t = Trim(Text);
  std::string l = Trim(Label);
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
  Value = v;
  return true;
}

int TParamResolver::Find(const std::string& NameOrIndex) {
  const int n = FAccess.Count();
  const std::string wanted = Trim(NameOrIndex);
  for (int i = 0; i < n; ++i)
    if (Trim(FAccess.Name(i)) == wanted) return i;
  for (int i = 0; i < n; ++i)
    if (Lower(Trim(FAccess.Name(i))) == Lower(wanted)) return i;
  if (!wanted.empty() && std::all_of(wanted.begin(), wanted.end(), [](unsigned char C) { return std::isdigit(C); })) {
    long idx = std::strtol(wanted.c_str(), nullptr, 10);
    if (wanted.size() < 10 && idx < n) return static_cast<int>(idx);
  }
  return -1;
}

bool TParamResolver::IsSwitch(int Index) {
  const TParamRestore restore(FAccess, Index);
  const std::string label = FAccess.Label(Index);
  std::vector<std::string> seen;
  for (int k = 0; k <= kSwitchScanSteps && static_cast<int>(seen.size()) <= kMaxSwitchSettings; ++k) {
    FAccess.Set(Index, static_cast<float>(k) / kSwitchScanSteps);
    const std::string text = Canonical(FAccess.Display(Index), label);
    if (std::find(seen.begin(), seen.end(), text) == seen.end()) seen.push_back(text);
  }
  return static_cast<int>(seen.size()) <= kMaxSwitchSettings;
}

bool TParamResolver::ApplyOrder(const std::vector<TParamRequest>& Requests, std::vector<size_t>& Order,
                                std::string& Error) {
  std::vector<size_t> switches, continuous;
  for (size_t k = 0; k < Requests.size(); ++k) {
    const int index = Find(Requests[k].Name);
    if (index < 0) {
      Error = UnknownParameter(Requests[k].Name);
      return false;
    }
    (IsSwitch(index) ? switches : continuous).push_back(k);
  }
  Order = switches;
  Order.insert(Order.end(), continuous.begin(), continuous.end());
  return true;
}

bool TParamResolver::Apply(const TParamRequest& Request, bool Normalised, TParamSetting& Result, std::string& Error) {
  int index = Find(Request.Name);
  if (index < 0) {
    Error = UnknownParameter(Request.Name);
    return false;
  }
  const std::string name = Trim(FAccess.Name(index));
  float x = 0.0f;
  if (Normalised) {
    double v = 0;
    if (!ParseNumber(Request.Value, "", v) || v < 0.0 || v > 1.0) {
      Error = "parameter '" + name + "' needs a normalised value from 0 to 1, not '" + Request.Value + "'";
      return false;
    }
    x = static_cast<float>(v);
  } else {
    // A word of the unit label (On/Off, 1x/8x/16x) stands for the setting
    // that shows it, when the plug-in's own parser does not take it.
    const std::string word = LabelWordValue(index, Request.Value);
    if (word.empty() && !CheckNumberForm(index, Request.Value, Error)) return false;
    if (FromPluginText(index, Request.Value))
      x = FAccess.Get(index);
    else if (!SearchByDisplay(index, word.empty() ? Request.Value : word, x, Error))
      return false;
  }
  FAccess.Set(index, x);
  Result.Index = index;
  Result.Normalised = FAccess.Get(index);
  Result.Display = Trim(FAccess.Display(index));
  return true;
}

std::string TParamResolver::LabelWordValue(int Index, const std::string& Value) {
  const std::string label = FAccess.Label(Index);
  if (label.find('/') == std::string::npos || !IsSwitch(Index)) return {};
  const std::string want = Lower(Trim(Value));
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
    const TParamRestore restore(FAccess, Index);
    FAccess.Set(Index, 1.0f);
    top = Trim(FAccess.Display(Index));
  }
  for (const char* on : kOnWords)
    if (want == on) return top;
  for (const char* off : kOffWords)
    if (want == off) return "0";
  return {};
}

bool TParamResolver::FromPluginText(int Index, const std::string& Value) {
  const float before = FAccess.Get(Index);
  if (!FAccess.FromString(Index, Value)) return false;
  // A number is the plug-in's to read; a word counts only when the plug-in
  // then shows it (some parse "On" as the number 0).
  double number = 0;
  const std::string label = FAccess.Label(Index);
  if (ParseNumber(Value, label, number) || Canonical(FAccess.Display(Index), label) == Canonical(Value, label))
    return true;
  FAccess.Set(Index, before);
  return false;
}

bool TParamResolver::CheckNumberForm(int Index, const std::string& Value, std::string& Error) {
  const std::string name = Trim(FAccess.Name(Index));
  std::string t = Trim(Value);
  const size_t digits = t.find_first_not_of("+-");
  if (digits != std::string::npos && Lower(t.substr(digits, 2)) == "0x") {
    Error = "value '" + Value + "' of '" + name + "' is hexadecimal; give it as a decimal number";
    return false;
  }
  std::string dotted = t;
  std::replace(dotted.begin(), dotted.end(), ',', '.');
  char* end = nullptr;
  (void)std::strtod(dotted.c_str(), &end);
  if (end == dotted.c_str()) return true;  // no number: a word the display may show
  const std::string after = t.substr(static_cast<size_t>(end - dotted.c_str()));
  const std::string label = FAccess.Label(Index);
  const std::string suffix = Canonical(after, label);
  if (suffix.empty()) return true;
  // A unit the plug-in shows without labelling it (16x) is fine; others
  // (3k, 5m) would be read as the bare number.
  bool shown = false;
  {
    const TParamRestore restore(FAccess, Index);
    for (int k = 0; k <= kSwitchScanSteps && !shown; ++k) {
      FAccess.Set(Index, static_cast<float>(k) / kSwitchScanSteps);
      shown = EndsWithNoCase(Canonical(FAccess.Display(Index), label), suffix);
    }
  }
  if (shown) return true;
  if (label.find('/') != std::string::npos) {
    Error = "value '" + Value + "' of '" + name + "' is none of its settings (" + Trim(label) + ")";
    return false;
  }
  Error = "value '" + Value + "' of '" + name + "' has a suffix '" + Trim(after) +
          "' that vst-render does not read; give a plain decimal number" +
          (Trim(label).empty() ? std::string() : " in " + Trim(label));
  return false;
}

double TParamResolver::DisplayNumber(int Index, float X, const std::string& Label) {
  FAccess.Set(Index, X);
  double v = 0;
  return ParseNumber(FAccess.Display(Index), Label, v) ? v : std::numeric_limits<double>::quiet_NaN();
}

TParamResolver::TDisplayScan TParamResolver::ScanDisplays(int Index, const std::string& Label) {
  TDisplayScan scan;
  bool allNumbers = true;
  for (int k = 0; k <= kGridSteps; ++k) {
    const float x = static_cast<float>(k) / kGridSteps;
    FAccess.Set(Index, x);
    const std::string t = FAccess.Display(Index);
    double v = 0;
    const bool isNum = ParseNumber(t, Label, v);
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

bool TParamResolver::CheckInRange(const TDisplayScan& Scan, const std::string& Name, const std::string& Value,
                                  const std::string& Label, double Target, std::string& Error) {
  const double lo = std::min(Scan.Numbers.front(), Scan.Numbers.back());
  const double hi = std::max(Scan.Numbers.front(), Scan.Numbers.back());
  const bool below = Target < lo && !NumbersEqual(Target, lo), above = Target > hi && !NumbersEqual(Target, hi);
  if (!below && !above) return true;
  const std::string& first = Scan.Texts[Scan.Increasing ? 0 : kGridSteps];
  const std::string& last = Scan.Texts[Scan.Increasing ? kGridSteps : 0];
  Error = "value '" + Value + "' is " + (below ? "below" : "above") + " the range of '" + Name + "' (" + Trim(first) +
          " .. " + Trim(last) + " " + Trim(Label) + ")";
  return false;
}

bool TParamResolver::BisectTo(int Index, const TDisplayScan& Scan, const std::string& Name, const std::string& Value,
                              const std::string& Label, double Target, float& Found, std::string& Error) {
  // Two bisections over the normalised range: the first x that shows at
  // least the target and the first that shows more; between them the
  // display reads the target, and their middle is the value itself. Each
  // bisection also yields the last x below its edge.
  const double sign = Scan.Increasing ? 1.0 : -1.0;
  struct TEdge {
    float Below, At;
  };
  auto firstWhere = [&](auto Pred) {
    float a = 0.0f, b = 1.0f;
    if (Pred(sign * DisplayNumber(Index, a, Label))) return TEdge{a, a};
    for (int s = 0; s < kBisectSteps; ++s) {
      float m = 0.5f * (a + b);
      if (m <= a || m >= b) break;
      if (Pred(sign * DisplayNumber(Index, m, Label)))
        b = m;
      else
        a = m;
    }
    return TEdge{a, b};
  };
  const double t = sign * Target;
  const TEdge atLeast = firstWhere([&](double V) { return V >= t || NumbersEqual(V, t); });
  const TEdge above = firstWhere([&](double V) { return V > t && !NumbersEqual(V, t); });
  const bool topShowsTarget = NumbersEqual(sign * DisplayNumber(Index, 1.0f, Label), t);
  if (atLeast.At == 0.0f) {
    Found = 0.0f;  // the bottom end shows the target: take the end itself
  } else if (topShowsTarget) {
    Found = 1.0f;
  } else if (above.At > atLeast.At) {
    Found = 0.5f * (atLeast.At + above.At);
  } else {
    // No setting shows the target. Neighbours closer than a hundredth of
    // the range are display rounding: take the nearer one. A wider gap is
    // a stepped parameter that has no such step.
    const double up = DisplayNumber(Index, atLeast.At, Label);
    const double down = DisplayNumber(Index, atLeast.Below, Label);
    const double range = std::fabs(Scan.Numbers.back() - Scan.Numbers.front());
    if (std::fabs(up - down) > 0.01 * range) {
      Error = "parameter '" + Name + "' has no setting " + Trim(Value) + " (the nearest are " + FormatNearest(down) +
              " and " + FormatNearest(up) + ")";
      return false;
    }
    Found = std::fabs(up - Target) <= std::fabs(down - Target) ? atLeast.At : atLeast.Below;
  }
  return true;
}

bool TParamResolver::SearchByDisplay(int Index, const std::string& Value, float& Found, std::string& Error) {
  const TParamRestore restore(FAccess, Index);
  const std::string label = FAccess.Label(Index);
  const std::string name = Trim(FAccess.Name(Index));
  const TDisplayScan scan = ScanDisplays(Index, label);

  // A text shown somewhere on the scan: take the middle of its run.
  const std::string want = Canonical(Value, label);
  for (size_t k = 0; k < scan.Texts.size(); ++k) {
    if (Canonical(scan.Texts[k], label) != want) continue;
    size_t last = k;
    while (last + 1 < scan.Texts.size() && Canonical(scan.Texts[last + 1], label) == want) ++last;
    Found = 0.5f * (scan.Xs[k] + scan.Xs[last]);
    return true;
  }
  double target = 0;
  if (!(scan.Increasing || scan.Decreasing) || !ParseNumber(Value, label, target)) {
    Error = "parameter '" + name + "' never shows '" + Value + "' (it shows e.g. '" + Trim(scan.Texts.front()) +
            "' .. '" + Trim(scan.Texts.back()) + "')";
    return false;
  }
  return CheckInRange(scan, name, Value, label, target, Error) &&
         BisectTo(Index, scan, name, Value, label, target, Found, Error);
}

}  // namespace vb
