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
  TDriveSettings S;
  S.FInputGain = 1.7;
  S.FOutputGain = 0.6;
  S.FDryWet = 0.7;
  S.FLPF = 0.8;
  S.FHPF = 0.995;
  S.FTrim = 3.0;
  S.FDrive = 4.0;
  S.FCurveForm = 0.5;
  S.FStereo = Stereo;
  S.FAsymmetric = true;
  return S;
}

// What the module hands a block routine: biquads, resampler and chain tuned
// for Factor at 44100 Hz.
class TBlockRig {
 public:
  TBlockRig(int Factor, const TDriveSettings& Settings)
      : FFilters(kHostRate * Factor, 6), FSettings(Settings), FFactor(Factor) {
    for (auto& Object : FObjects) Object = test::NewResampler(Factor, kHostRate * Factor);
    FResampler.Bind(*FObjects[0], *FObjects[1]);
    FChain.TakeCoefficients(FFilters.View());
  }

  // One piece through the bound routine; in place when asked.
  template <class T>
  std::vector<std::vector<T>> Run(const std::vector<std::vector<T>>& In, bool InPlace = false) {
    std::vector<std::vector<T>> Source = In, Out(2, std::vector<T>(In[0].size()));
    TDriveBlockJob<T> Job;
    Job.Chain = &FChain;
    Job.Resampler = &FResampler;
    Job.Settings = &FSettings;
    Job.Factor = FFactor;
    Job.Frames = static_cast<std::uint32_t>(In[0].size());
    for (int c = 0; c < 2; ++c) {
      Job.In[c] = InPlace ? Out[c].data() : Source[c].data();
      Job.Out[c] = Out[c].data();
      if (InPlace) Out[c] = In[c];
    }
    std::memcpy(Job.Peaks, FPeaks, sizeof FPeaks);
    if constexpr (sizeof(T) == 4)
      ProcessDriveBlock32(Job);
    else
      ProcessDriveBlock64(Job);
    std::memcpy(FPeaks, Job.Peaks, sizeof FPeaks);
    FResampler.End();  // as the module does after every block
    return Out;
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
    for (auto& Object : Drive.Resampler) Object = test::NewResampler(Factor, kHostRate * Factor);
  }
  template <class T>
  std::vector<std::vector<T>> Run(const std::vector<std::vector<T>>& In) {
    return Drive.Run(Settings, Filters, In);
  }
};

template <class T>
std::vector<std::vector<T>> Signal(std::size_t Frames, std::uint32_t Seed) {
  std::vector<std::vector<T>> Result(2);
  for (int c = 0; c < 2; ++c) {
    const std::vector<double> s = TestSignal(Frames, 0.9 - 0.4 * c, Seed + c);
    Result[c].assign(s.begin(), s.end());
  }
  return Result;
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
  const TDriveSettings S = BusySettings(Stereo);
  TBlockRig Rig(Factor, S);
  TReferenceRig Reference(Factor, S);
  // Pieces shorter than the pipeline is deep, an empty one, odd lengths.
  std::uint32_t Seed = 7;
  for (std::size_t Frames : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 1u, 61u}) {
    const auto In = Signal<T>(Frames, Seed);
    Seed += 2;
    ASSERT_TRUE(SameBits(Rig.Run(In), Reference.Run(In))) << "piece of " << Frames;
    for (int c = 0; c < 2; ++c)
      for (int Which = 0; Which < 2; ++Which)
        ASSERT_EQ(Rig.Peak(c, Which), Reference.Drive.Peaks[c][Which]) << "piece of " << Frames;
  }
  for (int c = 0; c < 2; ++c)
    for (int k = 0; k < TDriveChain::kStages; ++k) EXPECT_EQ(Rig.Chain().State(c, k), Reference.Drive.Chain.s[c][k]);
}

TEST(DriveBlock, EveryRoutineGivesThePlainPathsBitsInShortAndOddPieces) {
  for (const test::TRoutineSet& Set : test::RoutineSets()) {
    test::TBoundRoutines Bound(Set);
    for (int Factor : {1, 2, 3, 8, 16})
      for (bool Stereo : {true, false}) {
        SCOPED_TRACE(Set.Name + ", factor " + std::to_string(Factor) + (Stereo ? ", stereo" : ", mono"));
        ExpectPlainPathBits<double>(Factor, Stereo);
        ExpectPlainPathBits<float>(Factor, Stereo);
      }
  }
}

