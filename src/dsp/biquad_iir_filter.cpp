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
  const double r = Q - P * P;
  if (r > 0) {
    const double root = std::sqrt(r);
    return {TComplex32{static_cast<float>(P), static_cast<float>(root)},
            TComplex32{static_cast<float>(P), static_cast<float>(-root)}};
  }
  const double root = std::sqrt(-r);
  return {TComplex32{static_cast<float>(P + root), 0.0f}, TComplex32{static_cast<float>(P - root), 0.0f}};
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
  auto* target = dynamic_cast<TCustomBiquadIIRFilter*>(&Dest);
  if (!target) return;
  if (typeid(*target) == typeid(*this)) {
    target->FDenominator = FDenominator;
    target->FNumerator = FNumerator;
    target->FPoles = FPoles;
    target->FZeros = FZeros;
    target->FState = FState;
    target->FStateStack = FStateStack;
  } else {
    target->CalculateCoefficients();
  }
}

float TCustomBiquadIIRFilter::ProcessSample32(float Input) {
  const double x = Input;
  const double y = static_cast<float>(FNumerator[0] * x + FState[0]);
  FState[0] = FNumerator[1] * x - FDenominator[0] * y + FState[1];
  FState[1] = FNumerator[2] * x - FDenominator[1] * y;
  return static_cast<float>(y);
}

void TCustomBiquadIIRFilter::ProcessBlock64(double* Data, int SampleCount) {
  const double b0 = FNumerator[0], b1 = FNumerator[1], b2 = FNumerator[2];
  const double a1 = FDenominator[0], a2 = FDenominator[1];
  double s0 = FState[0], s1 = FState[1];
  for (int i = 0; i < SampleCount; ++i) Data[i] = BiquadSection(Data[i], b0, b1, b2, a1, a2, s0, s1);
  FState = {s0, s1};
}

std::int64_t TCustomBiquadIIRFilter::ProcessSampleInt64(std::int64_t Input) {
  // The integer states live in the bits of s0 and s1.
  const double x = static_cast<double>(Input);
  const std::int64_t s0 = std::bit_cast<std::int64_t>(FState[0]);
  const std::int64_t s1 = std::bit_cast<std::int64_t>(FState[1]);
  const std::int64_t y = WrapAdd(RoundToInt64(FNumerator[0] * x), s0);
  const double yd = static_cast<double>(y);
  const std::int64_t n0 = WrapAdd(WrapSub(RoundToInt64(FNumerator[1] * x), RoundToInt64(FDenominator[0] * yd)), s1);
  const std::int64_t n1 = WrapSub(RoundToInt64(FNumerator[2] * x), RoundToInt64(FDenominator[1] * yd));
  FState[0] = std::bit_cast<double>(n0);
  FState[1] = std::bit_cast<double>(n1);
  return y;
}

double TCustomBiquadIIRFilter::MagnitudeSquared(double Frequency) const {
  const double cw = 2 * std::cos(kTwoPi * Frequency * FSRR);
  const double b0 = FNumerator[0], b1 = FNumerator[1], b2 = FNumerator[2];
  const double a1 = FDenominator[0], a2 = FDenominator[1];
  const double num = (b0 - b2) * (b0 - b2) + b1 * b1 + (b1 * (b0 + b2) + b0 * b2 * cw) * cw;
  const double den = (1 - a2) * (1 - a2) + a1 * a1 + (a1 * (a2 + 1) + cw * a2) * cw;
  return num / den;
}

double TCustomBiquadIIRFilter::MagnitudeLog10(double Frequency) const {
  return 10 * std::log10(MagnitudeSquared(Frequency));
}

void TCustomBiquadIIRFilter::Complex(double Frequency, double& Real, double& Imaginary) const {
  const double c = std::cos(kTwoPi * Frequency * FSRR);
  const double c2 = 2 * c;
  const double b0 = FNumerator[0], b1 = FNumerator[1], b2 = FNumerator[2];
  const double a1 = FDenominator[0], a2 = FDenominator[1];
  const double d = a2 * a2 - 2 * a2 + a1 * a1 + c2 * (a1 * (a2 + 1) + c2 * a2) + 1;
  Real = (b0 + b1 * a1 + b2 * a2 + c * (b1 * (a2 + 1) + a1 * (b2 + b0)) + (2 * c * c - 1) * (b0 * a2 + b2)) / d;
  Imaginary = (a1 * (b2 - b0) + b1 * (1 - a2) + c2 * (b2 - b0 * a2)) * std::sqrt(1 - c * c) / d;
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
  const double b0 = FNumerator[0];
  FZeros = QuadraticRoots(-FNumerator[1] / (2 * b0), FNumerator[2] / b0);
  FPoles = QuadraticRoots(-FDenominator[0] / 2, FDenominator[1]);
}

}  // namespace vb
