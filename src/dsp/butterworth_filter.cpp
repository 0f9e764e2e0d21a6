#include "dsp/butterworth_filter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "dsp/dsp_constants.h"

namespace vb {

namespace {
constexpr double kMaximumW0 = 3.141;       // radians, just below pi
constexpr int kMaximumDownsamplePow = 30;  // 2^30 still fits the Integer factor
}  // namespace

// ---- TCustomButterworthFilter ----

TCustomButterworthFilter::TCustomButterworthFilter(unsigned Order)
    : TCustomOrderFilter(std::min(Order, kMaximumOrder)) {}

const char* TCustomButterworthFilter::ClassName() const { return "TCustomButterworthFilter"; }

void TCustomButterworthFilter::InitializeButterworth() {
  if (FOrder > 0)
    CalculateOrderAngle();
  else
    FFilterGain = FGainFactor;
  CalculateW0();
  CalculateCoefficients();
}

void TCustomButterworthFilter::AssignTo(TNotifiablePersistent& Dest) const {
  TCustomOrderFilter::AssignTo(Dest);
  if (auto* Target = dynamic_cast<TCustomButterworthFilter*>(&Dest)) {
    Target->FDownsamplePow = FDownsamplePow;
    Target->FDownsampleFak = FDownsampleFak;
    Target->FFilterGain = FFilterGain;
    Target->FOrderInv = FOrderInv;
    Target->FPiHalfOrderInv = FPiHalfOrderInv;
    Target->FExpOrdPiHalf = FExpOrdPiHalf;
    Target->FTanW0 = FTanW0;
    Target->FCoeffs = FCoeffs;
    Target->FState = FState;
    Target->FStateStack = FStateStack;
  }
}

void TCustomButterworthFilter::CalculateOrderAngle() {
  FOrderInv = 1.0 / FOrder;
  FPiHalfOrderInv = 0.5 * std::numbers::pi * FOrderInv;
  FExpOrdPiHalf = TComplex64::FromAngle(FPiHalfOrderInv);
}

void TCustomButterworthFilter::OrderChanged() {
  if (FOrder > 0) {
    CalculateOrderAngle();
    TCustomOrderFilter::OrderChanged();
  } else {
    FFilterGain = FGainFactor;
  }
}

void TCustomButterworthFilter::CalculateW0() {
  FW0 = FSRR * kTwoPi * (FFrequency * FDownsampleFak);
  if (FW0 > kMaximumW0) FW0 = kMaximumW0;
  FTanW0 = std::tan(0.5 * FW0);
}

void TCustomButterworthFilter::SetDownsampleAmount(int Value) {
  Value = std::clamp(Value, 0, kMaximumDownsamplePow);
  if (Value != FDownsamplePow) {
    FDownsamplePow = Value;
    FDownsampleFak = 1 << Value;
    CalculateW0();
  }
}

void TCustomButterworthFilter::SetFilterValues(float AFrequency, float AGain) {
  FFrequency = AFrequency;
  FGain_dB = AGain;
  FGainFactor = std::exp(static_cast<double>(AGain) * kLn10 / 40);
  CalculateW0();
}

double TCustomButterworthFilter::MagnitudeLog10(double Frequency) const {
  return 10 * std::log10(MagnitudeSquared(Frequency));
}

TComplex64 TCustomButterworthFilter::Response(double Frequency, double NumeratorSign) const {
  const double W = kTwoPi * Frequency * FSRR;
  const TComplex64 Z1{std::cos(W), -std::sin(W)};          // z^-1 on the unit circle
  const TComplex64 Z2{std::cos(2 * W), -std::sin(2 * W)};  // z^-2
  const double S = NumeratorSign;
  const unsigned N = FOrder;
  TComplex64 H{FFilterGain, 0.0};
  unsigned I = 0;
  for (; I + 1 < N; I += 2) {
    const double C0 = FCoeffs[I], C1 = FCoeffs[I + 1];
    const TComplex64 Num{1 + 2 * S * Z1.Re + Z2.Re, 2 * S * Z1.Im + Z2.Im};
    const TComplex64 Den{1 - C0 * Z1.Re - C1 * Z2.Re, -C0 * Z1.Im - C1 * Z2.Im};
    H.MultiplyBy(Num / Den);
  }
  if (I < N) {
    const double C = FCoeffs[I];
    H.MultiplyBy(TComplex64{1 + S * Z1.Re, S * Z1.Im} / TComplex64{1 - C * Z1.Re, -C * Z1.Im});
  }
  return H;
}

void TCustomButterworthFilter::ResetStates() {
  const unsigned N = FOrder;
  for (unsigned I = 0; I < N; ++I) FState[I] = 0.0;
}

void TCustomButterworthFilter::ResetStatesInt64() {
  FState[0] = 0.0;
  FState[1] = 0.0;
}

void TCustomButterworthFilter::PushStates() {
  std::array<double, kMaximumOrder> Block;
  for (unsigned I = 0; I < kMaximumOrder; ++I) Block[I] = FState[I];
  FStateStack.insert(FStateStack.begin(), Block);
}

void TCustomButterworthFilter::PopStates() {
  if (FStateStack.empty()) return;
  for (unsigned I = 0; I < kMaximumOrder; ++I) FState[I] = FStateStack.front()[I];
  FStateStack.erase(FStateStack.begin());
}

void TCustomButterworthFilter::Reset() { SetGain(0); }

// ---- low- and high-pass ----

// Both variants share the section design; only the low-pass measures the
// section gains at 0 Hz, which multiplies in K^2 per section and K for the
// first-order one. 2 (1 - K^2) d equals the high-pass form -2 (K^2 - 1) d
// exactly, as IEEE subtraction and multiplication are sign-symmetric.
template <TButterworthPass Pass>
void TCustomButterworthPassFilter<Pass>::CalculateCoefficients() {
  constexpr bool kLowPass = Pass == TButterworthPass::bpLowPass;
  const unsigned N = FOrder;
  if (N == 0) return;
  const double K = FTanW0;
  const double K2 = K * K;
  double Gain = FGainFactor * FGainFactor;
  TComplex64 Z = FExpOrdPiHalf;
  unsigned I = 0;
  for (; I + 1 < N; I += 2) {
    const double T = 2 * K * Z.Im;
    Z.MultiplyBySquare(FExpOrdPiHalf);
    const double D = 1 / (K2 + T + 1);
    Gain = Gain * D;
    if constexpr (kLowPass) Gain = Gain * K2;
    FCoeffs[I] = 2 * (1 - K2) * D;
    FCoeffs[I + 1] = (T - K2 - 1) * D;
  }
  if (I < N) {
    const double D = 1 / (K + 1);
    Gain = Gain * D;
    if constexpr (kLowPass) Gain = Gain * K;
    FCoeffs[I] = (1 - K) * D;
  }
  FFilterGain = Gain;
}

template <TButterworthPass Pass>
float TCustomButterworthPassFilter<Pass>::ProcessSample32(float Input) {
  const unsigned N = FOrder;
  double X = static_cast<float>(FFilterGain * Input);
  const unsigned Sections = N / 2;
  for (unsigned K = 0; K < Sections; ++K) {
    const double Y = static_cast<float>(X + FState[2 * K]);
    FState[2 * K] = kTwiceSign * X + FCoeffs[2 * K] * Y + FState[2 * K + 1];
    FState[2 * K + 1] = X + FCoeffs[2 * K + 1] * Y;
    X = Y;
  }
  if (N & 1) {
    const unsigned J = 2 * Sections;
    const double Y = static_cast<float>(X + FState[J]);
    FState[J] = kNumeratorSign * X + FCoeffs[J] * Y;
    X = Y;
  }
  return static_cast<float>(X);
}

// |H|^2 from C = 2 cos w: each section's numerator |1 +- z^-1|^4 is
// (C +- 2)^2, the first-order one's |1 +- z^-1|^2 is +-(C +- 2).
template <TButterworthPass Pass>
double TCustomButterworthPassFilter<Pass>::MagnitudeSquared(double Frequency) const {
  const double Cw = 2 * std::cos(kTwoPi * Frequency * FSRR);
  const unsigned N = FOrder;
  double G = FFilterGain * FFilterGain;
  unsigned I = 0;
  for (; I + 1 < N; I += 2) {
    const double C0 = FCoeffs[I], C1 = FCoeffs[I + 1];
    G = G * ((Cw + kTwiceSign) * (Cw + kTwiceSign)) / (C0 * C0 + C1 * C1 + 2 * C1 + Cw * ((C0 - Cw) * C1 - C0) + 1);
  }
  if (I < N) {
    const double Cc = FCoeffs[I];
    G = G * (Cw + kTwiceSign) / (Cc * Cc - Cw * Cc + 1);
  }
  return 1e-34 + std::fabs(G);
}

template <TButterworthPass Pass>
void TCustomButterworthPassFilter<Pass>::Complex(double Frequency, double& Real, double& Imaginary) const {
  const TComplex64 H = Response(Frequency, kNumeratorSign);
  Real = H.Re;
  Imaginary = H.Im;
}

template class TCustomButterworthPassFilter<TButterworthPass::bpLowPass>;
template class TCustomButterworthPassFilter<TButterworthPass::bpHighPass>;

const char* TCustomButterworthLowPassFilter::ClassName() const { return "TCustomButterworthLowPassFilter"; }
const char* TCustomButterworthHighPassFilter::ClassName() const { return "TCustomButterworthHighPassFilter"; }

// ---- published classes ----

#define VB_BUTTERWORTH_IDENTITY(Name, Base)                                                                            \
  Name::Name(unsigned Order) : Base(Order) {}                                                                          \
  const TOrderFilterClassInfo& Name::Class() noexcept {                                                                \
    static const TOrderFilterClassInfo Info{                                                                           \
        {#Name}, [](unsigned Order) -> std::unique_ptr<TCustomOrderFilter> { return std::make_unique<Name>(Order); }}; \
    return Info;                                                                                                       \
  }                                                                                                                    \
  const char* Name::ClassName() const { return #Name; }

VB_BUTTERWORTH_IDENTITY(TButterworthLowPassFilter, TCustomButterworthLowPassFilter)
VB_BUTTERWORTH_IDENTITY(TButterworthHighPassFilter, TCustomButterworthHighPassFilter)
VB_BUTTERWORTH_IDENTITY(TButterworthLowPassFilterAutomatable, TCustomButterworthLowPassFilter)
VB_BUTTERWORTH_IDENTITY(TButterworthHighPassFilterAutomatable, TCustomButterworthHighPassFilter)

#undef VB_BUTTERWORTH_IDENTITY

}  // namespace vb
