// Guards the host side of the binary interface: callback answers, set-up order, refusal of non-plug-ins, a bare
// name loaded from the working folder.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

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

// A plug-in named without a folder is the file in the working folder, as
// any file named on the command line, never one the library path finds.
TEST(PluginHost, LoadsABareNameFromTheWorkingFolder) {
  if (!test::Exists(kHalfGain)) GTEST_SKIP() << "the half-gain test plug-in is not built";
  const std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(test::kTestPlugins);
  TPluginHost host;
  std::string error;
  const bool loaded = host.Load(std::string("testplugin_halfgain") + kPluginExtension, error);
  std::filesystem::current_path(saved);
  EXPECT_TRUE(loaded) << error;
}

class TPluginHostWithHalfGain : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::Exists(kHalfGain)) GTEST_SKIP() << "the half-gain test plug-in is not built";
    std::string error;
    ASSERT_TRUE(FHost.Load(kHalfGain, error)) << error;
    FHost.Open(48000.0, 333, true);
  }
  std::intptr_t Ask(std::int32_t Opcode, std::int32_t Index = 0, std::intptr_t Value = 0, void* Ptr = nullptr) {
    return TPluginHost::Callback(FHost.Effect(), Opcode, Index, Value, Ptr, 0.0f);
  }
  TPluginHost FHost;
};

TEST_F(TPluginHostWithHalfGain, AnswersTheCallbackAsARealHost) {
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

TEST_F(TPluginHostWithHalfGain, CountsWhatThePluginReports) {
  Ask(amAutomate, 0);
  Ask(amAutomate, 0);
  Ask(amUpdateDisplay);
  Ask(amIOChanged);
  EXPECT_EQ(FHost.AutomateCount(), 2);
  EXPECT_EQ(FHost.UpdateDisplayCount(), 1);
  EXPECT_EQ(FHost.IOChangedCount(), 1);
}

TEST_F(TPluginHostWithHalfGain, ProcessesBothPrecisionsAfterResumeAndClosesCleanly) {
  FHost.Resume();
  float in32[2][4] = {{1, 2, 3, 4}, {-1, -2, -3, -4}}, out32[2][4] = {};
  float* i32[2] = {in32[0], in32[1]};
  float* o32[2] = {out32[0], out32[1]};
  FHost.Process32(i32, o32, 4);
  EXPECT_EQ(out32[0][3], 2.0f);
  EXPECT_EQ(out32[1][0], -0.5f);
  double in64[2][2] = {{0.5, 1}, {2, 4}}, out64[2][2] = {};
  double* i64[2] = {in64[0], in64[1]};
  double* o64[2] = {out64[0], out64[1]};
  FHost.Process64(i64, o64, 2);
  EXPECT_EQ(out64[1][1], 2.0);
  FHost.Unload();
  EXPECT_EQ(FHost.Effect(), nullptr);
  FHost.Unload();  // a second unload is harmless
}

}  // namespace
}  // namespace vb
