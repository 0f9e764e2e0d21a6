#pragma once
// The drive module built in-process with its editor on a headless window,
// opened, idled and closed through the effect's dispatcher the way a host
// does it, and a host that records the module's callbacks (amAutomate).
//
//   TWndGuiRig rig;                     // module open, editor not yet
//   rig.Open();                         // effEditOpen: the window shows
//   rig.ClickAt("SwitchOversampling");  // input, then one effEditIdle
//   EXPECT_EQ(rig.Automations(kParamOversampling).size(), 1u);

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/wnd_gui.h"
#include "platform/headless_window.h"
#include "processor/process_module.h"
#include "support/test_host.h"

namespace vb::test {

class TWndGuiRig {
 public:
  // Scale: the editor's device pixels per logical pixel. Every point the
  // rig takes is logical (the layout's); the rig presses the device pixel
  // it scales to.
  explicit TWndGuiRig(TEditorScale Scale = TEditorScale::esOne);
  ~TWndGuiRig();

  // effEditOpen with a made-up parent window; the editor's FormShow runs.
  void Open();
  void Close();
  // From now on effEditGetRect answers from the user's scale settings, as
  // the plug-in's editor class does; the editor still opens at the rig's
  // scale.
  void SizeFromScaleSettings();
  // Destroys the module without effClose, its editor still open, as the
  // library does on unloading with modules the host never closed.
  void DestroyModule() { FModule.reset(); }
  // One effEditIdle (the window's events, timers, pending updates, repaint).
  void Idle();
  // Moves the headless clock past the meter interval and idles.
  void Tick();

  TProcessModule& Module() const { return *FModule; }
  TWndGUI& Editor() const;
  THeadlessWindow& Screen() const;
  TTestHost& Host() { return FHost; }

  // The centre of layout row Name in logical pixels.
  static TPoint CentreOf(std::string_view Name);
  // A logical point's device pixel at the rig's scale.
  TPoint Device(TPoint Logical) const;
  // A click (press and release) at the centre of layout row Name with the
  // given modifier keys held, then one idle. Clicks are spaced so that two
  // never make a double click.
  void ClickAt(std::string_view Name, TShiftState Keys = 0, TMouseButton Button = TMouseButton::mbLeft);
  void ClickAt(TPoint Point, TShiftState Keys = 0, TMouseButton Button = TMouseButton::mbLeft);
  void ClickAtDevice(TPoint Point, TShiftState Keys = 0, TMouseButton Button = TMouseButton::mbLeft);
  void DoubleClickAt(std::string_view Name);
  // Presses at the centre of a knob, moves the pointer Pixels up in one
  // step and idles, then releases and idles.
  void DragUp(std::string_view Name, std::int32_t Pixels);

  // Presses at the centre of a knob and moves the pointer Pixels up, without
  // a release; one idle.
  void PressAndDragUp(std::string_view Name, std::int32_t Pixels);
  // One wheel notch away from the user over the centre of a knob; the turn
  // goes to the control that has the focus (the last one pressed).
  void WheelNotchAt(std::string_view Name);

  // What the host heard of edits, in order: "+Name" for amBeginEdit,
  // "Name" for amAutomate and "-Name" for amEndEdit, by parameter name.
  std::vector<std::string> Edits() const;

  // The normalised values the host heard for Parameter, in order.
  std::vector<float> Automations(std::int32_t Parameter) const;
  std::size_t AutomationCount() const;
  void ClearCalls() { FHost.ClearCalls(); }

 private:
  TTestHost FHost;
  std::unique_ptr<TProcessModule> FModule;
  TEditorScale FScale;
  // The headless window of this rig's open editor.
  THeadlessWindow* FScreen = nullptr;
};

}  // namespace vb::test
