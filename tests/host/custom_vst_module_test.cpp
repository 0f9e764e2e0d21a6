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

using ModuleServices = ModuleFixture;

TEST_F(ModuleServices, CopiesIdentityTextsAndRefusesANullBuffer) {
  EXPECT_EQ(Host.DispatchText(effGetEffectName), "Test Effect");
  EXPECT_EQ(Host.DispatchText(effGetVendorString), "Test Vendor");
  EXPECT_EQ(Host.DispatchText(effGetProductString), "Test Product");
  Module->SetProductName("");
  EXPECT_EQ(Host.DispatchText(effGetProductString), "Test Effect");
  for (std::int32_t Opcode : {effGetEffectName, effGetVendorString, effGetProductString})
    EXPECT_EQ(Dispatch(Opcode, 0, 0, nullptr), 0);
  char Text[64];
  EXPECT_EQ(Dispatch(effGetEffectName, 0, 0, Text), 1);
}

TEST_F(ModuleServices, TruncatesIdentityTextsOnlyWhenAsked) {
  const std::string Long(80, 'x');
  Module->SetEffectName(Long);
  EXPECT_EQ(Module->EffectName().size(), 80u);
  Module->SetTruncateStrings(true);
  Module->SetEffectName(Long);
  Module->SetVendorName(Long);
  EXPECT_EQ(Module->EffectName().size(), 32u);
  EXPECT_EQ(Module->VendorName().size(), 64u);
}

TEST_F(ModuleServices, AnswersCapabilitiesExactlyAndCaseSensitively) {
  std::string Asked;
  Module->OnCanDo = [&](TCustomVSTModule&, const char* Text) { Asked = Text; };
  char Bypass[] = "bypass", BigBypass[] = "Bypass", Cockos[] = "hasCockosExtensions", Empty[] = "";
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, Bypass), 1);
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, BigBypass), 0);
  EXPECT_EQ(Asked, "Bypass");
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, Cockos), -1091633152);
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, Empty), 0);
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, nullptr), 0);
  for (std::int32_t i = 0; i < kVstCanDoCount; ++i) {
    if (i == vcdCockosExtension) continue;
    std::string Text = VstCanDoString(static_cast<TVstCanDo>(i));
    EXPECT_EQ(Dispatch(effCanDo, 0, 0, Text.data()), 1) << Text;
  }
  Module->SetCanDos(kAllVstCanDos & ~(CanDoBit(vcdBypass) | CanDoBit(vcdCockosExtension)));
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, Bypass), -1);
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, Cockos), 0);
}

TEST_F(ModuleServices, SampleRateAndBlockSizeEventsFireOnlyOnChange) {
  EXPECT_EQ(Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f), 1);
  EXPECT_EQ(Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f), 1);
  EXPECT_EQ(Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f), 1);
  EXPECT_EQ(Dispatch(effSetBlockSize, 0, 1024), 0);
  EXPECT_EQ(Dispatch(effSetBlockSize, 0, 256), 0);
  EXPECT_EQ(Dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 96000.0f), 1);
  EXPECT_EQ(*Log, (std::vector<std::string>{"rate 48000", "block 256", "rate 96000", "block 512"}));
}

TEST_F(ModuleServices, IgnoresSampleRatesAndBlockSizesThatCannotBeUsed) {
  for (float Rate : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(), INFINITY})
    EXPECT_EQ(Dispatch(effSetSampleRate, 0, 0, nullptr, Rate), 0);
  for (std::intptr_t Size : {0, -5}) Dispatch(effSetBlockSize, 0, Size);
  EXPECT_TRUE(Log->empty());
  EXPECT_EQ(Module->SampleRate(), 44100.0f);
  EXPECT_EQ(Module->BlockSize(), 1024);
}

TEST_F(ModuleServices, SuspendCallsOnlyTheSuspendEventAndResumeAsksForMidi) {
  EXPECT_EQ(Dispatch(effMainsChanged, 0, 0), 0);
  EXPECT_EQ(*Log, std::vector<std::string>{"suspend"});
  EXPECT_EQ(Host.CountCalls(amWantMidi), 0u);
  EXPECT_EQ(Dispatch(effMainsChanged, 0, 1), 0);
  EXPECT_EQ(Log->back(), "resume");
  ASSERT_EQ(Host.CountCalls(amWantMidi), 1u);
  EXPECT_EQ(Host.Calls().back().Value, 1);
}

