// Turns a --param request (a name or index and a value in the parameter's
// own unit) into a normalised value, the way a user would: by asking the
// plug-in to parse the text (effString2Parameter), else by searching the
// normalised value whose display text shows the requested value.
#pragma once

#include <string>
#include <vector>

#include "render_options.h"

namespace vb {

// The parameter entries a resolver needs; the plug-in host implements it,
// tests implement it with plain functions.
class TParamAccess {
 public:
  virtual ~TParamAccess() = default;
  virtual int Count() = 0;
  virtual std::string Name(int index) = 0;
  virtual std::string Display(int index) = 0;
  virtual std::string Label(int index) = 0;
  virtual float Get(int index) = 0;
  virtual void Set(int index, float normalised) = 0;
  // effString2Parameter: true when the plug-in took the text.
  virtual bool FromString(int index, const std::string& text) = 0;
};

// Puts a parameter back to the value it had when the guard was made, when
// the guard goes out of scope: scans that look at other settings leave the
// parameter as they found it on every path.
class TParamRestore {
 public:
  TParamRestore(TParamAccess& access, int index) : FAccess(access), FIndex(index), FValue(access.Get(index)) {}
  ~TParamRestore() { FAccess.Set(FIndex, FValue); }
  TParamRestore(const TParamRestore&) = delete;
  TParamRestore& operator=(const TParamRestore&) = delete;

 private:
  TParamAccess& FAccess;
  int FIndex;
  float FValue;
};

struct TParamSetting {
  int Index = -1;
  float Normalised = 0.0f;
  std::string Display;  // what the plug-in shows afterwards
};

constexpr int kMaxSwitchSettings = 3;

class TParamResolver {
 public:
  explicit TParamResolver(TParamAccess& access) : FAccess(access) {}

  // The parameter an exact name, a name in any letter case, or a decimal
  // index refers to; -1 when none.
  int Find(const std::string& nameOrIndex);

  // Finds the parameter, sets it and reports what was set; false with a
  // one-line message when the name is unknown or the value cannot be shown
  // by the parameter. On failure the parameter keeps its earlier value.
  bool Apply(const TParamRequest& request, bool normalised, TParamSetting& result, std::string& error);

  // True for a switch: a parameter that shows at most kMaxSwitchSettings
  // different texts over its whole range (on/off, 1x/8x/16x). The scan
  // leaves the parameter as it found it.
  bool IsSwitch(int index);

  // The order in which to apply `requests` (indices into it): switches
  // first, then continuous parameters, each group in the order given, so
  // that parameters whose meaning follows a switch see it set. False with a
  // message, before anything is set, when a name is unknown.
  bool ApplyOrder(const std::vector<TParamRequest>& requests, std::vector<size_t>& order, std::string& error);

  // Reads a number from a display or user text: blanks and the unit label
  // may surround it, ',' and '.' both count as the decimal separator.
  static bool ParseNumber(const std::string& text, const std::string& label, double& value);

 private:
  // For a switch whose unit label lists its settings ("On/Off",
  // "1x/8x/16x"): the display text of the setting a listed word names, else
  // empty.
  std::string LabelWordValue(int index, const std::string& value);
  // effString2Parameter, kept only when the plug-in took the text as meant.
  bool FromPluginText(int index, const std::string& value);
  // False with a message for hexadecimal numbers and numbers with a suffix
  // the parameter never shows (3k): those would be misread.
  bool CheckNumberForm(int index, const std::string& value, std::string& error);
  // The normalised value at which the parameter shows `value`: a text
  // shown on a coarse scan, else a number found by bisection within the
  // range the scan shows.
  bool SearchByDisplay(int index, const std::string& value, float& found, std::string& error);
  // The coarse scan: the display text at each grid step, and its number.
  struct TDisplayScan {
    std::vector<float> Xs;
    std::vector<std::string> Texts;
    std::vector<double> Numbers;  // NaN where a text is no number
    bool Increasing = false, Decreasing = false;
  };
  TDisplayScan ScanDisplays(int index, const std::string& label);
  // False with a message when `target` is outside what the scan shows.
  bool CheckInRange(const TDisplayScan& scan, const std::string& name, const std::string& value,
                    const std::string& label, double target, std::string& error);
  // Bisection for the normalised value that shows `target`; false with a
  // message for a stepped parameter without that step.
  bool BisectTo(int index, const TDisplayScan& scan, const std::string& name, const std::string& value,
                const std::string& label, double target, float& found, std::string& error);
  double DisplayNumber(int index, float x, const std::string& label);

  TParamAccess& FAccess;
};

}  // namespace vb
