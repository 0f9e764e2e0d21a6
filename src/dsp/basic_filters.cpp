#include "dsp/basic_filters.h"

#include <cmath>

namespace vb {

namespace {
constexpr double kSqrt2 = 1.4142135623730951;
}  // namespace

#define VB_BIQUAD_DESIGN_IDENTITY(Name)         \
  Name::Name() { InitializeBiquad(); }          \
  const TDspClassInfo& Name::Class() noexcept { \
    static const TDspClassInfo Info{#Name};     \
    return Info;                                \
  }                                             \
  const char* Name::ClassName() const { return #Name; }

VB_BIQUAD_DESIGN_IDENTITY(TBasicGainFilter)
VB_BIQUAD_DESIGN_IDENTITY(TBasicPeakFilter)
VB_BIQUAD_DESIGN_IDENTITY(TBasicAllpassFilter)
VB_BIQUAD_DESIGN_IDENTITY(TBasicLowShelfFilter)
VB_BIQUAD_DESIGN_IDENTITY(TBasicLowShelfAFilter)
VB_BIQUAD_DESIGN_IDENTITY(TBasicLowShelfBFilter)
VB_BIQUAD_DESIGN_IDENTITY(TBasicHighShelfFilter)
VB_BIQUAD_DESIGN_IDENTITY(TBasicHighShelfAFilter)
VB_BIQUAD_DESIGN_IDENTITY(TBasicHighShelfBFilter)
VB_BIQUAD_DESIGN_IDENTITY(TBasicHighcutFilter)
VB_BIQUAD_DESIGN_IDENTITY(TBasicLowcutFilter)
VB_BIQUAD_DESIGN_IDENTITY(TBasicBandpassFilter)
VB_BIQUAD_DESIGN_IDENTITY(TBasicNotchFilter)

#undef VB_BIQUAD_DESIGN_IDENTITY

const TDspClassInfo& TBasicHighpassFilter::Class() noexcept {
  static const TDspClassInfo info{"TBasicHighpassFilter"};
  return info;
}

const char* TBasicHighpassFilter::ClassName() const { return "TBasicHighpassFilter"; }

// The formulas below keep the operand order of the designs exactly (left to
// right), because the effect's sound depends on the last bit.

void TBasicGainFilter::CalculateCoefficients() {
  FNumerator[0] = FGainFactorSquared;
  FNumerator[1] = 0.0;
  FNumerator[2] = 0.0;
  FDenominator[0] = 0.0;
  FDenominator[1] = 0.0;
}

void TBasicGainFilter::ProcessBlock64(double* Data, int SampleCount) {
  const double gain = FNumerator[0];
  for (int i = 0; i < SampleCount; ++i) Data[i] = Data[i] * gain;
}

void TBasicPeakFilter::CalculateCoefficients() {
  const double g = FGainFactor;
  const double c = FExpW0.Re;
  const double t = 1 / (g + FAlpha);
  FDenominator[1] = (g - FAlpha) * t;
  FDenominator[0] = -2 * c * g * t;
  FNumerator[1] = FDenominator[0].Load();
  FNumerator[0] = (g + FAlpha * FGainFactorSquared) * t;
  FNumerator[2] = (g - FAlpha * FGainFactorSquared) * t;
}

void TBasicAllpassFilter::CalculateCoefficients() {
  const double c = FExpW0.Re;
  const double t = 1 / (FAlpha + 1);
  const double a1 = -2 * c * t;
  const double a2 = (1 - FAlpha) * t;
  FDenominator[0] = a1;
  FDenominator[1] = a2;
  FNumerator[0] = a2 * FGainFactorSquared;
  FNumerator[1] = a1 * FGainFactorSquared;
  FNumerator[2] = FGainFactorSquared;
}

void TBasicLowShelfFilter::CalculateCoefficients() {
  const double a = FGainFactor;
  const double c = FExpW0.Re;
  const double p = a + 1;
  const double m = a - 1;
  const double k = 2 * std::sqrt(a) * FAlpha;
  const double t = 1 / (p + m * c + k);
  FDenominator[0] = -2 * (m + p * c) * t;
  FDenominator[1] = (p + m * c - k) * t;
  FNumerator[0] = a * t * (p - m * c + k);
  FNumerator[1] = 2 * a * t * (m - p * c);
  FNumerator[2] = a * t * (p - m * c - k);
}

void TBasicLowShelfAFilter::CalculateCoefficients() {
  const double g = FGainFactor;
  const double g2 = FGainFactorSquared;
  const double k = FExpW0.Im / (FExpW0.Re + 1);
  const double k2 = k * k;
  const double b = FBandWidth;
  const double t = 1 / (k * b + k2 + 1);
  FNumerator[0] = (g * kSqrt2 * k + g2 * k2 + 1) * t;
  FNumerator[1] = (g2 * k2 - 1) * 2 * t;
  FNumerator[2] = (1 - g * kSqrt2 * k + g2 * k2) * t;
  FDenominator[0] = (k2 - 1) * 2 * t;
  FDenominator[1] = (1 - k * b + k2) * t;
}

void TBasicLowShelfBFilter::CalculateCoefficients() {
  const double g = FGainFactor;
  const double g2 = FGainFactorSquared;
  const double k = FExpW0.Im / (FExpW0.Re + 1);
  const double k2 = k * k;
  const double b = FBandWidth;
  const double t = g / (kSqrt2 * k + g * (k2 / g2 + 1));
  FNumerator[0] = (k * b + k2 + 1) * t;
  FNumerator[1] = (k2 - 1) * 2 * t;
  FNumerator[2] = (1 - k * b + k2) * t;
  FDenominator[0] = (k2 / g2 - 1) * 2 * t;
  FDenominator[1] = (1 - kSqrt2 * k / g + k2 / g2) * t;
}

void TBasicHighShelfFilter::CalculateCoefficients() {
  const double a = FGainFactor;
  const double c = FExpW0.Re;
  const double p = a + 1;
  const double m = a - 1;
  const double k = 2 * std::sqrt(a) * FAlpha;
  const double t = 1 / (p - m * c + k);
  FDenominator[0] = 2 * (m - p * c) * t;
  FDenominator[1] = (p - m * c - k) * t;
  FNumerator[0] = a * (p + m * c + k) * t;
  FNumerator[1] = -2 * a * (m + p * c) * t;
  FNumerator[2] = a * (p + m * c - k) * t;
}

void TBasicHighShelfAFilter::CalculateCoefficients() {
  const double g = FGainFactor;
  const double g2 = FGainFactorSquared;
  const double k = FExpW0.Im / (FExpW0.Re + 1);
  const double k2 = k * k;
  const double b = FBandWidth;
  const double t = 1 / (k * b + k2 + 1);
  FNumerator[0] = (g2 + kSqrt2 * g * k + k2) * t;
  FNumerator[1] = (k2 - g2) * 2 * t;
  FNumerator[2] = (g2 - kSqrt2 * g * k + k2) * t;
  FDenominator[0] = (k2 - 1) * 2 * t;
  FDenominator[1] = (1 - k * b + k2) * t;
}

void TBasicHighShelfBFilter::CalculateCoefficients() {
  const double g = FGainFactor;
  const double g2 = FGainFactorSquared;
  const double k = FExpW0.Im / (FExpW0.Re + 1);
  const double k2 = k * k;
  const double b = FBandWidth;
  const double t = 1 / (kSqrt2 * g * k + g2 * k2 + 1);
  FNumerator[0] = (k * b + k2 + 1) * t * g2;
  FNumerator[1] = (k2 - 1) * 2 * t * g2;
  FNumerator[2] = (1 - k * b + k2) * t * g2;
  FDenominator[0] = (g2 * k2 - 1) * 2 * t;
  FDenominator[1] = (1 - kSqrt2 * g * k + g2 * k2) * t;
}

void TBasicHighcutFilter::CalculateCoefficients() {
  const double c = FExpW0.Re;
  const double t = 1 / (FAlpha + 1);
  const double b0 = FGainFactorSquared * (1 - c) * 0.5 * t;
  FNumerator[0] = b0;
  FNumerator[1] = 2 * b0;
  FNumerator[2] = b0;
  FDenominator[0] = -2 * c * t;
  FDenominator[1] = (1 - FAlpha) * t;
}

float TBasicHighcutFilter::ProcessSample32(float Input) {
  const double x = static_cast<float>(FNumerator[0] * Input);
  const double y = static_cast<float>(x + FState[0]);
  FState[0] = 2 * x - FDenominator[0] * y + FState[1];
  FState[1] = x - FDenominator[1] * y;
  return static_cast<float>(y);
}

void TBasicHighcutFilter::ProcessBlock64(double* Data, int SampleCount) {
  for (int i = 0; i < SampleCount; ++i) Data[i] = ProcessSample32(static_cast<float>(Data[i]));
}

void TBasicLowcutFilter::CalculateCoefficients() {
  const double c = FExpW0.Re;
  const double t = 1 / (1 + FAlpha);
  const double b0 = FGainFactorSquared * (1 + c) * 0.5 * t;
  FNumerator[0] = b0;
  FNumerator[1] = -2 * b0;
  FNumerator[2] = b0;
  FDenominator[0] = -2 * c * t;
  FDenominator[1] = (1 - FAlpha) * t;
}

void TBasicBandpassFilter::CalculateCoefficients() {
  const double c = FExpW0.Re;
  const double t = 1 / (FAlpha + 1);
  const double b0 = FGainFactorSquared * FAlpha * t;
  FNumerator[0] = b0;
  FNumerator[1] = 0.0;
  FNumerator[2] = -b0;
  FDenominator[0] = -2 * c * t;
  FDenominator[1] = (1 - FAlpha) * t;
}

void TBasicNotchFilter::CalculateCoefficients() {
  const double c = FExpW0.Re;
  const double t = 1 / (FAlpha + 1);
  const double a1 = -2 * c * t;
  const double b0 = FGainFactorSquared * t;
  FNumerator[0] = b0;
  FNumerator[1] = a1 * FGainFactorSquared;
  FNumerator[2] = b0;
  FDenominator[0] = a1;
  FDenominator[1] = (1 - FAlpha) * t;
}

}  // namespace vb