TEST_F(ModuleServices, BypassAndMeterAnswerZeroWhenUnbound) {
  EXPECT_EQ(Dispatch(effSetBypass, 0, 1), 0);
  EXPECT_EQ(Dispatch(effGetVu), 0);
  bool Bypassed = false;
  Module->OnSoftBypass = [&](TCustomVSTModule&, bool IsBypass) { Bypassed = IsBypass; };
  EXPECT_EQ(Dispatch(effSetBypass, 0, 5), 1);
  EXPECT_TRUE(Bypassed);
  float Level = 0.5f;
  Module->OnGetVU = [&](TCustomVSTModule&, float& L) { L = Level; };
  EXPECT_EQ(Dispatch(effGetVu), 16384);  // 16383.5 rounds to even
  Level = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(Dispatch(effGetVu), 0);
  Level = 1e30f;
  EXPECT_EQ(Dispatch(effGetVu), std::numeric_limits<std::int32_t>::max());
}

TEST_F(ModuleServices, DescribesActiveStereoPinsAndRefusesOthers) {
  TVstPinProperties Pin{};
  EXPECT_EQ(Dispatch(effGetInputProperties, 0, 0, &Pin), 1);
  EXPECT_STREQ(Pin.Caption, "Input #1");
  EXPECT_STREQ(Pin.ShortLabel, "In1");
  EXPECT_EQ(Pin.Flags, 3);
  EXPECT_EQ(Pin.ArrangementType, 1);
  EXPECT_EQ(Dispatch(effGetOutputProperties, 1, 0, &Pin), 1);
  EXPECT_STREQ(Pin.Caption, "Output #2");
  EXPECT_STREQ(Pin.ShortLabel, "Out2");
  EXPECT_EQ(Dispatch(effGetInputProperties, 2, 0, &Pin), 0);
  EXPECT_EQ(Dispatch(effGetInputProperties, -1, 0, &Pin), 0);
  EXPECT_EQ(Dispatch(effGetOutputProperties, 0, 0, nullptr), 0);
  Module->SetNumOutputs(1);
  Pin.ArrangementType = 99;
  Dispatch(effGetOutputProperties, 0, 0, &Pin);
  EXPECT_EQ(Pin.Flags, 1);
  EXPECT_EQ(Pin.ArrangementType, 0);
  EXPECT_EQ(Host.CountCalls(amIOChanged), 1u);
}

TEST_F(ModuleServices, HostsTheEditorInsideTheHostWindow) {
  ERect* Rect = nullptr;
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &Rect), 0);
  ASSERT_NE(Rect, nullptr);
  EXPECT_EQ(Rect->Top, 0);
  EXPECT_EQ(Rect->Left, 0);
  EXPECT_EQ(Rect->Bottom, 32);
  EXPECT_EQ(Rect->Right, 64);
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, nullptr), 0);
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, nullptr), 0);
  EXPECT_EQ(Module->EditorForm(), nullptr);

  int Parent = 0;
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &Parent), 1);
  EXPECT_EQ(*Log, std::vector<std::string>{"editor attached"});
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &Rect), 1);
  EXPECT_EQ(Rect->Bottom, 150);
  EXPECT_EQ(Rect->Right, 865);

  bool MayClose = false;
  Module->OnEditClose = [&](TCustomVSTModule&, bool& M) { M = MayClose; };
  EXPECT_EQ(Dispatch(effEditClose), 0);
  EXPECT_NE(Module->EditorForm(), nullptr);
  MayClose = true;
  EXPECT_EQ(Dispatch(effEditClose), 0);
  EXPECT_EQ(Module->EditorForm(), nullptr);
  EXPECT_EQ(Log->back(), "editor destroyed");
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
  Module->SetEditorFormClass(TEditorFormClass(
      [](TCustomVSTModule& Owner) -> std::unique_ptr<TVSTEditor> {
        return std::make_unique<TFakeEditor>(*static_cast<TTestModule&>(Owner).Log);
      },
      &QueryEditorSize));
  ERect* Rect = nullptr;
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &Rect), 1);
  ASSERT_NE(Rect, nullptr);
  EXPECT_EQ(Rect->Right, 1730);
  EXPECT_EQ(Rect->Bottom, 300);
  int Parent = 0;
  ASSERT_EQ(Dispatch(effEditOpen, 0, 0, &Parent), 1);
  gQueriedScale = 4;
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &Rect), 1);
  EXPECT_EQ(Rect->Right, 865);
  EXPECT_EQ(Rect->Bottom, 150);
}

