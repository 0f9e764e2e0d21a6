// Guards the module services a host relies on: identity texts, capability
// answers, sample-rate/block-size events, suspend/resume, meter, pins,
// editor hosting, key forwarding, host-specific rules and the accumulating
// processing entry.
#include "host/custom_vst_module.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "host/vst_key_translation.h"
#include "module_fixture.h"

namespace vb::test {
namespace {

using ModuleServices = TModuleFixture;

TEST_F(ModuleServices, CopiesIdentityTextsAndRefusesANullBuffer) {
  EXPECT_EQ(FHost.DispatchText(effGetEffectName), "Test Effect");
  EXPECT_EQ(FHost.DispatchText(effGetVendorString), "Test Vendor");
  EXPECT_EQ(FHost.DispatchText(effGetProductString), "Test Product");
  FModule->SetProductName("");
  EXPECT_EQ(FHost.DispatchText(effGetProductString), "Test Effect");
  for (std::int32_t opcode : {effGetEffectName, effGetVendorString, effGetProductString})
    EXPECT_EQ(Dispatch(opcode, 0, 0, nullptr), 0);
  char text[64];
  EXPECT_EQ(Dispatch(effGetEffectName, 0, 0, text), 1);
}

TEST_F(ModuleServices, TruncatesIdentityTextsOnlyWhenAsked) {
  const std::string longOne(80, 'x');
  FModule->SetEffectName(longOne);
  EXPECT_EQ(FModule->EffectName().size(), 80u);
  FModule->SetTruncateStrings(true);
  FModule->SetEffectName(longOne);
  FModule->SetVendorName(longOne);
  EXPECT_EQ(FModule->EffectName().size(), 32u);
  EXPECT_EQ(FModule->VendorName().size(), 64u);
}

TEST_F(ModuleServices, AnswersCapabilitiesExactlyAndCaseSensitively) {
  std::string asked;
  FModule->OnCanDo = [&](TCustomVSTModule&, const char* Text) { asked = Text; };
  char bypass[] = "bypass", bigBypass[] = "Bypass", cockos[] = "hasCockosExtensions", empty[] = "";
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, bypass), 1);
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, bigBypass), 0);
  EXPECT_EQ(asked, "Bypass");
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, cockos), -1091633152);
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, empty), 0);
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, nullptr), 0);
  for (std::int32_t i = 0; i < kVstCanDoCount; ++i) {
    if (i == vcdCockosExtension) continue;
    std::string text = VstCanDoString(static_cast<TVstCanDo>(i));
    EXPECT_EQ(Dispatch(effCanDo, 0, 0, text.data()), 1) << text;
  }
  FModule->SetCanDos(kAllVstCanDos & ~(CanDoBit(vcdBypass) | CanDoBit(vcdCockosExtension)));
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, bypass), -1);
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, cockos), 0);
}

TEST_F(ModuleServices, SampleRateAndBlockSizeEventsFireOnlyOnChange) {
  EXPECT_EQ(Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f), 1);
  EXPECT_EQ(Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f), 1);
  EXPECT_EQ(Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f), 1);
  EXPECT_EQ(Dispatch(effSetBlockSize, 0, 1024), 0);
  EXPECT_EQ(Dispatch(effSetBlockSize, 0, 256), 0);
  EXPECT_EQ(Dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 96000.0f), 1);
  EXPECT_EQ(*FLog, (std::vector<std::string>{"rate 48000", "block 256", "rate 96000", "block 512"}));
}

TEST_F(ModuleServices, IgnoresSampleRatesAndBlockSizesThatCannotBeUsed) {
  for (float rate : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(), INFINITY})
    EXPECT_EQ(Dispatch(effSetSampleRate, 0, 0, nullptr, rate), 0);
  for (std::intptr_t size : {0, -5}) Dispatch(effSetBlockSize, 0, size);
  EXPECT_TRUE(FLog->empty());
  EXPECT_EQ(FModule->SampleRate(), 44100.0f);
  EXPECT_EQ(FModule->BlockSize(), 1024);
}

