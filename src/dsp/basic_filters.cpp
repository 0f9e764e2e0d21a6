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
  static const TDspClassInfo Info{"TBasicHighpassFilter"};
  return Info;
}

const char* TBasicHighpassFilter::ClassName() const { return "TBasicHighpassFilter"; }

// The formulas below keep the operand order of the designs exactly (left to
// right), because the effect's sound depends on the last bit.

void TBasicGainFilter::CalculateCoefficients() {
  FNominator[0] = FGainFactorSquared;
  FNominator[1] = 0.0;
  FNominator[2] = 0.0;
  FDenominator[0] = 0.0;
  FDenominator[1] = 0.0;
}

void TBasicGainFilter::ProcessBlock64(double* Data, int SampleCount) {
  const double Gain = FNominator[0];
  for (int i = 0; i < SampleCount; ++i) Data[i] = Data[i] * Gain;
}

void TBasicPeakFilter::CalculateCoefficients() {
  const double G = FGainFactor;
  const double C = FExpW0.Re;
  const double T = 1 / (G + FAlpha);
  FDenominator[1] = (G - FAlpha) * T;
  FDenominator[0] = -2 * C * G * T;
  FNominator[1] = FDenominator[0].Load();
  FNominator[0] = (G + FAlpha * FGainFactorSquared) * T;
  FNominator[2] = (G - FAlpha * FGainFactorSquared) * T;
}

void TBasicAllpassFilter::CalculateCoefficients() {
  const double C = FExpW0.Re;
  const double T = 1 / (FAlpha + 1);
  const double A1 = -2 * C * T;
  const double A2 = (1 - FAlpha) * T;
  FDenominator[0] = A1;
  FDenominator[1] = A2;
  FNominator[0] = A2 * FGainFactorSquared;
  FNominator[1] = A1 * FGainFactorSquared;
  FNominator[2] = FGainFactorSquared;
}

void TBasicLowShelfFilter::CalculateCoefficients() {
  const double A = FGainFactor;
  const double C = FExpW0.Re;
  const double P = A + 1;
  const double M = A - 1;
  const double K = 2 * std::sqrt(A) * FAlpha;
  const double T = 1 / (P + M * C + K);
  FDenominator[0] = -2 * (M + P * C) * T;
  FDenominator[1] = (P + M * C - K) * T;
  FNominator[0] = A * T * (P - M * C + K);
  FNominator[1] = 2 * A * T * (M - P * C);
  FNominator[2] = A * T * (P - M * C - K);
}

void TBasicLowShelfAFilter::CalculateCoefficients() {
  const double G = FGainFactor;
  const double G2 = FGainFactorSquared;
  const double K = FExpW0.Im / (FExpW0.Re + 1);
  const double K2 = K * K;
  const double B = FBandWidth;
  const double T = 1 / (K * B + K2 + 1);
  FNominator[0] = (G * kSqrt2 * K + G2 * K2 + 1) * T;
  FNominator[1] = (G2 * K2 - 1) * 2 * T;
  FNominator[2] = (1 - G * kSqrt2 * K + G2 * K2) * T;
  FDenominator[0] = (K2 - 1) * 2 * T;
  FDenominator[1] = (1 - K * B + K2) * T;
}

void TBasicLowShelfBFilter::CalculateCoefficients() {
  const double G = FGainFactor;
  const double G2 = FGainFactorSquared;
  const double K = FExpW0.Im / (FExpW0.Re + 1);
  const double K2 = K * K;
  const double B = FBandWidth;
  const double T = G / (kSqrt2 * K + G * (K2 / G2 + 1));
  FNominator[0] = (K * B + K2 + 1) * T;
  FNominator[1] = (K2 - 1) * 2 * T;
  FNominator[2] = (1 - K * B + K2) * T;
  FDenominator[0] = (K2 / G2 - 1) * 2 * T;
  FDenominator[1] = (1 - kSqrt2 * K / G + K2 / G2) * T;
}