TEST_F(ModuleServices, TheEditOpenEventMayProvideTheEditor) {
  Module->SetEditorFormClass(nullptr);
  int Parent = 0;
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &Parent), 0);
  void* SeenParent = nullptr;
  Module->OnEditOpen = [&](TCustomVSTModule&, std::unique_ptr<TVSTEditor>& Editor, void* ParentWindow) {
    SeenParent = ParentWindow;
    Editor = std::make_unique<TFakeEditor>(*Log);
  };
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &Parent), 1);
  EXPECT_EQ(SeenParent, &Parent);
  EXPECT_NE(Module->EditorForm(), nullptr);
}

TEST_F(ModuleServices, EditorOpcodesNeedTheEditorFlag) {
  Module->SetFlags(EffFlagBit(effFlagsCanReplacing));
  int Parent = 0;
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &Parent), 0);
  EXPECT_EQ(Module->EditorForm(), nullptr);
}

TEST_F(ModuleServices, ReopeningClosesTheEarlierEditorFirst) {
  // Kept alive but never idled, the earlier window would freeze on screen
  // holding its display connection.
  int Parent = 0;
  Dispatch(effEditOpen, 0, 0, &Parent);
  TVSTEditor* First = Module->EditorForm();
  ASSERT_NE(First, nullptr);
  Dispatch(effEditOpen, 0, 0, &Parent);
  EXPECT_NE(Module->EditorForm(), nullptr);
  EXPECT_EQ(*Log, (std::vector<std::string>{"editor attached", "editor destroyed", "editor attached"}));
  delete Module;
  Module = nullptr;
  EXPECT_EQ(std::count(Log->begin(), Log->end(), "editor destroyed"), 2);
}

TEST_F(ModuleServices, EditIdleRunsOnlyWhenAnUpdateIsPending) {
  int Idles = 0;
  Module->OnEditIdle = [&](TCustomVSTModule&) { ++Idles; };
  Module->EditorPostUpdate();
  Dispatch(effEditIdle);
  EXPECT_EQ(Idles, 0);  // no editor yet
  int Parent = 0;
  Dispatch(effEditOpen, 0, 0, &Parent);
  Dispatch(effEditIdle);
  Dispatch(effEditIdle);
  EXPECT_EQ(Idles, 1);
  EXPECT_FALSE(Module->EditorNeedUpdate());
}

TEST_F(ModuleServices, ForwardsKeysOnlyWhenKeysAreRequired) {
  EXPECT_EQ(Dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), -1);
  Module->SetKeysRequired(true);
  EXPECT_EQ(Host.CountCalls(amUpdateDisplay), 1u);
  EXPECT_EQ(Dispatch(effEditKeyDown, 'a', 0), 0);  // no editor
  int Parent = 0;
  Dispatch(effEditOpen, 0, 0, &Parent);
  Log->clear();
  EXPECT_EQ(Dispatch(effEditKeyDown, 'a', 0, nullptr, 1.0f), -1);  // Shift
  EXPECT_EQ(*Log, (std::vector<std::string>{"down 65", "char 65"}));
  Module->OnCheckKey = [](TCustomVSTModule&, std::int32_t Code) { return Code == 38; };
  EXPECT_EQ(Dispatch(effEditKeyUp, 0, 15, nullptr, 2.0f), 1);  // virtual key 15 -> up arrow
  EXPECT_EQ(Log->back(), "up 38");
  Module->OnEditorKeyDown = [](TCustomVSTModule&, TVstKeyCode&) { throw 1; };
  EXPECT_EQ(Dispatch(effEditKeyDown, 0, 15, nullptr, 2.0f), -1);
}