TEST(DriveBlock, InPlaceBuffersGiveTheSameBits) {
  for (const test::TRoutineSet& Set : test::RoutineSets()) {
    SCOPED_TRACE(Set.Name);
    test::TBoundRoutines Bound(Set);
    TBlockRig Apart(1, BusySettings(true)), InPlace(1, BusySettings(true));
    for (std::size_t Frames : {3u, 200u}) {
      const auto In = Signal<double>(Frames, 31);
      EXPECT_TRUE(SameBits(Apart.Run(In), InPlace.Run(In, true)));
    }
  }
}

// Every state a routine leaves behind, bit for bit.
std::vector<std::uint64_t> StateBits(TBlockRig& Rig) {
  std::vector<std::uint64_t> Bits;
  auto Add = [&](double v) { Bits.push_back(std::bit_cast<std::uint64_t>(v)); };
  const TDriveChain& Chain = Rig.Chain();
  for (int c = 0; c < 2; ++c) {
    for (int k = 0; k < TDriveChain::kStages; ++k) Add(Chain.State(c, k));
    for (int Filter = 0; Filter < TDriveChain::kBiquads; ++Filter)
      for (int k = 0; k < 2; ++k) Add(Chain.BiquadState(Filter, c, k));
  }
  for (const TStereoResampler::TFilter* Filter : {&Rig.Resampler().Up(), &Rig.Resampler().Down()})
    for (TLanes s : Filter->s) {
      Add(Lane0(s));
      Add(Lane1(s));
    }
  return Bits;
}

TEST(DriveBlock, RoutineSetsLeaveTheSameStatesAlsoAfterNonFiniteInput) {
  const std::vector<test::TRoutineSet> Sets = test::RoutineSets();
  if (Sets.size() < 2) GTEST_SKIP() << "this processor runs one routine set only";
  for (int Factor : {1, 16}) {
    std::vector<std::vector<std::vector<double>>> Outputs(Sets.size());
    std::vector<std::vector<std::uint64_t>> States(Sets.size());
    for (std::size_t i = 0; i < Sets.size(); ++i) {
      test::TBoundRoutines Bound(Sets[i]);
      TBlockRig Rig(Factor, BusySettings(true));
      auto Bad = Signal<double>(40, 3);
      Bad[0][9] = std::numeric_limits<double>::quiet_NaN();
      Bad[1][17] = std::numeric_limits<double>::infinity();
      for (const auto& In : {Signal<double>(50, 1), Bad, Signal<double>(70, 5)}) {
        for (auto& Channel : Rig.Run(In)) Outputs[i].push_back(Channel);
        for (std::uint64_t Bits : StateBits(Rig)) States[i].push_back(Bits);
      }
    }
    for (std::size_t i = 1; i < Sets.size(); ++i) {
      SCOPED_TRACE(Sets[i].Name + ", factor " + std::to_string(Factor));
      EXPECT_TRUE(SameBits(Outputs[0], Outputs[i]));
      EXPECT_EQ(States[0], States[i]);
    }
  }
}

TEST(DriveBlock, StartUpBindsAvx2WhereverTheProcessorCanRunIt) {
  const bool Avx2 = ProcessorInfo()->CanRunAVX2();
  ASSERT_EQ(ProcessorFeatures().Contains(TProcessorFeature::pfAVX2), Avx2);
  EXPECT_EQ(ProcessDriveBlock64 == &ProcessDriveBlock64Avx2, Avx2);
  EXPECT_EQ(ProcessDriveBlock32 == &ProcessDriveBlock32Avx2, Avx2);
  test::TBoundRoutines Sse2(test::RoutineSets().front());
  EXPECT_EQ(ProcessDriveBlock64, &ProcessDriveBlock64Sse2);
  EXPECT_EQ(ProcessDriveBlock32, &ProcessDriveBlock32Sse2);
}

}  // namespace
}  // namespace vb
