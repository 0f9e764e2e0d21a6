#pragma once
// Which control shows which parameter, and how: one row per parameter, the
// one table that binds the editor's controls (layout rows, by name) to the
// processor's parameters. The window makes one TParameterBinding per row;
// the artwork draws each dial at its parameter's default through it. A
// dial's range is its parameter's (kDriveParameterRanges), never restated.

#include <cstdint>
#include <string_view>

#include "editor/editor_layout.h"
#include "processor/drive_parameter.h"

namespace vb {

// How a control shows its parameter's value, and which value its own
// state stands for when the user moves it.
enum class TShowRule : std::uint8_t {
  srDial,          // a knob at the value, over the parameter's range
  srSwitch,        // glyph = value rounded to the nearest whole number, ties to even; glyph 1 sets 1, others 0
  srPower,         // as srSwitch; the lamp shows on exactly while the value is 1
  srOversampling,  // glyph 0, 1, 2 for the factor 1, 8, 16 the resamplers run at, and sets that factor
};

struct TEditorBinding {
  const char* Control;  // a layout row's Name
  TDriveParameter Parameter;
  TShowRule Rule;
};

// Parameter order.
inline constexpr TEditorBinding kEditorBindings[] = {
    {"DialInput", kParamInput, TShowRule::srDial},
    {"DialDrive", kParamDrive, TShowRule::srDial},
    {"DialTrim", kParamTrim, TShowRule::srDial},
    {"DialCurveForm", kParamCurveForm, TShowRule::srDial},
    {"DialHiPass", kParamHiPass, TShowRule::srDial},
    {"DialFreq", kParamFreq, TShowRule::srDial},
    {"DialLoPass", kParamLoPass, TShowRule::srDial},
    {"DialLow", kParamLow, TShowRule::srDial},
    {"DialMid", kParamMid, TShowRule::srDial},
    {"DialHigh", kParamHigh, TShowRule::srDial},
    {"DialPres", kParamPres, TShowRule::srDial},
    {"DialDryWet", kParamDryWet, TShowRule::srDial},
    {"DialOutput", kParamOutput, TShowRule::srDial},
    {"SwitchPower", kParamPower, TShowRule::srPower},
    {"SwitchStereo", kParamStereo, TShowRule::srSwitch},
    {"SwitchAsymmetric", kParamAsymmetric, TShowRule::srSwitch},
    {"SwitchOversampling", kParamOversampling, TShowRule::srOversampling},
};

// The row binding the control of that name (null: the control shows no
// parameter).
constexpr const TEditorBinding* FindEditorBinding(std::string_view Control) {
  for (const TEditorBinding& binding : kEditorBindings)
    if (Control == binding.Control) return &binding;
  return nullptr;
}

namespace binding {

constexpr bool RowsInParameterOrder() {
  std::int32_t p = 0;
  for (const TEditorBinding& binding : kEditorBindings)
    if (binding.Parameter != p++) return false;
  return p == kParamCount;
}

// Each row names one parameter control of the layout whose kind fits its
// rule, and every parameter control of the layout has one row. (No pointer
// tests: sanitizer builds cannot evaluate them at compile time.)
constexpr bool RowFitsControl(const TEditorBinding& Binding, const TEditorControlSpec& Spec) {
  if (Spec.Role != TEditorRole::erParameter) return false;
  const bool dial = Spec.Kind == TEditorControlKind::eckDial;
  if (dial != (Binding.Rule == TShowRule::srDial)) return false;
  return dial || Spec.Kind == TEditorControlKind::eckSwitch;
}

constexpr bool RowsNameFittingControls() {
  for (const TEditorBinding& binding : kEditorBindings) {
    int named = 0;
    for (const TEditorControlSpec& spec : kEditorLayout) {
      if (std::string_view(binding.Control) != spec.Name) continue;
      if (!RowFitsControl(binding, spec)) return false;
      ++named;
    }
    if (named != 1) return false;
  }
  for (const TEditorControlSpec& spec : kEditorLayout) {
    if (spec.Role != TEditorRole::erParameter) continue;
    int rows = 0;
    for (const TEditorBinding& binding : kEditorBindings) rows += std::string_view(binding.Control) == spec.Name;
    if (rows != 1) return false;
  }
  return true;
}

static_assert(RowsInParameterOrder());
static_assert(RowsNameFittingControls());

}  // namespace binding

}  // namespace vb
