#pragma once
// The up and down filters of both channels side by side, with the exact
// arithmetic of the resampler objects (TZarnUpDownsampling with fourth-order
// Butterworth low-passes, ButterworthLowPassSection). The block routines
// (drive_block.h) run them sample by sample: zero-stuffing with gain Factor
// plus the tiny anti-denormal offsets, then the up filter; the down filter
// on every input, keeping the first result.
//
// The resampler objects stay the owners of the tuning (factor, rate,
// coefficients); this class holds the filter states of both channels and
// takes the coefficients when the objects were retuned. Set-up thread for
// Bind, audio thread for everything else.

#include <array>

#include "dsp/butterworth_filter.h"
#include "dsp/filter_sections.h"
#include "dsp/up_down_sampling.h"
#include "processor/stereo_lanes.h"

namespace vb {

class TStereoResampler {
 public:
  // The only filters this class runs: Butterworth low-passes of this order,
  // cut off at this share of the host rate's Nyquist frequency.
  static constexpr unsigned kOrder = 4;
  static constexpr double kTransitionBandwidth = 0.99;

  // The objects whose tuning this class follows. Refuses (EAssertionFailed)
  // objects whose filters are not TButterworthLowPassFilter of order kOrder.
  void Bind(const TZarnUpDownsampling& Channel0, const TZarnUpDownsampling& Channel1);
  // Takes the bound objects' coefficients; both channels restart from
  // silence, as the objects do on every retune.
  void Retune();
  // End of a block: clears the states of a channel that holds NaN or
  // infinity, so that the next block sounds again.
  void End();

  // The gain and kOrder coefficients in use, of the up (Direction 0) or down
  // (1) filter of one channel.
  std::array<double, kOrder + 1> Coefficients(int Direction, int Channel) const;

  // The gain and the two sections' coefficients and states of one direction,
  // both channels.
  struct TCoefficients {
    TLanes Gain;
    TLanes c[kOrder];
  };
  struct TFilter : TCoefficients {
    TLanes s[kOrder];
    TLanes Tick(TLanes Input) { return Sections(Gain * Input); }
    // Tick without the gain: X is Gain * Input.
    TLanes Sections(TLanes X) {
      for (unsigned k = 0; k < kOrder; k += 2) X = ButterworthLowPassSection(X, c[k], c[k + 1], s[k], s[k + 1]);
      return X;
    }
  };
  // Audio thread: the filters, for block routines that run them in their
  // own registers and write them back (End still applies).
  TFilter& Up() { return FUp; }
  TFilter& Down() { return FDown; }

 private:
  static void LoadCoefficients(TCoefficients& Target, const TCustomButterworthFilter& Channel0,
                               const TCustomButterworthFilter& Channel1);
  static void KeepFinite(TFilter& Filter);

  TFilter FUp{}, FDown{};
  // [channel][0] up, [channel][1] down; null until Bind.
  const TCustomButterworthFilter* FSource[2][2] = {};
};

}  // namespace vb
