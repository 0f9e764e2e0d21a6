// Test plug-in: an instrument with no audio inputs and two outputs that
// plays nothing, as any instrument does when it gets no notes, and a click
// (1.0 on both outputs) at the exact sample of each note-on it gets. With
// VB_SILENTSYNTH_CATEGORY_ONLY in the environment it lacks the synth flag
// and tells what it is by its category alone, as some instruments do.
#include <cstdint>
#include <cstdlib>

#include "host/application.h"
#include "host/plugin_entry.h"
#include "host/vst_module.h"

namespace vb {

namespace {

const TVSTModuleDescription kSilentSynthDescription = {
    .EffectName = "Silent Synth",
    .VendorName = "Vorda Tests",
    .UniqueID = {'S', 'S', 'y', 'n'},
    .PlugCategory = vpcSynth,
    .CanDos = CanDoBit(vcdReceiveVstEvents) | CanDoBit(vcdReceiveVstMidiEvent),
    .Flags = static_cast<TEffFlags>(EffFlagBit(effFlagsCanReplacing) | EffFlagBit(effFlagsIsSynth)),
    .numInputs = 0,
    .numOutputs = 2,
};

constexpr int kMaxClicks = 64;  // note-ons kept per block

class TSilentSynthModule : public TVSTModule {
 public:
  explicit TSilentSynthModule(TComponent* AOwner) : TVSTModule(AOwner) {}

  template <typename T>
  static void Process(TCustomVSTModule& Sender, T**, T** Outputs, std::uint32_t SampleFrames) {
    auto& self = static_cast<TSilentSynthModule&>(Sender);
    for (int c = 0; c < 2; ++c)
      for (std::uint32_t i = 0; i < SampleFrames; ++i) Outputs[c][i] = 0;
    for (int k = 0; k < self.FClicks; ++k)
      if (self.FClickAt[k] >= 0 && std::uint32_t(self.FClickAt[k]) < SampleFrames)
        Outputs[0][self.FClickAt[k]] = Outputs[1][self.FClickAt[k]] = T(1);
    self.FClicks = 0;
  }

 protected:
  const TVSTModuleDescription* StoredDescription() const override { return &kSilentSynthDescription; }
  void BindDescriptionEvents() override {
    OnCreate = [](TCustomVSTModule& Sender) {
      auto& self = static_cast<TSilentSynthModule&>(Sender);
      self.SetOnProcess32Replacing(&Process<float>);
      self.SetOnProcess64Replacing(&Process<double>);
      if (std::getenv("VB_SILENTSYNTH_CATEGORY_ONLY"))
        self.SetFlags(static_cast<TEffFlags>(self.Flags() & ~EffFlagBit(effFlagsIsSynth)));
    };
    OnProcessMidi = [](TVSTModuleWithMidi& Sender, TVstMidiEvent& Event) {
      auto& self = static_cast<TSilentSynthModule&>(Sender);
      if ((Event.MidiData[0] & 0xF0) == 0x90 && Event.MidiData[2] > 0 && self.FClicks < kMaxClicks)
        self.FClickAt[self.FClicks++] = Event.DeltaFrames;
    };
  }

 private:
  std::int32_t FClickAt[kMaxClicks] = {};
  int FClicks = 0;
};

}  // namespace

TBasicVSTModule* CreatePluginModule() { return CreateVSTModule<TSilentSynthModule>(&TApplication::Instance()); }
void PluginLibraryStartUp() {}
void PluginLibraryShutDown() {}

}  // namespace vb
