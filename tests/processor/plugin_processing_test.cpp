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
  Channels32 result(2);
  for (int c = 0; c < 2; ++c) {
    const std::vector<double> s = test::TestSignal(Length, Amplitude, 20 + c);
    result[c].assign(s.begin(), s.end());
  }
  return result;
}

Channels64 Signal64(std::size_t Length, double Amplitude) {
  return {test::TestSignal(Length, Amplitude, 30), test::TestSignal(Length, Amplitude, 31)};
}

template <class TChannels>
void ExpectFiniteAndAudible(const TChannels& Out, std::size_t Length) {
  ASSERT_EQ(Out.size(), 2u);
  for (const auto& channel : Out) {
    ASSERT_EQ(channel.size(), Length);
    double peak = 0;
    for (auto v : channel) {
      ASSERT_TRUE(std::isfinite(v));
      peak = std::max(peak, std::fabs(static_cast<double>(v)));
    }
    if (Length >= 512) {
      EXPECT_GT(peak, 1e-3);
    }
  }
}

// Normalised value of a linear parameter.
float Normalised(float Value, float Min, float Max) { return (Value - Min) / (Max - Min); }

class TPluginProcessing : public ::testing::TestWithParam<float> {};

TEST_P(TPluginProcessing, ProcessesEveryBlockLengthAtEveryFactor) {
  TTestHost host{VB_PLUGIN_PATH};
  ASSERT_NE(host.StartUp(GetParam(), 512), nullptr);
  EXPECT_TRUE(host.Effect()->EffectFlags & EffFlagBit(effFlagsCanDoubleReplacing));
  for (float factor : {1.0f, 8.0f, 16.0f}) {
    host.SetParameter(16, Normalised(factor, 1, 16));
    ASSERT_EQ(host.GetParameter(16), Normalised(factor, 1, 16));
    for (std::size_t length : {1u, 7u, 512u, 4096u}) {
      ExpectFiniteAndAudible(host.Process32(Signal32(length, 0.5)), length);
      ExpectFiniteAndAudible(host.Process64(Signal64(length, 0.5)), length);
    }
    ExpectFiniteAndAudible(host.ProcessAccumulating(Signal32(600, 0.5)), 600);
  }
  host.Close();
}

INSTANTIATE_TEST_SUITE_P(Rates, TPluginProcessing, ::testing::Values(44100.0f, 48000.0f, 96000.0f));

TEST(PluginProcessingControl, AutomationBetweenBlocksKeepsTheOutputSound) {
  TTestHost host{VB_PLUGIN_PATH};
  ASSERT_NE(host.StartUp(48000.0f, 256), nullptr);
  for (int block = 0; block < 120; ++block) {
    const std::int32_t index = block % 17;
    host.SetParameter(index, static_cast<float>((block * 37) % 101) / 100.0f);
    host.SetParameter(13, 1.0f);  // keep the effect on
    if (block % 2)
      ExpectFiniteAndAudible(host.Process64(Signal64(256, 0.3)), 256);
    else
      ExpectFiniteAndAudible(host.Process32(Signal32(256, 0.3)), 256);
  }
}

TEST(PluginProcessingControl, SoftBypassIsThePowerSwitch) {
  TTestHost host{VB_PLUGIN_PATH};
  ASSERT_NE(host.StartUp(44100.0f, 512), nullptr);
  host.Process32(Signal32(512, 0.5));
  EXPECT_EQ(host.Dispatch(effSetBypass, 0, 1), 1);
  EXPECT_EQ(host.GetParameter(13), 0.0f);
  const Channels32 in32 = Signal32(512, 2.5);
  EXPECT_EQ(host.Process32(in32), in32);
  const Channels64 in64 = Signal64(100, 0.1);
  EXPECT_EQ(host.Process64(in64), in64);
  host.Dispatch(effSetBypass, 0, 0);
  EXPECT_EQ(host.GetParameter(13), 1.0f);
  EXPECT_NE(host.Process32(in32), in32);
}

TEST(PluginProcessingControl, SuspendResumeAndRateChangesBetweenBlocks) {
  TTestHost host{VB_PLUGIN_PATH};
  ASSERT_NE(host.StartUp(44100.0f, 128), nullptr);
  host.SetParameter(16, 1.0f);
  for (float rate : {96000.0f, 0.0f, -48000.0f, 22050.0f}) {
    host.Dispatch(effMainsChanged, 0, 0);
    host.Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    host.Dispatch(effSetBlockSize, 0, 64);
    host.Dispatch(effMainsChanged, 0, 1);
    ExpectFiniteAndAudible(host.Process64(Signal64(1024, 0.4)), 1024);
  }
}

}  // namespace
}  // namespace vb
