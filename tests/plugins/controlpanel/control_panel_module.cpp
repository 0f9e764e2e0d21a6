#include "control_panel_module.h"

#include <iterator>

#include "control_panel_editor.h"
#include "params/parameters_description.h"

namespace vb::test {

namespace {

constexpr TVstParameterPropertiesFlags kSwitch = 1u << ppfParameterIsSwitch;

// Index = TControlPanelParameter.
constexpr TParameterPropertyDescription kParameters[] = {
    {.DisplayName = "Drive", .Units = "%", .Min = 0, .Max = 100},
    {.DisplayName = "Trim", .Units = "%", .Min = 0, .Max = 100},
    {.DisplayName = "Output", .Units = "dB *0,1", .Min = -100, .Max = 100},
    {.DisplayName = "Stereo", .Units = "On/Off", .Min = 0, .Max = 1, .Flags = kSwitch},
    {.DisplayName = "Level", .Units = "", .Min = 0, .Max = 74},
};
static_assert(std::size(kParameters) == cpParameterCount);

constexpr TProgramDescription kPrograms[] = {{.DisplayName = ""}};
constexpr const char* kCategories[] = {"Panel"};
const TParametersDescription kParametersDescription{kCategories, kPrograms, kParameters};

const TVSTModuleDescription kDescription = {
    .EffectName = "Control Panel",
    .VendorName = "Vorda Tests",
    .UniqueID = {'C', 'P', 'n', 'l'},
    .PlugCategory = vpcEffect,
    .CanDos = CanDoBit(vcd2in2out),
    .Flags = static_cast<TEffFlags>(EffFlagBit(effFlagsHasEditor) | EffFlagBit(effFlagsCanReplacing) |
                                    EffFlagBit(effFlagsCanDoubleReplacing)),
    .Parameters = &kParametersDescription,
};

template <typename T>
void PassThrough(TCustomVSTModule& Sender, T** Inputs, T** Outputs, std::uint32_t Frames) {
  for (std::int32_t c = 0; c < Sender.numOutputs(); ++c)
    for (std::uint32_t i = 0; i < Frames; ++i) Outputs[c][i] = Inputs[c][i];
}

}  // namespace

const TVSTModuleDescription* TControlPanelModule::StoredDescription() const { return &kDescription; }

void TControlPanelModule::BindDescriptionEvents() {
  OnCreate = [](TCustomVSTModule& Sender) {
    auto& self = static_cast<TControlPanelModule&>(Sender);
    self.SetOnProcess32Replacing(&PassThrough<float>);
    self.SetOnProcess64Replacing(&PassThrough<double>);
    self.SetEditorFormClass({&TControlPanelEditor::Create, kControlPanelWidth, kControlPanelHeight});
  };
}

}  // namespace vb::test
