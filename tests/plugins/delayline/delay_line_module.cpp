// Test plug-in: delays both channels by exactly kDelay samples and reports
// that delay as its latency. The delay is set when the plug-in is switched
// on, as plug-ins that size their look-ahead from the sample rate do, so a
// host must read it after resume. With VB_DELAYLINE_REPORT=first (or
// =second) in the environment it reports the delay only while processing
// the first (or second) block, with amIOChanged, as limiters that settle
// their look-ahead late do; with =half,second it reports half the delay
// when switched on and the whole while processing the second block, as
// plug-ins whose look-ahead grows once they run do.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/application.h"
#include "host/plugin_entry.h"
#include "host/vst_module.h"

namespace vb {

namespace {

constexpr std::int32_t kDelay = 300;  // samples; on purpose no divisor of usual block sizes

const TVSTModuleDescription kDelayLineDescription = {
    .EffectName = "Delay Line",
    .VendorName = "Vorda Tests",
    .UniqueID = {'D', 'L', 'i', 'n'},
    .PlugCategory = vpcEffect,
    .Flags = static_cast<TEffFlags>(EffFlagBit(effFlagsCanReplacing) | EffFlagBit(effFlagsCanDoubleReplacing)),
};

class TDelayLineModule : public TVSTModule {
 public:
  explicit TDelayLineModule(TComponent* AOwner) : TVSTModule(AOwner) {}

  template <typename T>
  static void Process(TCustomVSTModule& Sender, T** Inputs, T** Outputs, std::uint32_t SampleFrames) {
    auto& self = static_cast<TDelayLineModule&>(Sender);
    if (++self.FBlocks == self.FReportAtBlock) {
      self.SetInitialDelay(kDelay);
      self.HostIOChanged();
    }
    for (std::uint32_t i = 0; i < SampleFrames; ++i) {
      for (int c = 0; c < 2; ++c) {
        double& slot = self.FLine[c][self.FPos];
        const double in = Inputs[c][i];  // read first: inputs and outputs may share memory
        Outputs[c][i] = static_cast<T>(slot);
        slot = in;
      }
      self.FPos = (self.FPos + 1) % kDelay;
    }
  }

 protected:
  const TVSTModuleDescription* StoredDescription() const override { return &kDelayLineDescription; }
  void BindDescriptionEvents() override {
    OnCreate = [](TCustomVSTModule& Sender) {
      auto& self = static_cast<TDelayLineModule&>(Sender);
      self.SetOnProcess32Replacing(&Process<float>);
      self.SetOnProcess64Replacing(&Process<double>);
    };
    OnResume = [](TCustomVSTModule& Sender) {
      auto& self = static_cast<TDelayLineModule&>(Sender);
      for (auto& line : self.FLine) line.assign(kDelay, 0.0);
      self.FPos = 0;
      self.FBlocks = 0;
      const char* report = std::getenv("VB_DELAYLINE_REPORT");
      const bool half = report && std::strcmp(report, "half,second") == 0;
      self.FReportAtBlock = !report                                      ? 0
                            : std::strcmp(report, "first") == 0          ? 1
                            : std::strcmp(report, "second") == 0 || half ? 2
                                                                         : 0;
      self.SetInitialDelay(half ? kDelay / 2 : self.FReportAtBlock ? 0 : kDelay);
    };
  }

 private:
  std::vector<double> FLine[2] = {std::vector<double>(kDelay), std::vector<double>(kDelay)};
  std::int32_t FPos = 0;
  int FBlocks = 0;         // processing calls since resume
  int FReportAtBlock = 0;  // the call that reports the delay; 0: resume does
};

}  // namespace

TBasicVSTModule* CreatePluginModule() { return CreateVSTModule<TDelayLineModule>(&TApplication::Instance()); }
void PluginLibraryStartUp() {}
void PluginLibraryShutDown() {}

}  // namespace vb
