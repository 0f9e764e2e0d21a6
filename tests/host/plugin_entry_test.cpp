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
  TTestHost Host(EffectPlugin());
  TVSTEffect* E = Host.Instantiate();
  ASSERT_NE(E, nullptr);
  const auto* Bytes = reinterpret_cast<const std::uint8_t*>(E);
  EXPECT_EQ(std::memcmp(Bytes, "PtsV", 4), 0);
  EXPECT_EQ(E->numParams, 17);
  EXPECT_EQ(E->numPrograms, 1);
  EXPECT_EQ(E->numInputs, 2);
  EXPECT_EQ(E->numOutputs, 2);
  EXPECT_EQ(E->EffectFlags, 0x1019);
  EXPECT_EQ(static_cast<std::uint32_t>(E->UniqueID), 0x5A515400u);
  EXPECT_EQ(E->Version, 1200);
  EXPECT_EQ(E->IORatio, 1.0f);
  EXPECT_EQ(E->InitialDelay, 0);
  EXPECT_EQ(E->AudioEffectPtr, nullptr);
  EXPECT_NE(E->User, nullptr);
  EXPECT_EQ(E->ReservedForHost, 0);
  for (std::size_t Offset : {std::size_t{4}, std::size_t{58}, std::size_t{62}}) EXPECT_EQ(Bytes[Offset], 0);
  for (std::size_t i = 136; i < 192; ++i) EXPECT_EQ(Bytes[i], 0) << i;
  // Only the version query and two product queries are made while the entry runs.
  ASSERT_EQ(Host.Calls().size(), 3u);
  EXPECT_EQ(Host.Calls()[0].Opcode, amVersion);
  EXPECT_EQ(Host.Calls()[1].Opcode, amGetProductString);
  EXPECT_EQ(Host.Calls()[2].Opcode, amGetProductString);
  EXPECT_EQ(Host.DispatchText(effGetEffectName), "Vorda Brasswick v1.2");
  EXPECT_EQ(Host.DispatchText(effGetVendorString), "Vorda");
  EXPECT_EQ(Host.DispatchText(effGetProductString), "Vorda Brasswick v1.2");
  EXPECT_EQ(Host.Dispatch(effGetVendorVersion), 1200);
  EXPECT_EQ(Host.Dispatch(effGetPlugCategory), 1);
  EXPECT_EQ(Host.Dispatch(effSetProcessPrecision, 0, 0), 1);
  char Cockos[] = "hasCockosExtensions";
  EXPECT_EQ(Host.Dispatch(effCanDo, 0, 0, Cockos), -1091633152);
}

TEST(PluginEntry, ExportsExactlyTheTwoEntryPoints) {
  for (const std::string& Path : {EffectPlugin(), kHalfGain}) {
    if (!std::filesystem::exists(Path)) continue;
    FILE* Pipe = popen(("nm -D --defined-only '" + Path + "'").c_str(), "r");
    ASSERT_NE(Pipe, nullptr);
    std::vector<std::string> Names;
    char Line[512];
    while (std::fgets(Line, sizeof(Line), Pipe)) {
      std::string Text(Line);
      while (!Text.empty() && (Text.back() == '\n' || Text.back() == '\r')) Text.pop_back();
      Names.push_back(Text.substr(Text.find_last_of(' ') + 1));
    }
    EXPECT_EQ(pclose(Pipe), 0);
    std::sort(Names.begin(), Names.end());
    EXPECT_EQ(Names, (std::vector<std::string>{"VSTPluginMain", "main"})) << Path;
  }
}

TEST(PluginEntry, AHostAnsweringVersionZeroGetsNoRecord) {
  TTestHost Host(kHalfGain);
  Host.VersionAnswer = 0;
  EXPECT_EQ(Host.Instantiate(), nullptr);
  // The half-built module was destroyed (its destructor's notice is the
  // only other call), not handed over.
  ASSERT_EQ(Host.Calls().size(), 2u);
  EXPECT_EQ(Host.Calls()[0].Opcode, amVersion);
  EXPECT_EQ(Host.Calls()[1].Opcode, amVendorSpecific);
  EXPECT_EQ(Host.Calls()[1].Index, kDestroyedNotice);
}

TEST(PluginEntry, VersionNumbersAboveNinetyNineUseTheWideFormula) {
  TTestHost Host(kHalfGain);
  ASSERT_NE(Host.Instantiate(), nullptr);
  EXPECT_EQ(Host.Effect()->Version, 2 * 65536 + 1 * 256 + 150);
  EXPECT_EQ(Host.DispatchText(effGetProductString), "Half Gain");  // empty product name
}

