// Guards the drive as a host drives the built library: the set-up sequence
// at common rates, blocks of any length (also longer than announced),
// automation between blocks, soft bypass and suspend/resume.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "drive_test_rig.h"
#include "host/vst_abi.h"
#include "support/test_host.h"

namespace vb {
namespace {

using test::Channels32;
using test::Channels64;
using test::TTestHost;

Channels32 Signal32(std::size_t Length, double Amplitude) {
  Channels32 Result(2);
  for (int c = 0; c < 2; ++c) {
    const std::vector<double> s = test::TestSignal(Length, Amplitude, 20 + c);
    Result[c].assign(s.begin(), s.end());
  }
  return Result;
}

Channels64 Signal64(std::size_t Length, double Amplitude) {
  return {test::TestSignal(Length, Amplitude, 30), test::TestSignal(Length, Amplitude, 31)};
}

template <class TChannels>
void ExpectFiniteAndAudible(const TChannels& Out, std::size_t Length) {
  ASSERT_EQ(Out.size(), 2u);
  for (const auto& Channel : Out) {
    ASSERT_EQ(Channel.size(), Length);
    double Peak = 0;
    for (auto v : Channel) {
      ASSERT_TRUE(std::isfinite(v));
      Peak = std::max(Peak, std::fabs(static_cast<double>(v)));
    }
    if (Length >= 512) {
      EXPECT_GT(Peak, 1e-3);
    }
  }
}

// Normalised value of a linear parameter.
float Normalised(float Value, float Min, float Max) { return (Value - Min) / (Max - Min); }

class PluginProcessing : public ::testing::TestWithParam<float> {};

TEST_P(PluginProcessing, ProcessesEveryBlockLengthAtEveryFactor) {
  TTestHost Host{VB_PLUGIN_PATH};
  ASSERT_NE(Host.StartUp(GetParam(), 512), nullptr);
  EXPECT_TRUE(Host.Effect()->EffectFlags & EffFlagBit(effFlagsCanDoubleReplacing));
  for (float Factor : {1.0f, 8.0f, 16.0f}) {
    Host.SetParameter(16, Normalised(Factor, 1, 16));
    ASSERT_EQ(Host.GetParameter(16), Normalised(Factor, 1, 16));
    for (std::size_t Length : {1u, 7u, 512u, 4096u}) {
      ExpectFiniteAndAudible(Host.Process32(Signal32(Length, 0.5)), Length);
      ExpectFiniteAndAudible(Host.Process64(Signal64(Length, 0.5)), Length);
    }
    ExpectFiniteAndAudible(Host.ProcessAccumulating(Signal32(600, 0.5)), 600);
  }
  Host.Close();
}

INSTANTIATE_TEST_SUITE_P(Rates, PluginProcessing, ::testing::Values(44100.0f, 48000.0f, 96000.0f));

TEST(PluginProcessingControl, AutomationBetweenBlocksKeepsTheOutputSound) {
  TTestHost Host{VB_PLUGIN_PATH};
  ASSERT_NE(Host.StartUp(48000.0f, 256), nullptr);
  for (int Block = 0; Block < 120; ++Block) {
    const std::int32_t Index = Block % 17;
    Host.SetParameter(Index, static_cast<float>((Block * 37) % 101) / 100.0f);
    Host.SetParameter(13, 1.0f);  // keep the effect on
    if (Block % 2)
      ExpectFiniteAndAudible(Host.Process64(Signal64(256, 0.3)), 256);
    else
      ExpectFiniteAndAudible(Host.Process32(Signal32(256, 0.3)), 256);
  }
}

TEST(PluginProcessingControl, SoftBypassIsThePowerSwitch) {
  TTestHost Host{VB_PLUGIN_PATH};
  ASSERT_NE(Host.StartUp(44100.0f, 512), nullptr);
  Host.Process32(Signal32(512, 0.5));
  EXPECT_EQ(Host.Dispatch(effSetBypass, 0, 1), 1);
  EXPECT_EQ(Host.GetParameter(13), 0.0f);
  const Channels32 In32 = Signal32(512, 2.5);
  EXPECT_EQ(Host.Process32(In32), In32);
  const Channels64 In64 = Signal64(100, 0.1);
  EXPECT_EQ(Host.Process64(In64), In64);
  Host.Dispatch(effSetBypass, 0, 0);
  EXPECT_EQ(Host.GetParameter(13), 1.0f);
  EXPECT_NE(Host.Process32(In32), In32);
}

TEST(PluginProcessingControl, SuspendResumeAndRateChangesBetweenBlocks) {
  TTestHost Host{VB_PLUGIN_PATH};
  ASSERT_NE(Host.StartUp(44100.0f, 128), nullptr);
  Host.SetParameter(16, 1.0f);
  for (float Rate : {96000.0f, 0.0f, -48000.0f, 22050.0f}) {
    Host.Dispatch(effMainsChanged, 0, 0);
    Host.Dispatch(effSetSampleRate, 0, 0, nullptr, Rate);
    Host.Dispatch(effSetBlockSize, 0, 64);
    Host.Dispatch(effMainsChanged, 0, 1);
    ExpectFiniteAndAudible(Host.Process64(Signal64(1024, 0.4)), 1024);
  }
}

}  // namespace
}  // namespace vb
