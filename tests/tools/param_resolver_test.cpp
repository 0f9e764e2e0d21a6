// Guards --param: names resolve as users type them, values in the parameter's unit land where the display shows them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>

#include "param_resolver.h"

namespace vb {
namespace {

// A plug-in's parameter entries in memory: each parameter maps 0..1 to its
// unit with `ToUnit` and shows it with `Show`.
struct TFakeParam {
  std::string Name;
  std::string Label;
  std::function<double(float)> ToUnit;
  std::function<std::string(double)> Show;
  bool ParsesText = false;
  float Value = 0.0f;
};

// Four significant digits after rounding to four decimals, with a comma:
// how a plug-in using a comma locale shows its numbers.
std::string CommaNumber(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4g", std::nearbyint(v * 1e4) / 1e4);
  std::string s = buf;
  for (char& c : s)
    if (c == '.') c = ',';
  return s;
}

class TFakeParams : public TParamAccess {
 public:
  std::vector<TFakeParam> P;
  int Sets = 0;
  int Count() override { return static_cast<int>(P.size()); }
  std::string Name(int i) override { return P[i].Name; }
  std::string Display(int i) override { return P[i].Show(P[i].ToUnit(P[i].Value)); }
  std::string Label(int i) override { return P[i].Label; }
  float Get(int i) override { return P[i].Value; }
  void Set(int i, float x) override {
    ++Sets;
    P[i].Value = x;
  }
  // Takes any text, as sloppy plug-ins do: a word reads as 0.
  bool FromString(int i, const std::string& text) override {
    if (!P[i].ParsesText) return false;
    P[i].Value = static_cast<float>(std::atof(text.c_str()) / 10.0);
    return true;
  }
};

class ParamResolverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    F.P.push_back({"Input", "dB *0,1", [](float x) { return -200.0 + 400.0 * x; }, CommaNumber, false, 0.5f});
    F.P.push_back({"Mode", "", [](float x) { return x; }, [](double v) { return std::string(v < 0.5 ? "Off" : "On"); },
                   false, 0.0f});
    F.P.push_back({"Cut", "Hz", [](float x) { return 1000.0 * (1.0 - x); }, CommaNumber, false, 0.0f});
    F.P.push_back({"Steps", "x", [](float x) { return std::nearbyint(1.0 + 15.0 * x); }, CommaNumber, false, 0.0f});
    F.P.push_back({"Own", "", [](float x) { return 10.0 * x; }, CommaNumber, true, 0.0f});
    // 1 at the bottom, 16 at the top, 8 everywhere between (an oversampling switch).
    F.P.push_back(
        {"Factor", "", [](float x) { return x <= 0.0f   ? 1.0
                                            : x >= 1.0f ? 16.0
                                                        : 8.0; }, CommaNumber, false, 0.0f});
  }

  bool Apply(const std::string& name, const std::string& value, bool normalised = false) {
    Error.clear();
    return TParamResolver(F).Apply({name, value}, normalised, Setting, Error);
  }

  TFakeParams F;
  TParamSetting Setting;
  std::string Error;
};

TEST_F(ParamResolverTest, FindsParametersByExactNameAnyLetterCaseOrIndex) {
  TParamResolver r(F);
  EXPECT_EQ(r.Find("Cut"), 2);
  EXPECT_EQ(r.Find("cUT"), 2);
  EXPECT_EQ(r.Find(" Mode "), 1);
  EXPECT_EQ(r.Find("3"), 3);
  EXPECT_EQ(r.Find("6"), -1);
  EXPECT_EQ(r.Find("Drive"), -1);
  EXPECT_EQ(r.Find(""), -1);
}

TEST_F(ParamResolverTest, UnknownNameFailsWithOneLineAndTouchesNothing) {
  EXPECT_FALSE(Apply("Drive", "70"));
  EXPECT_NE(Error.find("unknown parameter 'Drive'"), std::string::npos) << Error;
  EXPECT_EQ(Error.find('\n'), std::string::npos);
  EXPECT_EQ(F.Sets, 0);
}

TEST_F(ParamResolverTest, SetsTheValueTheDisplayShowsInTheParametersOwnUnit) {
  ASSERT_TRUE(Apply("Input", "75")) << Error;
  EXPECT_EQ(Setting.Index, 0);
  EXPECT_EQ(Setting.Display, "75");
  EXPECT_NEAR(F.P[0].ToUnit(F.P[0].Value), 75.0, 1e-3);  // the middle of the "75" run, not its edge
  ASSERT_TRUE(Apply("Input", "-12,5")) << Error;
  EXPECT_EQ(Setting.Display, "-12,5");
  ASSERT_TRUE(Apply("input", " -12.5 dB *0,1 ")) << Error;  // point decimal and the unit label are fine too
  EXPECT_EQ(Setting.Display, "-12,5");
}

