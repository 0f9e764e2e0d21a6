// The values the parameter handlers compute and the audio thread reads.
// Handlers run on whichever thread sets a parameter while the audio thread
// keeps processing, so every field is a relaxed atomic (a plain move on
// x86-64). Defaults are the state after the module's create handler.
#pragma once

#include "dsp/relaxed.h"

namespace vb {

struct TDriveSettings {
  TRelaxed<double> FInputGain{1.0};   // linear, host-rate input
  TRelaxed<double> FOutputGain{1.0};  // linear, host-rate output
  TRelaxed<double> FDryWet{1.0};      // wet share, 0..1
  TRelaxed<double> FLPF{0.0};         // pole of the low-pass smoother stages
  TRelaxed<double> FHPF{1.0};         // pole of the high-pass follower
  TRelaxed<double> FTrim{0.0};        // gain of the clipped signal
  TRelaxed<double> FCurveForm{0.8};   // knee constant of x / (c + |x|)
  TRelaxed<double> FDrive{0.1};       // linear gain in front of the high-pass
  TRelaxed<double> FClip{0.64};       // negative limit of the asymmetric mode
  TRelaxed<bool> FStereo{false};      // false: one drive path fed with L + R
  TRelaxed<bool> FAsymmetric{false};
};

}  // namespace vb
