#pragma once
// The audio thread's own objects of a TProcessModule, for tests: tuned at
// the start of the last block (or at creation), so read them on the audio
// thread, or while no block runs. The module's interface does not carry
// them; a test names them through Internals(module).

#include "processor/process_module.h"

namespace vb {

class TProcessModuleInternals {
 public:
  explicit TProcessModuleInternals(const TProcessModule& module) : FModule(module) {}

  const TDriveChain& Chain() const { return FModule.FChain; }
  const TStereoResampler& Resampler() const { return FModule.FResampler; }
  const TDriveSettings& SettingsInUse() const { return FModule.FSettings; }
  int FactorInUse() const { return FModule.FFactorInUse; }
  TBasicHighpassFilter* HighPass(int channel) const { return FModule.FHighPass[channel].get(); }
  TZarnUpDownsampling* UpDownSampling(int channel) const { return FModule.FUpDownSampling[channel].get(); }
  TBasicLowShelfFilter* Low(int channel) const { return FModule.FLow[channel].get(); }
  TBasicPeakFilter* Mid(int channel) const { return FModule.FMid[channel].get(); }
  TBasicHighShelfFilter* High(int channel) const { return FModule.FHigh[channel].get(); }
  TBasicPeakFilter* Pres(int channel) const { return FModule.FPres[channel].get(); }

 private:
  const TProcessModule& FModule;
};

inline TProcessModuleInternals Internals(const TProcessModule& module) { return TProcessModuleInternals(module); }

}  // namespace vb