TEST_F(ModuleServices, SuspendCallsOnlyTheSuspendEventAndResumeAsksForMidi) {
  EXPECT_EQ(Dispatch(effMainsChanged, 0, 0), 0);
  EXPECT_EQ(*FLog, std::vector<std::string>{"suspend"});
  EXPECT_EQ(FHost.CountCalls(amWantMidi), 0u);
  EXPECT_EQ(Dispatch(effMainsChanged, 0, 1), 0);
  EXPECT_EQ(FLog->back(), "resume");
  ASSERT_EQ(FHost.CountCalls(amWantMidi), 1u);
  EXPECT_EQ(FHost.Calls().back().Value, 1);
}

TEST_F(ModuleServices, BypassAndMeterAnswerZeroWhenUnbound) {
  EXPECT_EQ(Dispatch(effSetBypass, 0, 1), 0);
  EXPECT_EQ(Dispatch(effGetVu), 0);
  bool bypassed = false;
  FModule->OnSoftBypass = [&](TCustomVSTModule&, bool IsBypass) { bypassed = IsBypass; };
  EXPECT_EQ(Dispatch(effSetBypass, 0, 5), 1);
  EXPECT_TRUE(bypassed);
  float level = 0.5f;
  FModule->OnGetVU = [&](TCustomVSTModule&, float& L) { L = level; };
  EXPECT_EQ(Dispatch(effGetVu), 16384);  // 16383.5 rounds to even
  level = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(Dispatch(effGetVu), 0);
  level = 1e30f;
  EXPECT_EQ(Dispatch(effGetVu), std::numeric_limits<std::int32_t>::max());
}

TEST_F(ModuleServices, DescribesActiveStereoPinsAndRefusesOthers) {
  TVstPinProperties pin{};
  EXPECT_EQ(Dispatch(effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_STREQ(pin.Caption, "Input #1");
  EXPECT_STREQ(pin.ShortLabel, "In1");
  EXPECT_EQ(pin.Flags, 3);
  EXPECT_EQ(pin.ArrangementType, 1);
  EXPECT_EQ(Dispatch(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.Caption, "Output #2");
  EXPECT_STREQ(pin.ShortLabel, "Out2");
  EXPECT_EQ(Dispatch(effGetInputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(Dispatch(effGetInputProperties, -1, 0, &pin), 0);
  EXPECT_EQ(Dispatch(effGetOutputProperties, 0, 0, nullptr), 0);
  FModule->SetNumOutputs(1);
  pin.ArrangementType = 99;
  Dispatch(effGetOutputProperties, 0, 0, &pin);
  EXPECT_EQ(pin.Flags, 1);
  EXPECT_EQ(pin.ArrangementType, 0);
  EXPECT_EQ(FHost.CountCalls(amIOChanged), 1u);
}

TEST_F(ModuleServices, HostsTheEditorInsideTheHostWindow) {
  ERect* rect = nullptr;
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 0);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->Top, 0);
  EXPECT_EQ(rect->Left, 0);
  EXPECT_EQ(rect->Bottom, 32);
  EXPECT_EQ(rect->Right, 64);
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, nullptr), 0);
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, nullptr), 0);
  EXPECT_EQ(FModule->EditorForm(), nullptr);

  int parent = 0;
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &parent), 1);
  EXPECT_EQ(*FLog, std::vector<std::string>{"editor attached"});
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->Bottom, 150);
  EXPECT_EQ(rect->Right, 865);

  bool mayClose = false;
  FModule->OnEditClose = [&](TCustomVSTModule&, bool& M) { M = mayClose; };
  EXPECT_EQ(Dispatch(effEditClose), 0);
  EXPECT_NE(FModule->EditorForm(), nullptr);
  mayClose = true;
  EXPECT_EQ(Dispatch(effEditClose), 0);
  EXPECT_EQ(FModule->EditorForm(), nullptr);
  EXPECT_EQ(FLog->back(), "editor destroyed");
  EXPECT_EQ(Dispatch(effEditClose), 0);
}

// An editor class sized by a query (the user's scale): the host is told the
// query's size before it opens the editor, and the open window's own size
// afterwards, even when the query would answer otherwise by then (the
// screen's density changed; the window did not).
std::int32_t gQueriedScale = 2;
void QueryEditorSize(std::int32_t& Width, std::int32_t& Height) {
  Width = 865 * gQueriedScale;
  Height = 150 * gQueriedScale;
}

