#include "processor/process_module_description.h"

namespace vb {

namespace {

// Integer range, float steps and integer steps are reported to the host.
constexpr TVstParameterPropertiesFlags kIntegerParameter =
    (1u << ppfParameterUsesIntegerMinMax) | (1u << ppfParameterUsesFloatStep) | (1u << ppfParameterUsesIntStep);
constexpr TVstParameterPropertiesFlags kSwitchParameter = 1u << ppfParameterIsSwitch;

// A continuous knob: the range doubles as the integer range; steps 1 / 0.5 / 2 / 2.
constexpr TParameterPropertyDescription Knob(const char* Name, const char* ShortLabel, const char* Units,
                                             TDriveParameter Parameter) {
  const float min = ParameterRange(Parameter).Min, max = ParameterRange(Parameter).Max;
  return {.DisplayName = Name,
          .ShortLabel = ShortLabel,
          .Units = Units,
          .Min = min,
          .Max = max,
          .StepFloat = 1.0f,
          .SmallStepFloat = 0.5f,
          .LargeStepFloat = 2.0f,
          .Flags = kIntegerParameter,
          .MinInteger = static_cast<std::int32_t>(min),
          .MaxInteger = static_cast<std::int32_t>(max),
          .StepInteger = 1,
          .LargeStepInteger = 2};
}

// A 0..1 switch or a stepped selector: every step is 1.
constexpr TParameterPropertyDescription Stepped(const char* Name, const char* ShortLabel, const char* Units,
                                                TDriveParameter Parameter, TVstParameterPropertiesFlags Flags) {
  const float min = ParameterRange(Parameter).Min, max = ParameterRange(Parameter).Max;
  return {.DisplayName = Name,
          .ShortLabel = ShortLabel,
          .Units = Units,
          .Min = min,
          .Max = max,
          .StepFloat = 1.0f,
          .SmallStepFloat = 1.0f,
          .LargeStepFloat = 1.0f,
          .Flags = Flags,
          .MinInteger = static_cast<std::int32_t>(min),
          .MaxInteger = static_cast<std::int32_t>(max),
          .StepInteger = 1,
          .LargeStepInteger = 1};
}

constexpr float Default(TDriveParameter Parameter) { return ParameterRange(Parameter).Default; }

}  // namespace

// "Input" and "Output" are in tenths of a dB.
constexpr std::array<TProcessParameter, kParamCount> kProcessParameters = {{
    {kParamInput, Knob("Input", "Input", "dB *0,1", kParamInput), &TProcessModule::ParamInputChange,
     Default(kParamInput)},
    {kParamDrive, Knob("Drive", "Drive", "%", kParamDrive), &TProcessModule::ParamDriveChange, Default(kParamDrive)},
    {kParamTrim, Knob("Trim", "Trim", "%", kParamTrim), &TProcessModule::ParamTrimChange, Default(kParamTrim)},
    {kParamCurveForm, Knob("CurveForm", "CurveFo", "%", kParamCurveForm), &TProcessModule::ParamCurveFormChange,
     Default(kParamCurveForm)},
    {kParamHiPass, Knob("HiPass", "HiPass", "Hz", kParamHiPass), &TProcessModule::ParamHiPassChange,
     Default(kParamHiPass)},
    {kParamFreq, Knob("Freq", "Freq", "Hz", kParamFreq), &TProcessModule::ParamFreqChange, Default(kParamFreq)},
    {kParamLoPass, Knob("LoPass", "LoPass", "Hz", kParamLoPass), &TProcessModule::ParamLowPassChange,
     Default(kParamLoPass)},
    {kParamLow, Knob("Low", "Low", "dB", kParamLow), &TProcessModule::ParamLowChange, Default(kParamLow)},
    {kParamMid, Knob("Mid", "Mid", "dB", kParamMid), &TProcessModule::ParamMidChange, Default(kParamMid)},
    {kParamHigh, Knob("High", "High", "dB", kParamHigh), &TProcessModule::ParamHighChange, Default(kParamHigh)},
    {kParamPres, Knob("Pres", "Pres", "dB", kParamPres), &TProcessModule::ParamPresChange, Default(kParamPres)},
    {kParamDryWet, Knob("DryWet", "DryWet", "%", kParamDryWet), &TProcessModule::ParamDryWetChange,
     Default(kParamDryWet)},
    {kParamOutput, Knob("Output", "Output", "dB *0,1", kParamOutput), &TProcessModule::ParamOutputChange,
     Default(kParamOutput)},
    {kParamPower, Stepped("Power", "Power", "On/Off", kParamPower, kSwitchParameter), &TProcessModule::ParamPowerChange,
     Default(kParamPower)},
    {kParamStereo, Stepped("Stereo", "Stereo", "On/Off", kParamStereo, kSwitchParameter),
     &TProcessModule::ParamStereoChange, Default(kParamStereo)},
    {kParamAsymmetric, Stepped("Asymmetric", "Asymmet", "On/Off", kParamAsymmetric, kSwitchParameter),
     &TProcessModule::ParamAsymmetricChange, Default(kParamAsymmetric)},
    {kParamOversampling, Stepped("Oversampling", "Oversam", "1x/8x/16x", kParamOversampling, kIntegerParameter),
     &TProcessModule::ParamOversamplingChange, Default(kParamOversampling)},
}};

namespace {

constexpr bool RowsInIndexOrder() {
  for (int i = 0; i < kParamCount; ++i)
    if (kProcessParameters[i].Parameter != i) return false;
  return true;
}
static_assert(RowsInIndexOrder(), "kProcessParameters: row i must describe parameter i");

// The descriptions alone, in a row of their own for the parameter layer.
constexpr std::array<TParameterPropertyDescription, kParamCount> DescriptionsOf(
    const std::array<TProcessParameter, kParamCount>& Table) {
  std::array<TParameterPropertyDescription, kParamCount> result{};
  for (int i = 0; i < kParamCount; ++i) result[i] = Table[i].Description;
  return result;
}
constexpr std::array<TParameterPropertyDescription, kParamCount> kParameters = DescriptionsOf(kProcessParameters);

// No parameter names this category; it is kept for hosts that list categories.
constexpr const char* kCategories[] = {"Highpass Filter"};

// One program with an empty name; the create handler fills its values.
constexpr TProgramDescription kPrograms[] = {{.DisplayName = ""}};

}  // namespace

const TParametersDescription kProcessParametersDescription = {kCategories, kPrograms, kParameters};

// effFlagsHasEditor is added by the create handler, once the editor exists.
const TVSTModuleDescription kProcessModuleDescription = {
    .EffectName = "Vorda Brasswick v1.2",
    .ProductName = "Vorda Brasswick v1.2",
    .VendorName = "Vorda",
    .VersionText = "1.2",
    .VersionMajor = 1,
    .VersionMinor = 2,
    .VersionRelease = 0,
    .UniqueID = {'Z', 'Q', 'T', '\0'},
    .PlugCategory = vpcEffect,
    .CanDos = kAllVstCanDos,
    .Flags = static_cast<TEffFlags>(EffFlagBit(effFlagsCanMono) | EffFlagBit(effFlagsCanReplacing) |
                                    EffFlagBit(effFlagsCanDoubleReplacing)),
    .numInputs = 2,
    .numOutputs = 2,
    .InitialDelay = 0,
    .IORatio = 1.0f,
    .RealQualities = 0,
    .OffQualities = 0,
    .TailSize = 0,
    .KeysRequired = false,
    .ProcessPrecisition = pp64,
    .TruncateStrings = false,
    .numCategories = 1,
    .Parameters = &kProcessParametersDescription,
};

}  // namespace vb
