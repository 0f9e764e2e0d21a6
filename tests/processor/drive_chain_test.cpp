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
  S.Drive = Drive;
  S.Trim = Trim;
  S.LPF = L;
  S.HPF = H;
  S.Stereo = Stereo;
}

// Runs the chain under test over one block of doubles.
void RunChain(TDriveChain& Chain, const TDriveSettings& S, const TDriveFilterSet& F, const std::vector<double>* In,
              std::vector<double>* Out) {
  const std::size_t n = In[0].size();
  for (int c = 0; c < 2; ++c) Out[c].assign(n, 0.0);
  const double* inPtr[2] = {In[0].data(), In[1].data()};
  double* outPtr[2] = {Out[0].data(), Out[1].data()};
  Chain.Process(S, F.View(), inPtr, outPtr, n);
}

bool SameBits(const std::vector<double>& A, const std::vector<double>& B) {
  if (A.size() != B.size()) return false;
  for (std::size_t i = 0; i < A.size(); ++i)
    if (std::bit_cast<std::uint64_t>(A[i]) != std::bit_cast<std::uint64_t>(B[i])) return false;
  return true;
}

TEST(DriveChain, MatchesTheScalarSignalFlowBitForBit) {
  const double rate = 44100.0 * 8;
  TDriveFilterSet tested(rate, 6), reference(rate, 6);
  TDriveSettings s;
  TDriveChain chain;
  TReferenceChain ref;
  // Blocks of varying length with the settings moved between them: every
  // mode, the asymmetric limit, both switches and a change of pole.
  struct TStep {
    bool Stereo, Asymmetric;
    double L, H, Drive, Trim, Wet, Curve;
    std::size_t Length;
  };
  const TStep steps[] = {
      {false, false, 0.884394, 0.999181, 0.1, 4.46625, 1.0, 0.8, 512},
      {false, true, 0.884394, 0.999181, 3.0, 1.0, 0.7, 0.3, 333},
      {true, true, 0.95, 0.99, 30.0, 0.6, 0.5, 1.5, 1},
      {true, false, 0.95, 1.0, 100.0, 0.2475, 1.0, 0.01, 4096},
      {true, false, 0.6, 0.9, 0.5, 2.0, 0.0, 2.0, 700},
      {false, false, 0.6, 0.9, 0.5, 2.0, 0.25, 0.8, 8},
  };
  std::uint32_t seed = 1;
  for (const TStep& step : steps) {
    Configure(s, step.Drive, step.Trim, step.L, step.H, step.Stereo);
    s.Asymmetric = step.Asymmetric;
    s.DryWet = step.Wet;
    s.CurveForm = step.Curve;
    const std::vector<double> in[2] = {TestSignal(step.Length, 0.8, seed), TestSignal(step.Length, 0.5, seed + 7)};
    seed += 3;
    std::vector<double> out[2], expected[2];
    RunChain(chain, s, tested, in, out);
    ref.Run(s, reference, in, expected);
    for (int c = 0; c < 2; ++c) EXPECT_TRUE(SameBits(out[c], expected[c])) << "length " << step.Length;
    for (int c = 0; c < 2; ++c)
      for (int k = 0; k < 5; ++k) EXPECT_EQ(chain.State(c, k), ref.s[c][k]);
  }
}

TEST(DriveChain, SinglePathAgreesWithDoublePathWithinSingleRounding) {
  for (bool stereo : {true, false}) {
    const double rate = 44100.0;
    TDriveFilterSet f64(rate, 3), f32(rate, 3);
    TDriveSettings s;
    Configure(s, 2.0, 1.5, 0.387704, 0.993465, stereo);
    TDriveChain chain64, chain32;
    const std::size_t n = 2048;
    std::vector<float> in32[2], out32[2];
    std::vector<double> in64[2], out64[2];
    for (int c = 0; c < 2; ++c) {
      const std::vector<double> signal = TestSignal(n, 0.7, 11 + c);
      in32[c].assign(signal.begin(), signal.end());
      in64[c].assign(in32[c].begin(), in32[c].end());  // the same values in both paths
      out32[c].assign(n, 0.0f);
    }
    RunChain(chain64, s, f64, in64, out64);
    const float* inPtr[2] = {in32[0].data(), in32[1].data()};
    float* outPtr[2] = {out32[0].data(), out32[1].data()};
    chain32.Process(s, f32.View(), inPtr, outPtr, n);
    for (int c = 0; c < 2; ++c)
      for (std::size_t i = 0; i < n; ++i) ASSERT_EQ(out32[c][i], static_cast<float>(out64[c][i])) << i << stereo;
  }
}

