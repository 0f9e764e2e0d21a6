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
    const int f = M.OSFactor();
    const double rate = static_cast<double>(M.HostSampleRate()) * f;
    if (!FFilters) FFilters = std::make_unique<TDriveFilterSet>(rate);
    for (int c = 0; c < 2; ++c) {
      auto copy = [&](TBiquadIIRFilter& Target, const TBiquadIIRFilter& Source) {
        Target.SetSampleRate(Source.SampleRate());
        Target.SetFrequency(Source.Frequency());
        Target.SetGain(Source.Gain());
        Target.SetBandWidth(Source.BandWidth());
      };
      copy(*FFilters->HighPass[c], *Internals(M).HighPass(c));
      copy(*FFilters->Low[c], *Internals(M).Low(c));
      copy(*FFilters->Mid[c], *Internals(M).Mid(c));
      copy(*FFilters->High[c], *Internals(M).High(c));
      copy(*FFilters->Pres[c], *Internals(M).Pres(c));
      if (!FDrive.Resampler[c]) FDrive.Resampler[c] = test::NewResampler(f, rate);
      FDrive.Resampler[c]->SetFactor(f);
      FDrive.Resampler[c]->SetSampleRate(rate);
    }
  }

  template <class T>
  std::vector<std::vector<T>> Run(const TProcessModule& M, const std::vector<std::vector<T>>& In) {
    return FDrive.Run(Internals(M).PublishedSettings(), *FFilters, In);
  }

 private:
  std::unique_ptr<TDriveFilterSet> FFilters;
  test::TReferenceDrive FDrive;
};

template <class T>
std::vector<std::vector<T>> RunModule(TProcessModule& M, const std::vector<std::vector<T>>& In) {
  std::vector<std::vector<T>> work = In, out(2, std::vector<T>(In[0].size()));
  T* i[2] = {work[0].data(), work[1].data()};
  T* o[2] = {out[0].data(), out[1].data()};
  if constexpr (sizeof(T) == 4)
    M.HostCallProcess32Replacing(i, o, static_cast<std::int32_t>(In[0].size()));
  else
    M.HostCallProcess64Replacing(i, o, static_cast<std::int32_t>(In[0].size()));
  return out;
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
  std::unique_ptr<TProcessModule> m(CreateVSTModule<TProcessModule>(nullptr));
  m->VSTModuleBlockSizeChange(700);
  TReferencePath reference;
  struct TStep {
    std::int32_t Index;
    float Value;
  };
  // A setting change before each block; the reference retunes after it.
  const TStep steps[] = {{1, 40},  {16, 8}, {14, 1},  {9, 7},   {15, 1},   {6, 800}, {16, 16},
                         {11, 60}, {14, 0}, {10, -9}, {0, 120}, {12, -40}, {16, 1},  {5, 90}};
  std::uint32_t seed = 40;
  for (const TStep& step : steps) {
    m->SetParameter(step.Index, step.Value);
    for (std::size_t length : {1u, 333u, 700u}) {
      std::vector<std::vector<T>> in(2);
      for (int c = 0; c < 2; ++c) {
        const std::vector<double> s = TestSignal(length, 0.9, seed++);
        in[c].assign(s.begin(), s.end());
      }
      // The module takes the new values at its block; the reference copies
      // the tuning that block ran with.
      const auto got = RunModule(*m, in);
      reference.Retune(*m);
      const auto expected = reference.Run(*m, in);
      ASSERT_TRUE(SameBits(got[0], expected[0])) << "parameter " << step.Index << ", length " << length;
      ASSERT_TRUE(SameBits(got[1], expected[1])) << "parameter " << step.Index << ", length " << length;
    }
  }
}

TEST(ProcessModuleReference, DoublePathMatchesThePlainRenderingBitForBit) {
  for (const test::TRoutineSet& set : test::RoutineSets()) {
    SCOPED_TRACE(set.Name);
    test::TBoundRoutines bound(set);
    ExpectSameAsReference<double>();
  }
}

TEST(ProcessModuleReference, SinglePathMatchesThePlainRenderingBitForBit) {
  for (const test::TRoutineSet& set : test::RoutineSets()) {
    SCOPED_TRACE(set.Name);
    test::TBoundRoutines bound(set);
    ExpectSameAsReference<float>();
  }
}

}  // namespace
}  // namespace vb
