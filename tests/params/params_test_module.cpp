#include "params/params_test_module.h"

#include "host/vst_abi.h"

namespace vb::test {

namespace {

constexpr TVstParameterPropertiesFlags kIntegerFlags =
    (1u << ppfParameterUsesIntegerMinMax) | (1u << ppfParameterUsesFloatStep) | (1u << ppfParameterUsesIntStep);

const char* const kCategories[] = {"Highpass Filter"};
const TProgramDescription kPrograms[] = {{""}, {"Second"}};
const TParameterPropertyDescription kParameters[] = {
    {.DisplayName = "Input", .Units = "dB *0,1", .Min = -200, .Max = 200, .Flags = kIntegerFlags},
    {.DisplayName = "Freq",
     .Units = "Hz",
     .Min = 20,
     .Max = 20000,
     .Curve = ctLogarithmic,
     .UseDefaultString2ParameterHandler = true},
    {.DisplayName = "Power", .Units = "On/Off", .Flags = 1u << ppfParameterIsSwitch},
    {.DisplayName = "Locked",
     .ShortLabel = "Lck",
     .Units = "%",
     .Min = 0,
     .Max = 100,
     .CanBeAutomated = false,
     .ReportVST2Properties = true,
     .StepFloat = 10,
     .SmallStepFloat = 1,
     .LargeStepFloat = 50,
     .Flags = kIntegerFlags | (1u << ppfParameterSupportsDisplayIndex) | (1u << ppfParameterSupportsDisplayCategory),
     .MinInteger = 0,
     .MaxInteger = 100,
     .StepInteger = 5,
     .LargeStepInteger = 20,
     .Category = "Highpass Filter"},
};
const TParametersDescription kParametersDescription{kCategories, kPrograms, kParameters};

TVSTModuleDescription MakeDescription(bool ChunkMode) {
  TVSTModuleDescription d;
  d.EffectName = "Params Test";
  d.UniqueID[0] = 'P';
  d.UniqueID[1] = 'r';
  d.UniqueID[2] = 'm';
  d.UniqueID[3] = 's';
  d.CanDos = kAllVstCanDos;
  d.Flags = EffFlagBit(effFlagsCanReplacing);
  if (ChunkMode) d.Flags |= EffFlagBit(effFlagsProgramChunks);
  d.Parameters = &kParametersDescription;
  return d;
}

const TVSTModuleDescription kValueDescription = MakeDescription(false);
const TVSTModuleDescription kChunkDescription = MakeDescription(true);

}  // namespace

const TVSTModuleDescription* TParamsTestModule::StoredDescription() const {
  return FChunkMode ? &kChunkDescription : &kValueDescription;
}

std::unique_ptr<TParamsTestModule> MakeParamsTestModule(TTestHost& Host, bool ChunkMode) {
  std::unique_ptr<TParamsTestModule> module(new TParamsTestModule(nullptr, ChunkMode));
  module->LoadStoredDescription();
  module->SetDecimalSeparator('.');
  Host.Adopt(module->Effect());
  module->SetAudioMaster(&TTestHost::AudioMasterCallback);
  Host.ClearCalls();
  return module;
}

}  // namespace vb::test