TEST(DriveChain, DryOnlyMixIsTheToneStackOfTheInput) {
  const double rate = 44100.0 * 8;
  TDriveFilterSet tested(rate, 9), tone(rate, 9);
  TDriveSettings s;
  Configure(s, 10.0, 4.0, 0.9, 0.999, false);
  s.DryWet = 0.0;
  TDriveChain chain;
  const std::vector<double> in[2] = {TestSignal(1000, 0.9, 3), TestSignal(1000, 0.4, 4)};
  std::vector<double> out[2];
  RunChain(chain, s, tested, in, out);
  for (int c = 0; c < 2; ++c)
    for (std::size_t i = 0; i < in[c].size(); ++i) {
      const double m = in[c][i];  // y * 0 + x * 1
      const double expected = tone.Low[c]->ProcessSample64(
          tone.Mid[c]->ProcessSample64(tone.High[c]->ProcessSample64(tone.Pres[c]->ProcessSample64(m))));
      ASSERT_EQ(out[c][i], expected) << i;
    }
  // The drive path still ran and kept its states.
  EXPECT_NE(chain.State(0, 3), 0.0);
}

TEST(DriveChain, MonoFeedsBothOutputsTheSameWetSignal) {
  TDriveFilterSet f(44100.0);
  TDriveSettings s;
  Configure(s, 5.0, 2.0, 0.5, 0.99, false);
  TDriveChain chain;
  chain.SetState(1, 2, 0.25);  // channel 1 is cleared by the first mono block
  const std::vector<double> in[2] = {TestSignal(777, 0.9, 5), TestSignal(777, 0.3, 6)};
  std::vector<double> out[2];
  RunChain(chain, s, f, in, out);
  EXPECT_TRUE(SameBits(out[0], out[1]));  // identical tone stacks, wet only
  for (int k = 0; k < 5; ++k) EXPECT_EQ(chain.State(1, k), 0.0);
  // Stereo with different inputs: the channels differ.
  s.Stereo = true;
  RunChain(chain, s, f, in, out);
  EXPECT_FALSE(SameBits(out[0], out[1]));
}

TEST(DriveChain, AsymmetricModeLimitsTheNegativeHalfOnly) {
  // Pole 0 and a holding follower make the wet signal the clipper's output.
  TDriveFilterSet f(44100.0);
  for (int c = 0; c < 2; ++c) f.HighPass[c]->SetFrequency(20);
  TDriveSettings s;
  Configure(s, 100.0, 1.0, 0.0, 1.0, true);
  s.Asymmetric = true;
  s.CurveForm = 0.01;
  TDriveChain chain;
  const std::vector<double> in[2] = {TestSignal(4000, 1.0, 8), TestSignal(4000, 0.5, 9)};
  std::vector<double> out[2];
  RunChain(chain, s, f, in, out);
  for (int c = 0; c < 2; ++c) {
    double lowest = 0, highest = 0;
    for (double v : out[c]) {
      lowest = std::min(lowest, v);
      highest = std::max(highest, v);
    }
    EXPECT_GE(lowest, -0.64 - 1e-6) << c;
    EXPECT_LT(lowest, -0.63) << c;
    EXPECT_GT(highest, 0.95) << c;
  }
}

