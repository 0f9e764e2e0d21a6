// Guards the channel mapping: --channels lists parse as users write them, counts that do not fit are refused with a
// list that would fit, and every mapping but one-to-one is told.
#include <gtest/gtest.h>

#include "channel_map.h"

namespace vb {
namespace {

std::vector<TChannelFeed> Parsed(const std::string& Text) {
  std::vector<TChannelFeed> feeds;
  std::string error;
  EXPECT_TRUE(ParseChannelList(Text, feeds, error)) << Text << ": " << error;
  return feeds;
}

TEST(ChannelList, ReadsNumbersMixesAndSilence) {
  EXPECT_EQ(Parsed("1,2"), (std::vector<TChannelFeed>{{0}, {1}}));
  EXPECT_EQ(Parsed("2"), (std::vector<TChannelFeed>{{1}}));
  EXPECT_EQ(Parsed("1+2,3"), (std::vector<TChannelFeed>{{0, 1}, {2}}));
  EXPECT_EQ(Parsed("1,2,0,0"), (std::vector<TChannelFeed>{{0}, {1}, {}, {}}));
  for (const char* bad : {"", ",", "1,", "a", "1+", "+1", "0+1", "1+0", "-1", "1.5", "2000", "1;2"}) {
    std::vector<TChannelFeed> feeds;
    std::string error;
    EXPECT_FALSE(ParseChannelList(bad, feeds, error)) << "accepted '" << bad << "'";
    EXPECT_NE(error.find("--channels"), std::string::npos) << error;
  }
}

TEST(ChannelPlan, MonoFeedsEveryInputAndSaysSo) {
  TChannelMap map;
  std::string error;
  ASSERT_TRUE(PlanChannels(1, 2, {}, "'a.wav'", false, map, error)) << error;
  EXPECT_EQ(map.Feeds, (std::vector<TChannelFeed>{{0}, {0}}));
  EXPECT_EQ(map.Note, "mono input: the one channel of 'a.wav' feeds both inputs of the plug-in");
  ASSERT_TRUE(PlanChannels(3, 4, {{2}}, "'a.wav'", false, map, error)) << error;
  EXPECT_EQ(map.Feeds, (std::vector<TChannelFeed>(4, TChannelFeed{2})));
  EXPECT_EQ(map.Note, "channel 3 of 'a.wav' feeds all 4 inputs of the plug-in");
}

TEST(ChannelPlan, CountsThatDoNotFitAreRefusedWithAListThatWould) {
  TChannelMap map;
  std::string error;
  EXPECT_FALSE(PlanChannels(6, 2, {}, "'six.wav'", false, map, error));
  EXPECT_EQ(error,
            "'six.wav' has 6 channels and the plug-in takes 2 inputs; choose the channels that feed it, "
            "e.g. --channels 1,2");
  EXPECT_FALSE(PlanChannels(2, 4, {}, "'st.wav'", false, map, error));
  EXPECT_NE(error.find("--channels 1,2,0,0 (0 feeds silence)"), std::string::npos) << error;
  EXPECT_FALSE(PlanChannels(2, 1, {}, "'st.wav'", false, map, error));
  EXPECT_NE(error.find("1+2 (both mixed)"), std::string::npos) << error;
  EXPECT_FALSE(PlanChannels(2, 2, {{0}, {1}, {0}}, "'st.wav'", false, map, error));
  EXPECT_EQ(error, "--channels names 3 channels and the plug-in takes 2 inputs");
  EXPECT_FALSE(PlanChannels(2, 2, {{0}, {0, 2}}, "'st.wav'", false, map, error));
  EXPECT_EQ(error, "--channels names channel 3 and 'st.wav' has 2 channels");
  EXPECT_FALSE(PlanChannels(2, 0, {{0}}, "'st.wav'", false, map, error));
}

TEST(ChannelPlan, TheDemoIsMixedForAMonoPluginAndInputsAreIgnoredByAnInstrument) {
  TChannelMap map;
  std::string error;
  ASSERT_TRUE(PlanChannels(2, 1, {}, "the built-in demo", true, map, error)) << error;
  EXPECT_EQ(map.Feeds, (std::vector<TChannelFeed>{{0, 1}}));
  EXPECT_NE(map.Note.find("mixed to mono"), std::string::npos);
  ASSERT_TRUE(PlanChannels(2, 0, {}, "'a.wav'", false, map, error)) << error;
  EXPECT_TRUE(map.Feeds.empty());
  EXPECT_EQ(map.Note, "the plug-in has no audio inputs: 'a.wav' only sets the length of the render");
}

}  // namespace
}  // namespace vb
