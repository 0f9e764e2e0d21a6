// Guards the speed work on the module's audio path: every output sample must
// carry exactly the bits of the plain rendering through the resampler
// objects' own Upsample/Downsample calls, the filters' own per-sample calls
// and a scalar chain, in 64 and 32 bits, across factor and mode changes,
// with every block routine set this processor can run.
#include <bit>
#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "drive_block_routines.h"
#include "drive_test_rig.h"
#include "dsp/butterworth_filter.h"
#include "process_module_internals.h"
#include "processor/process_module.h"

namespace vb {
namespace {

using test::TDriveFilterSet;
using test::TestSignal;

// The module's signal path, written plainly on objects tuned like the
// module's own.
class TReferencePath {
 public:
  void Retune(const TProcessModule& M) {
    const int F = M.OSFactor();
    const double Rate = static_cast<double>(M.HostSampleRate()) * F;
    if (!FFilters) FFilters = std::make_unique<TDriveFilterSet>(Rate);
    for (int c = 0; c < 2; ++c) {
      auto Copy = [&](TBiquadIIRFilter& Target, const TBiquadIIRFilter& Source) {
        Target.SetSampleRate(Source.SampleRate());
        Target.SetFrequency(Source.Frequency());
        Target.SetGain(Source.Gain());
        Target.SetBandWidth(Source.BandWidth());
      };
      Copy(*FFilters->HighPass[c], *Internals(M).HighPass(c));
      Copy(*FFilters->Low[c], *Internals(M).Low(c));
      Copy(*FFilters->Mid[c], *Internals(M).Mid(c));
      Copy(*FFilters->High[c], *Internals(M).High(c));
      Copy(*FFilters->Pres[c], *Internals(M).Pres(c));
      if (!FDrive.Resampler[c]) FDrive.Resampler[c] = test::NewResampler(F, Rate);
      FDrive.Resampler[c]->SetFactor(F);
      FDrive.Resampler[c]->SetSampleRate(Rate);
    }
  }

  template <class T>
  std::vector<std::vector<T>> Run(const TProcessModule& M, const std::vector<std::vector<T>>& In) {
    return FDrive.Run(M.Settings(), *FFilters, In);
  }

 private:
  std::unique_ptr<TDriveFilterSet> FFilters;
  test::TReferenceDrive FDrive;
};

template <class T>
std::vector<std::vector<T>> RunModule(TProcessModule& M, const std::vector<std::vector<T>>& In) {
  std::vector<std::vector<T>> Work = In, Out(2, std::vector<T>(In[0].size()));
  T* I[2] = {Work[0].data(), Work[1].data()};
  T* O[2] = {Out[0].data(), Out[1].data()};
  if constexpr (sizeof(T) == 4)
    M.HostCallProcess32Replacing(I, O, static_cast<std::int32_t>(In[0].size()));
  else
    M.HostCallProcess64Replacing(I, O, static_cast<std::int32_t>(In[0].size()));
  return Out;
}

template <class T>
bool SameBits(const std::vector<T>& A, const std::vector<T>& B) {
  for (std::size_t i = 0; i < A.size(); ++i)
    if (std::bit_cast<std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>(A[i]) !=
        std::bit_cast<std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>(B[i]))
      return false;
  return A.size() == B.size();
}

template <class T>
void ExpectSameAsReference() {
  std::unique_ptr<TProcessModule> M(CreateVSTModule<TProcessModule>(nullptr));
  M->VSTModuleBlockSizeChange(700);
  TReferencePath Reference;
  struct TStep {
    std::int32_t Index;
    float Value;
  };
  // A setting change before each block; the reference retunes after it.
  const TStep Steps[] = {{1, 40},  {16, 8}, {14, 1},  {9, 7},   {15, 1},   {6, 800}, {16, 16},
                         {11, 60}, {14, 0}, {10, -9}, {0, 120}, {12, -40}, {16, 1},  {5, 90}};
  std::uint32_t Seed = 40;
  for (const TStep& Step : Steps) {
    M->SetParameter(Step.Index, Step.Value);
    for (std::size_t Length : {1u, 333u, 700u}) {
      std::vector<std::vector<T>> In(2);
      for (int c = 0; c < 2; ++c) {
        const std::vector<double> s = TestSignal(Length, 0.9, Seed++);
        In[c].assign(s.begin(), s.end());
      }
      // The module takes the new values at its block; the reference copies
      // the tuning that block ran with.
      const auto Got = RunModule(*M, In);
      Reference.Retune(*M);
      const auto Expected = Reference.Run(*M, In);
      ASSERT_TRUE(SameBits(Got[0], Expected[0])) << "parameter " << Step.Index << ", length " << Length;
      ASSERT_TRUE(SameBits(Got[1], Expected[1])) << "parameter " << Step.Index << ", length " << Length;
    }
  }
}

TEST(ProcessModuleReference, DoublePathMatchesThePlainRenderingBitForBit) {
  for (const test::TRoutineSet& Set : test::RoutineSets()) {
    SCOPED_TRACE(Set.Name);
    test::TBoundRoutines Bound(Set);
    ExpectSameAsReference<double>();
  }
}

TEST(ProcessModuleReference, SinglePathMatchesThePlainRenderingBitForBit) {
  for (const test::TRoutineSet& Set : test::RoutineSets()) {
    SCOPED_TRACE(Set.Name);
    test::TBoundRoutines Bound(Set);
    ExpectSameAsReference<float>();
  }
}

}  // namespace
}  // namespace vb
