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

using BasicModule = TModuleFixture;

TEST_F(BasicModule, UnknownOpcodesAnswerZeroAndStillReachOnDispatcher) {
  std::vector<std::int32_t> seen;
  FModule->OnDispatcher = [&](TBasicVSTModule&, std::int32_t Opcode) { seen.push_back(Opcode); };
  for (std::int32_t opcode : {80, -1, 1000}) EXPECT_EQ(Dispatch(opcode, 1, 2, nullptr, 3.0f), 0);
  EXPECT_EQ(seen, (std::vector<std::int32_t>{80, -1, 1000}));
  EXPECT_TRUE(FHost.Calls().empty());
}

TEST_F(BasicModule, AnswersTheFixedOpcodes) {
  EXPECT_EQ(Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(Dispatch(effIdentify), 0x4E764566);
  EXPECT_EQ(Dispatch(effGetCurrentMidiProgram), -1);
  EXPECT_EQ(Dispatch(effSetTotalSampleToProcess, 0, 12345), 12345);
  EXPECT_EQ(Dispatch(effGetVendorVersion), 1200);
  for (std::intptr_t value : {0, 1, 7}) EXPECT_EQ(Dispatch(effSetProcessPrecision, 0, value), 1);
  EXPECT_EQ(Dispatch(effConnectInput, 0, 1), 1);
  EXPECT_EQ(Dispatch(effConnectOutput, 1, 0), 1);
  EXPECT_EQ(Dispatch(effGetNumProgramCategories), 1);
  EXPECT_EQ(Dispatch(effGetPlugCategory), vpcEffect);
  EXPECT_EQ(Dispatch(effKeysRequired), 1);
  for (std::int32_t opcode : {effEditDraw, effGetErrorText, effIdle, effOfflineRun, effShellGetNextPlugin,
                              effGetNumMidiOutputChannels, effStartProcess, effSetPanLaw, effSetEditKnobMode})
    EXPECT_EQ(Dispatch(opcode), 0) << opcode;
}

TEST_F(BasicModule, RecordVersionFollowsTheVersionNumbers) {
  FModule->SetVersionMajor(2);
  FModule->SetVersionMinor(1);
  FModule->SetVersionRelease(150);
  EXPECT_EQ(FModule->Effect()->Version, 2 * 65536 + 1 * 256 + 150);
  FModule->SetVersionRelease(5);
  EXPECT_EQ(FModule->Effect()->Version, 2105);
}

TEST_F(BasicModule, UniqueIdPacksFirstCharacterHighestAndMissingOnesAsZero) {
  FModule->SetUniqueID("ZQT");
  EXPECT_EQ(static_cast<std::uint32_t>(FModule->Effect()->UniqueID), 0x5A515400u);
  EXPECT_EQ(FModule->UniqueID(), std::string("ZQT\0", 4));
  FModule->SetUniqueID("ABCDEF");
  EXPECT_EQ(FModule->UniqueID(), "ABCD");
}

TEST(BasicModuleConstruction, StartsWithTheFrameworkRecordDefaults) {
  TBasicVSTModule module(nullptr);
  const TVSTEffect& e = *module.Effect();
  EXPECT_EQ(std::memcmp(&e.Magic, "PtsV", 4), 0);
  EXPECT_EQ(e.EffectFlags, EffFlagBit(effFlagsCanReplacing));
  EXPECT_EQ(static_cast<std::uint32_t>(e.UniqueID), 0x4E6F4566u);
  EXPECT_EQ(e.Version, 1000);
  EXPECT_EQ(e.IORatio, 1.0f);
  EXPECT_EQ(e.numInputs, 2);
  EXPECT_EQ(e.User, &module);
  EXPECT_EQ(e.AudioEffectPtr, nullptr);
  // No callback yet: every call to the host answers 0 without calling.
  EXPECT_EQ(module.GetMasterVersion(), 0);
  EXPECT_EQ(module.SetParameterAutomated(0, 0.5f), 0);
  EXPECT_EQ(module.GetHostVstVersion(), 1);
}

TEST(BasicModuleConstruction, RefusesAMissingOrSilentHost) {
  TBasicVSTModule module(nullptr);
  try {
    module.SetAudioMaster(nullptr);
    FAIL() << "no failure";
  } catch (const EVstError& error) {
    EXPECT_STREQ(error.what(), "AudioMaster Error");
  }
  TTestHost host;
  host.VersionAnswer = 0;
  host.Adopt(module.Effect());
  EXPECT_THROW(module.SetAudioMaster(&TTestHost::AudioMasterCallback), EVstError);
  ASSERT_EQ(host.Calls().size(), 1u);
  EXPECT_EQ(host.Calls()[0].Opcode, amVersion);
}

TEST_F(BasicModule, FailuresInsideHandlersNeverReachTheHost) {
  FModule->OnSoftBypass = [](TCustomVSTModule&, bool) { throw std::runtime_error("bypass failed"); };
  FModule->OnDispatcher = [](TBasicVSTModule&, std::int32_t Opcode) {
    if (Opcode == effGetVu) throw 42;
  };
  EXPECT_EQ(Dispatch(effSetBypass, 0, 1), 0);
  EXPECT_EQ(Dispatch(effGetVu), 0);
  Dispatch(effOpen);
  FModule->SetOnProcess32Replacing(
      [](TCustomVSTModule&, float**, float**, std::uint32_t) { throw std::runtime_error("block failed"); });
  FHost.Process32({{1.0f}, {1.0f}});  // must return normally
  EXPECT_EQ(Dispatch(effGetVstVersion), 2400);
}

int GBlocksSeen = 0;
void CountBlock(TCustomVSTModule&, float**, float**, std::uint32_t) { ++GBlocksSeen; }

TEST_F(BasicModule, BlocksWithoutAPointerForEveryAnnouncedChannelNeverReachTheModule) {
  FModule->SetOnProcess32Replacing(&CountBlock);
  Dispatch(effOpen);
  TVSTEffect* e = FModule->Effect();
  float samples[4] = {};
  float* full[2] = {samples, samples};
  float* partial[2] = {samples, nullptr};
  GBlocksSeen = 0;
  e->Process32Replacing(e, nullptr, full, 4);
  e->Process32Replacing(e, full, nullptr, 4);
  e->Process32Replacing(e, full, partial, 4);
  EXPECT_EQ(GBlocksSeen, 0);
  e->Process32Replacing(e, full, full, 4);
  EXPECT_EQ(GBlocksSeen, 1);
  // A module without inputs may be handed no input array at all.
  FModule->SetNumInputs(0);
  e->Process32Replacing(e, nullptr, full, 4);
  EXPECT_EQ(GBlocksSeen, 2);
}

TEST_F(BasicModule, CloseRunsTheCloseEventStubsTheRecordAndDestroysTheModule) {
  bool destroyed = false;
  FModule->DestroyedFlag = &destroyed;
  TVSTEffect* effect = FModule->Effect();
  std::intptr_t dispatchAfterStub = -1;
  float parameterAfterStub = -1.0f;
  FModule->OnClose = [&](TCustomVSTModule&) { FLog->push_back("close"); };
  // Runs after the handler, while the record still exists.
  FModule->OnDispatcher = [&](TBasicVSTModule&, std::int32_t Opcode) {
    if (Opcode != effClose) return;
    dispatchAfterStub = effect->Dispatcher(effect, effGetVstVersion, 0, 0, nullptr, 0.0f);
    parameterAfterStub = effect->GetParameter(effect, 0);
    float* channels[2] = {nullptr, nullptr};
    effect->Process32Replacing(effect, channels, channels, 16);
  };
  Dispatch(effOpen);
  FHost.ClearCalls();
  EXPECT_EQ(CloseModule(), 1);
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(*FLog, std::vector<std::string>{"close"});
  EXPECT_EQ(dispatchAfterStub, 0);
  EXPECT_EQ(parameterAfterStub, 0.0f);
}

TEST(BasicModuleOwnership, AnOwnerDestroysTheModulesItStillOwns) {
  TComponent owner(nullptr);
  bool firstDestroyed = false, secondDestroyed = false;
  auto* first = CreateVSTModule<TTestModule>(&owner);
  auto* second = CreateVSTModule<TTestModule>(&owner);
  first->DestroyedFlag = &firstDestroyed;
  second->DestroyedFlag = &secondDestroyed;
  delete first;  // a closed module leaves its owner's list
  EXPECT_EQ(owner.ComponentCount(), 1u);
  owner.DestroyComponents();
  EXPECT_TRUE(secondDestroyed);
  EXPECT_EQ(owner.ComponentCount(), 0u);
}

}  // namespace
}  // namespace vb::test