TEST(PluginEntry, AClassWithoutDescriptionKeepsTheDefaultsAndSkipsItsCreateHandler) {
  TTestHost Host(kNoDescription);
  TVSTEffect* E = Host.Instantiate();
  ASSERT_NE(E, nullptr);
  EXPECT_EQ(static_cast<std::uint32_t>(E->UniqueID), 0x4E6F4566u);
  EXPECT_EQ(E->Version, 1000);
  EXPECT_EQ(E->EffectFlags, 0x10);
  EXPECT_EQ(Host.DispatchText(effGetEffectName), "");
  EXPECT_EQ(Host.Dispatch(effGetPlugCategory), 0);
}

TEST(PluginEntry, ProcessingEntriesStayInertUntilOpenEvenWhenCopiedEarly) {
  TTestHost Host(kHalfGain);
  TVSTEffect* E = Host.Instantiate();
  ASSERT_NE(E, nullptr);
  const TProcessProc EarlyCopy = E->Process32Replacing;
  const Channels32 In{{2.0f, 4.0f}, {6.0f, 8.0f}};
  EXPECT_EQ(Host.Process32(In, 7.0f), (Channels32{{7, 7}, {7, 7}}));
  EXPECT_EQ(Host.Process64({{2.0, 4.0}, {6.0, 8.0}}, 7.0), (Channels64{{7, 7}, {7, 7}}));
  Host.StartUp();
  EXPECT_EQ(Host.Process32(In), (Channels32{{1, 2}, {3, 4}}));
  EXPECT_EQ(Host.ProcessAccumulating(In, 1.0f), (Channels32{{2, 3}, {4, 5}}));

  std::vector<float> L{2.0f}, R{6.0f}, OutL{7.0f}, OutR{7.0f};
  float* Inputs[2] = {L.data(), R.data()};
  float* Outputs[2] = {OutL.data(), OutR.data()};
  EarlyCopy(E, Inputs, Outputs, 1);
  EXPECT_EQ(OutL[0], 1.0f);
  // Empty or pointer-less calls never reach the module.
  OutL[0] = 7.0f;
  E->Process32Replacing(E, Inputs, Outputs, 0);
  E->Process32Replacing(E, Inputs, Outputs, -3);
  E->Process32Replacing(E, nullptr, nullptr, 1);
  E->Process(E, nullptr, nullptr, 1);
  E->Process64Replacing(E, nullptr, nullptr, 1);
  EXPECT_EQ(OutL[0], 7.0f);
}

TEST(PluginEntry, EachCallCreatesAnIndependentModule) {
  TTestHost Host(kHalfGain);
  TVSTEffect* First = Host.Instantiate();
  TVSTEffect* Second = Host.Instantiate();
  ASSERT_NE(First, nullptr);
  ASSERT_NE(Second, nullptr);
  EXPECT_NE(First, Second);
  EXPECT_NE(First->User, Second->User);
  EXPECT_EQ(Host.Close(), 1);  // closes Second
  EXPECT_EQ(Host.CountCalls(amVendorSpecific), 1u);
  ASSERT_EQ(Host.Effect(), First);
  EXPECT_EQ(Host.Dispatch(effGetVstVersion), 2400);
  Host.StartUp();
  EXPECT_EQ(Host.Process32({{4.0f}, {8.0f}}), (Channels32{{2.0f}, {4.0f}}));
}

TEST(PluginEntry, UnloadingTheLibraryDestroysModulesTheHostNeverClosed) {
  TTestHost Host(kHalfGain);
  ASSERT_NE(Host.Instantiate(), nullptr);
  ASSERT_NE(Host.Instantiate(), nullptr);
  Host.Abandon();
  Host.Unload();
  std::size_t Notices = 0;
  for (const THostCall& Call : Host.Calls())
    if (Call.Opcode == amVendorSpecific && Call.Index == kDestroyedNotice) ++Notices;
  EXPECT_EQ(Notices, 2u);
}

TEST(PluginEntry, EditorRectangleFollowsTheOpenEditor) {
  TTestHost Host(kHalfGain);
  Host.StartUp(48000.0f, 256);
  ERect* Rect = nullptr;
  EXPECT_EQ(Host.Dispatch(effEditGetRect, 0, 0, &Rect), 0);
  ASSERT_NE(Rect, nullptr);
  EXPECT_EQ(Rect->Bottom, 32);
  EXPECT_EQ(Rect->Right, 64);
  int Parent = 0;
  EXPECT_EQ(Host.Dispatch(effEditOpen, 0, 0, &Parent), 1);
  EXPECT_EQ(Host.Dispatch(effEditGetRect, 0, 0, &Rect), 1);
  EXPECT_EQ(Rect->Bottom, 200);
  EXPECT_EQ(Rect->Right, 320);
  EXPECT_EQ(Host.Dispatch(effEditClose), 0);
}

}  // namespace
}  // namespace vb::test
