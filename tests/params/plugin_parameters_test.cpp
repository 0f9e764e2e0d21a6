// Guards what a host sees of the effect's 17 parameters through the built
// plug-in: names, labels and texts, the host's set/get round trip, and the
// opcodes hosts use to query parameters.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

#include "host/vst_abi.h"
#include "platform/locale_decimal_separator.h"
#include "support/test_host.h"

namespace vb {
namespace {

using test::TTestHost;

struct TExpectedParameter {
  const char* Name;
  const char* Label;
  const char* AtMin;  // display text at normalised 0
  const char* AtMax;  // display text at normalised 1
};

constexpr std::array<TExpectedParameter, 17> kExpected = {{
    {"Input", "dB *0,1", "-200", "200"},
    {"Drive", "%", "0", "100"},
    {"Trim", "%", "0", "100"},
    {"CurveForm", "%", "1", "200"},
    {"HiPass", "Hz", "0", "500"},
    {"Freq", "Hz", "0", "1000"},
    {"LoPass", "Hz", "500", "5000"},
    {"Low", "dB", "-15", "15"},
    {"Mid", "dB", "-15", "15"},
    {"High", "dB", "-15", "15"},
    {"Pres", "dB", "-15", "15"},
    {"DryWet", "%", "0", "100"},
    {"Output", "dB *0,1", "-100", "100"},
    {"Power", "On/Off", "0", "1"},
    {"Stereo", "On/Off", "0", "1"},
    {"Asymmetric", "On/Off", "0", "1"},
    {"Oversampling", "1x/8x/16x", "1", "16"},
}};

class TPluginParameters : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(FHost.StartUp(44100.0f, 256), nullptr); }
  TTestHost FHost{VB_PLUGIN_PATH};
};

TEST_F(TPluginParameters, NamesLabelsAndRangeTextsAreWhole) {
  ASSERT_EQ(FHost.Effect()->numParams, 17);
  ASSERT_EQ(FHost.Effect()->numPrograms, 1);
  for (std::int32_t i = 0; i < 17; ++i) {
    const auto& e = kExpected[static_cast<std::size_t>(i)];
    EXPECT_EQ(FHost.DispatchText(effGetParamName, i), e.Name);
    EXPECT_EQ(FHost.DispatchText(effGetParamLabel, i), e.Label);
    FHost.SetParameter(i, 0.0f);
    EXPECT_EQ(FHost.DispatchText(effGetParamDisplay, i), e.AtMin) << e.Name;
    FHost.SetParameter(i, 1.0f);
    EXPECT_EQ(FHost.DispatchText(effGetParamDisplay, i), e.AtMax) << e.Name;
  }
  EXPECT_EQ(FHost.DispatchText(effGetParamName, 17), "undefined");
  EXPECT_EQ(FHost.DispatchText(effGetParamDisplay, 99), "undefined");
}

TEST_F(TPluginParameters, HostSetOfInputStoresTheUnitValueWithoutAutomation) {
  FHost.ClearCalls();
  FHost.SetParameter(0, 0.75f);
  EXPECT_EQ(FHost.GetParameter(0), 0.75f);
  EXPECT_EQ(FHost.DispatchText(effGetParamDisplay, 0), "100");
  EXPECT_EQ(FHost.CountCalls(amAutomate), 0u);
}

TEST_F(TPluginParameters, QueriesHostsMakeAreAnswered) {
  char text[] = "12";
  for (std::int32_t i = 0; i < 17; ++i) {
    const float before = FHost.GetParameter(i);
    EXPECT_EQ(FHost.Dispatch(effString2Parameter, i, 0, text), 0);
    EXPECT_EQ(FHost.GetParameter(i), before);
    EXPECT_EQ(FHost.Dispatch(effCanBeAutomated, i), 1);
    TVstParameterPropertiesRecord record{};
    EXPECT_EQ(FHost.Dispatch(effGetParameterProperties, i, 0, &record), 0);
  }
  EXPECT_EQ(FHost.Dispatch(effCanBeAutomated, 17), 1);
  EXPECT_EQ(FHost.Dispatch(effGetProgram), 0);
  EXPECT_EQ(FHost.Dispatch(effSetProgram, 0, 0), 0);
  EXPECT_EQ(FHost.DispatchText(effGetProgramName), "");

  float range[2] = {-1.0f, -1.0f};
  EXPECT_EQ(FHost.Dispatch(effVendorSpecific, static_cast<std::int32_t>(0xDEADBEF0u), 3, range), 0xBEEF);
  EXPECT_EQ(range[0], 0.0f);
  EXPECT_EQ(range[1], 1.0f);

  void* chunk = nullptr;
  EXPECT_EQ(FHost.Dispatch(effGetChunk, 0, 0, &chunk), 0);
  EXPECT_EQ(chunk, nullptr);
}

// The separator comes from the locale named by the environment when the
// effect is created; the host's own process locale is never consulted.
TEST(PluginLocale, DisplayTextsUseTheUserDecimalSeparator) {
  if (DecimalSeparatorOfLocale("de_DE.UTF-8") != ',') GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  const char* saved = std::getenv("LC_ALL");
  const std::string keep = saved != nullptr ? saved : "";
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  TTestHost host(VB_PLUGIN_PATH);
  TVSTEffect* effect = host.StartUp(44100.0f, 256);
  if (saved != nullptr)
    setenv("LC_ALL", keep.c_str(), 1);
  else
    unsetenv("LC_ALL");
  ASSERT_NE(effect, nullptr);
  host.SetParameter(0, 0.50125f);  // "Input" 0.5
  EXPECT_EQ(host.DispatchText(effGetParamDisplay, 0), "0,5");
}

}  // namespace
}  // namespace vb
