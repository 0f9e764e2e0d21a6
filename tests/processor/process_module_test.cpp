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
  std::vector<double> in0 = Left, in1 = Right, out0(Left.size()), out1(Left.size());
  double* in[2] = {in0.data(), in1.data()};
  double* out[2] = {out0.data(), out1.data()};
  M.HostCallProcess64Replacing(in, out, static_cast<std::int32_t>(Left.size()));
  if (RightOut) *RightOut = out1;
  return out0;
}

// The audio thread takes published values at its next block: one frame of
// silence lets the module's own objects show them.
void Settle(TProcessModule& M) { Run64(M, {0.0}, {0.0}); }

std::vector<float> Run32(TProcessModule& M, const std::vector<float>& Left, const std::vector<float>& Right) {
  std::vector<float> in0 = Left, in1 = Right, out0(Left.size()), out1(Left.size());
  float* in[2] = {in0.data(), in1.data()};
  float* out[2] = {out0.data(), out1.data()};
  M.HostCallProcess32Replacing(in, out, static_cast<std::int32_t>(Left.size()));
  return out0;
}

TEST(ProcessModule, CreationLeavesTheDocumentedDefaults) {
  auto m = NewModule();
  const TDriveSettings& s = Internals(*m).PublishedSettings();
  EXPECT_EQ(m->numParams(), 17);
  EXPECT_DOUBLE_EQ(s.Trim, 4.46625);
  EXPECT_NEAR(s.Drive, 0.1, 1e-15);
  EXPECT_NEAR(s.HPF, 0.993465, 5e-7);
  EXPECT_NEAR(s.LPF, 0.387704, 5e-7);
  EXPECT_EQ(s.InputGain, 1.0);
  EXPECT_EQ(s.OutputGain, 1.0);
  EXPECT_EQ(s.DryWet, 1.0);
  EXPECT_EQ(s.CurveForm, 0.8);
  EXPECT_EQ(s.Clip, 0.64);
  EXPECT_FALSE(s.Stereo);
  EXPECT_FALSE(s.Asymmetric);
  EXPECT_TRUE(Internals(*m).Power());
  EXPECT_EQ(m->OSFactor(), 1);
  EXPECT_EQ(Internals(*m).TempBufferSize(), 16384);
  EXPECT_EQ(m->HostBlockSize(), 1024);
  EXPECT_EQ(m->HostSampleRate(), 44100.0f);
  EXPECT_TRUE(m->Flags() & EffFlagBit(effFlagsHasEditor));
  for (int c = 0; c < 2; ++c) {
    EXPECT_EQ(Internals(*m).Pres(c)->Frequency(), 7278.0);
    EXPECT_EQ(Internals(*m).HighPass(c)->Frequency(), 275.0);
    EXPECT_EQ(Internals(*m).HighPass(c)->BandWidth(), 2.0);
    EXPECT_EQ(Internals(*m).UpDownSampling(c)->Order(), 4);
    EXPECT_EQ(Internals(*m).UpDownSampling(c)->Factor(), 1);
    EXPECT_EQ(Internals(*m).Mid(c)->BandWidth(), static_cast<float>(3.6));
  }
  const float defaults[17] = {0, 0, 45, 80, 20, 275, 3000, 0, 0, 0, 0, 100, 0, 1, 0, 0, 1};
  for (int i = 0; i < 17; ++i) {
    EXPECT_EQ(m->GetParameter(i), defaults[i]) << i;
    EXPECT_EQ(m->Programs()[0].GetParameter(i), defaults[i]) << i;
  }
  EXPECT_EQ(m->OnProcess64Replacing(), &TProcessModule::VSTModuleProcess64Replacing);
}

