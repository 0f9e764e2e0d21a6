// Test plug-in: a module with a stored description, a processing handler
// that halves the input, a small editor, and a notice to the host when the
// module is destroyed (amVendorSpecific with Index 0x7E57), so that tests
// can watch the library destroy modules the host never closed.
#include <cstdint>
#include <memory>

#include "host/application.h"
#include "host/plugin_entry.h"
#include "host/vst_module.h"

namespace vb {

namespace {

constexpr std::int32_t kDestroyedNotice = 0x7E57;

const TVSTModuleDescription kHalfGainDescription = {
    .EffectName = "Half Gain",
    .ProductName = "",
    .VendorName = "Vorda Tests",
    .VersionText = "2.1",
    .VersionMajor = 2,
    .VersionMinor = 1,
    .VersionRelease = 150,
    .UniqueID = {'H', 'G', 'a', 'n'},
    .PlugCategory = vpcEffect,
    .CanDos = CanDoBit(vcdBypass) | CanDoBit(vcd2in2out),
    .Flags = static_cast<TEffFlags>(EffFlagBit(effFlagsHasEditor) | EffFlagBit(effFlagsCanReplacing) |
                                    EffFlagBit(effFlagsCanDoubleReplacing)),
};

class THalfGainEditor : public TVSTEditor {
 public:
  std::int32_t ClientWidth() const override { return 320; }
  std::int32_t ClientHeight() const override { return 200; }
  void AttachToParent(void*) override {}
};

template <typename T>
void Halve(TCustomVSTModule& Sender, T** Inputs, T** Outputs, std::uint32_t SampleFrames) {
  for (std::int32_t c = 0; c < Sender.numOutputs(); ++c)
    for (std::uint32_t i = 0; i < SampleFrames; ++i) Outputs[c][i] = Inputs[c][i] * T(0.5);
}

class THalfGainModule : public TVSTModule {
 public:
  explicit THalfGainModule(TComponent* AOwner) : TVSTModule(AOwner) {}
  ~THalfGainModule() override { CallAudioMaster(amVendorSpecific, kDestroyedNotice, 0, nullptr, 0.0f); }

 protected:
  const TVSTModuleDescription* StoredDescription() const override { return &kHalfGainDescription; }
  void BindDescriptionEvents() override {
    OnCreate = [](TCustomVSTModule& Sender) {
      auto& self = static_cast<THalfGainModule&>(Sender);
      self.SetOnProcess32Replacing(&Halve<float>);
      self.SetOnProcess64Replacing(&Halve<double>);
      self.SetEditorFormClass(
          [](TCustomVSTModule&) -> std::unique_ptr<TVSTEditor> { return std::make_unique<THalfGainEditor>(); });
    };
  }
};

}  // namespace

TBasicVSTModule* CreatePluginModule() { return CreateVSTModule<THalfGainModule>(&TApplication::Instance()); }
void PluginLibraryStartUp() {}
void PluginLibraryShutDown() {}

}  // namespace vb
