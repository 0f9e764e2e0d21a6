// Guards the drive module built in-process: the state after creation, every
// parameter handler's mapping, power and soft bypass, block-size, sample-rate
// and suspend handling, meters, long host blocks, recovery from non-finite
// input and the absence of bursts when the low-pass pole changes.
#include "processor/process_module.h"

#include <bit>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "drive_test_rig.h"
#include "dsp/dsp_errors.h"
#include "host/vst_abi.h"
#include "process_module_internals.h"

namespace vb {
namespace {

using test::PeakOf;
using test::TestSignal;

std::unique_ptr<TProcessModule> NewModule() {
  return std::unique_ptr<TProcessModule>(CreateVSTModule<TProcessModule>(nullptr));
}

// One block through the module's double-replacing entry.
std::vector<double> Run64(TProcessModule& M, const std::vector<double>& Left, const std::vector<double>& Right,
                          std::vector<double>* RightOut = nullptr) {
  std::vector<double> In0 = Left, In1 = Right, Out0(Left.size()), Out1(Left.size());
  double* In[2] = {In0.data(), In1.data()};
  double* Out[2] = {Out0.data(), Out1.data()};
  M.HostCallProcess64Replacing(In, Out, static_cast<std::int32_t>(Left.size()));
  if (RightOut) *RightOut = Out1;
  return Out0;
}

// The audio thread takes published values at its next block: one frame of
// silence lets the module's own objects show them.
void Settle(TProcessModule& M) { Run64(M, {0.0}, {0.0}); }

std::vector<float> Run32(TProcessModule& M, const std::vector<float>& Left, const std::vector<float>& Right) {
  std::vector<float> In0 = Left, In1 = Right, Out0(Left.size()), Out1(Left.size());
  float* In[2] = {In0.data(), In1.data()};
  float* Out[2] = {Out0.data(), Out1.data()};
  M.HostCallProcess32Replacing(In, Out, static_cast<std::int32_t>(Left.size()));
  return Out0;
}

TEST(ProcessModule, CreationLeavesTheDocumentedDefaults) {
  auto M = NewModule();
  const TDriveSettings& S = M->Settings();
  EXPECT_EQ(M->numParams(), 17);
  EXPECT_DOUBLE_EQ(S.FTrim, 4.46625);
  EXPECT_NEAR(S.FDrive, 0.1, 1e-15);
  EXPECT_NEAR(S.FHPF, 0.993465, 5e-7);
  EXPECT_NEAR(S.FLPF, 0.387704, 5e-7);
  EXPECT_EQ(S.FInputGain, 1.0);
  EXPECT_EQ(S.FOutputGain, 1.0);
  EXPECT_EQ(S.FDryWet, 1.0);
  EXPECT_EQ(S.FCurveForm, 0.8);
  EXPECT_EQ(S.FClip, 0.64);
  EXPECT_FALSE(S.FStereo);
  EXPECT_FALSE(S.FAsymmetric);
  EXPECT_TRUE(M->Power());
  EXPECT_EQ(M->OSFactor(), 1);
  EXPECT_EQ(M->TempBufferSize(), 16384);
  EXPECT_EQ(M->HostBlockSize(), 1024);
  EXPECT_EQ(M->HostSampleRate(), 44100.0f);
  EXPECT_TRUE(M->Flags() & EffFlagBit(effFlagsHasEditor));
  for (int c = 0; c < 2; ++c) {
    EXPECT_EQ(Internals(*M).Pres(c)->Frequency(), 7278.0);
    EXPECT_EQ(Internals(*M).HighPass(c)->Frequency(), 275.0);
    EXPECT_EQ(Internals(*M).HighPass(c)->BandWidth(), 2.0);
    EXPECT_EQ(Internals(*M).UpDownSampling(c)->Order(), 4);
    EXPECT_EQ(Internals(*M).UpDownSampling(c)->Factor(), 1);
    EXPECT_EQ(Internals(*M).Mid(c)->BandWidth(), static_cast<float>(3.6));
  }
  const float Defaults[17] = {0, 0, 45, 80, 20, 275, 3000, 0, 0, 0, 0, 100, 0, 1, 0, 0, 1};
  for (int i = 0; i < 17; ++i) {
    EXPECT_EQ(M->GetParameter(i), Defaults[i]) << i;
    EXPECT_EQ(M->Programs()[0].GetParameter(i), Defaults[i]) << i;
  }
  EXPECT_EQ(M->OnProcess64Replacing(), &TProcessModule::VSTModuleProcess64Replacing);
}

// A host sizes its window before it opens the editor: the size comes from
// the editor class's query (the user's scale), not its 1x size.
TEST(ProcessModule, TheEditorsSizeBeforeOpeningComesFromItsQuery) {
  auto M = NewModule();
  TDriveEditorClass editor;
  editor.Create = [](TCustomVSTModule&, IDriveProcessor&) { return std::unique_ptr<TVSTEditor>(); };
  editor.Width = 865;
  editor.Height = 150;
  editor.SizeQuery = [](std::int32_t& Width, std::int32_t& Height) {
    Width = 1730;
    Height = 300;
  };
  M->SetEditorClass(editor);
  ERect* Rect = nullptr;
  M->Effect()->Dispatcher(M->Effect(), effEditGetRect, 0, 0, &Rect, 0.0f);
  ASSERT_NE(Rect, nullptr);
  EXPECT_EQ(Rect->Right - Rect->Left, 1730);
  EXPECT_EQ(Rect->Bottom - Rect->Top, 300);
}

TEST(ProcessModule, GainKnobsMapTenthsOfADecibel) {
  auto M = NewModule();
  M->SetParameter(0, 200);
  EXPECT_NEAR(M->Settings().FInputGain, 10.0, 1e-12);
  M->SetParameter(0, -200);
  EXPECT_NEAR(M->Settings().FInputGain, 0.1, 1e-13);
  M->SetParameter(12, 100);
  EXPECT_NEAR(M->Settings().FOutputGain, 3.1623, 1e-4);
  M->SetParameter(11, 30);
  EXPECT_DOUBLE_EQ(M->Settings().FDryWet, 0.3);
  M->SetParameter(3, 150);
  EXPECT_DOUBLE_EQ(M->Settings().FCurveForm, 1.5);
}

TEST(ProcessModule, DriveReappliesTrimButStereoWaitsForTheNextTrimChange) {
  auto M = NewModule();
  M->SetParameter(1, 100);
  EXPECT_DOUBLE_EQ(M->Settings().FTrim, 0.2475);
  EXPECT_NEAR(M->Settings().FDrive, 100.0, 1e-12);
  M->SetParameter(1, 50);
  EXPECT_DOUBLE_EQ(M->Settings().FTrim, 0.511171875);
  M->SetParameter(14, 1);
  EXPECT_TRUE(M->Settings().FStereo);
  EXPECT_DOUBLE_EQ(M->Settings().FTrim, 0.511171875);
  M->SetParameter(2, 45);
  EXPECT_DOUBLE_EQ(M->Settings().FTrim, 2 * 0.511171875);
}

TEST(ProcessModule, ToneKnobsTuneBothChannels) {
  auto M = NewModule();
  M->SetParameter(8, 15);
  M->SetParameter(9, -15);
  M->SetParameter(10, 15);
  M->SetParameter(7, -15);
  M->SetParameter(5, 0);
  Settle(*M);
  for (int c = 0; c < 2; ++c) {
    EXPECT_EQ(Internals(*M).Mid(c)->Gain(), static_cast<float>(11.42));
    EXPECT_EQ(Internals(*M).Mid(c)->BandWidth(), static_cast<float>(3.7));
    EXPECT_EQ(Internals(*M).High(c)->Gain(), static_cast<float>(-13.5));
    EXPECT_EQ(Internals(*M).High(c)->Frequency(), 4640.0);
    EXPECT_EQ(Internals(*M).Pres(c)->Gain(), static_cast<float>(11.46));
    EXPECT_EQ(Internals(*M).Pres(c)->Frequency(), 7386.0);
    EXPECT_EQ(Internals(*M).Low(c)->Gain(), static_cast<float>(-12.3));
  }
}

TEST(ProcessModule, SmootherPolesFollowKnobsAndFactor) {
  auto M = NewModule();
  M->SetParameter(4, 0);
  EXPECT_EQ(M->Settings().FHPF, 1.0);
  M->SetParameter(4, 20);
  M->SetParameter(16, 8);
  EXPECT_NEAR(M->Settings().FHPF, 0.999181, 5e-7);
  EXPECT_NEAR(M->Settings().FLPF, 0.884394, 5e-7);
  M->SetParameter(16, 16);
  EXPECT_NEAR(M->Settings().FHPF, 0.999590, 5e-7);
  EXPECT_NEAR(M->Settings().FLPF, 0.940395, 5e-7);
  Settle(*M);
  EXPECT_EQ(Internals(*M).Pres(0)->SampleRate(), 44100.0 * 16);
  M->SetParameter(6, 500);
  M->SetParameter(16, 1);
  EXPECT_NEAR(M->Settings().FLPF, 0.848977, 5e-7);
}

TEST(ProcessModule, OversamplingBetweenItsEndsIsStoredAsEight) {
  auto M = NewModule();
  for (float v : {2.0f, 7.5f, 15.0f}) {
    M->SetParameter(16, v);
    EXPECT_EQ(M->GetParameter(16), 8.0f);
    EXPECT_EQ(M->OSFactor(), 8);
    Settle(*M);
    EXPECT_EQ(Internals(*M).UpDownSampling(1)->Factor(), 8);
  }
  M->SetParameter(16, 16);
  EXPECT_EQ(M->OSFactor(), 16);
  M->SetParameter(16, 1);
  EXPECT_EQ(M->OSFactor(), 1);
  // The buffers were sized for 16x at creation; no switch resized them.
  EXPECT_EQ(M->TempBufferSize(), 16384);
}

TEST(ProcessModule, BlockSizeSizesTheBuffersForTheLargestFactor) {
  auto M = NewModule();
  M->VSTModuleBlockSizeChange(512);
  EXPECT_EQ(M->TempBufferSize(), 512 * 16);
  M->SetParameter(16, 8);
  EXPECT_EQ(M->TempBufferSize(), 512 * 16);
  M->VSTModuleBlockSizeChange(1 << 24);  // no unbounded allocation
  EXPECT_EQ(M->TempBufferSize(), TProcessModule::kMaxBufferedFrames * 16);
}

TEST(ProcessModule, ZeroSampleRateIsRefusedAndChangesNothing) {
  auto M = NewModule();
  M->SetParameter(16, 8);
  const double HPF = M->Settings().FHPF, LPF = M->Settings().FLPF;
  try {
    M->VSTModuleSampleRateChange(0.0f);
    ADD_FAILURE() << "no error";
  } catch (const EDspError& E) {
    EXPECT_STREQ(E.what(), "Invalid Samplerate!");
  }
  EXPECT_THROW(M->VSTModuleSampleRateChange(std::numeric_limits<float>::quiet_NaN()), EDspError);
  Settle(*M);
  EXPECT_EQ(M->Settings().FHPF, HPF);
  EXPECT_EQ(M->Settings().FLPF, LPF);
  EXPECT_EQ(M->HostSampleRate(), 44100.0f);
  EXPECT_EQ(Internals(*M).Pres(1)->SampleRate(), 44100.0 * 8);
  // A negative rate counts as its magnitude.
  M->VSTModuleSampleRateChange(-48000.0f);
  EXPECT_EQ(M->HostSampleRate(), 48000.0f);
  Settle(*M);
  EXPECT_EQ(Internals(*M).UpDownSampling(0)->SampleRate(), 48000.0 * 8);
}

TEST(ProcessModule, PowerOffCopiesBitForBitAndFreezesEverything) {
  auto M = NewModule();
  M->SetParameter(14, 1);
  const std::vector<double> L = TestSignal(300, 0.7, 1), R = TestSignal(300, 0.2, 2);
  Run64(*M, L, R);
  const float InPeak = M->Peak(0, 0), OutPeak = M->Peak(1, 1);
  const double State = Internals(*M).Chain().State(0, 2);
  M->VSTModuleSoftBypass(true);
  EXPECT_EQ(M->GetParameter(13), 0.0f);
  EXPECT_EQ(M->OnProcess64Replacing(), &TProcessModule::VSTModuleProcessBypass64);
  std::vector<double> RightOut;
  const std::vector<double> Loud = TestSignal(300, 3.0, 9);
  EXPECT_EQ(Run64(*M, Loud, R, &RightOut), Loud);
  EXPECT_EQ(RightOut, R);
  EXPECT_EQ(Run32(*M, {0.5f, -2.0f, 1e-30f}, {1, 2, 3}), (std::vector<float>{0.5f, -2.0f, 1e-30f}));
  // In place as well.
  std::vector<float> Same = {1.0f, 2.0f};
  float* Io[2] = {Same.data(), Same.data()};
  M->HostCallProcess32Replacing(Io, Io, 2);
  EXPECT_EQ(Same, (std::vector<float>{1.0f, 2.0f}));
  EXPECT_EQ(M->Peak(0, 0), InPeak);
  EXPECT_EQ(M->Peak(1, 1), OutPeak);
  EXPECT_EQ(Internals(*M).Chain().State(0, 2), State);
  M->VSTModuleSoftBypass(false);
  EXPECT_EQ(M->GetParameter(13), 1.0f);
  EXPECT_EQ(M->OnProcess32Replacing(), &TProcessModule::VSTModuleProcess32Replacing);
}

TEST(ProcessModule, SuspendClearsOnlyTheSmootherStates) {
  auto M = NewModule();
  Run64(*M, TestSignal(200, 0.9, 3), TestSignal(200, 0.9, 4));
  const double Biquad = Internals(*M).Chain().BiquadState(0, 0, 0);
  ASSERT_NE(Biquad, 0.0);
  const float Peak = M->Peak(0, 0);
  ASSERT_NE(Internals(*M).Chain().State(0, 0), 0.0);
  M->VSTModuleSuspend();
  for (int c = 0; c < 2; ++c)
    for (int k = 0; k < 5; ++k) EXPECT_EQ(Internals(*M).Chain().State(c, k), 0.0);
  EXPECT_EQ(Internals(*M).Chain().BiquadState(0, 0, 0), Biquad);
  EXPECT_EQ(M->Peak(0, 0), Peak);
}

TEST(ProcessModule, MetersReadInDecibelsAndReset) {
  auto M = NewModule();
  Run64(*M, std::vector<double>(4, 1.0), std::vector<double>(4, 0.25));
  EXPECT_NEAR(M->InputPeakLevel(), -0.0001f, 1e-4f);
  M->SetParamsToDefault();
  EXPECT_NEAR(M->InputPeakLevel(), -66.73f, 0.01f);
  EXPECT_NEAR(M->OutputPeakLevel(), -66.73f, 0.01f);
  EXPECT_LT(M->InputPeakLevel(), -25.0f);
  Run64(*M, std::vector<double>(1, 0.5), std::vector<double>(1, 0.0));
  EXPECT_NEAR(M->InputPeakLevel(), -6.0206f, 1e-3f);
}

TEST(ProcessModule, LongHostBlocksRunAsPiecesOfTheAnnouncedSize) {
  // A host announcing 256 frames but sending 4096 gets the same samples as
  // one sending sixteen blocks of 256.
  auto Long = NewModule(), Short = NewModule();
  for (auto* M : {Long.get(), Short.get()}) {
    M->VSTModuleBlockSizeChange(256);
    M->SetParameter(16, 16);
    M->SetParameter(14, 1);
  }
  const std::vector<double> L = TestSignal(4096, 0.8, 5), R = TestSignal(4096, 0.6, 6);
  std::vector<double> LongRight;
  const std::vector<double> LongLeft = Run64(*Long, L, R, &LongRight);
  for (std::size_t Start = 0; Start < 4096; Start += 256) {
    std::vector<double> Right;
    const std::vector<double> Left = Run64(*Short, {L.begin() + Start, L.begin() + Start + 256},
                                           {R.begin() + Start, R.begin() + Start + 256}, &Right);
    for (std::size_t i = 0; i < 256; ++i) {
      ASSERT_EQ(Left[i], LongLeft[Start + i]) << Start + i;
      ASSERT_EQ(Right[i], LongRight[Start + i]) << Start + i;
    }
  }
}

TEST(ProcessModule, SinglePrecisionPathFollowsTheDoublePath) {
  auto M64 = NewModule(), M32 = NewModule();
  for (auto* M : {M64.get(), M32.get()}) {
    M->SetParameter(16, 8);
    M->SetParameter(1, 40);
  }
  const std::vector<double> L = TestSignal(1024, 0.5, 7);
  const std::vector<float> L32(L.begin(), L.end());
  const std::vector<double> L64(L32.begin(), L32.end());
  const std::vector<double> Out64 = Run64(*M64, L64, L64);
  const std::vector<float> Out32 = Run32(*M32, L32, L32);
  double Worst = 0;
  for (std::size_t i = 0; i < L.size(); ++i) Worst = std::max(Worst, std::fabs(Out32[i] - Out64[i]));
  EXPECT_LT(Worst, 1e-5);
  EXPECT_GT(PeakOf(Out64, 0, Out64.size()), 0.05);
}

TEST(ProcessModule, RecoversFromABlockOfNonFiniteInput) {
  auto M = NewModule();
  M->SetParameter(16, 8);
  M->SetParameter(14, 1);
  std::vector<double> Bad = TestSignal(128, 0.5, 8);
  Bad[17] = std::numeric_limits<double>::quiet_NaN();
  Bad[40] = -std::numeric_limits<double>::infinity();
  Run64(*M, Bad, Bad);
  const std::vector<double> Good = TestSignal(2048, 0.5, 9);
  std::vector<double> Right;
  const std::vector<double> Left = Run64(*M, Good, Good, &Right);
  for (std::size_t i = 0; i < Good.size(); ++i) {
    ASSERT_TRUE(std::isfinite(Left[i])) << i;
    ASSERT_TRUE(std::isfinite(Right[i])) << i;
  }
  EXPECT_GT(PeakOf(Left, 1024, 2048), 0.05);
  EXPECT_TRUE(std::isfinite(M->InputPeakLevel()));
  EXPECT_TRUE(std::isfinite(M->OutputPeakLevel()));
}

TEST(ProcessModule, MovingLoPassAt8xKeepsThePeakNearItsSteadyLevel) {
  auto M = NewModule();
  M->SetParameter(16, 8);
  M->SetParameter(4, 5);  // a slow follower, so that the steady level is high
  std::vector<double> Sine(4410);
  for (std::size_t i = 0; i < Sine.size(); ++i) Sine[i] = 0.5 * std::sin(2 * std::numbers::pi * 110.0 * i / 44100);
  std::vector<double> Out;
  for (int Block = 0; Block < 10; ++Block) Out = Run64(*M, Sine, Sine);
  const double Before = PeakOf(Out, 0, Out.size());
  M->SetParameter(6, 500);
  const double Switch = PeakOf(Run64(*M, Sine, Sine), 0, Sine.size());
  for (int Block = 0; Block < 10; ++Block) Out = Run64(*M, Sine, Sine);
  const double After = PeakOf(Out, 0, Out.size());
  EXPECT_LT(Switch, 1.15 * std::max(Before, After));
}

TEST(ProcessModule, CloseFreesTheObjectsAndLaterBlocksAreSilent) {
  auto M = NewModule();
  M->VSTModuleClose();
  EXPECT_EQ(Internals(*M).HighPass(0), nullptr);
  EXPECT_EQ(Internals(*M).UpDownSampling(1), nullptr);
  std::vector<double> Right;
  EXPECT_EQ(Run64(*M, {1.0, 2.0}, {3.0, 4.0}, &Right), (std::vector<double>{0.0, 0.0}));
  // Tone knobs skip the missing objects.
  M->SetParameter(8, 5);
  M->SetParameter(5, 100);
}

}  // namespace
}  // namespace vb
