#pragma once
// An in-process module served by a TTestHost, for tests that need to reach
// the module's own operations next to its record.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/vst_module.h"
#include "support/test_host.h"

namespace vb::test {

inline const TVSTModuleDescription kTestModuleDescription = {
    .EffectName = "Test Effect",
    .ProductName = "Test Product",
    .VendorName = "Test Vendor",
    .VersionMajor = 1,
    .VersionMinor = 2,
    .UniqueID = {'T', 'e', 's', 't'},
    .PlugCategory = vpcEffect,
    .CanDos = kAllVstCanDos,
    .Flags = static_cast<TEffFlags>(EffFlagBit(effFlagsHasEditor) | EffFlagBit(effFlagsCanReplacing) |
                                    EffFlagBit(effFlagsCanDoubleReplacing)),
    .ProcessPrecisition = pp64,
};

// Editor of a fixed size that counts what the module asks of it.
class TFakeEditor : public TVSTEditor {
 public:
  explicit TFakeEditor(std::vector<std::string>& Log) : FLog(Log) {}
  ~TFakeEditor() override { FLog.emplace_back("editor destroyed"); }
  std::int32_t ClientWidth() const override { return 865; }
  std::int32_t ClientHeight() const override { return 150; }
  void AttachToParent(void*) override { FLog.emplace_back("editor attached"); }
  void KeyDown(std::int32_t Code, bool WithAlt) override {
    FLog.push_back("down " + std::to_string(Code) + (WithAlt ? " alt" : ""));
  }
  void KeyChar(std::int32_t Code) override { FLog.push_back("char " + std::to_string(Code)); }
  void KeyUp(std::int32_t Code, bool) override { FLog.push_back("up " + std::to_string(Code)); }

 private:
  std::vector<std::string>& FLog;
};

class TTestModule : public TVSTModule {
 public:
  explicit TTestModule(TComponent* AOwner) : TVSTModule(AOwner) {}
  ~TTestModule() override {
    if (DestroyedFlag) *DestroyedFlag = true;
  }
  // Shared with the editor, so that it outlives the module.
  std::shared_ptr<std::vector<std::string>> Log = std::make_shared<std::vector<std::string>>();
  bool* DestroyedFlag = nullptr;

 protected:
  const TVSTModuleDescription* StoredDescription() const override { return &kTestModuleDescription; }
  void BindDescriptionEvents() override {
    OnSampleRateChange = [this](TCustomVSTModule&, float Rate) { Log->push_back("rate " + std::to_string(int(Rate))); };
    OnBlockSizeChange = [this](TCustomVSTModule&, std::int32_t Size) {
      Log->push_back("block " + std::to_string(Size));
    };
    OnSuspend = [this](TCustomVSTModule&) { Log->push_back("suspend"); };
    OnResume = [this](TCustomVSTModule&) { Log->push_back("resume"); };
    OnCreate = [this](TCustomVSTModule&) {
      Log->push_back("create");
      SetEditorFormClass([](TCustomVSTModule& Owner) -> std::unique_ptr<TVSTEditor> {
        return std::make_unique<TFakeEditor>(*static_cast<TTestModule&>(Owner).Log);
      });
    };
  }
};

class TModuleFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    FModule = CreateVSTModule<TTestModule>(nullptr);
    FLog = FModule->Log;
    FHost.Adopt(FModule->Effect());
    FModule->SetAudioMaster(&TTestHost::AudioMasterCallback);
    FHost.ClearCalls();
    FLog->clear();
  }
  void TearDown() override { delete FModule; }

  // A call through the record, as the host makes it.
  std::intptr_t Dispatch(std::int32_t Opcode, std::int32_t Index = 0, std::intptr_t Value = 0, void* Ptr = nullptr,
                         float Opt = 0.0f) {
    return FModule->Effect()->Dispatcher(FModule->Effect(), Opcode, Index, Value, Ptr, Opt);
  }
  // effClose through the host; the module destroys itself.
  std::intptr_t CloseModule() {
    const std::intptr_t result = FHost.Close();
    FModule = nullptr;
    return result;
  }

  TTestHost FHost;
  TTestModule* FModule = nullptr;
  std::shared_ptr<std::vector<std::string>> FLog;
};

}  // namespace vb::test
