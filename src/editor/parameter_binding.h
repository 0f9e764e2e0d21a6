#pragma once
// One control bound to one parameter, both ways, with the host's touch
// gestures: the only path between the editor's controls and the processor.
//
// Parameter to control: Show brings the control to the parameter's value
// by the row's show rule. The control's change events that this fires are
// the echo; the binding recognises them and writes nothing back, so a
// newer value that another thread stored meanwhile stays. A switch's echo
// is still reported to the host once (a switch the host moved tells it so,
// as the knobs never do).
//
// Control to parameter: a change the user makes is stored and reported
// inside an edit gesture (amBeginEdit .. amEndEdit). A left press on a dial
// opens the gesture and its release closes it, so a drag's reports lie
// between the two; any other change (a wheel notch, a switch click, a
// Control + right click) is one gesture of its own. The gesture also ends
// when the window loses the pointer and when the binding goes with its
// editor, so no gesture is ever left open.
//
// Window thread only.

#include <cstdint>

#include "editor/editor_bindings.h"
#include "processor/drive_editor.h"

namespace vb {

class TGuiCustomStitchedControl;
class TGuiPicture;

class TParameterBinding {
 public:
  // Takes over Control's change, press, release and capture-lost events.
  TParameterBinding(const TEditorBinding& Row, TGuiCustomStitchedControl& Control, IDriveProcessor& Processor);
  ~TParameterBinding();
  TParameterBinding(const TParameterBinding&) = delete;
  TParameterBinding& operator=(const TParameterBinding&) = delete;

  TDriveParameter Parameter() const { return FRow.Parameter; }
  TShowRule Rule() const { return FRow.Rule; }
  // The lamps a Power binding shows (both hidden or shown by Show).
  void SetLamps(TGuiPicture* On, TGuiPicture* Off);

  // Brings the control to the parameter's value.
  void Show();
  // The control's change event: stores what the control now stands for,
  // unless it is the echo of Show. (Public for tests that wrap the event.)
  void ControlChanged();
  // Closes the drag's gesture, if one is open.
  void EndGesture();
  bool GestureOpen() const { return FGestureOpen; }

 private:
  void ShowGlyph(std::int32_t Glyph, float Value);
  // The value the control's state stands for; false when it stands for none.
  bool ControlValue(float& Value) const;
  // The user's change: stored and reported inside a gesture.
  void Store(float Value);
  void Pressed();

  const TEditorBinding& FRow;
  TGuiCustomStitchedControl& FControl;
  IDriveProcessor& FProcessor;
  TGuiPicture* FLampOn = nullptr;
  TGuiPicture* FLampOff = nullptr;
  // The echo guard: set while Show moves the control to FShownValue.
  bool FShowing = false;
  float FShownValue = 0;
  bool FGestureOpen = false;
};

}  // namespace vb
