// Guards the host side of the binary interface: callback answers, set-up order, refusal of non-plug-ins.
#include <gtest/gtest.h>

#include <cstring>

#include "plugin_host.h"
#include "plugin_search.h"
#include "tools/tool_test_dir.h"

namespace vb {
namespace {

const std::string kHalfGain = test::kTestPlugins + "testplugin_halfgain" + kPluginExtension;

TEST(PluginHostCallback, AnswersTheVersionEvenBeforeThereIsARecord) {
  EXPECT_EQ(TPluginHost::Callback(nullptr, amVersion, 0, 0, nullptr, 0.0f), 2400);
  EXPECT_EQ(TPluginHost::Callback(nullptr, amGetSampleRate, 0, 0, nullptr, 0.0f), 0);
}

TEST(PluginHost, RefusesFilesThatAreNotPluginsWithoutLoadingAnything) {
  TPluginHost host;
  std::string error;
  EXPECT_FALSE(host.Load("/no/such/plugin.so", error));
  EXPECT_NE(error.find("not found"), std::string::npos) << error;
  EXPECT_FALSE(host.Load("/", error));
  EXPECT_NE(error.find("folder"), std::string::npos) << error;
  EXPECT_EQ(host.Effect(), nullptr);
  host.Unload();  // nothing to undo, no crash
}

class PluginHostWithHalfGain : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::Exists(kHalfGain)) GTEST_SKIP() << "the half-gain test plug-in is not built";
    std::string error;
    ASSERT_TRUE(Host.Load(kHalfGain, error)) << error;
    Host.Open(48000.0, 333, true);
  }
  std::intptr_t Ask(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr) {
    return TPluginHost::Callback(Host.Effect(), opcode, index, value, ptr, 0.0f);
  }
  TPluginHost Host;
};

TEST_F(PluginHostWithHalfGain, AnswersTheCallbackAsARealHost) {
  EXPECT_EQ(Ask(amVersion), 2400);
  EXPECT_EQ(Ask(amGetSampleRate), 48000);
  EXPECT_EQ(Ask(amGetBlockSize), 333);
  EXPECT_EQ(Ask(amGetTime), 0);  // no transport to report
  char text[256];
  std::memset(text, 'x', sizeof text);
  EXPECT_EQ(Ask(amGetProductString, 0, 0, text), 1);
  EXPECT_STREQ(text, "vst-render");
  EXPECT_EQ(Ask(amGetVendorString, 0, 0, text), 1);
  EXPECT_STREQ(text, "Vorda");
  char canDo[] = "receiveVstEvents";
  EXPECT_EQ(Ask(amCanDo, 0, 0, canDo), 1);
  char unknown[] = "sizeWindow";
  EXPECT_EQ(Ask(amCanDo, 0, 0, unknown), 0);
  EXPECT_EQ(Ask(amPinConnected, 1, 0), 0);  // input 1 connected
  EXPECT_EQ(Ask(amPinConnected, 2, 1), 1);  // output 2 does not exist
  EXPECT_EQ(Ask(9999), 0);
}

TEST_F(PluginHostWithHalfGain, CountsWhatThePluginReports) {
  Ask(amAutomate, 0);
  Ask(amAutomate, 0);
  Ask(amUpdateDisplay);
  Ask(amIOChanged);
  EXPECT_EQ(Host.AutomateCount(), 2);
  EXPECT_EQ(Host.UpdateDisplayCount(), 1);
  EXPECT_EQ(Host.IOChangedCount(), 1);
}

TEST_F(PluginHostWithHalfGain, ProcessesBothPrecisionsAfterResumeAndClosesCleanly) {
  Host.Resume();
  float in32[2][4] = {{1, 2, 3, 4}, {-1, -2, -3, -4}}, out32[2][4] = {};
  float* i32[2] = {in32[0], in32[1]};
  float* o32[2] = {out32[0], out32[1]};
  Host.Process32(i32, o32, 4);
  EXPECT_EQ(out32[0][3], 2.0f);
  EXPECT_EQ(out32[1][0], -0.5f);
  double in64[2][2] = {{0.5, 1}, {2, 4}}, out64[2][2] = {};
  double* i64[2] = {in64[0], in64[1]};
  double* o64[2] = {out64[0], out64[1]};
  Host.Process64(i64, o64, 2);
  EXPECT_EQ(out64[1][1], 2.0);
  Host.Unload();
  EXPECT_EQ(Host.Effect(), nullptr);
  Host.Unload();  // a second unload is harmless
}

}  // namespace
}  // namespace vb
