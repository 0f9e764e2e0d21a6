#pragma once
// The switch steps through the glyphs of its strip on mouse presses: left
// forward, right backward, both wrapping; middle does nothing. The display
// shows whatever glyph its owner sets. Without a strip the switch shows green
// for glyph 0 and red otherwise, the display its colour.
//
// Used from the thread that owns the window only.

#include "gui/gui_stitched_control.h"

namespace vb {

class TCustomGuiStitchedSwitch : public TGuiCustomStitchedControl {
 public:
  using TGuiCustomStitchedControl::TGuiCustomStitchedControl;

  // Presses do not step (assignments to GlyphIndex still do).
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }

  // Every press steps, also the second press of a double click.
  void MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) override;

 protected:
  void UpdateBuffer() override;

 private:
  bool FReadOnly = false;
};

class TGuiStitchedSwitch : public TCustomGuiStitchedSwitch {
 public:
  using TCustomGuiStitchedSwitch::TCustomGuiStitchedSwitch;
};

class TCustomGuiStitchedDisplay : public TGuiCustomStitchedControl {
 public:
  using TGuiCustomStitchedControl::TGuiCustomStitchedControl;

 protected:
  void UpdateBuffer() override;
};

class TGuiStitchedDisplay : public TCustomGuiStitchedDisplay {
 public:
  using TCustomGuiStitchedDisplay::TCustomGuiStitchedDisplay;
};

}  // namespace vb
