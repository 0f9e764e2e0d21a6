// Up- and downsampling of both channels side by side, with the exact
// arithmetic of the resampler objects (TZarnUpDownsampling with fourth-order
// Butterworth low-passes): zero-stuffing with gain Factor plus the tiny
// anti-denormal offsets, then the up filter; the down filter on every input,
// keeping the first result.
//
// The resampler objects stay the owners of the tuning (factor, rate,
// coefficients); this class holds the filter states of both channels and
// takes the coefficients once per block. When an object retunes (it would
// clear its states), its change event marks the states here for clearing
// at the start of the next block. Audio thread, except MarkChanged.
#pragma once

#include <atomic>

#include "dsp/butterworth_filter.h"
#include "dsp/up_down_sampling.h"
#include "processor/stereo_lanes.h"

namespace vb {

class TStereoResampler {
 public:
  static constexpr unsigned kOrder = 4;

  // Any thread: the objects retuned; the states restart at the next block.
  void MarkChanged() { FChanged.store(true, std::memory_order_relaxed); }

  // Copies both channels' coefficients aside (they may be mid-retune; see
  // TTuningGuard).
  void Fetch(const TZarnUpDownsampling& Channel0, const TZarnUpDownsampling& Channel1);
  // Puts the fetched coefficients in force and clears the states if the
  // objects retuned since the last commit.
  void Commit();
  // End of a block: clears the states of a channel that holds NaN or
  // infinity, so that the next block sounds again.
  void End();

  // One host frame of both channels (v) to Factor samples per channel.
  void Upsample(TLanes v, int Factor, double* Out0, double* Out1);
  void Upsample(TLanes v, int Factor, float* Out0, float* Out1);
  // Factor samples per channel to one host frame of both channels.
  TLanes Downsample(const double* In0, const double* In1, int Factor);
  TLanes Downsample(const float* In0, const float* In1, int Factor);

 private:
  struct TCoefficients {
    TLanes Gain;
    TLanes c[kOrder];
  };
  struct TFilter : TCoefficients {
    TLanes s[kOrder];
    TLanes Tick(TLanes Input) {
      TLanes X = Gain * Input;
      for (unsigned k = 0; k < kOrder; k += 2) {
        const TLanes Y = X + s[k];
        s[k] = Broadcast(2.0) * X + c[k] * Y + s[k + 1];
        s[k + 1] = X + c[k + 1] * Y;
        X = Y;
      }
      return X;
    }
  };
  static void LoadCoefficients(TCoefficients& Target, const TCustomOrderFilter& Channel0,
                               const TCustomOrderFilter& Channel1);
  static void KeepFinite(TFilter& Filter);

  TFilter FUp{}, FDown{};
  TCoefficients FFetchedUp{}, FFetchedDown{};
  std::atomic<bool> FChanged{true};
};

}  // namespace vb
