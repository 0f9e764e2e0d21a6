// Test plug-in: a mono echo. One input, one output: the dry signal plus
// kRepeats copies kSpacing samples apart, each kGain times the one before,
// and a reported tail that ends with the last repeat.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "host/application.h"
#include "host/plugin_entry.h"
#include "host/vst_module.h"

namespace vb {

namespace {

constexpr std::int32_t kSpacing = 4410;  // samples between repeats (0.1 s at 44.1 kHz)
constexpr int kRepeats = 3;
constexpr double kGain = 0.5;  // each repeat against the one before
constexpr std::int32_t kHistory = kSpacing * kRepeats;

const TVSTModuleDescription kEchoDescription = {
    .EffectName = "Echo",
    .VendorName = "Vorda Tests",
    .UniqueID = {'E', 'c', 'h', 'o'},
    .PlugCategory = vpcEffect,
    .CanDos = CanDoBit(vcd1in1out),
    .Flags = static_cast<TEffFlags>(EffFlagBit(effFlagsCanReplacing) | EffFlagBit(effFlagsCanDoubleReplacing)),
    .numInputs = 1,
    .numOutputs = 1,
    .TailSize = kHistory,
};

class TEchoModule : public TVSTModule {
 public:
  explicit TEchoModule(TComponent* AOwner) : TVSTModule(AOwner) {}

  template <typename T>
  static void Process(TCustomVSTModule& Sender, T** Inputs, T** Outputs, std::uint32_t SampleFrames) {
    auto& self = static_cast<TEchoModule&>(Sender);
    for (std::uint32_t i = 0; i < SampleFrames; ++i) {
      const double in = Inputs[0][i];
      double sum = in, gain = 1.0;
      for (int r = 1; r <= kRepeats; ++r) {
        gain *= kGain;
        sum += gain * self.FHistory[(self.FPos + kHistory - r * kSpacing) % kHistory];
      }
      self.FHistory[self.FPos] = in;
      self.FPos = (self.FPos + 1) % kHistory;
      Outputs[0][i] = static_cast<T>(sum);
    }
  }

 protected:
  const TVSTModuleDescription* StoredDescription() const override { return &kEchoDescription; }
  void BindDescriptionEvents() override {
    OnCreate = [](TCustomVSTModule& Sender) {
      auto& self = static_cast<TEchoModule&>(Sender);
      self.SetOnProcess32Replacing(&Process<float>);
      self.SetOnProcess64Replacing(&Process<double>);
    };
    // Switched on again, the echo starts from silence, as hosts expect of
    // effMainsChanged between two pieces.
    OnResume = [](TCustomVSTModule& Sender) {
      auto& self = static_cast<TEchoModule&>(Sender);
      std::fill(self.FHistory.begin(), self.FHistory.end(), 0.0);
      self.FPos = 0;
    };
  }

 private:
  std::vector<double> FHistory = std::vector<double>(kHistory, 0.0);
  std::int32_t FPos = 0;
};

}  // namespace

TBasicVSTModule* CreatePluginModule() { return CreateVSTModule<TEchoModule>(&TApplication::Instance()); }
void PluginLibraryStartUp() {}
void PluginLibraryShutDown() {}

}  // namespace vb
