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
    std::function<void(TGuiControl& sender, TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y)>;
using TMouseMoveEvent = std::function<void(TGuiControl& sender, TShiftState shift, std::int32_t x, std::int32_t y)>;
// Handled starts false; a handler that sets it stops the Up/Down events.
using TMouseWheelEvent =
    std::function<void(TGuiControl& sender, TShiftState shift, std::int32_t wheelDelta, TPoint at, bool& handled)>;
using TMouseWheelUpDownEvent = std::function<void(TGuiControl& sender, TShiftState shift, TPoint at, bool& handled)>;
using TKeyEvent = std::function<void(TGuiControl& sender, std::int32_t& key, TShiftState shift)>;

class TGuiControl : public TGuiComponent, public TControlBackdrop {
 public:
  explicit TGuiControl(TGuiWindow* owner);
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
  void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
  void SetLeft(std::int32_t value) { SetBounds(value, Top(), Width(), Height()); }
  void SetTop(std::int32_t value) { SetBounds(Left(), value, Width(), Height()); }
  void SetWidth(std::int32_t value) { SetBounds(Left(), Top(), value, Height()); }
  void SetHeight(std::int32_t value) { SetBounds(Left(), Top(), Width(), value); }
  void SetSize(std::int32_t width, std::int32_t height) { SetBounds(Left(), Top(), width, height); }

  // --- state ---
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  // Disabled controls receive no mouse or keyboard input.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  // 0x00BBGGRR or a system colour. Setting it turns ParentColor off.
  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  // While on, the control takes the window's colour.
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  const std::string& Hint() const { return FHint; }
  void SetHint(std::string value) { FHint = std::move(value); }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value) { FShowHint = value; }

  // --- painting ---
  // Asks the window to repaint the control's area at its next repaint.
  virtual void Invalidate();
  // Draws the control; Canvas has the control's top-left at (0, 0).
  virtual void Paint(TCanvas& canvas) {}

  // --- focus and notices ---
  virtual bool CanFocus() const { return Windowed() && FVisible && FEnabled; }
  bool Focused() const;
  // Takes the keyboard focus (and with it the mouse wheel).
  void SetFocus();
  // Tells the window that the control's content changed (a value or glyph).
  void NotifyParentOfChange();

  // --- backdrop (what lies behind the control in its window) ---
  bool HasParent() const override;
  void PaintBackdrop(TCanvas& canvas) override;

  // --- input entry points (called by the window; coordinates relative to
  // the control). The defaults fire the matching events. ---
  virtual void MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y);
  virtual void MouseMove(TShiftState shift, std::int32_t x, std::int32_t y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y);
  // Returns whether the wheel was handled: OnMouseWheel, then OnMouseWheelUp
  // or OnMouseWheelDown unless the first one handled it.
  virtual bool MouseWheel(TShiftState shift, std::int32_t wheelDelta, TPoint at);
  virtual void Click();
  virtual void DblClick();
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void KeyDown(std::int32_t& key, TShiftState shift);
  virtual void KeyUp(std::int32_t& key, TShiftState shift);
  virtual void DoEnter();
  virtual void DoExit();
  // The window lost the pointer while this control held it: a press ends
  // without a release.
  virtual void CaptureLost();

  // --- events ---
  void SetOnMouseDown(TMouseEvent handler) { FOnMouseDown = std::move(handler); }
  void SetOnMouseUp(TMouseEvent handler) { FOnMouseUp = std::move(handler); }
  void SetOnMouseMove(TMouseMoveEvent handler) { FOnMouseMove = std::move(handler); }
  void SetOnMouseWheel(TMouseWheelEvent handler) { FOnMouseWheel = std::move(handler); }
  void SetOnMouseWheelUp(TMouseWheelUpDownEvent handler) { FOnMouseWheelUp = std::move(handler); }
  void SetOnMouseWheelDown(TMouseWheelUpDownEvent handler) { FOnMouseWheelDown = std::move(handler); }
  void SetOnClick(TNotifyEvent handler) { FOnClick = std::move(handler); }
  void SetOnDblClick(TNotifyEvent handler) { FOnDblClick = std::move(handler); }
  void SetOnMouseEnter(TNotifyEvent handler) { FOnMouseEnter = std::move(handler); }
  void SetOnMouseLeave(TNotifyEvent handler) { FOnMouseLeave = std::move(handler); }
  void SetOnKeyDown(TKeyEvent handler) { FOnKeyDown = std::move(handler); }
  void SetOnKeyUp(TKeyEvent handler) { FOnKeyUp = std::move(handler); }
  void SetOnEnter(TNotifyEvent handler) { FOnEnter = std::move(handler); }
  void SetOnExit(TNotifyEvent handler) { FOnExit = std::move(handler); }
  void SetOnResize(TNotifyEvent handler) { FOnResize = std::move(handler); }
  void SetOnCaptureLost(TNotifyEvent handler) { FOnCaptureLost = std::move(handler); }

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