TEST_F(ModuleServices, AnEditorSizedByAQueryIsAnsweredBeforeAndWhileOpen) {
  gQueriedScale = 2;
  FModule->SetEditorFormClass(TEditorFormClass(
      [](TCustomVSTModule& Owner) -> std::unique_ptr<TVSTEditor> {
        return std::make_unique<TFakeEditor>(*static_cast<TTestModule&>(Owner).Log);
      },
      &QueryEditorSize));
  ERect* rect = nullptr;
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->Right, 1730);
  EXPECT_EQ(rect->Bottom, 300);
  int parent = 0;
  ASSERT_EQ(Dispatch(effEditOpen, 0, 0, &parent), 1);
  gQueriedScale = 4;
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->Right, 865);
  EXPECT_EQ(rect->Bottom, 150);
}

TEST_F(ModuleServices, TheEditOpenEventMayProvideTheEditor) {
  FModule->SetEditorFormClass(nullptr);
  int parent = 0;
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &parent), 0);
  void* seenParent = nullptr;
  FModule->OnEditOpen = [&](TCustomVSTModule&, std::unique_ptr<TVSTEditor>& Editor, void* ParentWindow) {
    seenParent = ParentWindow;
    Editor = std::make_unique<TFakeEditor>(*FLog);
  };
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &parent), 1);
  EXPECT_EQ(seenParent, &parent);
  EXPECT_NE(FModule->EditorForm(), nullptr);
}

TEST_F(ModuleServices, EditorOpcodesNeedTheEditorFlag) {
  FModule->SetFlags(EffFlagBit(effFlagsCanReplacing));
  int parent = 0;
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &parent), 0);
  EXPECT_EQ(FModule->EditorForm(), nullptr);
}

TEST_F(ModuleServices, ReopeningClosesTheEarlierEditorFirst) {
  // Kept alive but never idled, the earlier window would freeze on screen
  // holding its display connection.
  int parent = 0;
  Dispatch(effEditOpen, 0, 0, &parent);
  TVSTEditor* first = FModule->EditorForm();
  ASSERT_NE(first, nullptr);
  Dispatch(effEditOpen, 0, 0, &parent);
  EXPECT_NE(FModule->EditorForm(), nullptr);
  EXPECT_EQ(*FLog, (std::vector<std::string>{"editor attached", "editor destroyed", "editor attached"}));
  delete FModule;
  FModule = nullptr;
  EXPECT_EQ(std::count(FLog->begin(), FLog->end(), "editor destroyed"), 2);
}

TEST_F(ModuleServices, EditIdleRunsOnlyWhenAnUpdateIsPending) {
  int idles = 0;
  FModule->OnEditIdle = [&](TCustomVSTModule&) { ++idles; };
  FModule->EditorPostUpdate();
  Dispatch(effEditIdle);
  EXPECT_EQ(idles, 0);  // no editor yet
  int parent = 0;
  Dispatch(effEditOpen, 0, 0, &parent);
  Dispatch(effEditIdle);
  Dispatch(effEditIdle);
  EXPECT_EQ(idles, 1);
  EXPECT_FALSE(FModule->EditorNeedUpdate());
}

TEST_F(ModuleServices, ForwardsKeysOnlyWhenKeysAreRequired) {
  EXPECT_EQ(Dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), -1);
  FModule->SetKeysRequired(true);
  EXPECT_EQ(FHost.CountCalls(amUpdateDisplay), 1u);
  EXPECT_EQ(Dispatch(effEditKeyDown, 'a', 0), 0);  // no editor
  int parent = 0;
  Dispatch(effEditOpen, 0, 0, &parent);
  FLog->clear();
  EXPECT_EQ(Dispatch(effEditKeyDown, 'a', 0, nullptr, 1.0f), -1);  // Shift
  EXPECT_EQ(*FLog, (std::vector<std::string>{"down 65", "char 65"}));
  FModule->OnCheckKey = [](TCustomVSTModule&, std::int32_t Code) { return Code == 38; };
  EXPECT_EQ(Dispatch(effEditKeyUp, 0, 15, nullptr, 2.0f), 1);  // virtual key 15 -> up arrow
  EXPECT_EQ(FLog->back(), "up 38");
  FModule->OnEditorKeyDown = [](TCustomVSTModule&, TVstKeyCode&) { throw 1; };
  EXPECT_EQ(Dispatch(effEditKeyDown, 0, 15, nullptr, 2.0f), -1);
}

