#pragma once
// The drive chain at the oversampled rate: high-pass, soft clipper, four
// one-pole low-pass stages with a one-pole high-pass follower, dry/wet mix
// and the tone stack (presence, high shelf, mid, low shelf), per channel or
// with one drive path fed by the sum of both inputs (mono).
//
// The filter objects own the tuning; the chain holds all states (the
// smoothers' and the biquads') and runs both channels side by side in SIMD
// lanes with exactly the arithmetic of the objects' own per-sample calls.
// It keeps its own copy of the filters' coefficients, taken when they were
// retuned. The per-sample work is TDriveChainPass (drive_chain_pass.h),
// which the oversampled block routines also run between their resampling
// filters.
//
// Audio thread only, except ClearStates (set-up thread, while the host does
// not process). Allocates nothing.

#include <array>
#include <cstddef>

#include "dsp/basic_filters.h"
#include "dsp/relaxed.h"
#include "processor/drive_settings.h"
#include "processor/stereo_biquad.h"

namespace vb {

// The biquads of one channel: they hold the tuning (coefficients), the
// chain holds their states.
struct TDriveChannelFilters {
  TBasicHighpassFilter* HighPass = nullptr;
  TBasicLowShelfFilter* Low = nullptr;
  TBasicPeakFilter* Mid = nullptr;
  TBasicHighShelfFilter* High = nullptr;
  TBasicPeakFilter* Pres = nullptr;
};
using TDriveFilters = std::array<TDriveChannelFilters, 2>;

class TDriveChain {
 public:
  static constexpr int kStages = 5;  // s0..s3 low-pass, s4 high-pass follower
  // End-of-block flush: a channel whose first stage fell below this is
  // cleared, so its states never decay into subnormal numbers.
  static constexpr double kFlushThreshold = 1e-10;
  // The biquads in signal order after the clipper, the high-pass first.
  enum TBiquad : int { kHighPass = 0, kPres = 1, kHigh = 2, kMid = 3, kLow = 4, kBiquads = 5 };

  // Runs Samples oversampled samples of channels 0 and 1 from In to Out
  // (distinct memory) with Settings, which must not change meanwhile. With
  // TakeTuning the biquads' coefficients are taken first; callers that take
  // them when they retune pass false.
  void Process(const TDriveSettings& Settings, const TDriveFilters& Filters, const double* const* In,
               double* const* Out, std::size_t Samples, bool TakeTuning = true);
  // The same on Singles: inputs are widened to Double, outputs rounded.
  void Process(const TDriveSettings& Settings, const TDriveFilters& Filters, const float* const* In, float* const* Out,
               std::size_t Samples, bool TakeTuning = true);

  // Copies the biquads' coefficients for the following blocks.
  void TakeCoefficients(const TDriveFilters& Filters);

  // Suspend: the ten smoother states := 0. The biquads keep theirs.
  void ClearStates();
  // Biquad states and coefficients in use, of one channel (Filter: TBiquad).
  // Coefficients are b0, b1, b2, a1, a2.
  double BiquadState(int Filter, int Channel, int K) const { return FBiquadState[Filter][K][Channel]; }
  std::array<double, 5> BiquadCoefficients(int Filter, int Channel) const;
  double State(int Channel, int Stage) const { return FFilterState[Channel * kStages + Stage]; }
  void SetState(int Channel, int Stage, double Value) { FFilterState[Channel * kStages + Stage] = Value; }

  // --- One pass over a block (audio thread), for TDriveChainPass ----------
  // The smoother states of channel 0 then 1, rescaled for the block's
  // low-pass pole.
  void BeginPass(double LowPass, double (&Smoother)[2 * kStages]);
  // Stores them back (flushed as described at StoreStates).
  void EndPass(const double (&Smoother)[2 * kStages], bool Stereo);
  // A biquad's coefficients and states. Inline, as SaveBiquad: a pass that
  // handed the address of its own copy to an out-of-line call would let
  // every store to the output buffers alias the states it keeps in
  // registers.
  TStereoBiquad Biquad(TBiquad Filter) const {
    TStereoBiquad result;
    result.Load(FCoefficients[Filter], FBiquadState[Filter]);
    return result;
  }
  // Writes a biquad's states back; KeepChannel1 leaves channel 1's as they
  // were (a mono pass runs only channel 0's high-pass).
  void SaveBiquad(TBiquad Filter, const TStereoBiquad& Biquad, bool KeepChannel1 = false) {
    const double channel1[2] = {FBiquadState[Filter][0][1], FBiquadState[Filter][1][1]};
    Biquad.Save(FBiquadState[Filter]);
    if (KeepChannel1) {
      FBiquadState[Filter][0][1] = channel1[0];
      FBiquadState[Filter][1][1] = channel1[1];
    }
  }

 private:
  template <class T>
  void Run(const TDriveSettings& Settings, const T* const* In, T* const* Out, std::size_t Samples);
  template <bool Stereo, class T>
  void Kernel(const TDriveSettings& Settings, const T* const* In, T* const* Out, std::size_t Samples);
  void RescaleForLowPass(double LowPass, double* States);
  void StoreStates(const double* States, bool Stereo);

  // s0..s4 of channel 0, then of channel 1.
  std::array<TRelaxed<double>, 2 * kStages> FFilterState{};
  // Low-pass pole of the previous block; audio thread only.
  double FLastLPF = 0.0;
  bool FHasRun = false;
  // [filter][k][channel], filters in TBiquad order.
  double FBiquadState[kBiquads][2][2] = {};
  TStereoBiquadCoefficients FCoefficients[kBiquads] = {};
};

}  // namespace vb