TEST_F(ParamResolverTest, ReachesBothEndsOfTheRangeExactly) {
  ASSERT_TRUE(Apply("Input", "200")) << Error;
  EXPECT_EQ(F.P[0].Value, 1.0f);
  ASSERT_TRUE(Apply("Input", "-200")) << Error;
  EXPECT_EQ(F.P[0].Value, 0.0f);
}

TEST_F(ParamResolverTest, RefusesValuesOutsideTheRangeAndKeepsTheEarlierValue) {
  F.P[0].Value = 0.25f;
  EXPECT_FALSE(Apply("Input", "250"));
  EXPECT_NE(Error.find("above the range"), std::string::npos) << Error;
  EXPECT_FALSE(Apply("Input", "-201"));
  EXPECT_NE(Error.find("below the range"), std::string::npos) << Error;
  EXPECT_FALSE(Apply("Input", "loud"));
  EXPECT_EQ(F.P[0].Value, 0.25f);
}

TEST_F(ParamResolverTest, MatchesDisplayTextsThatAreWords) {
  ASSERT_TRUE(Apply("Mode", "on")) << Error;
  EXPECT_EQ(Setting.Display, "On");
  ASSERT_TRUE(Apply("Mode", "Off")) << Error;
  EXPECT_EQ(Setting.Display, "Off");
  EXPECT_FALSE(Apply("Mode", "Auto"));
  EXPECT_NE(Error.find("never shows 'Auto'"), std::string::npos) << Error;
}

TEST_F(ParamResolverTest, HandlesDisplaysThatFallAsTheKnobRises) {
  ASSERT_TRUE(Apply("Cut", "275 Hz")) << Error;
  EXPECT_EQ(Setting.Display, "275");
  EXPECT_NEAR(F.P[2].ToUnit(F.P[2].Value), 275.0, 1e-3);
}

TEST_F(ParamResolverTest, LandsInsideTheStepOfASteppedParameter) {
  ASSERT_TRUE(Apply("Steps", "8")) << Error;
  EXPECT_EQ(Setting.Display, "8");
  // The middle of the run that shows 8: (7.5 - 1) / 15 .. (8.5 - 1) / 15.
  EXPECT_NEAR(F.P[3].Value, 7.0f / 15.0f, 0.01f);
}

TEST_F(ParamResolverTest, RefusesAStepThatDoesNotExistInsteadOfPickingAnother) {
  ASSERT_TRUE(Apply("Factor", "8")) << Error;
  EXPECT_EQ(Setting.Display, "8");
  ASSERT_TRUE(Apply("Factor", "16")) << Error;
  EXPECT_EQ(F.P[5].Value, 1.0f);
  EXPECT_FALSE(Apply("Factor", "4"));
  EXPECT_NE(Error.find("has no setting 4 (the nearest are 1 and 8)"), std::string::npos) << Error;
  EXPECT_EQ(F.P[5].Value, 1.0f);
  EXPECT_FALSE(Apply("Steps", "4.5"));  // whole steps 1 apart on a range of 15
  // A gap far below the range is display rounding (four digits show 100 and
  // 100,1 but nothing between): the nearer neighbour wins.
  ASSERT_TRUE(Apply("Input", "100.04")) << Error;
  EXPECT_EQ(Setting.Display, "100");
}

TEST_F(ParamResolverTest, LetsThePluginParseTextWhenItCan) {
  ASSERT_TRUE(Apply("Own", "3")) << Error;
  EXPECT_FLOAT_EQ(F.P[4].Value, 0.3f);
  // A switch whose plug-in reads "On" as 0 still gets the word it shows.
  F.P.push_back({"Power", "", [](float x) { return x; }, [](double v) { return std::string(v < 0.5 ? "Off" : "On"); },
                 true, 0.0f});
  ASSERT_TRUE(Apply("Power", "On")) << Error;
  EXPECT_EQ(Setting.Display, "On");
}