TEST(KeyTranslation, MapsHostVirtualKeysToPlatformCodes) {
  const std::pair<int, int> cases[] = {{1, 8},   {7, 32},  {15, 38},  {16, 40},  {19, 13},
                                       {24, 48}, {33, 57}, {34, 106}, {40, 112}, {51, 123},
                                       {54, 16}, {57, 93}, {0, 0},    {58, 0},   {255, 0}};
  for (auto [Virt, Code] : cases) EXPECT_EQ(TranslateVirtualKey(static_cast<std::uint8_t>(Virt)), Code) << Virt;
  EXPECT_EQ(TranslateKeyCode(TVstKeyCode{'b', 0, mkShift}), 'B');
  EXPECT_EQ(TranslateKeyCode(TVstKeyCode{'b', 7, 0}), 'b');
}

TEST_F(ModuleServices, ReadsTheHostProductOnceAndRetriesAnUnknownOne) {
  EXPECT_EQ(FModule->HostProduct(), "Vorda TestHost");
  EXPECT_EQ(FHost.CountCalls(amGetProductString), 0u);  // cached while the entry ran

  auto* other = CreateVSTModule<TTestModule>(nullptr);
  TTestHost silent;
  silent.ProductString = "";
  silent.Adopt(other->Effect());
  other->SetAudioMaster(&TTestHost::AudioMasterCallback);
  EXPECT_EQ(other->HostProduct(), "Unknown");
  silent.ProductString = "Later Host";
  EXPECT_EQ(other->HostProduct(), "Later Host");
  delete other;
}

TEST(HostSpecificRules, LatencyChangesAreAnnouncedToTheHostsThatNeedIt) {
  for (auto [Product, Expected] :
       {std::pair<const char*, std::size_t>{"My WaveLab 9", 1}, {"energyXT", 1}, {"energyXT2", 0}, {"Other", 0}}) {
    TCustomVSTModule module(nullptr);
    TTestHost host;
    host.ProductString = Product;
    host.Adopt(module.Effect());
    module.SetAudioMaster(&TTestHost::AudioMasterCallback);
    module.SetInitialDelay(64);
    EXPECT_EQ(module.Effect()->InitialDelay, 64);
    EXPECT_EQ(host.CountCalls(amIOChanged), Expected) << Product;
  }
}

TEST(HostSpecificRules, AShellCategoryIsDemotedWhenTheHostIsSet) {
  TCustomVSTModule module(nullptr);
  module.SetPlugCategory(vpcShell);
  TTestHost host;
  host.Adopt(module.Effect());
  module.SetAudioMaster(&TTestHost::AudioMasterCallback);
  EXPECT_EQ(module.PlugCategory(), vpcUnknown);
}

void WriteHalf(TCustomVSTModule& Sender, float**, float** Outputs, std::uint32_t SampleFrames) {
  for (std::int32_t c = 0; c < Sender.numOutputs(); ++c)
    for (std::uint32_t i = 0; i < SampleFrames; ++i) Outputs[c][i] += 0.5f;  // scratch starts at zero
}

TEST_F(ModuleServices, AccumulatingEntryAddsTheReplacingResultEvenForLongBlocks) {
  FModule->SetOnProcess32Replacing(&WriteHalf);
  Dispatch(effOpen);
  Dispatch(effSetBlockSize, 0, 16);
  for (std::size_t frames : {std::size_t{8}, std::size_t{100}}) {
    Channels32 in(2, std::vector<float>(frames, 0.25f));
    Channels32 out = FHost.ProcessAccumulating(in, 1.0f);
    for (const auto& channel : out)
      for (float sample : channel) ASSERT_EQ(sample, 1.5f) << frames;
  }
}

}  // namespace
}  // namespace vb::test