TEST(DriveChain, SilenceFlushesTheStatesToExactZeros) {
  TDriveFilterSet f(44100.0);
  TDriveSettings s;
  Configure(s, 1.0, 4.0, 0.387704, 0.993465, true);
  TDriveChain chain;
  std::vector<double> in[2] = {TestSignal(256, 1.0, 2), TestSignal(256, 1.0, 3)};
  std::vector<double> out[2];
  RunChain(chain, s, f, in, out);
  EXPECT_NE(chain.State(0, 0), 0.0);
  for (auto& channel : in) channel.assign(512, 0.0);
  bool flushed = false;
  for (int block = 0; block < 200 && !flushed; ++block) {
    RunChain(chain, s, f, in, out);
    flushed = true;
    for (int c = 0; c < 2; ++c)
      for (int k = 0; k < 5; ++k) flushed = flushed && chain.State(c, k) == 0.0;
  }
  EXPECT_TRUE(flushed);
}

TEST(DriveChain, ANewLowPassPoleReleasesNoBurst) {
  // 8x at 44100 Hz: "LoPass" 3000 Hz, then 500 Hz. The follower holds
  // (pole 1), so the steady wet level is the trimmed clipper level.
  const double rate = 44100.0 * 8;
  TDriveFilterSet f(rate);
  TDriveSettings s;
  Configure(s, 4.0, 1.0, 0.884394, 0.9995, false);
  TDriveChain chain;
  const std::size_t n = 8192;
  std::vector<double> in[2];
  for (auto& channel : in) {
    channel.resize(n);
    for (std::size_t i = 0; i < n; ++i) channel[i] = 0.5 * std::sin(2 * std::numbers::pi * 150.0 * i / rate);
  }
  std::vector<double> out[2];
  for (int block = 0; block < 4; ++block) RunChain(chain, s, f, in, out);
  const double before = PeakOf(out[0], 0, n);
  s.LPF = 0.980604;  // about 500 Hz at 8x
  RunChain(chain, s, f, in, out);
  const double atSwitch = PeakOf(out[0], 0, n);
  for (int block = 0; block < 4; ++block) RunChain(chain, s, f, in, out);
  const double after = PeakOf(out[0], 0, n);
  EXPECT_LT(atSwitch, 1.15 * std::max(before, after));
}

TEST(DriveChain, RecoversAfterABlockOfNonFiniteInput) {
  TDriveFilterSet f(44100.0), fresh(44100.0);
  TDriveSettings s;
  Configure(s, 2.0, 2.0, 0.5, 0.99, true);
  TDriveChain chain, freshChain;
  std::vector<double> bad[2] = {TestSignal(64, 1.0, 1), TestSignal(64, 1.0, 2)};
  bad[0][10] = std::numeric_limits<double>::quiet_NaN();
  bad[1][20] = std::numeric_limits<double>::infinity();
  std::vector<double> out[2], expected[2];
  RunChain(chain, s, f, bad, out);
  for (int c = 0; c < 2; ++c)
    for (int k = 0; k < 5; ++k) EXPECT_EQ(chain.State(c, k), 0.0);
  // Everything non-finite was cleared: the next block sounds as if fresh.
  const std::vector<double> good[2] = {TestSignal(300, 0.5, 3), TestSignal(300, 0.5, 4)};
  RunChain(chain, s, f, good, out);
  RunChain(freshChain, s, fresh, good, expected);
  for (int c = 0; c < 2; ++c)
    for (double v : out[c]) ASSERT_TRUE(std::isfinite(v));
  EXPECT_TRUE(SameBits(out[0], expected[0]));
  EXPECT_TRUE(SameBits(out[1], expected[1]));
}

TEST(DriveChain, AnEmptyBlockOnlyFlushes) {
  TDriveFilterSet f(44100.0);
  TDriveSettings s;
  TDriveChain chain;
  chain.SetState(0, 0, 1e-12);
  chain.SetState(0, 3, 0.5);
  chain.SetState(1, 0, 0.5);
  const double* in[2] = {nullptr, nullptr};
  double* out[2] = {nullptr, nullptr};
  chain.Process(s, f.View(), in, out, 0);
  EXPECT_EQ(chain.State(0, 3), 0.0);  // channel 0 below the threshold
  EXPECT_EQ(chain.State(1, 0), 0.0);  // mono clears channel 1
}

}  // namespace
}  // namespace vb
