#include "dsp/biquad_iir_filter.h"

#include <bit>
#include <cmath>
#include <limits>
#include <typeinfo>

#include "dsp/dsp_constants.h"
#include "error/error.h"

namespace vb {

namespace {

// Nearest integer, ties to even; out-of-range values saturate instead of
// being undefined.
std::int64_t RoundToInt64(double Value) {
  constexpr double kLimit = 9223372036854775807.0;
  if (std::isnan(Value)) return 0;
  if (Value >= kLimit) return std::numeric_limits<std::int64_t>::max();
  if (Value <= -kLimit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(std::nearbyint(Value));
}

// Integer sums wrap around like the machine's adds rather than being undefined.
std::int64_t WrapAdd(std::int64_t A, std::int64_t B) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(A) + static_cast<std::uint64_t>(B));
}

std::int64_t WrapSub(std::int64_t A, std::int64_t B) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(A) - static_cast<std::uint64_t>(B));
}

// Roots of z^2 - 2 p z + q as Singles: a conjugate pair (positive imaginary
// part first) or two real roots.
std::array<TComplex32, 2> QuadraticRoots(double P, double Q) {
  const double R = Q - P * P;
  if (R > 0) {
    const double Root = std::sqrt(R);
    return {TComplex32{static_cast<float>(P), static_cast<float>(Root)},
            TComplex32{static_cast<float>(P), static_cast<float>(-Root)}};
  }
  const double Root = std::sqrt(-R);
  return {TComplex32{static_cast<float>(P + Root), 0.0f}, TComplex32{static_cast<float>(P - Root), 0.0f}};
}

}  // namespace

const char* TCustomBiquadIIRFilter::ClassName() const { return "TCustomBiquadIIRFilter"; }
const char* TBiquadIIRFilter::ClassName() const { return "TBiquadIIRFilter"; }

void TCustomBiquadIIRFilter::InitializeBiquad() {
  FBandWidth = 1.0;
  CalculateCoefficients();
  CalculatePoleZeros();
  ResetStates();
}

void TCustomBiquadIIRFilter::AssignTo(TNotifiablePersistent& Dest) const {
  TCustomBandwidthIIRFilter::AssignTo(Dest);
  auto* Target = dynamic_cast<TCustomBiquadIIRFilter*>(&Dest);
  if (!Target) return;
  if (typeid(*Target) == typeid(*this)) {
    Target->FDenominator = FDenominator;
    Target->FNominator = FNominator;
    Target->FPoles = FPoles;
    Target->FZeros = FZeros;
    Target->FState = FState;
    Target->FStateStack = FStateStack;
  } else {
    Target->CalculateCoefficients();
  }
}

float TCustomBiquadIIRFilter::ProcessSample32(float Input) {
  const double X = Input;
  const double Y = static_cast<float>(FNominator[0] * X + FState[0]);
  FState[0] = FNominator[1] * X - FDenominator[0] * Y + FState[1];
  FState[1] = FNominator[2] * X - FDenominator[1] * Y;
  return static_cast<float>(Y);
}

void TCustomBiquadIIRFilter::ProcessBlock64(double* Data, int SampleCount) {
  const double B0 = FNominator[0], B1 = FNominator[1], B2 = FNominator[2];
  const double A1 = FDenominator[0], A2 = FDenominator[1];
  double S0 = FState[0], S1 = FState[1];
  for (int i = 0; i < SampleCount; ++i) Data[i] = BiquadSection(Data[i], B0, B1, B2, A1, A2, S0, S1);
  FState = {S0, S1};
}

std::int64_t TCustomBiquadIIRFilter::ProcessSampleInt64(std::int64_t Input) {
  // The integer states live in the bits of s0 and s1.
  const double X = static_cast<double>(Input);
  const std::int64_t S0 = std::bit_cast<std::int64_t>(FState[0]);
  const std::int64_t S1 = std::bit_cast<std::int64_t>(FState[1]);
  const std::int64_t Y = WrapAdd(RoundToInt64(FNominator[0] * X), S0);
  const double Yd = static_cast<double>(Y);
  const std::int64_t N0 = WrapAdd(WrapSub(RoundToInt64(FNominator[1] * X), RoundToInt64(FDenominator[0] * Yd)), S1);
  const std::int64_t N1 = WrapSub(RoundToInt64(FNominator[2] * X), RoundToInt64(FDenominator[1] * Yd));
  FState[0] = std::bit_cast<double>(N0);
  FState[1] = std::bit_cast<double>(N1);
  return Y;
}

double TCustomBiquadIIRFilter::MagnitudeSquared(double Frequency) const {
  const double Cw = 2 * std::cos(kTwoPi * Frequency * FSRR);
  const double B0 = FNominator[0], B1 = FNominator[1], B2 = FNominator[2];
  const double A1 = FDenominator[0], A2 = FDenominator[1];
  const double Num = (B0 - B2) * (B0 - B2) + B1 * B1 + (B1 * (B0 + B2) + B0 * B2 * Cw) * Cw;
  const double Den = (1 - A2) * (1 - A2) + A1 * A1 + (A1 * (A2 + 1) + Cw * A2) * Cw;
  return Num / Den;
}

double TCustomBiquadIIRFilter::MagnitudeLog10(double Frequency) const {
  return 10 * std::log10(MagnitudeSquared(Frequency));
}

void TCustomBiquadIIRFilter::Complex(double Frequency, double& Real, double& Imaginary) const {
  const double C = std::cos(kTwoPi * Frequency * FSRR);
  const double C2 = 2 * C;
  const double B0 = FNominator[0], B1 = FNominator[1], B2 = FNominator[2];
  const double A1 = FDenominator[0], A2 = FDenominator[1];
  const double D = A2 * A2 - 2 * A2 + A1 * A1 + C2 * (A1 * (A2 + 1) + C2 * A2) + 1;
  Real = (B0 + B1 * A1 + B2 * A2 + C * (B1 * (A2 + 1) + A1 * (B2 + B0)) + (2 * C * C - 1) * (B0 * A2 + B2)) / D;
  Imaginary = (A1 * (B2 - B0) + B1 * (1 - A2) + C2 * (B2 - B0 * A2)) * std::sqrt(1 - C * C) / D;
}

void TCustomBiquadIIRFilter::PushStates() { FStateStack.insert(FStateStack.begin(), FState); }

void TCustomBiquadIIRFilter::PopStates() {
  if (FStateStack.empty()) return;
  FState = FStateStack.front();
  FStateStack.erase(FStateStack.begin());
}

void TCustomBiquadIIRFilter::ResetStates() {
  FState[0] = 0.0;
  FState[1] = 0.0;
}

void TCustomBiquadIIRFilter::ResetStatesInt64() { ResetStates(); }

void TCustomBiquadIIRFilter::Reset() { SetGain(0); }

unsigned TCustomBiquadIIRFilter::GetOrder() const { return 2; }

void TCustomBiquadIIRFilter::SetOrder(unsigned) { throw EDspError(TErrorCode::ecOrderFixed); }

void TCustomBiquadIIRFilter::CalculatePoleZeros() {
  const double B0 = FNominator[0];
  FZeros = QuadraticRoots(-FNominator[1] / (2 * B0), FNominator[2] / B0);
  FPoles = QuadraticRoots(-FDenominator[0] / 2, FDenominator[1]);
}

}  // namespace vb
