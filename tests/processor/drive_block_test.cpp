// Guards the drive's block routines called directly, with every routine set
// this processor can run: pieces shorter than the pipeline and of odd
// lengths, factors the module never uses, in-place buffers and the meters
// give exactly the bits of the plain path, the sets agree on every state
// they leave behind (also after non-finite input), and start-up binds AVX2
// wherever the processor can run it.
#include "processor/drive_block.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "cpu/processor_info.h"
#include "drive_block_routines.h"
#include "drive_test_rig.h"

namespace vb {
namespace {

using test::TestSignal;

constexpr double kHostRate = 44100.0;

TDriveSettings BusySettings(bool Stereo) {
  TDriveSettings s;
  s.InputGain = 1.7;
  s.OutputGain = 0.6;
  s.DryWet = 0.7;
  s.LPF = 0.8;
  s.HPF = 0.995;
  s.Trim = 3.0;
  s.Drive = 4.0;
  s.CurveForm = 0.5;
  s.Stereo = Stereo;
  s.Asymmetric = true;
  return s;
}

// What the module hands a block routine: biquads, resampler and chain tuned
// for Factor at 44100 Hz.
class TBlockRig {
 public:
  TBlockRig(int Factor, const TDriveSettings& Settings)
      : FFilters(kHostRate * Factor, 6), FSettings(Settings), FFactor(Factor) {
    for (auto& object : FObjects) object = test::NewResampler(Factor, kHostRate * Factor);
    FResampler.Bind(*FObjects[0], *FObjects[1]);
    FChain.TakeCoefficients(FFilters.View());
  }

  // One piece through the bound routine; in place when asked.
  template <class T>
  std::vector<std::vector<T>> Run(const std::vector<std::vector<T>>& In, bool InPlace = false) {
    std::vector<std::vector<T>> source = In, out(2, std::vector<T>(In[0].size()));
    TDriveBlockJob<T> job;
    job.Chain = &FChain;
    job.Resampler = &FResampler;
    job.Settings = &FSettings;
    job.Factor = FFactor;
    job.Frames = static_cast<std::uint32_t>(In[0].size());
    for (int c = 0; c < 2; ++c) {
      job.In[c] = InPlace ? out[c].data() : source[c].data();
      job.Out[c] = out[c].data();
      if (InPlace) out[c] = In[c];
    }
    std::memcpy(job.Peaks, FPeaks, sizeof FPeaks);
    if constexpr (sizeof(T) == 4)
      ProcessDriveBlock32(job);
    else
      ProcessDriveBlock64(job);
    std::memcpy(FPeaks, job.Peaks, sizeof FPeaks);
    FResampler.End();  // as the module does after every block
    return out;
  }

  float Peak(int Channel, int Which) const { return FPeaks[Channel][Which]; }
  const TDriveChain& Chain() const { return FChain; }
  TStereoResampler& Resampler() { return FResampler; }

