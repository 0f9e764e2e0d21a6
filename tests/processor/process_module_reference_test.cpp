// Guards the speed work on the module's audio path: every output sample must
// carry exactly the bits of the plain rendering through the resampler
// objects' own Upsample/Downsample calls, the filters' own per-sample calls
// and a scalar chain, in 64 and 32 bits, across factor and mode changes.
#include <bit>
#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "drive_test_rig.h"
#include "dsp/butterworth_filter.h"
#include "processor/process_module.h"

namespace vb {
namespace {

using test::TDriveFilterSet;
using test::TestSignal;
using test::TReferenceChain;

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
      Copy(*FFilters->HighPass[c], *M.HighPass(c));
      Copy(*FFilters->Low[c], *M.Low(c));
      Copy(*FFilters->Mid[c], *M.Mid(c));
      Copy(*FFilters->High[c], *M.High(c));
      Copy(*FFilters->Pres[c], *M.Pres(c));
      if (!FResampler[c]) {
        FResampler[c] = std::make_unique<TZarnUpDownsampling>();
        FResampler[c]->SetFilterClass(&TButterworthLowPassFilter::Class());
        FResampler[c]->SetTransitionBandwidth(0.99);
        FResampler[c]->SetOrder(4);
      }
      FResampler[c]->SetFactor(F);
      FResampler[c]->SetSampleRate(Rate);
    }
  }

  template <class T>
  std::vector<std::vector<T>> Run(const TProcessModule& M, const std::vector<std::vector<T>>& In) {
    const int F = M.OSFactor();
    const std::size_t n = In[0].size();
    const TDriveSettings& S = M.Settings();
    std::vector<double> Up[2], Down[2];
    std::vector<T> Buffer(n * F);
    for (int c = 0; c < 2; ++c) {
      for (std::size_t j = 0; j < n; ++j) {
        const double v = S.FInputGain * In[c][j];
        if constexpr (sizeof(T) == 4)
          FResampler[c]->Upsample32(static_cast<float>(v), Buffer.data() + j * F);
        else
          FResampler[c]->Upsample64(v, Buffer.data() + j * F);
      }
      Up[c].assign(Buffer.begin(), Buffer.end());
    }
    FChain.Run(S, *FFilters, Up, Down);
    std::vector<std::vector<T>> Out(2, std::vector<T>(n));
    for (int c = 0; c < 2; ++c) {
      std::vector<T> Rounded(Down[c].begin(), Down[c].end());  // the chain's output in the path's precision
      for (std::size_t j = 0; j < n; ++j) {
        if constexpr (sizeof(T) == 4)
          Out[c][j] = static_cast<float>(S.FOutputGain * FResampler[c]->Downsample32(Rounded.data() + j * F));
        else
          Out[c][j] = S.FOutputGain * FResampler[c]->Downsample64(Rounded.data() + j * F);
      }
    }
    return Out;
  }

 private:
  std::unique_ptr<TDriveFilterSet> FFilters;
  std::unique_ptr<TZarnUpDownsampling> FResampler[2];
  TReferenceChain FChain;
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

TEST(ProcessModuleReference, DoublePathMatchesThePlainRenderingBitForBit) { ExpectSameAsReference<double>(); }

TEST(ProcessModuleReference, SinglePathMatchesThePlainRenderingBitForBit) { ExpectSameAsReference<float>(); }

}  // namespace
}  // namespace vb
