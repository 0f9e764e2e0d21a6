#pragma once
// One pass of the drive chain over a block, one oversampled sample of both
// channels per Tick, with every state and setting in locals so that the
// compiler keeps them in registers (the chain's own fields could alias the
// output buffers). The buffered chain (TDriveChain::Process) and the
// oversampled block routines (drive_block_kernel.h) both run it, so they
// compute the same bits.
//
// Audio thread only; the chain must not be used otherwise between the
// constructor and End.

#include "processor/drive_chain.h"
#include "processor/drive_settings.h"
#include "processor/stereo_biquad.h"
#include "processor/stereo_lanes.h"

namespace vb {

template <bool Stereo>
class TDriveChainPass {
 public:
  // Takes the states (rescaled for the block's low-pass pole) and fixes
  // Settings for the pass.
  TDriveChainPass(TDriveChain& Chain, const TDriveSettings& Settings)
      : FChain(Chain),
        FAsymmetric(Settings.Asymmetric),
        FL(Broadcast(Settings.LPF)),
        FH(Broadcast(Settings.HPF)),
        FD(Broadcast(Settings.Drive)),
        FT(Broadcast(Trim(Settings))),
        FCurveForm(Broadcast(Settings.CurveForm)),
        FLimit(Broadcast(-Settings.Clip)),
        FWet(Broadcast(Settings.DryWet)),
        FDry(Broadcast(1 - Settings.DryWet)),
        FHighPass(Chain.Biquad(TDriveChain::kHighPass)),
        FPres(Chain.Biquad(TDriveChain::kPres)),
        FHigh(Chain.Biquad(TDriveChain::kHigh)),
        FMid(Chain.Biquad(TDriveChain::kMid)),
        FLow(Chain.Biquad(TDriveChain::kLow)) {
    double s[2 * TDriveChain::kStages];
    Chain.BeginPass(Settings.LPF, s);
    for (int k = 0; k < TDriveChain::kStages; ++k) FS[k] = Lanes(s[k], s[TDriveChain::kStages + k]);
  }

  // One oversampled sample of both channels (lane 0 = channel 0): Clip,
  // Smooth and Tone in a row. Block routines that overlap consecutive
  // samples call the three stages themselves, each on its own sample, in
  // sample order per stage.
  TLanes Tick(TLanes Dry) { return Tone(Smooth(Clip(Dry), Dry)); }

  // The high-pass of the driven input (in mono channel 0's, fed with the
  // sum of both inputs), then the clipper a = x / (c + |x|), limited to
  // -clip in the asymmetric mode.
  TLanes Clip(TLanes Dry) {
    TLanes driven;
    if constexpr (Stereo)
      driven = FD * Dry;
    else
      driven = FD * (Dry + Swap(Dry));  // both lanes: D * (In0 + In1)
    const TLanes x = FHighPass.Tick(driven);
    TLanes a = x / (FCurveForm + Abs(x));
    if (FAsymmetric) a = RaiseTo(a, FLimit);
    return a;
  }

  // Smoother stages s0..s3 and follower s4 on the clipped a, the wet signal
  // y = s3 - s4 (channel 0's to both in mono), mixed with the undriven Dry
  // of the same sample.
  TLanes Smooth(TLanes A, TLanes Dry) {
    FS[0] = FL * FS[0] + FT * A;
    FS[1] = FL * FS[1] + FS[0];
    FS[2] = FL * FS[2] + FS[1];
    FS[3] = FL * FS[3] + FS[2];
    FS[4] = FS[3] + FH * (FS[4] - FS[3]);
    TLanes y = FS[3] - FS[4];
    if constexpr (!Stereo) y = Lane0ToBoth(y);
    return y * FWet + Dry * FDry;
  }

  // Presence, high shelf, mid and low shelf.
  TLanes Tone(TLanes M) { return FLow.Tick(FMid.Tick(FHigh.Tick(FPres.Tick(M)))); }

  // One of the tone stack's biquads (kPres, kHigh, kMid or kLow), for block
  // routines that run them in wider registers: they take them after the
  // constructor and put them back before End.
  TStereoBiquad& ToneBiquad(TDriveChain::TBiquad Filter) {
    switch (Filter) {
      case TDriveChain::kPres:
        return FPres;
      case TDriveChain::kHigh:
        return FHigh;
      case TDriveChain::kMid:
        return FMid;
      default:
        return FLow;
    }
  }

  // Writes every state back (smoothers flushed, non-finite states cleared).
  void End() {
    double s[2 * TDriveChain::kStages];
    for (int k = 0; k < TDriveChain::kStages; ++k) {
      s[k] = Lane0(FS[k]);
      s[TDriveChain::kStages + k] = Lane1(FS[k]);
    }
    FChain.SaveBiquad(TDriveChain::kHighPass, FHighPass, !Stereo);
    FChain.SaveBiquad(TDriveChain::kPres, FPres);
    FChain.SaveBiquad(TDriveChain::kHigh, FHigh);
    FChain.SaveBiquad(TDriveChain::kMid, FMid);
    FChain.SaveBiquad(TDriveChain::kLow, FLow);
    FChain.EndPass(s, Stereo);
  }

  // The gain of the clipped signal at the smoothers' input: Trim * (1 - L)^4,
  // so that the four low-pass stages have a DC gain of exactly Trim.
  static double Trim(const TDriveSettings& Settings) {
    const double u = 1 - Settings.LPF;
    return Settings.Trim * ((u * u) * (u * u));
  }

 private:
  TDriveChain& FChain;
  const bool FAsymmetric;
  const TLanes FL, FH, FD, FT, FCurveForm, FLimit, FWet, FDry;
  TStereoBiquad FHighPass, FPres, FHigh, FMid, FLow;
  TLanes FS[TDriveChain::kStages];
};

}  // namespace vb
