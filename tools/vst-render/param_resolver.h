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
  virtual std::string Name(int Index) = 0;
  virtual std::string Display(int Index) = 0;
  virtual std::string Label(int Index) = 0;
  virtual float Get(int Index) = 0;
  virtual void Set(int Index, float Normalised) = 0;
  // effString2Parameter: true when the plug-in took the text.
  virtual bool FromString(int Index, const std::string& Text) = 0;
};

// Puts a parameter back to the value it had when the guard was made, when
// the guard goes out of scope: scans that look at other settings leave the
// parameter as they found it on every path.
class TParamRestore {
 public:
  TParamRestore(TParamAccess& Access, int Index) : FAccess(Access), FIndex(Index), FValue(Access.Get(Index)) {}
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
  explicit TParamResolver(TParamAccess& Access) : FAccess(Access) {}

  // The parameter an exact name, a name in any letter case, or a decimal
  // index refers to; -1 when none.
  int Find(const std::string& NameOrIndex);

  // Finds the parameter, sets it and reports what was set; false with a
  // one-line message when the name is unknown or the value cannot be shown
  // by the parameter. On failure the parameter keeps its earlier value.
  bool Apply(const TParamRequest& Request, bool Normalised, TParamSetting& Result, std::string& Error);

  // True for a switch: a parameter that shows at most kMaxSwitchSettings
  // different texts over its whole range (on/off, 1x/8x/16x). The scan
  // leaves the parameter as it found it.
  bool IsSwitch(int Index);

  // The order in which to apply `requests` (indices into it): switches
  // first, then continuous parameters, each group in the order given, so
  // that parameters whose meaning follows a switch see it set. False with a
  // message, before anything is set, when a name is unknown.
  bool ApplyOrder(const std::vector<TParamRequest>& Requests, std::vector<size_t>& Order, std::string& Error);

  // Reads a number from a display or user text: blanks and the unit label
  // may surround it, ',' and '.' both count as the decimal separator.
  static bool ParseNumber(const std::string& Text, const std::string& Label, double& Value);

 private:
  // For a switch whose unit label lists its settings ("On/Off",
  // "1x/8x/16x"): the display text of the setting a listed word names, else
  // empty.
  std::string LabelWordValue(int Index, const std::string& Value);
  // effString2Parameter, kept only when the plug-in took the text as meant.
  bool FromPluginText(int Index, const std::string& Value);
  // False with a message for hexadecimal numbers and numbers with a suffix
  // the parameter never shows (3k): those would be misread.
  bool CheckNumberForm(int Index, const std::string& Value, std::string& Error);
  // The normalised value at which the parameter shows `value`: a text
  // shown on a coarse scan, else a number found by bisection within the
  // range the scan shows.
  bool SearchByDisplay(int Index, const std::string& Value, float& Found, std::string& Error);
  // The coarse scan: the display text at each grid step, and its number.
  struct TDisplayScan {
    std::vector<float> Xs;
    std::vector<std::string> Texts;
    std::vector<double> Numbers;  // NaN where a text is no number
    bool Increasing = false, Decreasing = false;
  };
  TDisplayScan ScanDisplays(int Index, const std::string& Label);
  // False with a message when `target` is outside what the scan shows.
  bool CheckInRange(const TDisplayScan& Scan, const std::string& Name, const std::string& Value,
                    const std::string& Label, double Target, std::string& Error);
  // Bisection for the normalised value that shows `target`; false with a
  // message for a stepped parameter without that step.
  bool BisectTo(int Index, const TDisplayScan& Scan, const std::string& Name, const std::string& Value,
                const std::string& Label, double Target, float& Found, std::string& Error);
  double DisplayNumber(int Index, float X, const std::string& Label);

  TParamAccess& FAccess;
};

}  // namespace vb
