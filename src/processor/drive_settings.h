#pragma once
// The gains, poles and switches the drive chain runs a block with. The
// audio thread maps them from one snapshot of the published values at the
// start of a block (MapDriveSettings), so they all belong together and stay
// fixed for the block. Defaults are the state after the module's create
// handler.

namespace vb {

struct TDriveSettings {
  double InputGain = 1.0;   // linear, host-rate input
  double OutputGain = 1.0;  // linear, host-rate output
  double DryWet = 1.0;      // wet share, 0..1
  double LPF = 0.0;         // pole of the low-pass smoother stages
  double HPF = 1.0;         // pole of the high-pass follower
  double Trim = 0.0;        // gain of the clipped signal
  double CurveForm = 0.8;   // knee constant of x / (c + |x|)
  double Drive = 0.1;       // linear gain in front of the high-pass
  double Clip = 0.64;       // negative limit of the asymmetric mode
  bool Stereo = false;      // false: one drive path fed with L + R
  bool Asymmetric = false;
};

}  // namespace vb
