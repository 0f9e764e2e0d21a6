#pragma once

#include <array>
#include <memory>

#include "dsp/butterworth_filter.h"
#include "dsp/notifiable_persistent.h"
#include "dsp/relaxed.h"

namespace vb {

// Integer oversampling: settings shared by resampler implementations. Its
// SampleRate is the higher, oversampled rate in Hz. Every real change of
// factor, order, transition bandwidth or sample rate retunes the filters and
// clears their states, then fires OnChange.
class TZarnResampling : public TDspSampleRatePersistent {
 public:
  const char* ClassName() const override;
  // Copies sample rate, factor, order and transition bandwidth (not the
  // filter class), without retuning Dest.
  void AssignTo(TNotifiablePersistent& Dest) const override;

  int Factor() const noexcept { return FFactor; }
  // Factors below 1 are refused: the stored factor stays as it was.
  void SetFactor(int Value);
  TOrderFilterClass FilterClass() const noexcept { return FFilterClass; }
  // Set-up only: replaces the filter objects, so never while audio runs.
  // A null class is refused.
  void SetFilterClass(TOrderFilterClass Value);
  int Order() const noexcept { return FOrder; }
  void SetOrder(int Value);
  // Cut-off as a share of the lower rate's Nyquist frequency (0.99).
  double TransitionBandwidth() const noexcept { return FTransitionBandwidth; }
  void SetTransitionBandwidth(double Value);

  virtual void ResetStates() = 0;

 protected:
  TZarnResampling() = default;
  void SampleRateChanged() override;
  virtual void FactorChanged();
  virtual void FilterClassChanged() = 0;
  virtual void OrderChanged();
  virtual void TransitionBandwidthChanged();
  virtual void UpdateFilter() = 0;

  TOrderFilterClass FFilterClass = nullptr;
  TRelaxed<int> FFactor{1};  // read by the audio thread on every sample
  int FOrder = 0;
  double FTransitionBandwidth = 0.99;
};

// Zero-stuffing upsampler and decimating downsampler, each direction through
// its own low-pass of FilterClass (a Butterworth low-pass after creation)
// tuned to TransitionBandwidth times the lower rate's Nyquist frequency.
// Threads: Upsample*/Downsample* run on the audio thread; factor, order,
// transition bandwidth, sample rate and ResetStates may be changed on another
// thread meanwhile (the filters' coefficients and states are relaxed
// atomics), one such thread at a time. The filter class is set-up only.
class TZarnUpDownsampling final : public TZarnResampling {
 public:
  // Factor 1, order 2, 44100 Hz, Butterworth low-pass filters.
  TZarnUpDownsampling();
  const char* ClassName() const override;
  void AssignTo(TNotifiablePersistent& Dest) const override;

  // One sample in, Factor samples out: zero-stuffing with gain Factor plus a
  // tiny offset that keeps the filter states out of the subnormal range.
  void Upsample32(float Input, float* Output);
  void Upsample64(double Input, double* Output);
  // Factor samples in, one out: every input runs through the anti-alias
  // filter, the first one's result is kept.
  float Downsample32(const float* Input);
  double Downsample64(const double* Input);

  void ResetStates() override;

  // The up (0) and down (1) filters.
  TCustomOrderFilter& Filter(int Index) const { return *FFilter[Index]; }

 protected:
  void SampleRateChanged() override;
  void FilterClassChanged() override;
  void OrderChanged() override;
  void UpdateFilter() override;

 private:
  std::array<std::unique_ptr<TCustomOrderFilter>, 2> FFilter;
  // The same objects when they are Butterworth low-passes, so that the
  // per-sample calls are direct and inline; null for any other class.
  std::array<TButterworthLowPassFilter*, 2> FLowPass{};
};

}  // namespace vb
