// Guards the record, dispatcher and host-callback layer: fixed answers,
// unknown opcodes, failures that must not reach the host, version and ID
// packing, and the close sequence that destroys the module.
#include "host/basic_vst_module.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "host/vst_error.h"
#include "module_fixture.h"

namespace vb::test {
namespace {

using BasicModule = ModuleFixture;

TEST_F(BasicModule, UnknownOpcodesAnswerZeroAndStillReachOnDispatcher) {
  std::vector<std::int32_t> Seen;
  Module->OnDispatcher = [&](TBasicVSTModule&, std::int32_t Opcode) { Seen.push_back(Opcode); };
  for (std::int32_t Opcode : {80, -1, 1000}) EXPECT_EQ(Dispatch(Opcode, 1, 2, nullptr, 3.0f), 0);
  EXPECT_EQ(Seen, (std::vector<std::int32_t>{80, -1, 1000}));
  EXPECT_TRUE(Host.Calls().empty());
}

TEST_F(BasicModule, AnswersTheFixedOpcodes) {
  EXPECT_EQ(Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(Dispatch(effIdentify), 0x4E764566);
  EXPECT_EQ(Dispatch(effGetCurrentMidiProgram), -1);
  EXPECT_EQ(Dispatch(effSetTotalSampleToProcess, 0, 12345), 12345);
  EXPECT_EQ(Dispatch(effGetVendorVersion), 1200);
  for (std::intptr_t Value : {0, 1, 7}) EXPECT_EQ(Dispatch(effSetProcessPrecision, 0, Value), 1);
  EXPECT_EQ(Dispatch(effConnectInput, 0, 1), 1);
  EXPECT_EQ(Dispatch(effConnectOutput, 1, 0), 1);
  EXPECT_EQ(Dispatch(effGetNumProgramCategories), 1);
  EXPECT_EQ(Dispatch(effGetPlugCategory), vpcEffect);
  EXPECT_EQ(Dispatch(effKeysRequired), 1);
  for (std::int32_t Opcode : {effEditDraw, effGetErrorText, effIdle, effOfflineRun, effShellGetNextPlugin,
                              effGetNumMidiOutputChannels, effStartProcess, effSetPanLaw, effSetEditKnobMode})
    EXPECT_EQ(Dispatch(Opcode), 0) << Opcode;
}

TEST_F(BasicModule, RecordVersionFollowsTheVersionNumbers) {
  Module->SetVersionMajor(2);
  Module->SetVersionMinor(1);
  Module->SetVersionRelease(150);
  EXPECT_EQ(Module->Effect()->Version, 2 * 65536 + 1 * 256 + 150);
  Module->SetVersionRelease(5);
  EXPECT_EQ(Module->Effect()->Version, 2105);
}

TEST_F(BasicModule, UniqueIdPacksFirstCharacterHighestAndMissingOnesAsZero) {
  Module->SetUniqueID("ZQT");
  EXPECT_EQ(static_cast<std::uint32_t>(Module->Effect()->UniqueID), 0x5A515400u);
  EXPECT_EQ(Module->UniqueID(), std::string("ZQT\0", 4));
  Module->SetUniqueID("ABCDEF");
  EXPECT_EQ(Module->UniqueID(), "ABCD");
}

TEST(BasicModuleConstruction, StartsWithTheFrameworkRecordDefaults) {
  TBasicVSTModule Module(nullptr);
  const TVSTEffect& E = *Module.Effect();
  EXPECT_EQ(std::memcmp(&E.Magic, "PtsV", 4), 0);
  EXPECT_EQ(E.EffectFlags, EffFlagBit(effFlagsCanReplacing));
  EXPECT_EQ(static_cast<std::uint32_t>(E.UniqueID), 0x4E6F4566u);
  EXPECT_EQ(E.Version, 1000);
  EXPECT_EQ(E.IORatio, 1.0f);
  EXPECT_EQ(E.numInputs, 2);
  EXPECT_EQ(E.User, &Module);
  EXPECT_EQ(E.AudioEffectPtr, nullptr);
  // No callback yet: every call to the host answers 0 without calling.
  EXPECT_EQ(Module.GetMasterVersion(), 0);
  EXPECT_EQ(Module.SetParameterAutomated(0, 0.5f), 0);
  EXPECT_EQ(Module.GetHostVstVersion(), 1);
}

TEST(BasicModuleConstruction, RefusesAMissingOrSilentHost) {
  TBasicVSTModule Module(nullptr);
  try {
    Module.SetAudioMaster(nullptr);
    FAIL() << "no failure";
  } catch (const EVstError& Error) {
    EXPECT_STREQ(Error.what(), "AudioMaster Error");
  }
  TTestHost Host;
  Host.VersionAnswer = 0;
  Host.Adopt(Module.Effect());
  EXPECT_THROW(Module.SetAudioMaster(&TTestHost::AudioMasterCallback), EVstError);
  ASSERT_EQ(Host.Calls().size(), 1u);
  EXPECT_EQ(Host.Calls()[0].Opcode, amVersion);
}

TEST_F(BasicModule, FailuresInsideHandlersNeverReachTheHost) {
  Module->OnSoftBypass = [](TCustomVSTModule&, bool) { throw std::runtime_error("bypass failed"); };
  Module->OnDispatcher = [](TBasicVSTModule&, std::int32_t Opcode) {
    if (Opcode == effGetVu) throw 42;
  };
  EXPECT_EQ(Dispatch(effSetBypass, 0, 1), 0);
  EXPECT_EQ(Dispatch(effGetVu), 0);
  Dispatch(effOpen);
  Module->SetOnProcess32Replacing(
      [](TCustomVSTModule&, float**, float**, std::uint32_t) { throw std::runtime_error("block failed"); });
  Host.Process32({{1.0f}, {1.0f}});  // must return normally
  EXPECT_EQ(Dispatch(effGetVstVersion), 2400);
}

int GBlocksSeen = 0;
void CountBlock(TCustomVSTModule&, float**, float**, std::uint32_t) { ++GBlocksSeen; }

TEST_F(BasicModule, BlocksWithoutAPointerForEveryAnnouncedChannelNeverReachTheModule) {
  Module->SetOnProcess32Replacing(&CountBlock);
  Dispatch(effOpen);
  TVSTEffect* E = Module->Effect();
  float Samples[4] = {};
  float* Full[2] = {Samples, Samples};
  float* Partial[2] = {Samples, nullptr};
  GBlocksSeen = 0;
  E->Process32Replacing(E, nullptr, Full, 4);
  E->Process32Replacing(E, Full, nullptr, 4);
  E->Process32Replacing(E, Full, Partial, 4);
  EXPECT_EQ(GBlocksSeen, 0);
  E->Process32Replacing(E, Full, Full, 4);
  EXPECT_EQ(GBlocksSeen, 1);
  // A module without inputs may be handed no input array at all.
  Module->SetNumInputs(0);
  E->Process32Replacing(E, nullptr, Full, 4);
  EXPECT_EQ(GBlocksSeen, 2);
}

TEST_F(BasicModule, CloseRunsTheCloseEventStubsTheRecordAndDestroysTheModule) {
  bool Destroyed = false;
  Module->DestroyedFlag = &Destroyed;
  TVSTEffect* Effect = Module->Effect();
  std::intptr_t DispatchAfterStub = -1;
  float ParameterAfterStub = -1.0f;
  Module->OnClose = [&](TCustomVSTModule&) { Log->push_back("close"); };
  // Runs after the handler, while the record still exists.
  Module->OnDispatcher = [&](TBasicVSTModule&, std::int32_t Opcode) {
    if (Opcode != effClose) return;
    DispatchAfterStub = Effect->Dispatcher(Effect, effGetVstVersion, 0, 0, nullptr, 0.0f);
    ParameterAfterStub = Effect->GetParameter(Effect, 0);
    float* Channels[2] = {nullptr, nullptr};
    Effect->Process32Replacing(Effect, Channels, Channels, 16);
  };
  Dispatch(effOpen);
  Host.ClearCalls();
  EXPECT_EQ(CloseModule(), 1);
  EXPECT_TRUE(Destroyed);
  EXPECT_EQ(*Log, std::vector<std::string>{"close"});
  EXPECT_EQ(DispatchAfterStub, 0);
  EXPECT_EQ(ParameterAfterStub, 0.0f);
}

TEST(BasicModuleOwnership, AnOwnerDestroysTheModulesItStillOwns) {
  TComponent Owner(nullptr);
  bool FirstDestroyed = false, SecondDestroyed = false;
  auto* First = CreateVSTModule<TTestModule>(&Owner);
  auto* Second = CreateVSTModule<TTestModule>(&Owner);
  First->DestroyedFlag = &FirstDestroyed;
  Second->DestroyedFlag = &SecondDestroyed;
  delete First;  // a closed module leaves its owner's list
  EXPECT_EQ(Owner.ComponentCount(), 1u);
  Owner.DestroyComponents();
  EXPECT_TRUE(SecondDestroyed);
  EXPECT_EQ(Owner.ComponentCount(), 0u);
}

}  // namespace
}  // namespace vb::test
