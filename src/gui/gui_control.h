#pragma once
// A visual component of a GUI window: bounds in the window's client pixels,
// visibility, enabling, colour, hint, painting and mouse and keyboard input.
//
// Windowed controls (Windowed() true: dials, switches, displays) lie above
// every windowless control (labels, pictures), which are drawn on the
// window's surface in creation order. The window calls Paint with a canvas
// whose (0, 0) is the control's top-left corner, clipped to the part to be
// repainted, and routes input to the MouseDown ... KeyUp entry points with
// coordinates relative to the control.
//
// Used from the thread that owns the window only.

#include <cstdint>
#include <functional>
#include <string>

#include "gui/gui_component.h"
#include "platform/canvas.h"
#include "platform/platform_window.h"
#include "platform/rect.h"

namespace vb {

class TGuiControl;

using TMouseEvent =
    std::function<void(TGuiControl& Sender, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y)>;
using TMouseMoveEvent = std::function<void(TGuiControl& Sender, TShiftState Shift, std::int32_t X, std::int32_t Y)>;
// Handled starts false; a handler that sets it stops the Up/Down events.
using TMouseWheelEvent =
    std::function<void(TGuiControl& Sender, TShiftState Shift, std::int32_t WheelDelta, TPoint At, bool& Handled)>;
using TMouseWheelUpDownEvent = std::function<void(TGuiControl& Sender, TShiftState Shift, TPoint At, bool& Handled)>;
using TKeyEvent = std::function<void(TGuiControl& Sender, std::int32_t& Key, TShiftState Shift)>;

class TGuiControl : public TGuiComponent, public TControlBackdrop {
 public:
  explicit TGuiControl(TGuiWindow* Owner);
  ~TGuiControl() override;

  // --- kind ---
  // True for controls with a native-like window of their own (drawn above
  // all windowless ones, can take the keyboard focus).
  virtual bool Windowed() const { return false; }

  // --- bounds (window client pixels) ---
  std::int32_t Left() const { return FBounds.Left; }
  std::int32_t Top() const { return FBounds.Top; }
  std::int32_t Width() const { return FBounds.Width(); }
  std::int32_t Height() const { return FBounds.Height(); }
  TRect BoundsRect() const { return FBounds; }
  TRect ClientRect() const { return TRect{0, 0, Width(), Height()}; }
  // Negative sizes become 0. A move runs Moved, a size change Resized.
  void SetBounds(std::int32_t Left, std::int32_t Top, std::int32_t Width, std::int32_t Height);
  void SetLeft(std::int32_t Value) { SetBounds(Value, Top(), Width(), Height()); }
  void SetTop(std::int32_t Value) { SetBounds(Left(), Value, Width(), Height()); }
  void SetWidth(std::int32_t Value) { SetBounds(Left(), Top(), Value, Height()); }
  void SetHeight(std::int32_t Value) { SetBounds(Left(), Top(), Width(), Value); }
  void SetSize(std::int32_t Width, std::int32_t Height) { SetBounds(Left(), Top(), Width, Height); }

  // --- state ---
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // Disabled controls receive no mouse or keyboard input.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // 0x00BBGGRR or a system colour. Setting it turns ParentColor off.
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  // While on, the control takes the window's colour.
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(std::string Value) { FHint = std::move(Value); }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value) { FShowHint = Value; }

  // --- painting ---
  // Asks the window to repaint the control's area at its next repaint.
  virtual void Invalidate();
  // Draws the control; Canvas has the control's top-left at (0, 0).
  virtual void Paint(TCanvas& Canvas) {}

  // --- focus and notices ---
  virtual bool CanFocus() const { return Windowed() && FVisible && FEnabled; }
  bool Focused() const;
  // Takes the keyboard focus (and with it the mouse wheel).
  void SetFocus();
  // Tells the window that the control's content changed (a value or glyph).
  void NotifyParentOfChange();

  // --- backdrop (what lies behind the control in its window) ---
  bool HasParent() const override;
  void PaintBackdrop(TCanvas& Canvas) override;

