#include "gui/gui_control.h"

#include <algorithm>

#include "gui/gui_window.h"
#include "platform/system_colors.h"

namespace vb {

TGuiControl::TGuiControl(TGuiWindow* owner) : TGuiComponent(owner), FColor(owner ? owner->Color() : clBtnFace) {}

TGuiControl::~TGuiControl() = default;

void TGuiControl::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  const TRect bounds{left, top, left + std::max(width, 0), top + std::max(height, 0)};
  if (bounds == FBounds) return;
  const TRect old = FBounds;
  FBounds = bounds;
  if (Owner() != nullptr) Owner()->ControlBoundsChanged(*this, old);
  if (old.Left != bounds.Left || old.Top != bounds.Top) Moved();
  if (old.Width() != bounds.Width() || old.Height() != bounds.Height()) Resized();
}

void TGuiControl::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  if (Owner() != nullptr) Owner()->ControlVisibilityChanged(*this);
}

void TGuiControl::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  if (!value && Owner() != nullptr && Owner()->FocusedControl() == this) Owner()->FocusControl(nullptr);
  Invalidate();
}

void TGuiControl::SetColor(TColor value) {
  FParentColor = false;
  if (value == FColor) return;
  FColor = value;
  ColorChanged();
}

void TGuiControl::SetParentColor(bool value) {
  if (value == FParentColor) return;
  FParentColor = value;
  if (value) ParentColorChanged();
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

void TGuiControl::PaintBackdrop(TCanvas& canvas) {
  if (Owner() != nullptr) Owner()->PaintBackdrop(*this, canvas);
}

void TGuiControl::MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) {
  if (FOnMouseDown) FOnMouseDown(*this, button, shift, x, y);
}

void TGuiControl::MouseMove(TShiftState shift, std::int32_t x, std::int32_t y) {
  if (FOnMouseMove) FOnMouseMove(*this, shift, x, y);
}

void TGuiControl::MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) {
  if (FOnMouseUp) FOnMouseUp(*this, button, shift, x, y);
}

void TGuiControl::CaptureLost() {
  if (FOnCaptureLost) FOnCaptureLost(*this);
}

bool TGuiControl::MouseWheel(TShiftState shift, std::int32_t wheelDelta, TPoint at) {
  bool handled = false;
  if (FOnMouseWheel) FOnMouseWheel(*this, shift, wheelDelta, at, handled);
  if (handled) return true;
  if (wheelDelta < 0 && FOnMouseWheelDown) FOnMouseWheelDown(*this, shift, at, handled);
  if (wheelDelta > 0 && FOnMouseWheelUp) FOnMouseWheelUp(*this, shift, at, handled);
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

void TGuiControl::KeyDown(std::int32_t& key, TShiftState shift) {
  if (FOnKeyDown) FOnKeyDown(*this, key, shift);
}

void TGuiControl::KeyUp(std::int32_t& key, TShiftState shift) {
  if (FOnKeyUp) FOnKeyUp(*this, key, shift);
}

void TGuiControl::DoEnter() {
  if (FOnEnter) FOnEnter(*this);
}

void TGuiControl::DoExit() {
  if (FOnExit) FOnExit(*this);
}

}  // namespace vb
