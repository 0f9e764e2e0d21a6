#pragma once
// The block routine in two-lane (SSE2) form and the pieces every form
// shares, as templates so that each implementation file compiles the same
// code for its own instruction set. Only drive_block*.cpp include this.
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
// processor could overlap little of it, so the routines run it as a
// pipeline: in one step the up filter works on sample n, the high-pass and
// clipper on n - 1, the smoothers and the mix on n - 2, the tone stack on
// n - 3 and the down filter on n - 4. Each stage still sees its samples in
// order and does exactly the same operations, so every bit stays as it was.

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

// The host side of a piece: the input frames and the up filter's input
// samples made of them, the down filter's input offsets, the output frames
// and both meters. The up and the down side each keep their own place,
// as the pipeline runs them on different samples.
template <class T>
class TBlockEnds {
 public:
  static constexpr bool kSingle = std::is_same_v<T, float>;

  explicit TBlockEnds(TDriveBlockJob<T>& Job)
      : FJob(Job),
        FFactor(Job.Factor),
        FUpGain(Broadcast(Job.Factor)),
        FInputGain(Broadcast(Job.Settings->InputGain)),
        FOutputGain(Broadcast(Job.Settings->OutputGain)),
        FFirst(Broadcast(kSingle ? static_cast<double>(kDenorm32) : kDenorm64)),
        FUpRest(Broadcast(kSingle ? -static_cast<double>(kDenorm32) : -kDenorm64)),
        FDownRest(Broadcast(-kDenorm64)),
        FInPeak(Lanes(Job.Peaks[0][0], Job.Peaks[1][0])),
        FOutPeak(Lanes(Job.Peaks[0][1], Job.Peaks[1][1])) {}

  std::size_t Samples() const { return static_cast<std::size_t>(FJob.Frames) * static_cast<std::size_t>(FFactor); }

  // --- Up side: one call per oversampled sample --------------------------
  bool UpFirst() const { return FUpPhase == 0; }
  // At a frame's first sample: F * v + d, reading the frame and following
  // the input peak.
  TLanes TakeFrame() {
    TLanes v = FInputGain * Load(FJob.In[0] + FUpFrame, FJob.In[1] + FUpFrame);
    FInPeak = NextPeaks(FInPeak, Abs(v));
    if constexpr (kSingle) v = RoundToSingle(v);
    return FUpGain * v + FFirst;
  }
  // Every other sample's input: -d.
  TLanes UpRest() const { return FUpRest; }
  void UpDone() {
    if (++FUpPhase == FFactor) {
      FUpPhase = 0;
      ++FUpFrame;
    }
  }

  // --- Down side: one call per oversampled sample ------------------------
  bool DownFirst() const { return FDownPhase == 0; }
  // The down filter's input for the chain's output c of this sample.
  TLanes DownInput(TLanes C) const {
    if (FDownPhase == 0) return C + FFirst;
    // 32 bits: the chain's Single output plus 0 is itself, bit for bit.
    if constexpr (kSingle)
      return C;
    else
      return C + FDownRest;
  }
  // At a frame's first sample: the down filter's output r becomes the
  // frame's output.
  void PutFrame(TLanes R) {
    TLanes o;
    if constexpr (kSingle)
      o = RoundToSingle(FOutputGain * RoundToSingle(R));
    else
      o = FOutputGain * R;
    Store(o, FJob.Out[0] + FDownFrame, FJob.Out[1] + FDownFrame);
    FOutPeak = NextPeaks(FOutPeak, Abs(o));
  }
  void DownDone() {
    if (++FDownPhase == FFactor) {
      FDownPhase = 0;
      ++FDownFrame;
    }
  }

  // The meters back into the job.
  void End() {
    FJob.Peaks[0][0] = static_cast<float>(Lane0(FInPeak));
    FJob.Peaks[1][0] = static_cast<float>(Lane1(FInPeak));
    FJob.Peaks[0][1] = static_cast<float>(Lane0(FOutPeak));
    FJob.Peaks[1][1] = static_cast<float>(Lane1(FOutPeak));
  }

