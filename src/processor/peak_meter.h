#pragma once
// Peak meters of the drive: a follower that takes a new maximum at once and
// otherwise falls by a fixed factor per host sample frame, and a cheap
// decibel read-out for the editor's meters.

#include <cmath>

#include "dsp/relaxed.h"

namespace vb {

// One meter entry. The audio thread updates it; the editor's timer reads it
// and may reset it (a reset racing an update may be lost, which only delays
// it).
class TPeakFollower {
 public:
  // 0.99999 as a Single (about 3.84 dB per second at 44100 Hz).
  static constexpr double kDecay = static_cast<double>(0.99999f);

  // Per host frame: P := 0.99999 * max(Magnitude, P), computed as
  // 0.99999 * (P + d + |d|) with d = (Magnitude - P) / 2, stored as Single.
  // A stored negative value (a reset) is replaced by the next magnitude.
  void Update(double Magnitude) { FPeak.Store(Next(FPeak.Load(), Magnitude)); }
  static float Next(float Peak, double Magnitude) {
    const double d = 0.5 * (Magnitude - Peak);
    return static_cast<float>(kDecay * (Peak + d + std::fabs(d)));
  }

  float Peak() const { return FPeak.Load(); }
  void SetPeak(float Value) { FPeak.Store(Value); }
  // A block of NaN or infinite input leaves a peak that would never decay;
  // the audio thread drops it at the end of such a block.
  void DropNonFinite();

 private:
  TRelaxed<float> FPeak{0.0f};
};

// Level in dB of a linear peak: 6.0204878 * log2(P), with log2 taken from the
// exponent bits plus a fourth-order polynomial of the mantissa (within about
// 0.00012 of log2 for positive P). Negative values read as their magnitude's
// mantissa with the sign kept, so the reset value -100 reads about -66.73 dB.
float PeakToDecibel(float Peak);

}  // namespace vb