TEST_F(ParamResolverTest, RefusesHexadecimalAndSuffixesTheParameterNeverShows) {
  EXPECT_FALSE(Apply("Own", "0x10"));
  EXPECT_NE(Error.find("is hexadecimal"), std::string::npos) << Error;
  EXPECT_FALSE(Apply("Input", "3k"));
  EXPECT_NE(Error.find("suffix 'k'"), std::string::npos) << Error;
  EXPECT_FLOAT_EQ(F.P[0].Value, 0.5f);
  ASSERT_TRUE(Apply("Steps", "16x")) << Error;  // its own unit
  EXPECT_EQ(Setting.Display, "16");
}

// Switches that show numbers and list their words in the unit label.
TEST_F(ParamResolverTest, TakesTheWordsASwitchListsInItsLabel) {
  F.P.push_back({"Power", "On/Off", [](float x) { return x < 0.5f ? 0.0 : 1.0; }, CommaNumber, false, 1.0f});
  F.P.push_back({"Over", "1x/8x/16x", F.P[5].ToUnit, CommaNumber, false, 0.0f});
  ASSERT_TRUE(Apply("Power", "off")) << Error;
  EXPECT_EQ(Setting.Display, "0");
  ASSERT_TRUE(Apply("Power", "On")) << Error;
  EXPECT_EQ(Setting.Display, "1");
  ASSERT_TRUE(Apply("Over", "16x")) << Error;
  EXPECT_EQ(Setting.Display, "16");
  ASSERT_TRUE(Apply("Over", "8X")) << Error;
  EXPECT_EQ(Setting.Display, "8");
  EXPECT_FALSE(Apply("Over", "4x"));
  EXPECT_NE(Error.find("is none of its settings (1x/8x/16x)"), std::string::npos) << Error;
}

TEST_F(ParamResolverTest, NormalisedValuesGoStraightThroughWithinZeroToOne) {
  ASSERT_TRUE(Apply("Input", "0.75", true)) << Error;
  EXPECT_EQ(F.P[0].Value, 0.75f);
  EXPECT_EQ(Setting.Display, "100");
  EXPECT_FALSE(Apply("Input", "1.5", true));
  EXPECT_FALSE(Apply("Input", "-0.1", true));
  EXPECT_EQ(F.P[0].Value, 0.75f);
}

TEST(ParamResolverNumbers, ReadsNumbersWithEitherSeparatorAndAUnit) {
  double v = 0;
  EXPECT_TRUE(TParamResolver::ParseNumber("0,5", "", v));
  EXPECT_EQ(v, 0.5);
  EXPECT_TRUE(TParamResolver::ParseNumber(" -3.25 dB ", "dB", v));
  EXPECT_EQ(v, -3.25);
  EXPECT_TRUE(TParamResolver::ParseNumber("45%", "", v));
  EXPECT_EQ(v, 45.0);
  EXPECT_FALSE(TParamResolver::ParseNumber("On", "", v));
  EXPECT_FALSE(TParamResolver::ParseNumber("", "", v));
  EXPECT_FALSE(TParamResolver::ParseNumber("12-4", "", v));
}

}  // namespace
}  // namespace vb

namespace vb {
namespace {

// Switches are the parameters with at most three settings: on/off and an
// oversampling factor; a 16-step or continuous one is not. The scan leaves
// every value where it was.
TEST_F(ParamResolverTest, TellsSwitchesFromContinuousParametersAndSetsThemFirst) {
  TParamResolver resolver(F);
  F.P[2].Value = 0.25f;
  EXPECT_FALSE(resolver.IsSwitch(0));
  EXPECT_TRUE(resolver.IsSwitch(1));
  EXPECT_FALSE(resolver.IsSwitch(2));
  EXPECT_FALSE(resolver.IsSwitch(3));
  EXPECT_TRUE(resolver.IsSwitch(5));
  EXPECT_EQ(F.P[2].Value, 0.25f);

  std::vector<size_t> order;
  std::string error;
  ASSERT_TRUE(resolver.ApplyOrder({{"Cut", "5"}, {"Mode", "On"}, {"Input", "1"}, {"Factor", "8"}}, order, error));
  EXPECT_EQ(order, (std::vector<size_t>{1, 3, 0, 2}));
  EXPECT_FALSE(resolver.ApplyOrder({{"Mode", "On"}, {"Nope", "1"}}, order, error));
  EXPECT_NE(error.find("unknown parameter 'Nope'"), std::string::npos) << error;
  EXPECT_EQ(F.P[1].Value, 0.0f) << "nothing is set when a name is unknown";
}

}  // namespace
}  // namespace vb
