#include "processor/process_module_description.h"

#include <iterator>

namespace vb {

namespace {

// Integer range, float steps and integer steps are reported to the host.
constexpr TVstParameterPropertiesFlags kIntegerParameter =
    (1u << ppfParameterUsesIntegerMinMax) | (1u << ppfParameterUsesFloatStep) | (1u << ppfParameterUsesIntStep);
constexpr TVstParameterPropertiesFlags kSwitchParameter = 1u << ppfParameterIsSwitch;

// A continuous knob: the range doubles as the integer range; steps 1 / 0.5 / 2 / 2.
constexpr TParameterPropertyDescription Knob(const char* Name, const char* ShortLabel, const char* Units, float Min,
                                             float Max) {
  return {.DisplayName = Name,
          .ShortLabel = ShortLabel,
          .Units = Units,
          .Min = Min,
          .Max = Max,
          .StepFloat = 1.0f,
          .SmallStepFloat = 0.5f,
          .LargeStepFloat = 2.0f,
          .Flags = kIntegerParameter,
          .MinInteger = static_cast<std::int32_t>(Min),
          .MaxInteger = static_cast<std::int32_t>(Max),
          .StepInteger = 1,
          .LargeStepInteger = 2};
}

// A 0..1 switch or a stepped selector: every step is 1.
constexpr TParameterPropertyDescription Stepped(const char* Name, const char* ShortLabel, const char* Units, float Min,
                                                float Max, TVstParameterPropertiesFlags Flags) {
  return {.DisplayName = Name,
          .ShortLabel = ShortLabel,
          .Units = Units,
          .Min = Min,
          .Max = Max,
          .StepFloat = 1.0f,
          .SmallStepFloat = 1.0f,
          .LargeStepFloat = 1.0f,
          .Flags = Flags,
          .MinInteger = static_cast<std::int32_t>(Min),
          .MaxInteger = static_cast<std::int32_t>(Max),
          .StepInteger = 1,
          .LargeStepInteger = 1};
}

// Index = parameter index. "Input" and "Output" are in tenths of a dB.
constexpr TParameterPropertyDescription kParameters[] = {
    Knob("Input", "Input", "dB *0,1", -200, 200),
    Knob("Drive", "Drive", "%", 0, 100),
    Knob("Trim", "Trim", "%", 0, 100),
    Knob("CurveForm", "CurveFo", "%", 1, 200),
    Knob("HiPass", "HiPass", "Hz", 0, 500),
    Knob("Freq", "Freq", "Hz", 0, 1000),
    Knob("LoPass", "LoPass", "Hz", 500, 5000),
    Knob("Low", "Low", "dB", -15, 15),
    Knob("Mid", "Mid", "dB", -15, 15),
    Knob("High", "High", "dB", -15, 15),
    Knob("Pres", "Pres", "dB", -15, 15),
    Knob("DryWet", "DryWet", "%", 0, 100),
    Knob("Output", "Output", "dB *0,1", -100, 100),
    Stepped("Power", "Power", "On/Off", 0, 1, kSwitchParameter),
    Stepped("Stereo", "Stereo", "On/Off", 0, 1, kSwitchParameter),
    Stepped("Asymmetric", "Asymmet", "On/Off", 0, 1, kSwitchParameter),
    Stepped("Oversampling", "Oversam", "1x/8x/16x", 1, 16, kIntegerParameter),
};
static_assert(std::size(kParameters) == 17);

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

// Index = parameter index, as in kParameters above.
const std::array<TProcessParameterBinding, kProcessParameterCount> kProcessParameterBindings = {{
    {&TProcessModule::ParamInputChange, 0.0f},         // 0 Input, dB * 0.1
    {&TProcessModule::ParamDriveChange, 0.0f},         // 1 Drive, %
    {&TProcessModule::ParamTrimChange, 45.0f},         // 2 Trim, %
    {&TProcessModule::ParamCurveFormChange, 80.0f},    // 3 CurveForm, %
    {&TProcessModule::ParamHiPassChange, 20.0f},       // 4 HiPass, Hz
    {&TProcessModule::ParamFreqChange, 275.0f},        // 5 Freq, Hz
    {&TProcessModule::ParamLowPassChange, 3000.0f},    // 6 LoPass, Hz
    {&TProcessModule::ParamLowChange, 0.0f},           // 7 Low, dB
    {&TProcessModule::ParamMidChange, 0.0f},           // 8 Mid, dB
    {&TProcessModule::ParamHighChange, 0.0f},          // 9 High, dB
    {&TProcessModule::ParamPresChange, 0.0f},          // 10 Pres, dB
    {&TProcessModule::ParamDryWetChange, 100.0f},      // 11 DryWet, %
    {&TProcessModule::ParamOutputChange, 0.0f},        // 12 Output, dB * 0.1
    {&TProcessModule::ParamPowerChange, 1.0f},         // 13 Power
    {&TProcessModule::ParamStereoChange, 0.0f},        // 14 Stereo
    {&TProcessModule::ParamAsymmetricChange, 0.0f},    // 15 Asymmetric
    {&TProcessModule::ParamOversamplingChange, 1.0f},  // 16 Oversampling, factor
}};

}  // namespace vb
