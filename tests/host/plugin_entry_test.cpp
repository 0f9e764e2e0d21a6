// Guards the plug-in boundary as a host sees it through dlopen: the record
// the entry point returns, the guarded processing entries, independent
// instances, modules destroyed when the library unloads, and the exports.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "support/test_host.h"

namespace vb::test {
namespace {

const std::string kHalfGain = std::string(VB_BINARY_DIR) + "/testplugins/testplugin_halfgain.so";
const std::string kNoDescription = std::string(VB_BINARY_DIR) + "/testplugins/testplugin_nodescription.so";
constexpr std::int32_t kDestroyedNotice = 0x7E57;

std::string EffectPlugin() {
#ifdef VB_PLUGIN_PATH
  return VB_PLUGIN_PATH;
#else
  return "";
#endif
}

#define REQUIRE_EFFECT_PLUGIN() \
  if (!std::filesystem::exists(EffectPlugin())) GTEST_SKIP() << "effect plug-in not built: " << EffectPlugin()

TEST(PluginEntry, ReturnsTheEffectRecordWithTheEffectsIdentity) {
  REQUIRE_EFFECT_PLUGIN();
  TTestHost host(EffectPlugin());
  TVSTEffect* e = host.Instantiate();
  ASSERT_NE(e, nullptr);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(e);
  EXPECT_EQ(std::memcmp(bytes, "PtsV", 4), 0);
  EXPECT_EQ(e->numParams, 17);
  EXPECT_EQ(e->numPrograms, 1);
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->EffectFlags, 0x1019);
  EXPECT_EQ(static_cast<std::uint32_t>(e->UniqueID), 0x5A515400u);
  EXPECT_EQ(e->Version, 1200);
  EXPECT_EQ(e->IORatio, 1.0f);
  EXPECT_EQ(e->InitialDelay, 0);
  EXPECT_EQ(e->AudioEffectPtr, nullptr);
  EXPECT_NE(e->User, nullptr);
  EXPECT_EQ(e->ReservedForHost, 0);
  for (std::size_t offset : {std::size_t{4}, std::size_t{58}, std::size_t{62}}) EXPECT_EQ(bytes[offset], 0);
  for (std::size_t i = 136; i < 192; ++i) EXPECT_EQ(bytes[i], 0) << i;
  // Only the version query and two product queries are made while the entry runs.
  ASSERT_EQ(host.Calls().size(), 3u);
  EXPECT_EQ(host.Calls()[0].Opcode, amVersion);
  EXPECT_EQ(host.Calls()[1].Opcode, amGetProductString);
  EXPECT_EQ(host.Calls()[2].Opcode, amGetProductString);
  EXPECT_EQ(host.DispatchText(effGetEffectName), "Vorda Brasswick v1.2");
  EXPECT_EQ(host.DispatchText(effGetVendorString), "Vorda");
  EXPECT_EQ(host.DispatchText(effGetProductString), "Vorda Brasswick v1.2");
  EXPECT_EQ(host.Dispatch(effGetVendorVersion), 1200);
  EXPECT_EQ(host.Dispatch(effGetPlugCategory), 1);
  EXPECT_EQ(host.Dispatch(effSetProcessPrecision, 0, 0), 1);
  char cockos[] = "hasCockosExtensions";
  EXPECT_EQ(host.Dispatch(effCanDo, 0, 0, cockos), -1091633152);
}

TEST(PluginEntry, ExportsExactlyTheTwoEntryPoints) {
  for (const std::string& path : {EffectPlugin(), kHalfGain}) {
    if (!std::filesystem::exists(path)) continue;
    FILE* pipe = popen(("nm -D --defined-only '" + path + "'").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> names;
    char line[512];
    while (std::fgets(line, sizeof(line), pipe)) {
      std::string text(line);
      while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
      names.push_back(text.substr(text.find_last_of(' ') + 1));
    }
    EXPECT_EQ(pclose(pipe), 0);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"VSTPluginMain", "main"})) << path;
  }
}

TEST(PluginEntry, AHostAnsweringVersionZeroGetsNoRecord) {
  TTestHost host(kHalfGain);
  host.VersionAnswer = 0;
  EXPECT_EQ(host.Instantiate(), nullptr);
  // The half-built module was destroyed (its destructor's notice is the
  // only other call), not handed over.
  ASSERT_EQ(host.Calls().size(), 2u);
  EXPECT_EQ(host.Calls()[0].Opcode, amVersion);
  EXPECT_EQ(host.Calls()[1].Opcode, amVendorSpecific);
  EXPECT_EQ(host.Calls()[1].Index, kDestroyedNotice);
}