 private:
  TDriveBlockJob<T>& FJob;
  const int FFactor;
  const TLanes FUpGain, FInputGain, FOutputGain, FFirst, FUpRest, FDownRest;
  TLanes FInPeak, FOutPeak;
  int FUpPhase = 0, FDownPhase = 0;
  std::size_t FUpFrame = 0, FDownFrame = 0;
};

// Runs a pipeline of Stages stages over Samples samples: stage k works on
// sample n - k in step n. While it fills and drains, Step<true> lets only
// the stages with a sample in range work.
template <std::size_t Stages, class TPipe>
inline void RunSteps(TPipe& Pipe, std::size_t Samples) {
  const std::size_t steps = Samples + Stages - 1;
  std::size_t n = 0;
  for (; n < Stages - 1 && n < steps; ++n) Pipe.template Step<true>(n, Samples);
  for (; n < Samples; ++n) Pipe.template Step<false>(n, Samples);
  for (; n < steps; ++n) Pipe.template Step<true>(n, Samples);
}

// Whether stage k has a sample in step n.
template <bool Guarded>
inline bool StageActive(std::size_t N, std::size_t K, std::size_t Samples) {
  return !Guarded || (N >= K && N - K < Samples);
}

// The two-lane pipeline: up filter, clipper, smoothers, tone stack, down
// filter.
template <class T, bool Stereo>
class TPipeline {
 public:
  static constexpr bool kSingle = std::is_same_v<T, float>;
  static constexpr std::size_t kStages = 5;

  explicit TPipeline(TDriveBlockJob<T>& Job)
      : FJob(Job),
        FEnds(Job),
        FChain(*Job.Chain, *Job.Settings),
        FUp(Job.Resampler->Up()),
        FDown(Job.Resampler->Down()),
        FUpRest(FUp.Gain * FEnds.UpRest()) {}

  void Run() {
    RunSteps<kStages>(*this, FEnds.Samples());
    FChain.End();
    FJob.Resampler->Up() = FUp;
    FJob.Resampler->Down() = FDown;
    FEnds.End();
  }

  // The stages run from the last to the first, so that each takes what the
  // one before it made in the previous step.
  template <bool Guarded>
  void Step(std::size_t N, std::size_t Samples) {
    if (StageActive<Guarded>(N, 4, Samples)) {
      const TLanes r = FDown.Tick(FEnds.DownInput(FToneOut));
      if (FEnds.DownFirst()) FEnds.PutFrame(r);
      FEnds.DownDone();
    }
    if (StageActive<Guarded>(N, 3, Samples)) {
      FToneOut = FChain.Tone(FMixOut);
      if constexpr (kSingle) FToneOut = RoundToSingle(FToneOut);
    }
    if (StageActive<Guarded>(N, 2, Samples)) FMixOut = FChain.Smooth(FClipOut, FClipDry);
    if (StageActive<Guarded>(N, 1, Samples)) {
      FClipOut = FChain.Clip(FUpOut);
      FClipDry = FUpOut;
    }
    if (StageActive<Guarded>(N, 0, Samples)) {
      // After the first sample the input is the constant -d, whose gained
      // form holds for the whole block.
      FUpOut = FEnds.UpFirst() ? FUp.Tick(FEnds.TakeFrame()) : FUp.Sections(FUpRest);
      if constexpr (kSingle) FUpOut = RoundToSingle(FUpOut);
      FEnds.UpDone();
    }
  }

 private:
  TDriveBlockJob<T>& FJob;
  TBlockEnds<T> FEnds;
  TDriveChainPass<Stereo> FChain;
  TStereoResampler::TFilter FUp, FDown;
  const TLanes FUpRest;
  // What each stage handed on in the last step.
  TLanes FUpOut{}, FClipOut{}, FClipDry{}, FMixOut{}, FToneOut{};
};

template <class T, template <class, bool> class TPipe>
inline void Run(TDriveBlockJob<T>& Job) {
  if (Job.Settings->Stereo)
    TPipe<T, true>(Job).Run();
  else
    TPipe<T, false>(Job).Run();
}

}  // namespace vb::drive_block
