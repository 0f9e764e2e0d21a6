// The block routines for processors with AVX2: the two-lane pipeline of
// drive_block_kernel.h with two pairs of its filters in 256-bit registers.
// Pipelined, the up filter and the down filter work on independent samples
// and have the same arithmetic (gain, two Butterworth sections), so one
// four-lane filter runs both: lanes 0 and 1 the up filter, lanes 2 and 3 the
// down filter. The tone stack becomes two stages, presence and high shelf
// on one sample, mid and low shelf on the one before; so presence and mid
// run in one four-lane biquad, high shelf and low shelf in another. Every
// lane does the operations of its own filter in the order the two-lane
// routines do, so both give the same bits.
//
// Only the functions below carry the instruction set (a per-function
// target, with everything they call inlined into them), so no shared
// inline function is ever emitted with AVX2 instructions for other
// callers. No fused multiply-add: the target does not include it, and
// -ffp-contract=off stands.
#include <immintrin.h>

// The section templates return 256-bit vectors when instantiated here; they
// are always inlined (filter_sections.h), into the routines below, which
// have AVX, so the compiler's calling-convention note does not apply
// (silenced for this file in src/CMakeLists.txt).

#include "dsp/filter_sections.h"
#include "processor/drive_block.h"
#include "processor/drive_block_kernel.h"

#pragma GCC push_options
#pragma GCC target("avx2")

namespace vb {

namespace drive_block {
namespace {

using TQuad = __m256d;

// Lanes 0 and 1 from Low, 2 and 3 from High.
inline TQuad Join(TLanes Low, TLanes High) { return _mm256_insertf128_pd(_mm256_castpd128_pd256(Low), High, 1); }
inline TLanes LowHalf(TQuad X) { return _mm256_castpd256_pd128(X); }
inline TLanes HighHalf(TQuad X) { return _mm256_extractf128_pd(X, 1); }
// Keeps the low or the high half of Was (a stage that had no sample).
inline TQuad KeepLow(TQuad Now, TQuad Was) { return _mm256_blend_pd(Now, Was, 0x3); }
inline TQuad KeepHigh(TQuad Now, TQuad Was) { return _mm256_blend_pd(Now, Was, 0xC); }

// Two stereo biquads side by side.
struct TQuadBiquad {
  TQuad b0, b1, b2, a1, a2, s0, s1;

  static TQuadBiquad Join(const TStereoBiquad& Low, const TStereoBiquad& High) {
    using drive_block::Join;
    return {Join(Low.b0, High.b0), Join(Low.b1, High.b1), Join(Low.b2, High.b2), Join(Low.a1, High.a1),
            Join(Low.a2, High.a2), Join(Low.s0, High.s0), Join(Low.s1, High.s1)};
  }
  void Split(TStereoBiquad& Low, TStereoBiquad& High) const {
    Low.s0 = LowHalf(s0);
    Low.s1 = LowHalf(s1);
    High.s0 = HighHalf(s0);
    High.s1 = HighHalf(s1);
  }
  TQuad Tick(TQuad X) { return BiquadSection(X, b0, b1, b2, a1, a2, s0, s1); }
  // States of the half that had no sample go back to what they were.
  void Keep(const TQuadBiquad& Was, bool Low) {
    s0 = Low ? KeepLow(s0, Was.s0) : KeepHigh(s0, Was.s0);
    s1 = Low ? KeepLow(s1, Was.s1) : KeepHigh(s1, Was.s1);
  }
};

// Two stereo resampling filters side by side (TStereoResampler::TFilter).
struct TQuadButterworth {
  static constexpr unsigned kOrder = TStereoResampler::kOrder;
  TQuad Gain, c[kOrder], s[kOrder];

  static TQuadButterworth Join(const TStereoResampler::TFilter& Low, const TStereoResampler::TFilter& High) {
    using drive_block::Join;
    TQuadButterworth result;
    result.Gain = Join(Low.Gain, High.Gain);
    for (unsigned k = 0; k < kOrder; ++k) {
      result.c[k] = Join(Low.c[k], High.c[k]);
      result.s[k] = Join(Low.s[k], High.s[k]);
    }
    return result;
  }
  void Split(TStereoResampler::TFilter& Low, TStereoResampler::TFilter& High) const {
    for (unsigned k = 0; k < kOrder; ++k) {
      Low.s[k] = LowHalf(s[k]);
      High.s[k] = HighHalf(s[k]);
    }
  }
  TQuad Tick(TQuad Input) {
    TQuad x = Gain * Input;
    for (unsigned k = 0; k < kOrder; k += 2) x = ButterworthLowPassSection(x, c[k], c[k + 1], s[k], s[k + 1]);
    return x;
  }
  void Keep(const TQuadButterworth& Was, bool Low) {
    for (unsigned k = 0; k < kOrder; ++k) s[k] = Low ? KeepLow(s[k], Was.s[k]) : KeepHigh(s[k], Was.s[k]);
  }
};

// Up filter (with the down filter), clipper, smoothers, presence and high
// shelf (with mid and low shelf), mid and low shelf, down filter.
template <class T, bool Stereo>
class TQuadPipeline {
 public:
  static constexpr bool kSingle = std::is_same_v<T, float>;
  static constexpr std::size_t kStages = 6;
  static constexpr std::size_t kUp = 0, kClip = 1, kSmooth = 2, kTone1 = 3, kTone2 = 4, kDown = 5;