// A host sizes its window before it opens the editor: the size comes from
// the editor class's query (the user's scale), not its 1x size.
TEST(ProcessModule, TheEditorsSizeBeforeOpeningComesFromItsQuery) {
  auto m = NewModule();
  TDriveEditorClass editor;
  editor.Create = [](TCustomVSTModule&, IDriveProcessor&) { return std::unique_ptr<TVSTEditor>(); };
  editor.Width = 865;
  editor.Height = 150;
  editor.SizeQuery = [](std::int32_t& Width, std::int32_t& Height) {
    Width = 1730;
    Height = 300;
  };
  m->SetEditorClass(editor);
  ERect* rect = nullptr;
  m->Effect()->Dispatcher(m->Effect(), effEditGetRect, 0, 0, &rect, 0.0f);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->Right - rect->Left, 1730);
  EXPECT_EQ(rect->Bottom - rect->Top, 300);
}

TEST(ProcessModule, GainKnobsMapTenthsOfADecibel) {
  auto m = NewModule();
  m->SetParameter(0, 200);
  EXPECT_NEAR(Internals(*m).PublishedSettings().InputGain, 10.0, 1e-12);
  m->SetParameter(0, -200);
  EXPECT_NEAR(Internals(*m).PublishedSettings().InputGain, 0.1, 1e-13);
  m->SetParameter(12, 100);
  EXPECT_NEAR(Internals(*m).PublishedSettings().OutputGain, 3.1623, 1e-4);
  m->SetParameter(11, 30);
  EXPECT_DOUBLE_EQ(Internals(*m).PublishedSettings().DryWet, 0.3);
  m->SetParameter(3, 150);
  EXPECT_DOUBLE_EQ(Internals(*m).PublishedSettings().CurveForm, 1.5);
}

TEST(ProcessModule, DriveReappliesTrimButStereoWaitsForTheNextTrimChange) {
  auto m = NewModule();
  m->SetParameter(1, 100);
  EXPECT_DOUBLE_EQ(Internals(*m).PublishedSettings().Trim, 0.2475);
  EXPECT_NEAR(Internals(*m).PublishedSettings().Drive, 100.0, 1e-12);
  m->SetParameter(1, 50);
  EXPECT_DOUBLE_EQ(Internals(*m).PublishedSettings().Trim, 0.511171875);
  m->SetParameter(14, 1);
  EXPECT_TRUE(Internals(*m).PublishedSettings().Stereo);
  EXPECT_DOUBLE_EQ(Internals(*m).PublishedSettings().Trim, 0.511171875);
  m->SetParameter(2, 45);
  EXPECT_DOUBLE_EQ(Internals(*m).PublishedSettings().Trim, 2 * 0.511171875);
}

TEST(ProcessModule, ToneKnobsTuneBothChannels) {
  auto m = NewModule();
  m->SetParameter(8, 15);
  m->SetParameter(9, -15);
  m->SetParameter(10, 15);
  m->SetParameter(7, -15);
  m->SetParameter(5, 0);
  Settle(*m);
  for (int c = 0; c < 2; ++c) {
    EXPECT_EQ(Internals(*m).Mid(c)->Gain(), static_cast<float>(11.42));
    EXPECT_EQ(Internals(*m).Mid(c)->BandWidth(), static_cast<float>(3.7));
    EXPECT_EQ(Internals(*m).High(c)->Gain(), static_cast<float>(-13.5));
    EXPECT_EQ(Internals(*m).High(c)->Frequency(), 4640.0);
    EXPECT_EQ(Internals(*m).Pres(c)->Gain(), static_cast<float>(11.46));
    EXPECT_EQ(Internals(*m).Pres(c)->Frequency(), 7386.0);
    EXPECT_EQ(Internals(*m).Low(c)->Gain(), static_cast<float>(-12.3));
  }
}

