#include "params/vst_parameter_property.h"

#include <cmath>
#include <utility>

#include "host/vst_abi.h"
#include "params/parameter_number_format.h"
#include "params/parameter_owner.h"
#include "params/vst_parameter_category.h"

namespace vb {

namespace {

// Clamp to [0, 1]; NaN counts as 0 so that it never reaches a stored value.
double ClampUnit(double X) {
  if (!(X > 0.0)) return 0.0;
  return X < 1.0 ? X : 1.0;
}

float ToSingle(double X) { return static_cast<float>(X); }

}  // namespace

TCustomVstParameterProperty::TCustomVstParameterProperty(TVstParameterOwner* Owner, std::string DefaultName)
    : FDisplayName(std::move(DefaultName)), FOwner(Owner) {}

float TCustomVstParameterProperty::VSTParameter2Parameter(float Normalised) {
  const double x = ClampUnit(Normalised);
  double y = x;
  switch (FCurve) {
    case ctLinear:
      break;
    case ctLogarithmic:
      y = (std::exp(x * std::log(static_cast<double>(FCurveFactor) + 1.0)) - 1.0) * FInvCurveFactor;
      break;
    case ctExponential:
      y = std::log2(static_cast<double>(FCurveFactor) * x + 1.0) / std::log2(static_cast<double>(FCurveFactor) + 1.0);
      break;
    case ctFrequencyScale: {
      // With Min = 0 the ratio Max / Min is undefined; Max stands in for it
      // (in both directions), which keeps the curve finite and invertible.
      const double r = FMin != 0.0f ? static_cast<double>(FMax) / FMin : static_cast<double>(FMax);
      y = (std::exp(x * std::log(r + 1.0)) - 1.0) / r;
      break;
    }
  }
  // Valid curves keep y in [0, 1]; a factor outside a curve's domain would
  // give NaN here, which must not become a stored value.
  y = ClampUnit(ToSingle(y));
  float v = ToSingle(y * (static_cast<double>(FMax) - FMin) + FMin);
  v = Smooth(v);
  if (HasFlag(ppfParameterIsSwitch)) v = ToSingle(RoundHalfEven(v));
  return v;
}

float TCustomVstParameterProperty::Parameter2VSTParameter(float Value) const {
  const double x = ToSingle((static_cast<double>(Value) - FMin) / (static_cast<double>(FMax) - FMin));
  double y = x;
  switch (FCurve) {
    case ctLinear:
      break;
    case ctLogarithmic: {
      // Far enough below Min the logarithm has no real value; such values
      // lie below normalised 0 and clamp there.
      const double arg = static_cast<double>(FCurveFactor) * x + 1.0;
      y = arg > 0.0 ? std::log2(arg) / std::log2(static_cast<double>(FCurveFactor) + 1.0) : 0.0;
      break;
    }
    case ctExponential:
      y = (std::exp(x * std::log(static_cast<double>(FCurveFactor) + 1.0)) - 1.0) * FInvCurveFactor;
      break;
    case ctFrequencyScale: {
      const double r = FMin != 0.0f ? static_cast<double>(FMax) / FMin : static_cast<double>(FMax);
      const double arg = r * x + 1.0;
      y = arg > 0.0 ? std::log2(arg) / std::log2(r + 1.0) : 0.0;
      break;
    }
  }
  return ToSingle(ClampUnit(ToSingle(y)));
}

float TCustomVstParameterProperty::Smooth(float Value) {
  const double state = FSmoothingState[0].load(std::memory_order_relaxed);
  const float v = ToSingle(Value + static_cast<double>(FSmoothingFactor) * (state - Value));
  FSmoothingState[0].store(v, std::memory_order_relaxed);
  return v;
}

void TCustomVstParameterProperty::SetMin(float Value) {
  if (static_cast<double>(Value) != static_cast<double>(FMin)) FMin = Value;
}

void TCustomVstParameterProperty::SetMax(float Value) {
  if (static_cast<double>(Value) != static_cast<double>(FMax)) FMax = Value;
}

void TCustomVstParameterProperty::SetCurve(TCurveType Value) {
  if (Value == FCurve) return;
  FCurve = Value;
  if (FCurve == ctLogarithmic && FMin != 0.0f) SetCurveFactor(FMax / FMin);
}

void TCustomVstParameterProperty::SetCurveFactor(float Value) {
  if (Value == FCurveFactor) return;
  FCurveFactor = Value;
  FInvCurveFactor = ToSingle(1.0 / static_cast<double>(FCurveFactor));
}

void TCustomVstParameterProperty::SetSmoothingFactor(float Value) {
  if (!(Value >= 0.0f && Value < 1.0f)) {
    FSmoothingFactor = 0.0f;  // refused: no smoothing
    return;
  }
  FSmoothingFactor = Value;
}

void TCustomVstParameterProperty::SetDisplayName(const std::string& Value) {
  std::string name = Value.substr(0, kMaxDisplayName);
  if (name == FDisplayName) return;
  // A short label that still mirrors the name (or none at all) follows it.
  if (FShortLabel.empty() || FShortLabel == FDisplayName) SetShortLabel(name);
  FDisplayName = std::move(name);
}

void TCustomVstParameterProperty::SetShortLabel(const std::string& Value) {
  if (Value == FShortLabel) return;
  FShortLabel = Value.substr(0, kMaxShortLabel);
}

void TCustomVstParameterProperty::SetUnits(const std::string& Value) {
  if (Value != FUnits) FUnits = Value;
}

void TCustomVstParameterProperty::SetCategory(const std::string& Value) {
  std::string name = Value.substr(0, kMaxCategory);
  if (name == FCategory) return;
  FCategory = std::move(name);
  if (FOwner == nullptr) return;
  auto& categories = FOwner->ParameterCategories();
  if (!FCategory.empty() && !categories.CategoryExists(FCategory)) categories.Add().SetDisplayName(FCategory);
  categories.CheckParametersInUse();
}

std::int32_t TCustomVstParameterProperty::CategoryIndex() const {
  if (FOwner == nullptr || FCategory.empty()) return 0;
  return FOwner->ParameterCategories().CategoryIndex(FCategory) + 1;
}

void TCustomVstParameterProperty::SetCategoryIndex(std::int32_t Value) {
  if (FOwner != nullptr) {
    auto& categories = FOwner->ParameterCategories();
    if (Value >= 1 && Value <= categories.Count()) {
      SetCategory(categories[Value - 1].DisplayName());
      return;
    }
  }
  SetCategory("");
}

void TCustomVstParameterProperty::Assign(const TCustomVstParameterProperty& Source) {
  CanBeAutomated = Source.CanBeAutomated;
  CC = Source.CC;
  SetCurve(Source.Curve());
  SetCurveFactor(Source.CurveFactor());
  SetFlags(Source.Flags());
  for (int i = 0; i < 2; ++i)
    FSmoothingState[i].store(Source.FSmoothingState[i].load(std::memory_order_relaxed), std::memory_order_relaxed);
  LargeStepFloat = Source.LargeStepFloat;
  LargeStepInteger = Source.LargeStepInteger;
  SetMax(Source.Max());
  MaxInteger = Source.MaxInteger;
  SetMin(Source.Min());
  MinInteger = Source.MinInteger;
  ReportVST2Properties = Source.ReportVST2Properties;
  SetShortLabel(Source.ShortLabel());
  SmallStepFloat = Source.SmallStepFloat;
  SetSmoothingFactor(Source.SmoothingFactor());
  StepFloat = Source.StepFloat;
  StepInteger = Source.StepInteger;
  SetUnits(Source.Units());
  SetDisplayName(Source.DisplayName());
}

TCustomVstParameterProperty& TCustomVstParameterProperties::Add() {
  FItems.push_back(
      std::make_unique<TCustomVstParameterProperty>(FOwner, "Parameter " + std::to_string(FItems.size() + 1)));
  if (FOwner != nullptr) FOwner->ParameterCountChanged(Count());
  return *FItems.back();
}

void TCustomVstParameterProperties::Delete(std::int32_t Index) {
  if (!IsValidIndex(Index)) return;
  const bool hadCategory = !FItems[static_cast<std::size_t>(Index)]->Category().empty();
  FItems.erase(FItems.begin() + Index);
  if (FOwner == nullptr) return;
  FOwner->ParameterCountChanged(Count());
  if (hadCategory) FOwner->ParameterCategories().CheckParametersInUse();
}

void TCustomVstParameterProperties::Clear() {
  while (!FItems.empty()) Delete(Count() - 1);
}

std::int32_t TCustomVstParameterProperties::IndexOfName(const std::string& Name) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i]->DisplayName() == Name) return static_cast<std::int32_t>(i);
  return -1;
}

}  // namespace vb
