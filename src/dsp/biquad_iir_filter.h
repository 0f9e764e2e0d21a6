#pragma once

#include <array>
#include <vector>

#include "dsp/bandwidth_iir_filter.h"
#include "dsp/filter_sections.h"
#include "dsp/relaxed.h"

namespace vb {

// A complex value of two Singles (poles and zeros of a biquad).
struct TComplex32 {
  float Re = 0.0f;
  float Im = 0.0f;
};

// Second-order recursive filter
//   H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2)
// in the transposed two-state form. Each design supplies
// CalculateCoefficients.
// Threads: the coefficients are relaxed atomics, so frequency, gain,
// bandwidth and sample rate may be changed on any thread while the audio
// thread processes. The states are plain Doubles kept for speed (they are on
// the per-sample dependency chain): processing, ResetStates, PushStates,
// PopStates and GetIR belong to one thread at a time.
class TCustomBiquadIIRFilter : public TCustomBandwidthIIRFilter {
 public:
  using TCustomFilter::Complex;

  const char* ClassName() const override;
  // The common settings; between objects of the same class also the
  // coefficients, poles, zeros, states and saved states, otherwise Dest
  // recalculates its own coefficients.
  void AssignTo(TNotifiablePersistent& Dest) const override;

  inline double ProcessSample64(double Input) override;
  // As ProcessSample64, with the output rounded to Single before it enters
  // the states.
  float ProcessSample32(float Input) override;
  // Sample by sample with exactly the arithmetic of ProcessSample64, but
  // coefficients and states are held in registers for the whole block (about
  // twice as fast); a concurrent retune applies from the next block. A
  // series of biquads may run block after block instead of sample by sample:
  // each one sees the same input, so the result is the same to the bit.
  void ProcessBlock64(double* Data, int SampleCount) override;
  // The same recursion on integers, each product rounded to the nearest.
  std::int64_t ProcessSampleInt64(std::int64_t Input) override;

  double MagnitudeSquared(double Frequency) const override;
  double MagnitudeLog10(double Frequency) const override;
  // H at e^(-jw): the conjugate of the response H(e^(jw)).
  void Complex(double Frequency, double& Real, double& Imaginary) const override;

  void PushStates() override;
  void PopStates() override;
  void ResetStates() override;
  void ResetStatesInt64() override;
  // Gain := 0 dB.
  void Reset() override;

  // Always 2; writing raises EDspError "Order is fixed!".
  unsigned GetOrder() const override;
  void SetOrder(unsigned Value) override;

  // b0, b1, b2 and a1, a2 (a0 is 1).
  std::array<double, 3> Numerator() const noexcept { return {FNumerator[0], FNumerator[1], FNumerator[2]}; }
  std::array<double, 2> Denominator() const noexcept { return {FDenominator[0], FDenominator[1]}; }
  std::array<double, 2> States() const noexcept { return FState; }
  // Computed once, at creation.
  const std::array<TComplex32, 2>& Poles() const noexcept { return FPoles; }
  const std::array<TComplex32, 2>& Zeros() const noexcept { return FZeros; }

 protected:
  TCustomBiquadIIRFilter() = default;
  // Completes creation; each design's constructor calls it so that its own
  // CalculateCoefficients runs.
  void InitializeBiquad();
  virtual void CalculatePoleZeros();

  std::array<TRelaxed<double>, 2> FDenominator;  // a1, a2
  std::array<TRelaxed<double>, 3> FNumerator;    // b0, b1, b2
  std::array<TComplex32, 2> FPoles;
  std::array<TComplex32, 2> FZeros;
  // s0, s1: owned by the thread that processes (see the class comment).
  std::array<double, 2> FState{};
  std::vector<std::array<double, 2>> FStateStack;  // newest first
};

// Publishes Bandwidth, Frequency, Gain and SampleRate.
class TBiquadIIRFilter : public TCustomBiquadIIRFilter {
 public:
  const char* ClassName() const override;
  double Bandwidth() const noexcept { return BandWidth(); }
  void SetBandwidth(double Value) { SetBandWidth(Value); }
};

inline double TCustomBiquadIIRFilter::ProcessSample64(double Input) {
  return BiquadSection(Input, FNumerator[0].Load(), FNumerator[1].Load(), FNumerator[2].Load(), FDenominator[0].Load(),
                       FDenominator[1].Load(), FState[0], FState[1]);
}

}  // namespace vb