TEST(ProcessModule, SmootherPolesFollowKnobsAndFactor) {
  auto m = NewModule();
  m->SetParameter(4, 0);
  EXPECT_EQ(Internals(*m).PublishedSettings().HPF, 1.0);
  m->SetParameter(4, 20);
  m->SetParameter(16, 8);
  EXPECT_NEAR(Internals(*m).PublishedSettings().HPF, 0.999181, 5e-7);
  EXPECT_NEAR(Internals(*m).PublishedSettings().LPF, 0.884394, 5e-7);
  m->SetParameter(16, 16);
  EXPECT_NEAR(Internals(*m).PublishedSettings().HPF, 0.999590, 5e-7);
  EXPECT_NEAR(Internals(*m).PublishedSettings().LPF, 0.940395, 5e-7);
  Settle(*m);
  EXPECT_EQ(Internals(*m).Pres(0)->SampleRate(), 44100.0 * 16);
  m->SetParameter(6, 500);
  m->SetParameter(16, 1);
  EXPECT_NEAR(Internals(*m).PublishedSettings().LPF, 0.848977, 5e-7);
}

TEST(ProcessModule, OversamplingBetweenItsEndsIsStoredAsEight) {
  auto m = NewModule();
  for (float v : {2.0f, 7.5f, 15.0f}) {
    m->SetParameter(16, v);
    EXPECT_EQ(m->GetParameter(16), 8.0f);
    EXPECT_EQ(m->OSFactor(), 8);
    Settle(*m);
    EXPECT_EQ(Internals(*m).UpDownSampling(1)->Factor(), 8);
  }
  m->SetParameter(16, 16);
  EXPECT_EQ(m->OSFactor(), 16);
  m->SetParameter(16, 1);
  EXPECT_EQ(m->OSFactor(), 1);
  // The buffers were sized for 16x at creation; no switch resized them.
  EXPECT_EQ(Internals(*m).TempBufferSize(), 16384);
}

TEST(ProcessModule, BlockSizeSizesTheBuffersForTheLargestFactor) {
  auto m = NewModule();
  m->VSTModuleBlockSizeChange(512);
  EXPECT_EQ(Internals(*m).TempBufferSize(), 512 * 16);
  m->SetParameter(16, 8);
  EXPECT_EQ(Internals(*m).TempBufferSize(), 512 * 16);
  m->VSTModuleBlockSizeChange(1 << 24);  // no unbounded allocation
  EXPECT_EQ(Internals(*m).TempBufferSize(), TProcessModule::kMaxBufferedFrames * 16);
}

TEST(ProcessModule, ZeroSampleRateIsRefusedAndChangesNothing) {
  auto m = NewModule();
  m->SetParameter(16, 8);
  const double hpf = Internals(*m).PublishedSettings().HPF, lpf = Internals(*m).PublishedSettings().LPF;
  try {
    m->VSTModuleSampleRateChange(0.0f);
    ADD_FAILURE() << "no error";
  } catch (const EDspError& e) {
    EXPECT_STREQ(e.what(), "Invalid Samplerate!");
  }
  EXPECT_THROW(m->VSTModuleSampleRateChange(std::numeric_limits<float>::quiet_NaN()), EDspError);
  Settle(*m);
  EXPECT_EQ(Internals(*m).PublishedSettings().HPF, hpf);
  EXPECT_EQ(Internals(*m).PublishedSettings().LPF, lpf);
  EXPECT_EQ(m->HostSampleRate(), 44100.0f);
  EXPECT_EQ(Internals(*m).Pres(1)->SampleRate(), 44100.0 * 8);
  // A negative rate counts as its magnitude.
  m->VSTModuleSampleRateChange(-48000.0f);
  EXPECT_EQ(m->HostSampleRate(), 48000.0f);
  Settle(*m);
  EXPECT_EQ(Internals(*m).UpDownSampling(0)->SampleRate(), 48000.0 * 8);
}

