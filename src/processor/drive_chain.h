// The drive chain at the oversampled rate: high-pass, soft clipper, four
// one-pole low-pass stages with a one-pole high-pass follower, dry/wet mix
// and the tone stack (presence, high shelf, mid, low shelf), per channel or
// with one drive path fed by the sum of both inputs (mono).
//
// The filter objects own the tuning; the chain holds all states (the
// smoothers' and the biquads') and runs both channels side by side in SIMD
// lanes with exactly the arithmetic of the objects' own per-sample calls.
// Filter coefficients are taken once per block.
//
// Audio thread only, except ClearStates (set-up thread, while the host does
// not process). Allocates nothing.
#pragma once

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

  // Runs Samples oversampled samples of channels 0 and 1 from In to Out
  // (distinct memory). Gains and poles (drive, trim, both smoother poles)
  // and the stereo choice are taken once per block; knee, asymmetry, clip
  // level and dry/wet at every sample. With FetchTuning the biquad
  // coefficients are fetched and committed first; callers whose filters
  // may be retuned concurrently fetch and commit themselves instead.
  void Process(const TDriveSettings& Settings, const TDriveFilters& Filters, const double* const* In,
               double* const* Out, std::size_t Samples, bool FetchTuning = true);
  // The same on Singles: inputs are widened to Double, outputs rounded.
  void Process(const TDriveSettings& Settings, const TDriveFilters& Filters, const float* const* In, float* const* Out,
               std::size_t Samples, bool FetchTuning = true);

  // The biquads' coefficients: Fetch copies them aside (they may be
  // mid-retune; see TTuningGuard), Commit puts the copy in force for the
  // following blocks.
  void FetchCoefficients(const TDriveFilters& Filters);
  void CommitCoefficients();

  // Suspend: the ten smoother states := 0. The biquads keep theirs.
  void ClearStates();
  // Biquad states of one channel: Filter 0 high-pass, 1 presence, 2 high
  // shelf, 3 mid, 4 low shelf.
  double BiquadState(int Filter, int Channel, int k) const { return FBiquadState[Filter][k][Channel]; }
  double State(int Channel, int Stage) const { return FFilterState[Channel * kStages + Stage]; }
  void SetState(int Channel, int Stage, double Value) { FFilterState[Channel * kStages + Stage] = Value; }

 private:
  static constexpr int kBiquads = 5;

  template <class T>
  void Run(const TDriveSettings& Settings, const TDriveFilters& Filters, const T* const* In, T* const* Out,
           std::size_t Samples, bool FetchTuning);
  template <bool Stereo, class T>
  void Kernel(const TDriveSettings& Settings, const TDriveFilters& Filters, const T* const* In, T* const* Out,
              std::size_t Samples, double* States);
  void RescaleForLowPass(double LowPass, double* States);
  void StoreStates(const double* States, bool Stereo);

  // s0..s4 of channel 0, then of channel 1.
  std::array<TRelaxed<double>, 2 * kStages> FFilterState{};
  // Low-pass pole of the previous block; audio thread only.
  double FLastLPF = 0.0;
  bool FHasRun = false;
  // [filter][k][channel], filters in the order of BiquadState.
  double FBiquadState[kBiquads][2][2] = {};
  TStereoBiquadCoefficients FCoefficients[kBiquads] = {}, FFetched[kBiquads] = {};
};

}  // namespace vb
