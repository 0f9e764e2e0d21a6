// The block routine in two-lane (SSE2) form, as a template so that every
// implementation file compiles the same code for its own instruction set.
// Only drive_block*.cpp include this.
//
// Per host frame and both channels at once (lane 0 = channel 0):
//   v = input gain * input; the input peak follows |v|;
//   the up filter runs on F * v + d, then F - 1 times on -d (zero-stuffing
//   with gain F plus the anti-denormal offset d); each of its outputs goes
//   through the drive chain and into the down filter (the first with + d,
//   the rest with - d, in 32 bits + 0), whose first output of the frame is
//   the result; output = output gain * result; the output peak follows
//   |output|.
// The 32-bit form rounds to Single where the resampler objects would: the
// gained input, the up filter's outputs, the chain's outputs, the down
// filter's result and the output.
//
// The per-sample work is a chain of some 80 cycles of latency, while each
// filter's own recursion takes only about 10. Run sample by sample, the
// processor could overlap little of it, so the routine runs it as a
// pipeline: in one step the up filter works on sample n, the high-pass and
// clipper on n - 1, the smoothers and the mix on n - 2, the tone stack on
// n - 3 and the down filter on n - 4. Each stage still sees its samples in
// order and does exactly the same operations, so every bit stays as it was.
#pragma once

#include <cstddef>
#include <type_traits>

#include "dsp/dsp_constants.h"
#include "processor/drive_block.h"
#include "processor/drive_chain_pass.h"
#include "processor/peak_meter.h"
#include "processor/stereo_lanes.h"
#include "processor/stereo_resampler.h"

namespace vb::drive_block {

// TPeakFollower::Next on both lanes: P := 0.99999 * (P + d + |d|) with
// d = (M - P) / 2, rounded to Single; P holds Single values.
inline TLanes NextPeaks(TLanes P, TLanes Magnitude) {
  const TLanes d = Broadcast(0.5) * (Magnitude - P);
  return RoundToSingle(Broadcast(TPeakFollower::kDecay) * ((P + d) + Abs(d)));
}

template <class T, bool Stereo>
class TPipeline {
 public:
  static constexpr bool kSingle = std::is_same_v<T, float>;
  // Up filter, clipper, smoothers, tone stack, down filter.
  static constexpr std::size_t kStages = 5;

  explicit TPipeline(TDriveBlockJob<T>& Job)
      : FJob(Job),
        FChain(*Job.Chain, *Job.Settings),
        FUp(Job.Resampler->Up()),
        FDown(Job.Resampler->Down()),
        FFactor(Job.Factor),
        FUpGain(Broadcast(Job.Factor)),
        FInputGain(Broadcast(Job.Settings->FInputGain)),
        FOutputGain(Broadcast(Job.Settings->FOutputGain)),
        FFirst(Broadcast(kSingle ? static_cast<double>(kDenorm32) : kDenorm64)),
        // The up filter's input after a frame's first sample is the constant
        // -d; its gained form holds for the whole block.
        FUpRest(FUp.Gain * Broadcast(kSingle ? -static_cast<double>(kDenorm32) : -kDenorm64)),
        FDownRest(Broadcast(-kDenorm64)),
        FInPeak(Lanes(Job.Peaks[0][0], Job.Peaks[1][0])),
        FOutPeak(Lanes(Job.Peaks[0][1], Job.Peaks[1][1])) {}

  void Run() {
    const std::size_t Samples = static_cast<std::size_t>(FJob.Frames) * static_cast<std::size_t>(FFactor);
    const std::size_t Steps = Samples + kStages - 1;
    std::size_t n = 0;
    // Filling: the later stages have no sample yet.
    for (; n < kStages - 1 && n < Steps; ++n) Step<true>(n, Samples);
    for (; n < Samples; ++n) Step<false>(n, Samples);
    // Draining: the earlier stages have run out of samples.
    for (; n < Steps; ++n) Step<true>(n, Samples);
    End();
  }

 private:
  // Stage k works on sample n - k. The stages run from the last to the
  // first, so that each takes what the one before it made in the previous
  // step. Guarded: a stage without a sample in range skips the step.
  template <bool Guarded>
  void Step(std::size_t n, std::size_t Samples) {
    auto Active = [&](std::size_t k) { return !Guarded || (n >= k && n - k < Samples); };
    if (Active(4)) Down();
    if (Active(3)) {
      FToneOut = FChain.Tone(FMixOut);
      if constexpr (kSingle) FToneOut = RoundToSingle(FToneOut);
    }
    if (Active(2)) FMixOut = FChain.Smooth(FClipOut, FClipDry);
    if (Active(1)) {
      FClipOut = FChain.Clip(FUpOut);
      FClipDry = FUpOut;
    }
    if (Active(0)) Up();
  }

  void Up() {
    if (FUpPhase == 0) {
      TLanes v = FInputGain * Load(FJob.In[0] + FUpFrame, FJob.In[1] + FUpFrame);
      FInPeak = NextPeaks(FInPeak, Abs(v));
      if constexpr (kSingle) v = RoundToSingle(v);
      FUpOut = FUp.Tick(FUpGain * v + FFirst);
    } else {
      FUpOut = FUp.Sections(FUpRest);
    }
    if constexpr (kSingle) FUpOut = RoundToSingle(FUpOut);
    if (++FUpPhase == FFactor) {
      FUpPhase = 0;
      ++FUpFrame;
    }
  }

  void Down() {
    if (FDownPhase == 0) {
      const TLanes r = FDown.Tick(FToneOut + FFirst);
      TLanes o;
      if constexpr (kSingle)
        o = RoundToSingle(FOutputGain * RoundToSingle(r));
      else
        o = FOutputGain * r;
      Store(o, FJob.Out[0] + FDownFrame, FJob.Out[1] + FDownFrame);
      FOutPeak = NextPeaks(FOutPeak, Abs(o));
    } else if constexpr (kSingle) {
      // The chain's Single output plus 0 is itself, bit for bit.
      FDown.Tick(FToneOut);
    } else {
      FDown.Tick(FToneOut + FDownRest);
    }
    if (++FDownPhase == FFactor) {
      FDownPhase = 0;
      ++FDownFrame;
    }
  }

  void End() {
    FChain.End();
    FJob.Resampler->Up() = FUp;
    FJob.Resampler->Down() = FDown;
    FJob.Peaks[0][0] = static_cast<float>(Lane0(FInPeak));
    FJob.Peaks[1][0] = static_cast<float>(Lane1(FInPeak));
    FJob.Peaks[0][1] = static_cast<float>(Lane0(FOutPeak));
    FJob.Peaks[1][1] = static_cast<float>(Lane1(FOutPeak));
  }

  TDriveBlockJob<T>& FJob;
  TDriveChainPass<Stereo> FChain;
  TStereoResampler::TFilter FUp, FDown;
  const int FFactor;
  const TLanes FUpGain, FInputGain, FOutputGain, FFirst, FUpRest, FDownRest;
  TLanes FInPeak, FOutPeak;
  // What each stage handed on in the last step.
  TLanes FUpOut{}, FClipOut{}, FClipDry{}, FMixOut{}, FToneOut{};
  // Sample position of the up and down filters: frame and sample in it.
  int FUpPhase = 0, FDownPhase = 0;
  std::size_t FUpFrame = 0, FDownFrame = 0;
};

template <class T>
inline void Run(TDriveBlockJob<T>& Job) {
  if (Job.Settings->FStereo)
    TPipeline<T, true>(Job).Run();
  else
    TPipeline<T, false>(Job).Run();
}

}  // namespace vb::drive_block