TEST(ProcessModule, PowerOffCopiesBitForBitAndFreezesEverything) {
  auto m = NewModule();
  m->SetParameter(14, 1);
  const std::vector<double> l = TestSignal(300, 0.7, 1), r = TestSignal(300, 0.2, 2);
  Run64(*m, l, r);
  const float inPeak = m->Peak(0, 0), outPeak = m->Peak(1, 1);
  const double state = Internals(*m).Chain().State(0, 2);
  m->VSTModuleSoftBypass(true);
  EXPECT_EQ(m->GetParameter(13), 0.0f);
  EXPECT_EQ(m->OnProcess64Replacing(), &TProcessModule::VSTModuleProcessBypass64);
  std::vector<double> rightOut;
  const std::vector<double> loud = TestSignal(300, 3.0, 9);
  EXPECT_EQ(Run64(*m, loud, r, &rightOut), loud);
  EXPECT_EQ(rightOut, r);
  EXPECT_EQ(Run32(*m, {0.5f, -2.0f, 1e-30f}, {1, 2, 3}), (std::vector<float>{0.5f, -2.0f, 1e-30f}));
  // In place as well.
  std::vector<float> same = {1.0f, 2.0f};
  float* io[2] = {same.data(), same.data()};
  m->HostCallProcess32Replacing(io, io, 2);
  EXPECT_EQ(same, (std::vector<float>{1.0f, 2.0f}));
  EXPECT_EQ(m->Peak(0, 0), inPeak);
  EXPECT_EQ(m->Peak(1, 1), outPeak);
  EXPECT_EQ(Internals(*m).Chain().State(0, 2), state);
  m->VSTModuleSoftBypass(false);
  EXPECT_EQ(m->GetParameter(13), 1.0f);
  EXPECT_EQ(m->OnProcess32Replacing(), &TProcessModule::VSTModuleProcess32Replacing);
}

TEST(ProcessModule, SuspendClearsOnlyTheSmootherStates) {
  auto m = NewModule();
  Run64(*m, TestSignal(200, 0.9, 3), TestSignal(200, 0.9, 4));
  const double biquad = Internals(*m).Chain().BiquadState(0, 0, 0);
  ASSERT_NE(biquad, 0.0);
  const float peak = m->Peak(0, 0);
  ASSERT_NE(Internals(*m).Chain().State(0, 0), 0.0);
  m->VSTModuleSuspend();
  for (int c = 0; c < 2; ++c)
    for (int k = 0; k < 5; ++k) EXPECT_EQ(Internals(*m).Chain().State(c, k), 0.0);
  EXPECT_EQ(Internals(*m).Chain().BiquadState(0, 0, 0), biquad);
  EXPECT_EQ(m->Peak(0, 0), peak);
}

TEST(ProcessModule, MetersReadInDecibelsAndReset) {
  auto m = NewModule();
  Run64(*m, std::vector<double>(4, 1.0), std::vector<double>(4, 0.25));
  EXPECT_NEAR(m->InputPeakLevel(), -0.0001f, 1e-4f);
  m->SetParamsToDefault();
  EXPECT_NEAR(m->InputPeakLevel(), -66.73f, 0.01f);
  EXPECT_NEAR(m->OutputPeakLevel(), -66.73f, 0.01f);
  EXPECT_LT(m->InputPeakLevel(), -25.0f);
  Run64(*m, std::vector<double>(1, 0.5), std::vector<double>(1, 0.0));
  EXPECT_NEAR(m->InputPeakLevel(), -6.0206f, 1e-3f);
}

TEST(ProcessModule, LongHostBlocksRunAsPiecesOfTheAnnouncedSize) {
  // A host announcing 256 frames but sending 4096 gets the same samples as
  // one sending sixteen blocks of 256.
  auto longOne = NewModule(), shortOne = NewModule();
  for (auto* m : {longOne.get(), shortOne.get()}) {
    m->VSTModuleBlockSizeChange(256);
    m->SetParameter(16, 16);
    m->SetParameter(14, 1);
  }
  const std::vector<double> l = TestSignal(4096, 0.8, 5), r = TestSignal(4096, 0.6, 6);
  std::vector<double> longRight;
  const std::vector<double> longLeft = Run64(*longOne, l, r, &longRight);
  for (std::size_t start = 0; start < 4096; start += 256) {
    std::vector<double> right;
    const std::vector<double> left = Run64(*shortOne, {l.begin() + start, l.begin() + start + 256},
                                           {r.begin() + start, r.begin() + start + 256}, &right);
    for (std::size_t i = 0; i < 256; ++i) {
      ASSERT_EQ(left[i], longLeft[start + i]) << start + i;
      ASSERT_EQ(right[i], longRight[start + i]) << start + i;
    }
  }
}

