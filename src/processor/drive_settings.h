#pragma once
// The gains, poles and switches the drive chain runs a block with. The
// audio thread maps them from one snapshot of the published values at the
// start of a block (MapDriveSettings), so they all belong together and stay
// fixed for the block. Defaults are the state after the module's create
// handler.

namespace vb {

struct TDriveSettings {
  double FInputGain = 1.0;   // linear, host-rate input
  double FOutputGain = 1.0;  // linear, host-rate output
  double FDryWet = 1.0;      // wet share, 0..1
  double FLPF = 0.0;         // pole of the low-pass smoother stages
  double FHPF = 1.0;         // pole of the high-pass follower
  double FTrim = 0.0;        // gain of the clipped signal
  double FCurveForm = 0.8;   // knee constant of x / (c + |x|)
  double FDrive = 0.1;       // linear gain in front of the high-pass
  double FClip = 0.64;       // negative limit of the asymmetric mode
  bool FStereo = false;      // false: one drive path fed with L + R
  bool FAsymmetric = false;
};

}  // namespace vb
