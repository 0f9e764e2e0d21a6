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
std::string CommaNumber(double V) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4g", std::nearbyint(V * 1e4) / 1e4);
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
  std::string Name(int I) override { return P[I].Name; }
  std::string Display(int I) override { return P[I].Show(P[I].ToUnit(P[I].Value)); }
  std::string Label(int I) override { return P[I].Label; }
  float Get(int I) override { return P[I].Value; }
  void Set(int I, float X) override {
    ++Sets;
    P[I].Value = X;
  }
  // Takes any text, as sloppy plug-ins do: a word reads as 0.
  bool FromString(int I, const std::string& Text) override {
    if (!P[I].ParsesText) return false;
    P[I].Value = static_cast<float>(std::atof(Text.c_str()) / 10.0);
    return true;
  }
};

class TParamResolverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    F_.P.push_back({"Input", "dB *0,1", [](float X) { return -200.0 + 400.0 * X; }, CommaNumber, false, 0.5f});
    F_.P.push_back({"Mode", "", [](float X) { return X; }, [](double V) { return std::string(V < 0.5 ? "Off" : "On"); },
                    false, 0.0f});
    F_.P.push_back({"Cut", "Hz", [](float X) { return 1000.0 * (1.0 - X); }, CommaNumber, false, 0.0f});
    F_.P.push_back({"Steps", "x", [](float X) { return std::nearbyint(1.0 + 15.0 * X); }, CommaNumber, false, 0.0f});
    F_.P.push_back({"Own", "", [](float X) { return 10.0 * X; }, CommaNumber, true, 0.0f});
    // 1 at the bottom, 16 at the top, 8 everywhere between (an oversampling switch).
    F_.P.push_back(
        {"Factor", "", [](float X) { return X <= 0.0f   ? 1.0
                                            : X >= 1.0f ? 16.0
                                                        : 8.0; }, CommaNumber, false, 0.0f});
  }

  bool Apply(const std::string& Name, const std::string& Value, bool Normalised = false) {
    FError.clear();
    return TParamResolver(F_).Apply({Name, Value}, Normalised, FSetting, FError);
  }

  TFakeParams F_;
  TParamSetting FSetting;
  std::string FError;
};

TEST_F(TParamResolverTest, FindsParametersByExactNameAnyLetterCaseOrIndex) {
  TParamResolver r(F_);
  EXPECT_EQ(r.Find("Cut"), 2);
  EXPECT_EQ(r.Find("cUT"), 2);
  EXPECT_EQ(r.Find(" Mode "), 1);
  EXPECT_EQ(r.Find("3"), 3);
  EXPECT_EQ(r.Find("6"), -1);
  EXPECT_EQ(r.Find("Drive"), -1);
  EXPECT_EQ(r.Find(""), -1);
}

TEST_F(TParamResolverTest, UnknownNameFailsWithOneLineAndTouchesNothing) {
  EXPECT_FALSE(Apply("Drive", "70"));
  EXPECT_NE(FError.find("unknown parameter 'Drive'"), std::string::npos) << FError;
  EXPECT_EQ(FError.find('\n'), std::string::npos);
  EXPECT_EQ(F_.Sets, 0);
}

TEST_F(TParamResolverTest, SetsTheValueTheDisplayShowsInTheParametersOwnUnit) {
  ASSERT_TRUE(Apply("Input", "75")) << FError;
  EXPECT_EQ(FSetting.Index, 0);
  EXPECT_EQ(FSetting.Display, "75");
  EXPECT_NEAR(F_.P[0].ToUnit(F_.P[0].Value), 75.0, 1e-3);  // the middle of the "75" run, not its edge
  ASSERT_TRUE(Apply("Input", "-12,5")) << FError;
  EXPECT_EQ(FSetting.Display, "-12,5");
  ASSERT_TRUE(Apply("input", " -12.5 dB *0,1 ")) << FError;  // point decimal and the unit label are fine too
  EXPECT_EQ(FSetting.Display, "-12,5");
}

TEST_F(TParamResolverTest, ReachesBothEndsOfTheRangeExactly) {
  ASSERT_TRUE(Apply("Input", "200")) << FError;
  EXPECT_EQ(F_.P[0].Value, 1.0f);
  ASSERT_TRUE(Apply("Input", "-200")) << FError;
  EXPECT_EQ(F_.P[0].Value, 0.0f);
}

TEST_F(TParamResolverTest, RefusesValuesOutsideTheRangeAndKeepsTheEarlierValue) {
  F_.P[0].Value = 0.25f;
  EXPECT_FALSE(Apply("Input", "250"));
  EXPECT_NE(FError.find("above the range"), std::string::npos) << FError;
  EXPECT_FALSE(Apply("Input", "-201"));
  EXPECT_NE(FError.find("below the range"), std::string::npos) << FError;
  EXPECT_FALSE(Apply("Input", "loud"));
  EXPECT_EQ(F_.P[0].Value, 0.25f);
}

TEST_F(TParamResolverTest, MatchesDisplayTextsThatAreWords) {
  ASSERT_TRUE(Apply("Mode", "on")) << FError;
  EXPECT_EQ(FSetting.Display, "On");
  ASSERT_TRUE(Apply("Mode", "Off")) << FError;
  EXPECT_EQ(FSetting.Display, "Off");
  EXPECT_FALSE(Apply("Mode", "Auto"));
  EXPECT_NE(FError.find("never shows 'Auto'"), std::string::npos) << FError;
}

TEST_F(TParamResolverTest, HandlesDisplaysThatFallAsTheKnobRises) {
  ASSERT_TRUE(Apply("Cut", "275 Hz")) << FError;
  EXPECT_EQ(FSetting.Display, "275");
  EXPECT_NEAR(F_.P[2].ToUnit(F_.P[2].Value), 275.0, 1e-3);
}

