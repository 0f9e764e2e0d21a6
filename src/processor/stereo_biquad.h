#pragma once
// A biquad per channel in two lanes, with the section arithmetic of the DSP
// biquads (BiquadSection, so the same bits).
// The coefficients come from the channels' filter objects when they were
// retuned; the states live here, in registers for the length of a block.

#include <cmath>

#include "dsp/biquad_iir_filter.h"
#include "dsp/filter_sections.h"
#include "processor/stereo_lanes.h"

namespace vb {

// b0, b1, b2, a1, a2 of both channels.
struct TStereoBiquadCoefficients {
  TLanes b0, b1, b2, a1, a2;

  void Take(const TCustomBiquadIIRFilter& Channel0, const TCustomBiquadIIRFilter& Channel1) {
    const auto n0 = Channel0.Numerator(), n1 = Channel1.Numerator();
    const auto d0 = Channel0.Denominator(), d1 = Channel1.Denominator();
    b0 = Lanes(n0[0], n1[0]);
    b1 = Lanes(n0[1], n1[1]);
    b2 = Lanes(n0[2], n1[2]);
    a1 = Lanes(d0[0], d1[0]);
    a2 = Lanes(d0[1], d1[1]);
  }
};

struct TStereoBiquad : TStereoBiquadCoefficients {
  TLanes s0, s1;

  // States from State[2][2] ([k][channel]).
  void Load(const TStereoBiquadCoefficients& Coefficients, const double (&State)[2][2]) {
    static_cast<TStereoBiquadCoefficients&>(*this) = Coefficients;
    s0 = Lanes(State[0][0], State[0][1]);
    s1 = Lanes(State[1][0], State[1][1]);
  }

  // Writes the states back; a channel whose states are not finite (after
  // NaN or infinite input) restarts from zero, as ResetStates would.
  void Save(double (&State)[2][2]) const {
    double v[2][2] = {{Lane0(s0), Lane1(s0)}, {Lane0(s1), Lane1(s1)}};
    for (int c = 0; c < 2; ++c) {
      const bool finite = std::isfinite(v[0][c]) && std::isfinite(v[1][c]);
      State[0][c] = finite ? v[0][c] : 0.0;
      State[1][c] = finite ? v[1][c] : 0.0;
    }
  }

  TLanes Tick(TLanes X) { return BiquadSection(X, b0, b1, b2, a1, a2, s0, s1); }
};

}  // namespace vb
