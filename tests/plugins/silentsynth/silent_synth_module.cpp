// Test plug-in: an instrument with no audio inputs and two outputs that
// plays nothing, as any instrument does when it gets no notes.
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

class TSilentSynthModule : public TVSTModule {
 public:
  explicit TSilentSynthModule(TComponent* AOwner) : TVSTModule(AOwner) {}

 protected:
  const TVSTModuleDescription* StoredDescription() const override { return &kSilentSynthDescription; }
};

}  // namespace

TBasicVSTModule* CreatePluginModule() { return CreateVSTModule<TSilentSynthModule>(&TApplication::Instance()); }
void PluginLibraryStartUp() {}
void PluginLibraryShutDown() {}

}  // namespace vb