TEST_F(TParamResolverTest, LandsInsideTheStepOfASteppedParameter) {
  ASSERT_TRUE(Apply("Steps", "8")) << FError;
  EXPECT_EQ(FSetting.Display, "8");
  // The middle of the run that shows 8: (7.5 - 1) / 15 .. (8.5 - 1) / 15.
  EXPECT_NEAR(F_.P[3].Value, 7.0f / 15.0f, 0.01f);
}

TEST_F(TParamResolverTest, RefusesAStepThatDoesNotExistInsteadOfPickingAnother) {
  ASSERT_TRUE(Apply("Factor", "8")) << FError;
  EXPECT_EQ(FSetting.Display, "8");
  ASSERT_TRUE(Apply("Factor", "16")) << FError;
  EXPECT_EQ(F_.P[5].Value, 1.0f);
  EXPECT_FALSE(Apply("Factor", "4"));
  EXPECT_NE(FError.find("has no setting 4 (the nearest are 1 and 8)"), std::string::npos) << FError;
  EXPECT_EQ(F_.P[5].Value, 1.0f);
  EXPECT_FALSE(Apply("Steps", "4.5"));  // whole steps 1 apart on a range of 15
  // A gap far below the range is display rounding (four digits show 100 and
  // 100,1 but nothing between): the nearer neighbour wins.
  ASSERT_TRUE(Apply("Input", "100.04")) << FError;
  EXPECT_EQ(FSetting.Display, "100");
}

TEST_F(TParamResolverTest, LetsThePluginParseTextWhenItCan) {
  ASSERT_TRUE(Apply("Own", "3")) << FError;
  EXPECT_FLOAT_EQ(F_.P[4].Value, 0.3f);
  // A switch whose plug-in reads "On" as 0 still gets the word it shows.
  F_.P.push_back({"Power", "", [](float X) { return X; }, [](double V) { return std::string(V < 0.5 ? "Off" : "On"); },
                  true, 0.0f});
  ASSERT_TRUE(Apply("Power", "On")) << FError;
  EXPECT_EQ(FSetting.Display, "On");
}

TEST_F(TParamResolverTest, RefusesHexadecimalAndSuffixesTheParameterNeverShows) {
  EXPECT_FALSE(Apply("Own", "0x10"));
  EXPECT_NE(FError.find("is hexadecimal"), std::string::npos) << FError;
  EXPECT_FALSE(Apply("Input", "3k"));
  EXPECT_NE(FError.find("suffix 'k'"), std::string::npos) << FError;
  EXPECT_FLOAT_EQ(F_.P[0].Value, 0.5f);
  ASSERT_TRUE(Apply("Steps", "16x")) << FError;  // its own unit
  EXPECT_EQ(FSetting.Display, "16");
}

// Switches that show numbers and list their words in the unit label.
TEST_F(TParamResolverTest, TakesTheWordsASwitchListsInItsLabel) {
  F_.P.push_back({"Power", "On/Off", [](float X) { return X < 0.5f ? 0.0 : 1.0; }, CommaNumber, false, 1.0f});
  F_.P.push_back({"Over", "1x/8x/16x", F_.P[5].ToUnit, CommaNumber, false, 0.0f});
  ASSERT_TRUE(Apply("Power", "off")) << FError;
  EXPECT_EQ(FSetting.Display, "0");
  ASSERT_TRUE(Apply("Power", "On")) << FError;
  EXPECT_EQ(FSetting.Display, "1");
  ASSERT_TRUE(Apply("Over", "16x")) << FError;
  EXPECT_EQ(FSetting.Display, "16");
  ASSERT_TRUE(Apply("Over", "8X")) << FError;
  EXPECT_EQ(FSetting.Display, "8");
  EXPECT_FALSE(Apply("Over", "4x"));
  EXPECT_NE(FError.find("is none of its settings (1x/8x/16x)"), std::string::npos) << FError;
}

TEST_F(TParamResolverTest, NormalisedValuesGoStraightThroughWithinZeroToOne) {
  ASSERT_TRUE(Apply("Input", "0.75", true)) << FError;
  EXPECT_EQ(F_.P[0].Value, 0.75f);
  EXPECT_EQ(FSetting.Display, "100");
  EXPECT_FALSE(Apply("Input", "1.5", true));
  EXPECT_FALSE(Apply("Input", "-0.1", true));
  EXPECT_EQ(F_.P[0].Value, 0.75f);
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
TEST_F(TParamResolverTest, TellsSwitchesFromContinuousParametersAndSetsThemFirst) {
  TParamResolver resolver(F_);
  F_.P[2].Value = 0.25f;
  EXPECT_FALSE(resolver.IsSwitch(0));
  EXPECT_TRUE(resolver.IsSwitch(1));
  EXPECT_FALSE(resolver.IsSwitch(2));
  EXPECT_FALSE(resolver.IsSwitch(3));
  EXPECT_TRUE(resolver.IsSwitch(5));
  EXPECT_EQ(F_.P[2].Value, 0.25f);

  std::vector<size_t> order;
  std::string error;
  ASSERT_TRUE(resolver.ApplyOrder({{"Cut", "5"}, {"Mode", "On"}, {"Input", "1"}, {"Factor", "8"}}, order, error));
  EXPECT_EQ(order, (std::vector<size_t>{1, 3, 0, 2}));
  EXPECT_FALSE(resolver.ApplyOrder({{"Mode", "On"}, {"Nope", "1"}}, order, error));
  EXPECT_NE(error.find("unknown parameter 'Nope'"), std::string::npos) << error;
  EXPECT_EQ(F_.P[1].Value, 0.0f) << "nothing is set when a name is unknown";
}

}  // namespace
}  // namespace vb