void TBasicHighShelfFilter::CalculateCoefficients() {
  const double A = FGainFactor;
  const double C = FExpW0.Re;
  const double P = A + 1;
  const double M = A - 1;
  const double K = 2 * std::sqrt(A) * FAlpha;
  const double T = 1 / (P - M * C + K);
  FDenominator[0] = 2 * (M - P * C) * T;
  FDenominator[1] = (P - M * C - K) * T;
  FNominator[0] = A * (P + M * C + K) * T;
  FNominator[1] = -2 * A * (M + P * C) * T;
  FNominator[2] = A * (P + M * C - K) * T;
}

void TBasicHighShelfAFilter::CalculateCoefficients() {
  const double G = FGainFactor;
  const double G2 = FGainFactorSquared;
  const double K = FExpW0.Im / (FExpW0.Re + 1);
  const double K2 = K * K;
  const double B = FBandWidth;
  const double T = 1 / (K * B + K2 + 1);
  FNominator[0] = (G2 + kSqrt2 * G * K + K2) * T;
  FNominator[1] = (K2 - G2) * 2 * T;
  FNominator[2] = (G2 - kSqrt2 * G * K + K2) * T;
  FDenominator[0] = (K2 - 1) * 2 * T;
  FDenominator[1] = (1 - K * B + K2) * T;
}

void TBasicHighShelfBFilter::CalculateCoefficients() {
  const double G = FGainFactor;
  const double G2 = FGainFactorSquared;
  const double K = FExpW0.Im / (FExpW0.Re + 1);
  const double K2 = K * K;
  const double B = FBandWidth;
  const double T = 1 / (kSqrt2 * G * K + G2 * K2 + 1);
  FNominator[0] = (K * B + K2 + 1) * T * G2;
  FNominator[1] = (K2 - 1) * 2 * T * G2;
  FNominator[2] = (1 - K * B + K2) * T * G2;
  FDenominator[0] = (G2 * K2 - 1) * 2 * T;
  FDenominator[1] = (1 - kSqrt2 * G * K + G2 * K2) * T;
}

void TBasicHighcutFilter::CalculateCoefficients() {
  const double C = FExpW0.Re;
  const double T = 1 / (FAlpha + 1);
  const double B0 = FGainFactorSquared * (1 - C) * 0.5 * T;
  FNominator[0] = B0;
  FNominator[1] = 2 * B0;
  FNominator[2] = B0;
  FDenominator[0] = -2 * C * T;
  FDenominator[1] = (1 - FAlpha) * T;
}

float TBasicHighcutFilter::ProcessSample32(float Input) {
  const double X = static_cast<float>(FNominator[0] * Input);
  const double Y = static_cast<float>(X + FState[0]);
  FState[0] = 2 * X - FDenominator[0] * Y + FState[1];
  FState[1] = X - FDenominator[1] * Y;
  return static_cast<float>(Y);
}

void TBasicHighcutFilter::ProcessBlock64(double* Data, int SampleCount) {
  for (int i = 0; i < SampleCount; ++i) Data[i] = ProcessSample32(static_cast<float>(Data[i]));
}

void TBasicLowcutFilter::CalculateCoefficients() {
  const double C = FExpW0.Re;
  const double T = 1 / (1 + FAlpha);
  const double B0 = FGainFactorSquared * (1 + C) * 0.5 * T;
  FNominator[0] = B0;
  FNominator[1] = -2 * B0;
  FNominator[2] = B0;
  FDenominator[0] = -2 * C * T;
  FDenominator[1] = (1 - FAlpha) * T;
}

void TBasicBandpassFilter::CalculateCoefficients() {
  const double C = FExpW0.Re;
  const double T = 1 / (FAlpha + 1);
  const double B0 = FGainFactorSquared * FAlpha * T;
  FNominator[0] = B0;
  FNominator[1] = 0.0;
  FNominator[2] = -B0;
  FDenominator[0] = -2 * C * T;
  FDenominator[1] = (1 - FAlpha) * T;
}

void TBasicNotchFilter::CalculateCoefficients() {
  const double C = FExpW0.Re;
  const double T = 1 / (FAlpha + 1);
  const double A1 = -2 * C * T;
  const double B0 = FGainFactorSquared * T;
  FNominator[0] = B0;
  FNominator[1] = A1 * FGainFactorSquared;
  FNominator[2] = B0;
  FDenominator[0] = A1;
  FDenominator[1] = (1 - FAlpha) * T;
}

}  // namespace vb
