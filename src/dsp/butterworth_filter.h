#pragma once

#include <array>
#include <vector>

#include "dsp/filter_sections.h"
#include "dsp/order_filter.h"
#include "dsp/relaxed.h"

namespace vb {

// Butterworth low- and high-pass filters of order 1 to 64 designed with the
// bilinear transform: a cascade of second-order sections plus one first-order
// section for odd orders. The section gains are gathered into FFilterGain,
// applied once at the input. Coefficients and states live inside the object,
// so no order needs memory beyond it.
// Threads: order, gain factor, coefficients and states are relaxed atomics,
// so the filter may be retuned and cleared on any thread while the audio
// thread runs it (a clear racing with a sample may be overwritten by it).
// ProcessRun64 holds states and coefficients in registers for a whole run of
// samples, which makes the atomics cost nothing per sample.
class TCustomButterworthFilter : public TCustomOrderFilter {
 public:
  static constexpr unsigned kMaximumOrder = 64;
  using TCustomFilter::Complex;

  const char* ClassName() const override;
  void AssignTo(TNotifiablePersistent& Dest) const override;

  unsigned MaximumOrder() const override { return kMaximumOrder; }

  // Scales the design frequency by 2^Value (0 .. 30; negative values become
  // 0). Recomputes the pre-warped frequency but not the coefficients.
  int DownsampleAmount() const noexcept { return FDownsamplePow; }
  void SetDownsampleAmount(int Value);
  int DownsampleFaktor() const noexcept { return FDownsampleFak; }

  // Stores frequency (Hz) and gain (dB) without the usual change reactions:
  // recomputes the pre-warped frequency and the gain factor but not the
  // coefficients; the next coefficient calculation uses both.
  virtual void SetFilterValues(float AFrequency, float AGain);

  double MagnitudeLog10(double Frequency) const override;

  // The first Order states; the integer form clears the first two.
  void ResetStates() override;
  void ResetStatesInt64() override;
  // Save and restore all 64 states.
  void PushStates() override;
  void PopStates() override;
  // Gain := 0 dB.
  void Reset() override;

  double FilterGain() const noexcept { return FFilterGain; }
  double TanW0() const noexcept { return FTanW0; }
  double Coefficient(unsigned Index) const noexcept { return FCoeffs[Index]; }
  double State(unsigned Index) const noexcept { return FState[Index]; }

 protected:
  // Order must be at most kMaximumOrder.
  explicit TCustomButterworthFilter(unsigned Order);
  // Completes creation; run by the constructor of each class that supplies
  // CalculateCoefficients.
  void InitializeButterworth();
  void OrderChanged() override;
  // FW0 := 2 pi f 2^DownsampleAmount / fs, limited to 3.141 rad so that the
  // pre-warped frequency tan(w0 / 2) stays finite and positive (a design
  // frequency at or above the Nyquist frequency would give unstable
  // sections); FTanW0 := tan(w0 / 2).
  void CalculateW0() override;
  void CalculateOrderAngle();
  // The per-section denominator magnitudes and phases share this walk.
  TComplex64 Response(double Frequency, double NumeratorSign) const;

  int FDownsamplePow = 0;
  int FDownsampleFak = 1;
  TRelaxed<double> FFilterGain{1.0};
  double FOrderInv = 0.0;
  double FPiHalfOrderInv = 0.0;
  TComplex64 FExpOrdPiHalf;
  double FTanW0 = 0.0;
  std::array<TRelaxed<double>, kMaximumOrder> FCoeffs;
  // Relaxed atomics: the resampler clears them on retunes, which may come
  // from another thread while the audio thread runs the filter.
  std::array<TRelaxed<double>, kMaximumOrder> FState;
  std::vector<std::array<double, kMaximumOrder>> FStateStack;  // newest first
};

// Which side of the design frequency a Butterworth filter passes.
enum class TButterworthPass { bpLowPass, bpHighPass };

// The low- and high-pass differ only in the sign of the numerator's odd
// powers and in where the section gains are measured:
//   low-pass  sections (1 + 2z^-1 + z^-2) / (1 - C0 z^-1 - C1 z^-2), first
//             order (1 + z^-1) / (1 - C z^-1); gain G^2 at 0 Hz;
//   high-pass sections (1 - 2z^-1 + z^-2) / (1 - C0 z^-1 - C1 z^-2), first
//             order (1 - z^-1) / (1 - C z^-1); gain G^2 at the Nyquist
//             frequency.
// G^2 is always computed from the current gain factor, so a gain stored by
// SetFilterValues applies at the next coefficient calculation.
template <TButterworthPass Pass>
class TCustomButterworthPassFilter : public TCustomButterworthFilter {
 public:
  // +1 for the low-pass, -1 for the high-pass: the sign of z^-1 in the
  // numerator.
  static constexpr double kNumeratorSign = Pass == TButterworthPass::bpLowPass ? 1.0 : -1.0;

  inline double ProcessSample64(double Input) override;
  // As ProcessSample64, rounding the input product and every section output
  // to Single.
  float ProcessSample32(float Input) override;
  double MagnitudeSquared(double Frequency) const override;
  void Complex(double Frequency, double& Real, double& Imaginary) const override;

