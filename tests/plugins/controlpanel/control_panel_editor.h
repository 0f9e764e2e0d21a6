#pragma once
// The "Control Panel" test plug-in's editor: the front panel picture with
// three dials, a switch and a meter made of the GUI controls and the
// editor's artwork, each bound to one parameter. Controls catch up with the
// parameters at every idle (the host may set them from any thread); a
// 100 ms timer shows the "Level" parameter on the meter.

#include <array>
#include <memory>

#include "control_panel_module.h"
#include "editor/gui_editor_form.h"
#include "platform/rect.h"

namespace vb {
class TGuiStitchedDial;
class TGuiStitchedSwitch;
class TGuiStitchedDisplay;
class TVSTModuleWithPrograms;
}  // namespace vb

namespace vb::test {

// Where the controls are, in client pixels.
struct TControlPanelDial {
  TControlPanelParameter Parameter;
  TRect Bounds;
  bool LockCursor;
};
constexpr std::array<TControlPanelDial, 3> kControlPanelDials = {{
    {cpDrive, {173, 8, 233, 68}, false},
    {cpTrim, {227, 8, 287, 68}, false},
    {cpOutput, {645, 44, 705, 104}, true},
}};
constexpr TRect kControlPanelSwitch{450, 110, 470, 150};
constexpr TRect kControlPanelMeter{79, 32, 99, 116};

class TControlPanelEditor : public TGuiEditorForm {
 public:
  // Platform null: the native window.
  TControlPanelEditor(TCustomVSTModule& Owner, std::unique_ptr<TPlatformWindow> Platform);
  ~TControlPanelEditor() override;
  // The editor class's factory (a native window).
  static std::unique_ptr<TVSTEditor> Create(TCustomVSTModule& Owner);

  TGuiStitchedDial& Dial(std::size_t Index) const { return *FDials[Index]; }
  TGuiStitchedSwitch& Switch() const { return *FSwitch; }
  TGuiStitchedDisplay& Meter() const { return *FMeter; }

 protected:
  void ApplyPendingUpdates() override;

 private:
  void Build();
  TVSTModuleWithPrograms& Module() const;

  std::array<TGuiStitchedDial*, kControlPanelDials.size()> FDials{};
  TGuiStitchedSwitch* FSwitch = nullptr;
  TGuiStitchedDisplay* FMeter = nullptr;
};

}  // namespace vb::test