TEST(KeyTranslation, MapsHostVirtualKeysToPlatformCodes) {
  const std::pair<int, int> Cases[] = {{1, 8},   {7, 32},  {15, 38},  {16, 40},  {19, 13},
                                       {24, 48}, {33, 57}, {34, 106}, {40, 112}, {51, 123},
                                       {54, 16}, {57, 93}, {0, 0},    {58, 0},   {255, 0}};
  for (auto [Virt, Code] : Cases) EXPECT_EQ(TranslateVirtualKey(static_cast<std::uint8_t>(Virt)), Code) << Virt;
  EXPECT_EQ(TranslateKeyCode(TVstKeyCode{'b', 0, mkShift}), 'B');
  EXPECT_EQ(TranslateKeyCode(TVstKeyCode{'b', 7, 0}), 'b');
}

TEST_F(ModuleServices, ReadsTheHostProductOnceAndRetriesAnUnknownOne) {
  EXPECT_EQ(Module->HostProduct(), "Vorda TestHost");
  EXPECT_EQ(Host.CountCalls(amGetProductString), 0u);  // cached while the entry ran

  auto* Other = CreateVSTModule<TTestModule>(nullptr);
  TTestHost Silent;
  Silent.ProductString = "";
  Silent.Adopt(Other->Effect());
  Other->SetAudioMaster(&TTestHost::AudioMasterCallback);
  EXPECT_EQ(Other->HostProduct(), "Unknown");
  Silent.ProductString = "Later Host";
  EXPECT_EQ(Other->HostProduct(), "Later Host");
  delete Other;
}

TEST(HostSpecificRules, LatencyChangesAreAnnouncedToTheHostsThatNeedIt) {
  for (auto [Product, Expected] :
       {std::pair<const char*, std::size_t>{"My WaveLab 9", 1}, {"energyXT", 1}, {"energyXT2", 0}, {"Other", 0}}) {
    TCustomVSTModule Module(nullptr);
    TTestHost Host;
    Host.ProductString = Product;
    Host.Adopt(Module.Effect());
    Module.SetAudioMaster(&TTestHost::AudioMasterCallback);
    Module.SetInitialDelay(64);
    EXPECT_EQ(Module.Effect()->InitialDelay, 64);
    EXPECT_EQ(Host.CountCalls(amIOChanged), Expected) << Product;
  }
}

TEST(HostSpecificRules, AShellCategoryIsDemotedWhenTheHostIsSet) {
  TCustomVSTModule Module(nullptr);
  Module.SetPlugCategory(vpcShell);
  TTestHost Host;
  Host.Adopt(Module.Effect());
  Module.SetAudioMaster(&TTestHost::AudioMasterCallback);
  EXPECT_EQ(Module.PlugCategory(), vpcUnknown);
}

void WriteHalf(TCustomVSTModule& Sender, float**, float** Outputs, std::uint32_t SampleFrames) {
  for (std::int32_t c = 0; c < Sender.numOutputs(); ++c)
    for (std::uint32_t i = 0; i < SampleFrames; ++i) Outputs[c][i] += 0.5f;  // scratch starts at zero
}

TEST_F(ModuleServices, AccumulatingEntryAddsTheReplacingResultEvenForLongBlocks) {
  Module->SetOnProcess32Replacing(&WriteHalf);
  Dispatch(effOpen);
  Dispatch(effSetBlockSize, 0, 16);
  for (std::size_t Frames : {std::size_t{8}, std::size_t{100}}) {
    Channels32 In(2, std::vector<float>(Frames, 0.25f));
    Channels32 Out = Host.ProcessAccumulating(In, 1.0f);
    for (const auto& Channel : Out)
      for (float Sample : Channel) ASSERT_EQ(Sample, 1.5f) << Frames;
  }
}

}  // namespace
}  // namespace vb::test