  explicit TQuadPipeline(TDriveBlockJob<T>& Job)
      : FJob(Job),
        FEnds(Job),
        FChain(*Job.Chain, *Job.Settings),
        FResampling(TQuadButterworth::Join(Job.Resampler->Up(), Job.Resampler->Down())),
        FPresMid(TQuadBiquad::Join(FChain.ToneBiquad(TDriveChain::kPres), FChain.ToneBiquad(TDriveChain::kMid))),
        FHighLow(TQuadBiquad::Join(FChain.ToneBiquad(TDriveChain::kHigh), FChain.ToneBiquad(TDriveChain::kLow))) {}

  void Run() {
    RunSteps<kStages>(*this, FEnds.Samples());
    FResampling.Split(FJob.Resampler->Up(), FJob.Resampler->Down());
    FPresMid.Split(FChain.ToneBiquad(TDriveChain::kPres), FChain.ToneBiquad(TDriveChain::kMid));
    FHighLow.Split(FChain.ToneBiquad(TDriveChain::kHigh), FChain.ToneBiquad(TDriveChain::kLow));
    FChain.End();
    FEnds.End();
  }

  // Every stage takes what the one before it made in the previous step.
  template <bool Guarded>
  void Step(std::size_t N, std::size_t Samples) {
    const bool up = StageActive<Guarded>(N, kUp, Samples), down = StageActive<Guarded>(N, kDown, Samples);
    if (up || down) Resample(up, down);
    const bool tone1 = StageActive<Guarded>(N, kTone1, Samples), tone2 = StageActive<Guarded>(N, kTone2, Samples);
    if (tone1 || tone2) Tone(tone1, tone2);
    if (StageActive<Guarded>(N, kSmooth, Samples)) FMixOut = FChain.Smooth(FClipOut, FClipDry);
    if (StageActive<Guarded>(N, kClip, Samples)) {
      FClipOut = FChain.Clip(FUpOut);
      FClipDry = FUpOut;
    }
    if (up) FUpOut = FNextUpOut;
  }

 private:
  // The up filter's sample n and the down filter's sample n - 5.
  void Resample(bool Up, bool Down) {
    const TLanes upInput = Up ? (FEnds.UpFirst() ? FEnds.TakeFrame() : FEnds.UpRest()) : TLanes{};
    const TLanes downInput = Down ? FEnds.DownInput(FToneOut) : TLanes{};
    const TQuadButterworth was = FResampling;
    const TQuad y = FResampling.Tick(Join(upInput, downInput));
    if (!Up || !Down) FResampling.Keep(was, !Up);
    if (Up) {
      FNextUpOut = LowHalf(y);
      if constexpr (kSingle) FNextUpOut = RoundToSingle(FNextUpOut);
      FEnds.UpDone();
    }
    if (Down) {
      if (FEnds.DownFirst()) FEnds.PutFrame(HighHalf(y));
      FEnds.DownDone();
    }
  }

  // Presence and high shelf on sample n - 3, mid and low shelf on n - 4.
  void Tone(bool First, bool Second) {
    const TQuadBiquad wasPresMid = FPresMid, wasHighLow = FHighLow;
    const TQuad y = FHighLow.Tick(FPresMid.Tick(Join(FMixOut, FHighOut)));
    if (!First || !Second) {
      FPresMid.Keep(wasPresMid, !First);
      FHighLow.Keep(wasHighLow, !First);
    }
    if (First) FHighOut = LowHalf(y);
    if (Second) {
      FToneOut = HighHalf(y);
      if constexpr (kSingle) FToneOut = RoundToSingle(FToneOut);
    }
  }

  TDriveBlockJob<T>& FJob;
  TBlockEnds<T> FEnds;
  TDriveChainPass<Stereo> FChain;
  TQuadButterworth FResampling;
  TQuadBiquad FPresMid, FHighLow;
  // What each stage handed on in the last step.
  TLanes FUpOut{}, FNextUpOut{}, FClipOut{}, FClipDry{}, FMixOut{}, FHighOut{}, FToneOut{};
};

}  // namespace
}  // namespace drive_block

__attribute__((flatten)) void ProcessDriveBlock32Avx2(TDriveBlockJob<float>& Job) {
  drive_block::Run<float, drive_block::TQuadPipeline>(Job);
}

__attribute__((flatten)) void ProcessDriveBlock64Avx2(TDriveBlockJob<double>& Job) {
  drive_block::Run<double, drive_block::TQuadPipeline>(Job);
}

}  // namespace vb

#pragma GCC pop_options
