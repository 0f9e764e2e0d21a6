#include "gui/gui_control.h"

#include <algorithm>

#include "gui/gui_window.h"
#include "platform/system_colors.h"

namespace vb {

TGuiControl::TGuiControl(TGuiWindow* Owner) : TGuiComponent(Owner), FColor(Owner ? Owner->Color() : clBtnFace) {}

TGuiControl::~TGuiControl() = default;

void TGuiControl::SetBounds(std::int32_t Left, std::int32_t Top, std::int32_t Width, std::int32_t Height) {
  const TRect bounds{Left, Top, Left + std::max(Width, 0), Top + std::max(Height, 0)};
  if (bounds == FBounds) return;
  const TRect old = FBounds;
  FBounds = bounds;
  if (Owner() != nullptr) Owner()->ControlBoundsChanged(*this, old);
  if (old.Left != bounds.Left || old.Top != bounds.Top) Moved();
  if (old.Width() != bounds.Width() || old.Height() != bounds.Height()) Resized();
}

void TGuiControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (Owner() != nullptr) Owner()->ControlVisibilityChanged(*this);
}

void TGuiControl::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  if (!Value && Owner() != nullptr && Owner()->FocusedControl() == this) Owner()->FocusControl(nullptr);
  Invalidate();
}

void TGuiControl::SetColor(TColor Value) {
  FParentColor = false;
  if (Value == FColor) return;
  FColor = Value;
  ColorChanged();
}

void TGuiControl::SetParentColor(bool Value) {
  if (Value == FParentColor) return;
  FParentColor = Value;
  if (Value) ParentColorChanged();
}

void TGuiControl::ParentColorChanged() {
  if (!FParentColor || Owner() == nullptr || Owner()->Color() == FColor) return;
  FColor = Owner()->Color();
  ColorChanged();
}

void TGuiControl::ColorChanged() { Invalidate(); }

void TGuiControl::Moved() {}

void TGuiControl::Resized() { DoResize(); }

void TGuiControl::DoResize() {
  if (FOnResize) FOnResize(*this);
}

void TGuiControl::Invalidate() {
  if (Owner() != nullptr && FVisible) Owner()->Invalidate(FBounds);
}

bool TGuiControl::Focused() const { return Owner() != nullptr && Owner()->FocusedControl() == this; }

void TGuiControl::SetFocus() {
  if (Owner() != nullptr && CanFocus()) Owner()->FocusControl(this);
}

void TGuiControl::NotifyParentOfChange() {
  if (Owner() != nullptr) Owner()->ControlChanged(*this);
}

bool TGuiControl::HasParent() const { return Owner() != nullptr; }

void TGuiControl::PaintBackdrop(TCanvas& Canvas) {
  if (Owner() != nullptr) Owner()->PaintBackdrop(*this, Canvas);
}

void TGuiControl::MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (FOnMouseDown) FOnMouseDown(*this, Button, Shift, X, Y);
}

void TGuiControl::MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (FOnMouseMove) FOnMouseMove(*this, Shift, X, Y);
}

void TGuiControl::MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (FOnMouseUp) FOnMouseUp(*this, Button, Shift, X, Y);
}

void TGuiControl::CaptureLost() {
  if (FOnCaptureLost) FOnCaptureLost(*this);
}

bool TGuiControl::MouseWheel(TShiftState Shift, std::int32_t WheelDelta, TPoint At) {
  bool handled = false;
  if (FOnMouseWheel) FOnMouseWheel(*this, Shift, WheelDelta, At, handled);
  if (handled) return true;
  if (WheelDelta < 0 && FOnMouseWheelDown) FOnMouseWheelDown(*this, Shift, At, handled);
  if (WheelDelta > 0 && FOnMouseWheelUp) FOnMouseWheelUp(*this, Shift, At, handled);
  return handled;
}

void TGuiControl::Click() {
  if (FOnClick) FOnClick(*this);
}

void TGuiControl::DblClick() {
  if (FOnDblClick) FOnDblClick(*this);
}

void TGuiControl::MouseEnter() {
  if (FOnMouseEnter) FOnMouseEnter(*this);
}

void TGuiControl::MouseLeave() {
  if (FOnMouseLeave) FOnMouseLeave(*this);
}

void TGuiControl::KeyDown(std::int32_t& Key, TShiftState Shift) {
  if (FOnKeyDown) FOnKeyDown(*this, Key, Shift);
}

void TGuiControl::KeyUp(std::int32_t& Key, TShiftState Shift) {
  if (FOnKeyUp) FOnKeyUp(*this, Key, Shift);
}

void TGuiControl::DoEnter() {
  if (FOnEnter) FOnEnter(*this);
}

void TGuiControl::DoExit() {
  if (FOnExit) FOnExit(*this);
}

}  // namespace vb