  // Runs Count samples with exactly the arithmetic of ProcessSample64:
  // Input(i) supplies sample i and Output(i, y) receives its result. States
  // and coefficients are read once before and the states written once after
  // the run, so a concurrent retune applies from the next run.
  template <class TInput, class TOutput>
  void ProcessRun64(int Count, TInput&& Input, TOutput&& Output);

 protected:
  explicit TCustomButterworthPassFilter(unsigned Order) : TCustomButterworthFilter(Order) { InitializeButterworth(); }
  void CalculateCoefficients() override;

 private:
  static constexpr double kTwiceSign = 2 * kNumeratorSign;
  static constexpr int kSign = Pass == TButterworthPass::bpLowPass ? 1 : -1;
};

extern template class TCustomButterworthPassFilter<TButterworthPass::bpLowPass>;
extern template class TCustomButterworthPassFilter<TButterworthPass::bpHighPass>;

class TCustomButterworthLowPassFilter : public TCustomButterworthPassFilter<TButterworthPass::bpLowPass> {
 public:
  explicit TCustomButterworthLowPassFilter(unsigned Order) : TCustomButterworthPassFilter(Order) {}
  const char* ClassName() const override;
};

class TCustomButterworthHighPassFilter : public TCustomButterworthPassFilter<TButterworthPass::bpHighPass> {
 public:
  explicit TCustomButterworthHighPassFilter(unsigned Order) : TCustomButterworthPassFilter(Order) {}
  const char* ClassName() const override;
};

class TButterworthLowPassFilter final : public TCustomButterworthLowPassFilter {
 public:
  explicit TButterworthLowPassFilter(unsigned Order = 0);
  static const TOrderFilterClassInfo& Class() noexcept;
  const char* ClassName() const override;
};

class TButterworthHighPassFilter final : public TCustomButterworthHighPassFilter {
 public:
  explicit TButterworthHighPassFilter(unsigned Order = 0);
  static const TOrderFilterClassInfo& Class() noexcept;
  const char* ClassName() const override;
};

// Variants meant for parameter automation. They design exactly like the
// classes above (the exact tangent and magnitude), so they can stand in for
// them anywhere.
class TButterworthLowPassFilterAutomatable final : public TCustomButterworthLowPassFilter {
 public:
  explicit TButterworthLowPassFilterAutomatable(unsigned Order = 0);
  static const TOrderFilterClassInfo& Class() noexcept;
  const char* ClassName() const override;
};

class TButterworthHighPassFilterAutomatable final : public TCustomButterworthHighPassFilter {
 public:
  explicit TButterworthHighPassFilterAutomatable(unsigned Order = 0);
  static const TOrderFilterClassInfo& Class() noexcept;
  const char* ClassName() const override;
};

// Per sample: one multiply for the gain and five multiply-adds per section;
// the order is read once, so a retune from another thread is seen at the
// next sample.
template <TButterworthPass Pass>
inline double TCustomButterworthPassFilter<Pass>::ProcessSample64(double Input) {
  const unsigned n = FOrder;
  double x = FFilterGain * Input;
  const unsigned sections = n / 2;
  for (unsigned k = 0; k < sections; ++k) {
    double s0 = FState[2 * k], s1 = FState[2 * k + 1];
    x = ButterworthSection<kSign>(x, double(FCoeffs[2 * k]), double(FCoeffs[2 * k + 1]), s0, s1);
    FState[2 * k] = s0;
    FState[2 * k + 1] = s1;
  }
  if (n & 1) {
    const unsigned j = 2 * sections;
    const double y = x + FState[j];
    FState[j] = kNumeratorSign * x + FCoeffs[j] * y;
    x = y;
  }
  return x;
}

template <TButterworthPass Pass>
template <class TInput, class TOutput>
void TCustomButterworthPassFilter<Pass>::ProcessRun64(int Count, TInput&& Input, TOutput&& Output) {
  const unsigned n = FOrder;
  const double gain = FFilterGain;
  if (n == 4) {
    // The resampler's order, unrolled so that all four states stay in registers.
    const double c0 = FCoeffs[0], c1 = FCoeffs[1], c2 = FCoeffs[2], c3 = FCoeffs[3];
    double s0 = FState[0], s1 = FState[1], s2 = FState[2], s3 = FState[3];
    for (int i = 0; i < Count; ++i) {
      const double y = ButterworthSection<kSign>(gain * Input(i), c0, c1, s0, s1);
      Output(i, ButterworthSection<kSign>(y, c2, c3, s2, s3));
    }
    FState[0] = s0;
    FState[1] = s1;
    FState[2] = s2;
    FState[3] = s3;
    return;
  }
  std::array<double, kMaximumOrder> c, s;
  for (unsigned k = 0; k < n; ++k) {
    c[k] = FCoeffs[k];
    s[k] = FState[k];
  }
  const unsigned sections = n / 2;
  for (int i = 0; i < Count; ++i) {
    double x = gain * Input(i);
    for (unsigned k = 0; k < sections; ++k) {
      x = ButterworthSection<kSign>(x, c[2 * k], c[2 * k + 1], s[2 * k], s[2 * k + 1]);
    }
    if (n & 1) {
      const unsigned j = 2 * sections;
      const double y = x + s[j];
      s[j] = kNumeratorSign * x + c[j] * y;
      x = y;
    }
    Output(i, x);
  }
  for (unsigned k = 0; k < n; ++k) FState[k] = s[k];
}

}  // namespace vb
