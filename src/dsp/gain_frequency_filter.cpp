#include "dsp/gain_frequency_filter.h"

#include <cmath>

#include "dsp/dsp_constants.h"

namespace vb {

namespace {
constexpr double kMinimumFrequency = 1e-10;  // Hz
constexpr double kMaximumW0 = 3.141;         // radians, just below pi
}  // namespace

TCustomGainFrequencyFilter::TCustomGainFrequencyFilter() { CalculateW0(); }

const char* TCustomGainFrequencyFilter::ClassName() const { return "TCustomGainFrequencyFilter"; }

void TCustomGainFrequencyFilter::AssignTo(TNotifiablePersistent& Dest) const {
  TCustomFilterWithOrder::AssignTo(Dest);
  if (auto* target = dynamic_cast<TCustomGainFrequencyFilter*>(&Dest)) {
    target->FGain_dB = FGain_dB;
    target->FGainFactor = FGainFactor;
    target->FGainFactorSquared = FGainFactorSquared;
    target->FFrequency = FFrequency;
    target->FW0 = FW0;
    target->FExpW0 = FExpW0;
  }
}

void TCustomGainFrequencyFilter::CalculateW0() {
  FW0 = FFrequency * kTwoPi * FSRR;
  FExpW0 = TComplex64::FromAngle(FW0);
  if (FW0 > kMaximumW0) FW0 = kMaximumW0;
}

void TCustomGainFrequencyFilter::CalculateGainFactor() {
  const double x = 0.5 * FGain_dB;
  FGainFactor = x > -1000 ? std::exp(x * kLn10 / 20) : 0.0;
  FGainFactorSquared = FGainFactor * FGainFactor;
}

void TCustomGainFrequencyFilter::SetFrequency(double Value) {
  if (Value < kMinimumFrequency) Value = kMinimumFrequency;
  if (Value != FFrequency) {
    FFrequency = Value;
    FrequencyChanged();
  }
}

void TCustomGainFrequencyFilter::SetGain(double Value) {
  if (Value != FGain_dB) {
    FGain_dB = Value;
    GainChanged();
  }
}

void TCustomGainFrequencyFilter::FrequencyChanged() {
  CalculateW0();
  RecalculateCoefficients();
  Changed();
}

void TCustomGainFrequencyFilter::GainChanged() {
  CalculateGainFactor();
  RecalculateCoefficients();
  Changed();
}

void TCustomGainFrequencyFilter::RecalculateForSampleRate() {
  TCustomFilterWithOrder::RecalculateForSampleRate();
  CalculateW0();
  RecalculateCoefficients();
}

}  // namespace vb