  // --- input entry points (called by the window; coordinates relative to
  // the control). The defaults fire the matching events. ---
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  // Returns whether the wheel was handled: OnMouseWheel, then OnMouseWheelUp
  // or OnMouseWheelDown unless the first one handled it.
  virtual bool MouseWheel(TShiftState Shift, std::int32_t WheelDelta, TPoint At);
  virtual void Click();
  virtual void DblClick();
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void KeyDown(std::int32_t& Key, TShiftState Shift);
  virtual void KeyUp(std::int32_t& Key, TShiftState Shift);
  virtual void DoEnter();
  virtual void DoExit();
  // The window lost the pointer while this control held it: a press ends
  // without a release.
  virtual void CaptureLost();

  // --- events ---
  void SetOnMouseDown(TMouseEvent Handler) { FOnMouseDown = std::move(Handler); }
  void SetOnMouseUp(TMouseEvent Handler) { FOnMouseUp = std::move(Handler); }
  void SetOnMouseMove(TMouseMoveEvent Handler) { FOnMouseMove = std::move(Handler); }
  void SetOnMouseWheel(TMouseWheelEvent Handler) { FOnMouseWheel = std::move(Handler); }
  void SetOnMouseWheelUp(TMouseWheelUpDownEvent Handler) { FOnMouseWheelUp = std::move(Handler); }
  void SetOnMouseWheelDown(TMouseWheelUpDownEvent Handler) { FOnMouseWheelDown = std::move(Handler); }
  void SetOnClick(TNotifyEvent Handler) { FOnClick = std::move(Handler); }
  void SetOnDblClick(TNotifyEvent Handler) { FOnDblClick = std::move(Handler); }
  void SetOnMouseEnter(TNotifyEvent Handler) { FOnMouseEnter = std::move(Handler); }
  void SetOnMouseLeave(TNotifyEvent Handler) { FOnMouseLeave = std::move(Handler); }
  void SetOnKeyDown(TKeyEvent Handler) { FOnKeyDown = std::move(Handler); }
  void SetOnKeyUp(TKeyEvent Handler) { FOnKeyUp = std::move(Handler); }
  void SetOnEnter(TNotifyEvent Handler) { FOnEnter = std::move(Handler); }
  void SetOnExit(TNotifyEvent Handler) { FOnExit = std::move(Handler); }
  void SetOnResize(TNotifyEvent Handler) { FOnResize = std::move(Handler); }
  void SetOnCaptureLost(TNotifyEvent Handler) { FOnCaptureLost = std::move(Handler); }

  // --- notices from the window ---
  // The window's colour changed.
  virtual void ParentColorChanged();
  // What lies behind the control changed (a windowless control beneath it
  // moved, appeared or vanished).
  virtual void BackdropChanged() {}

 protected:
  // Reactions to property changes (run after the new value is stored).
  virtual void ColorChanged();
  virtual void Moved();
  virtual void Resized();
  void DoResize();

 private:
  TRect FBounds;
  TColor FColor;
  std::string FHint;
  bool FVisible = true;
  bool FEnabled = true;
  bool FParentColor = true;
  bool FShowHint = false;

  TMouseEvent FOnMouseDown;
  TMouseEvent FOnMouseUp;
  TMouseMoveEvent FOnMouseMove;
  TMouseWheelEvent FOnMouseWheel;
  TMouseWheelUpDownEvent FOnMouseWheelUp;
  TMouseWheelUpDownEvent FOnMouseWheelDown;
  TNotifyEvent FOnClick;
  TNotifyEvent FOnDblClick;
  TNotifyEvent FOnMouseEnter;
  TNotifyEvent FOnMouseLeave;
  TKeyEvent FOnKeyDown;
  TKeyEvent FOnKeyUp;
  TNotifyEvent FOnEnter;
  TNotifyEvent FOnExit;
  TNotifyEvent FOnResize;
  TNotifyEvent FOnCaptureLost;
};

}  // namespace vb