TEST(ProcessModule, SinglePrecisionPathFollowsTheDoublePath) {
  auto m64 = NewModule(), m32 = NewModule();
  for (auto* m : {m64.get(), m32.get()}) {
    m->SetParameter(16, 8);
    m->SetParameter(1, 40);
  }
  const std::vector<double> l = TestSignal(1024, 0.5, 7);
  const std::vector<float> l32(l.begin(), l.end());
  const std::vector<double> l64(l32.begin(), l32.end());
  const std::vector<double> out64 = Run64(*m64, l64, l64);
  const std::vector<float> out32 = Run32(*m32, l32, l32);
  double worst = 0;
  for (std::size_t i = 0; i < l.size(); ++i) worst = std::max(worst, std::fabs(out32[i] - out64[i]));
  EXPECT_LT(worst, 1e-5);
  EXPECT_GT(PeakOf(out64, 0, out64.size()), 0.05);
}

TEST(ProcessModule, RecoversFromABlockOfNonFiniteInput) {
  auto m = NewModule();
  m->SetParameter(16, 8);
  m->SetParameter(14, 1);
  std::vector<double> bad = TestSignal(128, 0.5, 8);
  bad[17] = std::numeric_limits<double>::quiet_NaN();
  bad[40] = -std::numeric_limits<double>::infinity();
  Run64(*m, bad, bad);
  const std::vector<double> good = TestSignal(2048, 0.5, 9);
  std::vector<double> right;
  const std::vector<double> left = Run64(*m, good, good, &right);
  for (std::size_t i = 0; i < good.size(); ++i) {
    ASSERT_TRUE(std::isfinite(left[i])) << i;
    ASSERT_TRUE(std::isfinite(right[i])) << i;
  }
  EXPECT_GT(PeakOf(left, 1024, 2048), 0.05);
  EXPECT_TRUE(std::isfinite(m->InputPeakLevel()));
  EXPECT_TRUE(std::isfinite(m->OutputPeakLevel()));
}

TEST(ProcessModule, MovingLoPassAt8xKeepsThePeakNearItsSteadyLevel) {
  auto m = NewModule();
  m->SetParameter(16, 8);
  m->SetParameter(4, 5);  // a slow follower, so that the steady level is high
  std::vector<double> sine(4410);
  for (std::size_t i = 0; i < sine.size(); ++i) sine[i] = 0.5 * std::sin(2 * std::numbers::pi * 110.0 * i / 44100);
  std::vector<double> out;
  for (int block = 0; block < 10; ++block) out = Run64(*m, sine, sine);
  const double before = PeakOf(out, 0, out.size());
  m->SetParameter(6, 500);
  const double atSwitch = PeakOf(Run64(*m, sine, sine), 0, sine.size());
  for (int block = 0; block < 10; ++block) out = Run64(*m, sine, sine);
  const double after = PeakOf(out, 0, out.size());
  EXPECT_LT(atSwitch, 1.15 * std::max(before, after));
}

TEST(ProcessModule, CloseFreesTheObjectsAndLaterBlocksAreSilent) {
  auto m = NewModule();
  m->VSTModuleClose();
  EXPECT_EQ(Internals(*m).HighPass(0), nullptr);
  EXPECT_EQ(Internals(*m).UpDownSampling(1), nullptr);
  std::vector<double> right;
  EXPECT_EQ(Run64(*m, {1.0, 2.0}, {3.0, 4.0}, &right), (std::vector<double>{0.0, 0.0}));
  // Tone knobs skip the missing objects.
  m->SetParameter(8, 5);
  m->SetParameter(5, 100);
}

}  // namespace
}  // namespace vb
