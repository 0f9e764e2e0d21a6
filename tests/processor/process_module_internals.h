#pragma once
// The audio thread's own objects of a TProcessModule, for tests: tuned at
// the start of the last block (or at creation), so read them on the audio
// thread, or while no block runs. The module's interface does not carry
// them; a test names them through Internals(module).

#include "processor/drive_parameter_mapping.h"
#include "processor/process_module.h"

namespace vb {

class TProcessModuleInternals {
 public:
  explicit TProcessModuleInternals(const TProcessModule& Module) : FModule(Module) {}

  const TDriveChain& Chain() const { return FModule.FChain; }
  const TStereoResampler& Resampler() const { return FModule.FResampler; }
  const TDriveSettings& SettingsInUse() const { return FModule.FSettings; }
  // What the next block will run with: the published values mapped (any
  // thread).
  TDriveSettings PublishedSettings() const { return MapDriveSettings(FModule.FControls.Values()); }
  // Samples per channel of each work buffer.
  std::int32_t TempBufferSize() const { return FModule.FTempBufferSize; }
  bool Power() const { return FModule.FPower; }
  int FactorInUse() const { return FModule.FFactorInUse; }
  TBasicHighpassFilter* HighPass(int Channel) const { return FModule.FHighPass[Channel].get(); }
  TZarnUpDownsampling* UpDownSampling(int Channel) const { return FModule.FUpDownSampling[Channel].get(); }
  TBasicLowShelfFilter* Low(int Channel) const { return FModule.FLow[Channel].get(); }
  TBasicPeakFilter* Mid(int Channel) const { return FModule.FMid[Channel].get(); }
  TBasicHighShelfFilter* High(int Channel) const { return FModule.FHigh[Channel].get(); }
  TBasicPeakFilter* Pres(int Channel) const { return FModule.FPres[Channel].get(); }

 private:
  const TProcessModule& FModule;
};

inline TProcessModuleInternals Internals(const TProcessModule& Module) { return TProcessModuleInternals(Module); }

}  // namespace vb
