// Guards the drive chain: bit-identity with a plain scalar rendering of the
// signal flow (so that speed work never changes a sample), the mono/stereo
// and dry/wet paths, the asymmetric limit, the state flush, the rescaling
// that prevents bursts when the low-pass pole changes, and recovery from
// non-finite input.
#include "processor/drive_chain.h"

#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "drive_test_rig.h"

namespace vb {
namespace {

using test::PeakOf;
using test::TDriveFilterSet;
using test::TestSignal;
using test::TReferenceChain;

void Configure(TDriveSettings& S, double Drive, double Trim, double L, double H, bool Stereo) {
  S.FDrive = Drive;
  S.FTrim = Trim;
  S.FLPF = L;
  S.FHPF = H;
  S.FStereo = Stereo;
}

// Runs the chain under test over one block of doubles.
void RunChain(TDriveChain& Chain, const TDriveSettings& S, const TDriveFilterSet& F, const std::vector<double>* In,
              std::vector<double>* Out) {
  const std::size_t n = In[0].size();
  for (int c = 0; c < 2; ++c) Out[c].assign(n, 0.0);
  const double* InPtr[2] = {In[0].data(), In[1].data()};
  double* OutPtr[2] = {Out[0].data(), Out[1].data()};
  Chain.Process(S, F.View(), InPtr, OutPtr, n);
}

bool SameBits(const std::vector<double>& A, const std::vector<double>& B) {
  if (A.size() != B.size()) return false;
  for (std::size_t i = 0; i < A.size(); ++i)
    if (std::bit_cast<std::uint64_t>(A[i]) != std::bit_cast<std::uint64_t>(B[i])) return false;
  return true;
}

TEST(DriveChain, MatchesTheScalarSignalFlowBitForBit) {
  const double Rate = 44100.0 * 8;
  TDriveFilterSet Tested(Rate, 6), Reference(Rate, 6);
  TDriveSettings S;
  TDriveChain Chain;
  TReferenceChain Ref;
  // Blocks of varying length with the settings moved between them: every
  // mode, the asymmetric limit, both switches and a change of pole.
  struct TStep {
    bool Stereo, Asymmetric;
    double L, H, Drive, Trim, Wet, Curve;
    std::size_t Length;
  };
  const TStep Steps[] = {
      {false, false, 0.884394, 0.999181, 0.1, 4.46625, 1.0, 0.8, 512},
      {false, true, 0.884394, 0.999181, 3.0, 1.0, 0.7, 0.3, 333},
      {true, true, 0.95, 0.99, 30.0, 0.6, 0.5, 1.5, 1},
      {true, false, 0.95, 1.0, 100.0, 0.2475, 1.0, 0.01, 4096},
      {true, false, 0.6, 0.9, 0.5, 2.0, 0.0, 2.0, 700},
      {false, false, 0.6, 0.9, 0.5, 2.0, 0.25, 0.8, 8},
  };
  std::uint32_t Seed = 1;
  for (const TStep& Step : Steps) {
    Configure(S, Step.Drive, Step.Trim, Step.L, Step.H, Step.Stereo);
    S.FAsymmetric = Step.Asymmetric;
    S.FDryWet = Step.Wet;
    S.FCurveForm = Step.Curve;
    const std::vector<double> In[2] = {TestSignal(Step.Length, 0.8, Seed), TestSignal(Step.Length, 0.5, Seed + 7)};
    Seed += 3;
    std::vector<double> Out[2], Expected[2];
    RunChain(Chain, S, Tested, In, Out);
    Ref.Run(S, Reference, In, Expected);
    for (int c = 0; c < 2; ++c) EXPECT_TRUE(SameBits(Out[c], Expected[c])) << "length " << Step.Length;
    for (int c = 0; c < 2; ++c)
      for (int k = 0; k < 5; ++k) EXPECT_EQ(Chain.State(c, k), Ref.s[c][k]);
  }
}

TEST(DriveChain, SinglePathAgreesWithDoublePathWithinSingleRounding) {
  for (bool Stereo : {true, false}) {
    const double Rate = 44100.0;
    TDriveFilterSet F64(Rate, 3), F32(Rate, 3);
    TDriveSettings S;
    Configure(S, 2.0, 1.5, 0.387704, 0.993465, Stereo);
    TDriveChain Chain64, Chain32;
    const std::size_t n = 2048;
    std::vector<float> In32[2], Out32[2];
    std::vector<double> In64[2], Out64[2];
    for (int c = 0; c < 2; ++c) {
      const std::vector<double> Signal = TestSignal(n, 0.7, 11 + c);
      In32[c].assign(Signal.begin(), Signal.end());
      In64[c].assign(In32[c].begin(), In32[c].end());  // the same values in both paths
      Out32[c].assign(n, 0.0f);
    }
    RunChain(Chain64, S, F64, In64, Out64);
    const float* InPtr[2] = {In32[0].data(), In32[1].data()};
    float* OutPtr[2] = {Out32[0].data(), Out32[1].data()};
    Chain32.Process(S, F32.View(), InPtr, OutPtr, n);
    for (int c = 0; c < 2; ++c)
      for (std::size_t i = 0; i < n; ++i) ASSERT_EQ(Out32[c][i], static_cast<float>(Out64[c][i])) << i << Stereo;
  }
}

TEST(DriveChain, DryOnlyMixIsTheToneStackOfTheInput) {
  const double Rate = 44100.0 * 8;
  TDriveFilterSet Tested(Rate, 9), Tone(Rate, 9);
  TDriveSettings S;
  Configure(S, 10.0, 4.0, 0.9, 0.999, false);
  S.FDryWet = 0.0;
  TDriveChain Chain;
  const std::vector<double> In[2] = {TestSignal(1000, 0.9, 3), TestSignal(1000, 0.4, 4)};
  std::vector<double> Out[2];
  RunChain(Chain, S, Tested, In, Out);
  for (int c = 0; c < 2; ++c)
    for (std::size_t i = 0; i < In[c].size(); ++i) {
      const double m = In[c][i];  // y * 0 + x * 1
      const double Expected = Tone.Low[c]->ProcessSample64(
          Tone.Mid[c]->ProcessSample64(Tone.High[c]->ProcessSample64(Tone.Pres[c]->ProcessSample64(m))));
      ASSERT_EQ(Out[c][i], Expected) << i;
    }
  // The drive path still ran and kept its states.
  EXPECT_NE(Chain.State(0, 3), 0.0);
}

TEST(DriveChain, MonoFeedsBothOutputsTheSameWetSignal) {
  TDriveFilterSet F(44100.0);
  TDriveSettings S;
  Configure(S, 5.0, 2.0, 0.5, 0.99, false);
  TDriveChain Chain;
  Chain.SetState(1, 2, 0.25);  // channel 1 is cleared by the first mono block
  const std::vector<double> In[2] = {TestSignal(777, 0.9, 5), TestSignal(777, 0.3, 6)};
  std::vector<double> Out[2];
  RunChain(Chain, S, F, In, Out);
  EXPECT_TRUE(SameBits(Out[0], Out[1]));  // identical tone stacks, wet only
  for (int k = 0; k < 5; ++k) EXPECT_EQ(Chain.State(1, k), 0.0);
  // Stereo with different inputs: the channels differ.
  S.FStereo = true;
  RunChain(Chain, S, F, In, Out);
  EXPECT_FALSE(SameBits(Out[0], Out[1]));
}

TEST(DriveChain, AsymmetricModeLimitsTheNegativeHalfOnly) {
  // Pole 0 and a holding follower make the wet signal the clipper's output.
  TDriveFilterSet F(44100.0);
  for (int c = 0; c < 2; ++c) F.HighPass[c]->SetFrequency(20);
  TDriveSettings S;
  Configure(S, 100.0, 1.0, 0.0, 1.0, true);
  S.FAsymmetric = true;
  S.FCurveForm = 0.01;
  TDriveChain Chain;
  const std::vector<double> In[2] = {TestSignal(4000, 1.0, 8), TestSignal(4000, 0.5, 9)};
  std::vector<double> Out[2];
  RunChain(Chain, S, F, In, Out);
  for (int c = 0; c < 2; ++c) {
    double Lowest = 0, Highest = 0;
    for (double v : Out[c]) {
      Lowest = std::min(Lowest, v);
      Highest = std::max(Highest, v);
    }
    EXPECT_GE(Lowest, -0.64 - 1e-6) << c;
    EXPECT_LT(Lowest, -0.63) << c;
    EXPECT_GT(Highest, 0.95) << c;
  }
}

TEST(DriveChain, SilenceFlushesTheStatesToExactZeros) {
  TDriveFilterSet F(44100.0);
  TDriveSettings S;
  Configure(S, 1.0, 4.0, 0.387704, 0.993465, true);
  TDriveChain Chain;
  std::vector<double> In[2] = {TestSignal(256, 1.0, 2), TestSignal(256, 1.0, 3)};
  std::vector<double> Out[2];
  RunChain(Chain, S, F, In, Out);
  EXPECT_NE(Chain.State(0, 0), 0.0);
  for (auto& Channel : In) Channel.assign(512, 0.0);
  bool Flushed = false;
  for (int Block = 0; Block < 200 && !Flushed; ++Block) {
    RunChain(Chain, S, F, In, Out);
    Flushed = true;
    for (int c = 0; c < 2; ++c)
      for (int k = 0; k < 5; ++k) Flushed = Flushed && Chain.State(c, k) == 0.0;
  }
  EXPECT_TRUE(Flushed);
}

TEST(DriveChain, ANewLowPassPoleReleasesNoBurst) {
  // 8x at 44100 Hz: "LoPass" 3000 Hz, then 500 Hz. The follower holds
  // (pole 1), so the steady wet level is the trimmed clipper level.
  const double Rate = 44100.0 * 8;
  TDriveFilterSet F(Rate);
  TDriveSettings S;
  Configure(S, 4.0, 1.0, 0.884394, 0.9995, false);
  TDriveChain Chain;
  const std::size_t n = 8192;
  std::vector<double> In[2];
  for (auto& Channel : In) {
    Channel.resize(n);
    for (std::size_t i = 0; i < n; ++i) Channel[i] = 0.5 * std::sin(2 * std::numbers::pi * 150.0 * i / Rate);
  }
  std::vector<double> Out[2];
  for (int Block = 0; Block < 4; ++Block) RunChain(Chain, S, F, In, Out);
  const double Before = PeakOf(Out[0], 0, n);
  S.FLPF = 0.980604;  // about 500 Hz at 8x
  RunChain(Chain, S, F, In, Out);
  const double Switch = PeakOf(Out[0], 0, n);
  for (int Block = 0; Block < 4; ++Block) RunChain(Chain, S, F, In, Out);
  const double After = PeakOf(Out[0], 0, n);
  EXPECT_LT(Switch, 1.15 * std::max(Before, After));
}

TEST(DriveChain, RecoversAfterABlockOfNonFiniteInput) {
  TDriveFilterSet F(44100.0), Fresh(44100.0);
  TDriveSettings S;
  Configure(S, 2.0, 2.0, 0.5, 0.99, true);
  TDriveChain Chain, FreshChain;
  std::vector<double> Bad[2] = {TestSignal(64, 1.0, 1), TestSignal(64, 1.0, 2)};
  Bad[0][10] = std::numeric_limits<double>::quiet_NaN();
  Bad[1][20] = std::numeric_limits<double>::infinity();
  std::vector<double> Out[2], Expected[2];
  RunChain(Chain, S, F, Bad, Out);
  for (int c = 0; c < 2; ++c)
    for (int k = 0; k < 5; ++k) EXPECT_EQ(Chain.State(c, k), 0.0);
  // Everything non-finite was cleared: the next block sounds as if fresh.
  const std::vector<double> Good[2] = {TestSignal(300, 0.5, 3), TestSignal(300, 0.5, 4)};
  RunChain(Chain, S, F, Good, Out);
  RunChain(FreshChain, S, Fresh, Good, Expected);
  for (int c = 0; c < 2; ++c)
    for (double v : Out[c]) ASSERT_TRUE(std::isfinite(v));
  EXPECT_TRUE(SameBits(Out[0], Expected[0]));
  EXPECT_TRUE(SameBits(Out[1], Expected[1]));
}

TEST(DriveChain, AnEmptyBlockOnlyFlushes) {
  TDriveFilterSet F(44100.0);
  TDriveSettings S;
  TDriveChain Chain;
  Chain.SetState(0, 0, 1e-12);
  Chain.SetState(0, 3, 0.5);
  Chain.SetState(1, 0, 0.5);
  const double* In[2] = {nullptr, nullptr};
  double* Out[2] = {nullptr, nullptr};
  Chain.Process(S, F.View(), In, Out, 0);
  EXPECT_EQ(Chain.State(0, 3), 0.0);  // channel 0 below the threshold
  EXPECT_EQ(Chain.State(1, 0), 0.0);  // mono clears channel 1
}

}  // namespace
}  // namespace vb