TEST(PluginEntry, VersionNumbersAboveNinetyNineUseTheWideFormula) {
  TTestHost host(kHalfGain);
  ASSERT_NE(host.Instantiate(), nullptr);
  EXPECT_EQ(host.Effect()->Version, 2 * 65536 + 1 * 256 + 150);
  EXPECT_EQ(host.DispatchText(effGetProductString), "Half Gain");  // empty product name
}

TEST(PluginEntry, AClassWithoutDescriptionKeepsTheDefaultsAndSkipsItsCreateHandler) {
  TTestHost host(kNoDescription);
  TVSTEffect* e = host.Instantiate();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(static_cast<std::uint32_t>(e->UniqueID), 0x4E6F4566u);
  EXPECT_EQ(e->Version, 1000);
  EXPECT_EQ(e->EffectFlags, 0x10);
  EXPECT_EQ(host.DispatchText(effGetEffectName), "");
  EXPECT_EQ(host.Dispatch(effGetPlugCategory), 0);
}

TEST(PluginEntry, ProcessingEntriesStayInertUntilOpenEvenWhenCopiedEarly) {
  TTestHost host(kHalfGain);
  TVSTEffect* e = host.Instantiate();
  ASSERT_NE(e, nullptr);
  const TProcessProc earlyCopy = e->Process32Replacing;
  const Channels32 in{{2.0f, 4.0f}, {6.0f, 8.0f}};
  EXPECT_EQ(host.Process32(in, 7.0f), (Channels32{{7, 7}, {7, 7}}));
  EXPECT_EQ(host.Process64({{2.0, 4.0}, {6.0, 8.0}}, 7.0), (Channels64{{7, 7}, {7, 7}}));
  host.StartUp();
  EXPECT_EQ(host.Process32(in), (Channels32{{1, 2}, {3, 4}}));
  EXPECT_EQ(host.ProcessAccumulating(in, 1.0f), (Channels32{{2, 3}, {4, 5}}));

  std::vector<float> l{2.0f}, r{6.0f}, outL{7.0f}, outR{7.0f};
  float* inputs[2] = {l.data(), r.data()};
  float* outputs[2] = {outL.data(), outR.data()};
  earlyCopy(e, inputs, outputs, 1);
  EXPECT_EQ(outL[0], 1.0f);
  // Empty or pointer-less calls never reach the module.
  outL[0] = 7.0f;
  e->Process32Replacing(e, inputs, outputs, 0);
  e->Process32Replacing(e, inputs, outputs, -3);
  e->Process32Replacing(e, nullptr, nullptr, 1);
  e->Process(e, nullptr, nullptr, 1);
  e->Process64Replacing(e, nullptr, nullptr, 1);
  EXPECT_EQ(outL[0], 7.0f);
}

TEST(PluginEntry, EachCallCreatesAnIndependentModule) {
  TTestHost host(kHalfGain);
  TVSTEffect* first = host.Instantiate();
  TVSTEffect* second = host.Instantiate();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_NE(first->User, second->User);
  EXPECT_EQ(host.Close(), 1);  // closes Second
  EXPECT_EQ(host.CountCalls(amVendorSpecific), 1u);
  ASSERT_EQ(host.Effect(), first);
  EXPECT_EQ(host.Dispatch(effGetVstVersion), 2400);
  host.StartUp();
  EXPECT_EQ(host.Process32({{4.0f}, {8.0f}}), (Channels32{{2.0f}, {4.0f}}));
}

TEST(PluginEntry, UnloadingTheLibraryDestroysModulesTheHostNeverClosed) {
  TTestHost host(kHalfGain);
  ASSERT_NE(host.Instantiate(), nullptr);
  ASSERT_NE(host.Instantiate(), nullptr);
  host.Abandon();
  host.Unload();
  std::size_t notices = 0;
  for (const THostCall& call : host.Calls())
    if (call.Opcode == amVendorSpecific && call.Index == kDestroyedNotice) ++notices;
  EXPECT_EQ(notices, 2u);
}

TEST(PluginEntry, EditorRectangleFollowsTheOpenEditor) {
  TTestHost host(kHalfGain);
  host.StartUp(48000.0f, 256);
  ERect* rect = nullptr;
  EXPECT_EQ(host.Dispatch(effEditGetRect, 0, 0, &rect), 0);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->Bottom, 32);
  EXPECT_EQ(rect->Right, 64);
  int parent = 0;
  EXPECT_EQ(host.Dispatch(effEditOpen, 0, 0, &parent), 1);
  EXPECT_EQ(host.Dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->Bottom, 200);
  EXPECT_EQ(rect->Right, 320);
  EXPECT_EQ(host.Dispatch(effEditClose), 0);
}

}  // namespace
}  // namespace vb::test
