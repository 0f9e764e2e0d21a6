#pragma once
// Parameter descriptions: range, curve between the host's normalised value
// (0..1) and the parameter's own unit, steps and flags reported to the host,
// names and category. A description's position in its list is the parameter
// index everywhere.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vb {

class TVstParameterOwner;
class TCustomVSTModule;

enum TCurveType : std::int32_t {
  ctLinear = 0,
  ctLogarithmic = 1,
  ctExponential = 2,
  ctFrequencyScale = 3,
};

// Set of TVstParameterPropertiesFlag (bit n = member n).
using TVstParameterPropertiesFlags = std::uint8_t;

// Events run by the owning module (Sender). Value is in the parameter's own
// unit; handlers may change what is stored.
using TParameterChangeEvent = std::function<void(TCustomVSTModule& Sender, std::int32_t Index, float& Value)>;
using TCustomParameterTextEvent = std::function<void(TCustomVSTModule& Sender, std::int32_t Index, std::string& Text)>;
using TStringToParameterEvent =
    std::function<void(TCustomVSTModule& Sender, std::int32_t Index, const std::string& Text, float& Value)>;

class TCustomVstParameterProperty {
 public:
  static constexpr std::size_t kMaxDisplayName = 64;
  static constexpr std::size_t kMaxShortLabel = 7;
  static constexpr std::size_t kMaxCategory = 23;

  // Owner may be null (a free-standing description, e.g. in tests).
  TCustomVstParameterProperty(TVstParameterOwner* Owner, std::string DefaultName);

  // Mapping. Both may be called from any host thread; VSTParameter2Parameter
  // advances the smoothing state.
  float VSTParameter2Parameter(float Normalised);
  float Parameter2VSTParameter(float Value) const;
  float Smooth(float Value);

  float Min() const { return FMin; }
  void SetMin(float Value);
  float Max() const { return FMax; }
  void SetMax(float Value);
  TCurveType Curve() const { return FCurve; }
  void SetCurve(TCurveType Value);
  float CurveFactor() const { return FCurveFactor; }
  void SetCurveFactor(float Value);
  float InverseCurveFactor() const { return FInvCurveFactor; }
  float SmoothingFactor() const { return FSmoothingFactor; }
  void SetSmoothingFactor(float Value);
  float SmoothingState() const { return FSmoothingState[0].load(std::memory_order_relaxed); }

  const std::string& DisplayName() const { return FDisplayName; }
  void SetDisplayName(const std::string& Value);
  const std::string& ShortLabel() const { return FShortLabel; }
  void SetShortLabel(const std::string& Value);
  const std::string& Units() const { return FUnits; }
  void SetUnits(const std::string& Value);
  const std::string& Category() const { return FCategory; }
  void SetCategory(const std::string& Value);
  // 1-based position of Category in the owner's category list, 0 = none.
  std::int32_t CategoryIndex() const;
  void SetCategoryIndex(std::int32_t Value);

  TVstParameterPropertiesFlags Flags() const { return FFlags; }
  void SetFlags(TVstParameterPropertiesFlags Value) { FFlags = Value; }
  bool HasFlag(std::int32_t Flag) const { return (FFlags >> Flag) & 1u; }

  bool CanBeAutomated = true;
  bool ReportVST2Properties = false;
  float StepFloat = 1.0f;
  float SmallStepFloat = 0.5f;
  float LargeStepFloat = 2.0f;
  std::int32_t MinInteger = 0;
  std::int32_t MaxInteger = 100;
  std::int32_t StepInteger = 1;
  std::int32_t LargeStepInteger = 10;
  std::int32_t CC = -1;
  bool UseDefaultString2ParameterHandler = false;

  TParameterChangeEvent OnParameterChange;
  TCustomParameterTextEvent OnCustomParameterLabel;
  TCustomParameterTextEvent OnCustomParameterDisplay;
  TStringToParameterEvent OnStringToParameter;

  TVstParameterOwner* VSTModule() const { return FOwner; }

  // Copies the published values (not events, Category or the parser flag)
  // through the setters.
  void Assign(const TCustomVstParameterProperty& Source);

 private:
  // The first holds the last smoothed value. Any thread that maps a value
  // writes it, so it is a relaxed atomic.
  std::atomic<float> FSmoothingState[2] = {0.0f, 0.0f};
  float FMin = 0.0f;
  float FMax = 1.0f;
  TCurveType FCurve = ctLinear;
  float FCurveFactor = 1.0f;
  float FInvCurveFactor = 1.0f;
  std::string FDisplayName;
  std::string FUnits;
  float FSmoothingFactor = 0.0f;
  TVstParameterPropertiesFlags FFlags = 0;
  std::string FShortLabel;
  std::string FCategory;
  TVstParameterOwner* FOwner;
};

// Ordered list of descriptions owned by the module; index = parameter index.
class TCustomVstParameterProperties {
 public:
  explicit TCustomVstParameterProperties(TVstParameterOwner* Owner) : FOwner(Owner) {}

  // Appends a description named "Parameter <n>" and tells the owner the new
  // count (setup thread only).
  TCustomVstParameterProperty& Add();
  void Delete(std::int32_t Index);
  void Clear();

  std::int32_t Count() const { return static_cast<std::int32_t>(FItems.size()); }
  bool IsValidIndex(std::int32_t Index) const { return Index >= 0 && Index < Count(); }
  TCustomVstParameterProperty& operator[](std::int32_t Index) { return *FItems[static_cast<std::size_t>(Index)]; }
  const TCustomVstParameterProperty& operator[](std::int32_t Index) const {
    return *FItems[static_cast<std::size_t>(Index)];
  }
  // Index of the first description whose DisplayName equals Name, or -1.
  std::int32_t IndexOfName(const std::string& Name) const;

  TVstParameterOwner* VSTModule() const { return FOwner; }

 private:
  std::vector<std::unique_ptr<TCustomVstParameterProperty>> FItems;
  TVstParameterOwner* FOwner;
};

}  // namespace vb