 private:
  test::TDriveFilterSet FFilters;
  std::unique_ptr<TZarnUpDownsampling> FObjects[2];
  TStereoResampler FResampler;
  TDriveChain FChain;
  TDriveSettings FSettings;
  int FFactor;
  float FPeaks[2][2] = {};
};

// The plain path tuned like the rig.
struct TReferenceRig {
  test::TDriveFilterSet Filters;
  test::TReferenceDrive Drive;
  TDriveSettings Settings;
  TReferenceRig(int Factor, const TDriveSettings& S) : Filters(kHostRate * Factor, 6), Settings(S) {
    for (auto& object : Drive.Resampler) object = test::NewResampler(Factor, kHostRate * Factor);
  }
  template <class T>
  std::vector<std::vector<T>> Run(const std::vector<std::vector<T>>& In) {
    return Drive.Run(Settings, Filters, In);
  }
};

template <class T>
std::vector<std::vector<T>> Signal(std::size_t Frames, std::uint32_t Seed) {
  std::vector<std::vector<T>> result(2);
  for (int c = 0; c < 2; ++c) {
    const std::vector<double> s = TestSignal(Frames, 0.9 - 0.4 * c, Seed + c);
    result[c].assign(s.begin(), s.end());
  }
  return result;
}

template <class T>
bool SameBits(const std::vector<std::vector<T>>& A, const std::vector<std::vector<T>>& B) {
  using TBits = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
  for (int c = 0; c < 2; ++c) {
    if (A[c].size() != B[c].size()) return false;
    for (std::size_t i = 0; i < A[c].size(); ++i)
      if (std::bit_cast<TBits>(A[c][i]) != std::bit_cast<TBits>(B[c][i])) return false;
  }
  return true;
}

template <class T>
void ExpectPlainPathBits(int Factor, bool Stereo) {
  const TDriveSettings s = BusySettings(Stereo);
  TBlockRig rig(Factor, s);
  TReferenceRig reference(Factor, s);
  // Pieces shorter than the pipeline is deep, an empty one, odd lengths.
  std::uint32_t seed = 7;
  for (std::size_t frames : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 1u, 61u}) {
    const auto in = Signal<T>(frames, seed);
    seed += 2;
    ASSERT_TRUE(SameBits(rig.Run(in), reference.Run(in))) << "piece of " << frames;
    for (int c = 0; c < 2; ++c)
      for (int which = 0; which < 2; ++which)
        ASSERT_EQ(rig.Peak(c, which), reference.Drive.Peaks[c][which]) << "piece of " << frames;
  }
  for (int c = 0; c < 2; ++c)
    for (int k = 0; k < TDriveChain::kStages; ++k) EXPECT_EQ(rig.Chain().State(c, k), reference.Drive.Chain.s[c][k]);
}

TEST(DriveBlock, EveryRoutineGivesThePlainPathsBitsInShortAndOddPieces) {
  for (const test::TRoutineSet& set : test::RoutineSets()) {
    test::TBoundRoutines bound(set);
    for (int factor : {1, 2, 3, 8, 16})
      for (bool stereo : {true, false}) {
        SCOPED_TRACE(set.Name + ", factor " + std::to_string(factor) + (stereo ? ", stereo" : ", mono"));
        ExpectPlainPathBits<double>(factor, stereo);
        ExpectPlainPathBits<float>(factor, stereo);
      }
  }
}

TEST(DriveBlock, InPlaceBuffersGiveTheSameBits) {
  for (const test::TRoutineSet& set : test::RoutineSets()) {
    SCOPED_TRACE(set.Name);
    test::TBoundRoutines bound(set);
    TBlockRig apart(1, BusySettings(true)), inPlace(1, BusySettings(true));
    for (std::size_t frames : {3u, 200u}) {
      const auto in = Signal<double>(frames, 31);
      EXPECT_TRUE(SameBits(apart.Run(in), inPlace.Run(in, true)));
    }
  }
}

// Every state a routine leaves behind, bit for bit.
std::vector<std::uint64_t> StateBits(TBlockRig& Rig) {
  std::vector<std::uint64_t> bits;
  auto add = [&](double V) { bits.push_back(std::bit_cast<std::uint64_t>(V)); };
  const TDriveChain& chain = Rig.Chain();
  for (int c = 0; c < 2; ++c) {
    for (int k = 0; k < TDriveChain::kStages; ++k) add(chain.State(c, k));
    for (int filter = 0; filter < TDriveChain::kBiquads; ++filter)
      for (int k = 0; k < 2; ++k) add(chain.BiquadState(filter, c, k));
  }
  for (const TStereoResampler::TFilter* filter : {&Rig.Resampler().Up(), &Rig.Resampler().Down()})
    for (TLanes s : filter->s) {
      add(Lane0(s));
      add(Lane1(s));
    }
  return bits;
}

TEST(DriveBlock, RoutineSetsLeaveTheSameStatesAlsoAfterNonFiniteInput) {
  const std::vector<test::TRoutineSet> sets = test::RoutineSets();
  if (sets.size() < 2) GTEST_SKIP() << "this processor runs one routine set only";
  for (int factor : {1, 16}) {
    std::vector<std::vector<std::vector<double>>> outputs(sets.size());
    std::vector<std::vector<std::uint64_t>> states(sets.size());
    for (std::size_t i = 0; i < sets.size(); ++i) {
      test::TBoundRoutines bound(sets[i]);
      TBlockRig rig(factor, BusySettings(true));
      auto bad = Signal<double>(40, 3);
      bad[0][9] = std::numeric_limits<double>::quiet_NaN();
      bad[1][17] = std::numeric_limits<double>::infinity();
      for (const auto& in : {Signal<double>(50, 1), bad, Signal<double>(70, 5)}) {
        for (auto& channel : rig.Run(in)) outputs[i].push_back(channel);
        for (std::uint64_t bits : StateBits(rig)) states[i].push_back(bits);
      }
    }
    for (std::size_t i = 1; i < sets.size(); ++i) {
      SCOPED_TRACE(sets[i].Name + ", factor " + std::to_string(factor));
      EXPECT_TRUE(SameBits(outputs[0], outputs[i]));
      EXPECT_EQ(states[0], states[i]);
    }
  }
}

TEST(DriveBlock, StartUpBindsAvx2WhereverTheProcessorCanRunIt) {
  const bool avx2 = ProcessorInfo()->CanRunAVX2();
  ASSERT_EQ(ProcessorFeatures().Contains(TProcessorFeature::pfAVX2), avx2);
  EXPECT_EQ(ProcessDriveBlock64 == &ProcessDriveBlock64Avx2, avx2);
  EXPECT_EQ(ProcessDriveBlock32 == &ProcessDriveBlock32Avx2, avx2);
  test::TBoundRoutines sse2(test::RoutineSets().front());
  EXPECT_EQ(ProcessDriveBlock64, &ProcessDriveBlock64Sse2);
  EXPECT_EQ(ProcessDriveBlock32, &ProcessDriveBlock32Sse2);
}

}  // namespace
}  // namespace vb
