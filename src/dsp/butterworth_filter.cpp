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
  if (auto* target = dynamic_cast<TCustomButterworthFilter*>(&Dest)) {
    target->FDownsamplePow = FDownsamplePow;
    target->FDownsampleFak = FDownsampleFak;
    target->FFilterGain = FFilterGain;
    target->FOrderInv = FOrderInv;
    target->FPiHalfOrderInv = FPiHalfOrderInv;
    target->FExpOrdPiHalf = FExpOrdPiHalf;
    target->FTanW0 = FTanW0;
    target->FCoeffs = FCoeffs;
    target->FState = FState;
    target->FStateStack = FStateStack;
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
  const double w = kTwoPi * Frequency * FSRR;
  const TComplex64 z1{std::cos(w), -std::sin(w)};          // z^-1 on the unit circle
  const TComplex64 z2{std::cos(2 * w), -std::sin(2 * w)};  // z^-2
  const double s = NumeratorSign;
  const unsigned n = FOrder;
  TComplex64 h{FFilterGain, 0.0};
  unsigned i = 0;
  for (; i + 1 < n; i += 2) {
    const double c0 = FCoeffs[i], c1 = FCoeffs[i + 1];
    const TComplex64 num{1 + 2 * s * z1.Re + z2.Re, 2 * s * z1.Im + z2.Im};
    const TComplex64 den{1 - c0 * z1.Re - c1 * z2.Re, -c0 * z1.Im - c1 * z2.Im};
    h.MultiplyBy(num / den);
  }
  if (i < n) {
    const double c = FCoeffs[i];
    h.MultiplyBy(TComplex64{1 + s * z1.Re, s * z1.Im} / TComplex64{1 - c * z1.Re, -c * z1.Im});
  }
  return h;
}

void TCustomButterworthFilter::ResetStates() {
  const unsigned n = FOrder;
  for (unsigned i = 0; i < n; ++i) FState[i] = 0.0;
}

void TCustomButterworthFilter::ResetStatesInt64() {
  FState[0] = 0.0;
  FState[1] = 0.0;
}

void TCustomButterworthFilter::PushStates() {
  std::array<double, kMaximumOrder> block;
  for (unsigned i = 0; i < kMaximumOrder; ++i) block[i] = FState[i];
  FStateStack.insert(FStateStack.begin(), block);
}

void TCustomButterworthFilter::PopStates() {
  if (FStateStack.empty()) return;
  for (unsigned i = 0; i < kMaximumOrder; ++i) FState[i] = FStateStack.front()[i];
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
  const unsigned n = FOrder;
  if (n == 0) return;
  const double k = FTanW0;
  const double k2 = k * k;
  double gain = FGainFactor * FGainFactor;
  TComplex64 z = FExpOrdPiHalf;
  unsigned i = 0;
  for (; i + 1 < n; i += 2) {
    const double t = 2 * k * z.Im;
    z.MultiplyBySquare(FExpOrdPiHalf);
    const double d = 1 / (k2 + t + 1);
    gain = gain * d;
    if constexpr (kLowPass) gain = gain * k2;
    FCoeffs[i] = 2 * (1 - k2) * d;
    FCoeffs[i + 1] = (t - k2 - 1) * d;
  }
  if (i < n) {
    const double d = 1 / (k + 1);
    gain = gain * d;
    if constexpr (kLowPass) gain = gain * k;
    FCoeffs[i] = (1 - k) * d;
  }
  FFilterGain = gain;
}

template <TButterworthPass Pass>
float TCustomButterworthPassFilter<Pass>::ProcessSample32(float Input) {
  const unsigned n = FOrder;
  double x = static_cast<float>(FFilterGain * Input);
  const unsigned sections = n / 2;
  for (unsigned k = 0; k < sections; ++k) {
    const double y = static_cast<float>(x + FState[2 * k]);
    FState[2 * k] = kTwiceSign * x + FCoeffs[2 * k] * y + FState[2 * k + 1];
    FState[2 * k + 1] = x + FCoeffs[2 * k + 1] * y;
    x = y;
  }
  if (n & 1) {
    const unsigned j = 2 * sections;
    const double y = static_cast<float>(x + FState[j]);
    FState[j] = kNumeratorSign * x + FCoeffs[j] * y;
    x = y;
  }
  return static_cast<float>(x);
}

// |H|^2 from C = 2 cos w: each section's numerator |1 +- z^-1|^4 is
// (C +- 2)^2, the first-order one's |1 +- z^-1|^2 is +-(C +- 2).
template <TButterworthPass Pass>
double TCustomButterworthPassFilter<Pass>::MagnitudeSquared(double Frequency) const {
  const double cw = 2 * std::cos(kTwoPi * Frequency * FSRR);
  const unsigned n = FOrder;
  double g = FFilterGain * FFilterGain;
  unsigned i = 0;
  for (; i + 1 < n; i += 2) {
    const double c0 = FCoeffs[i], c1 = FCoeffs[i + 1];
    g = g * ((cw + kTwiceSign) * (cw + kTwiceSign)) / (c0 * c0 + c1 * c1 + 2 * c1 + cw * ((c0 - cw) * c1 - c0) + 1);
  }
  if (i < n) {
    const double cc = FCoeffs[i];
    g = g * (cw + kTwiceSign) / (cc * cc - cw * cc + 1);
  }
  return 1e-34 + std::fabs(g);
}

template <TButterworthPass Pass>
void TCustomButterworthPassFilter<Pass>::Complex(double Frequency, double& Real, double& Imaginary) const {
  const TComplex64 h = Response(Frequency, kNumeratorSign);
  Real = h.Re;
  Imaginary = h.Im;
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
