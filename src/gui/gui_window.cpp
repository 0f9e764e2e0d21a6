#include "gui/gui_window.h"

#include <algorithm>

#include "gui/gui_control.h"
#include "gui/gui_timer.h"
#include "image/gui_custom_pixel_map.h"
#include "platform/system_colors.h"

namespace vb {

namespace {

TPoint Relative(TPoint point, const TGuiControl& control) {
  return TPoint{point.X - control.Left(), point.Y - control.Top()};
}

bool Inside(TPoint point, const TRect& rect) {
  return point.X >= rect.Left && point.X < rect.Right && point.Y >= rect.Top && point.Y < rect.Bottom;
}

// Keeps the event being handled visible to KeyboardState, also when a
// handler throws.
class TCurrentEvent {
 public:
  TCurrentEvent(const TPlatformEvent*& slot, const TPlatformEvent& event) : FSlot(slot), FOld(slot) { slot = &event; }
  ~TCurrentEvent() { FSlot = FOld; }
  TCurrentEvent(const TCurrentEvent&) = delete;
  TCurrentEvent& operator=(const TCurrentEvent&) = delete;

 private:
  const TPlatformEvent*& FSlot;
  const TPlatformEvent* FOld;
};

}  // namespace

TGuiWindow::TGuiWindow(std::unique_ptr<TPlatformWindow> platform) : FPlatform(std::move(platform)), FColor(clBtnFace) {
  FPlatform->SetListener(this);
  FCompositor.SetOverlay([this](TGuiPixelMapMemory& frame, const TRect& area) {
    if (FHint && FHint->Visible()) FHint->PaintTo(frame, area);
  });
}

TGuiWindow::~TGuiWindow() {
  FDestroying = true;
  FPlatform->SetListener(nullptr);
  if (FPointerHidden) FPlatform->SetPointerHidden(false);
  if (FCaptured != nullptr) FPlatform->SetCapture(false);
  FFocused = FCaptured = FHovered = FClickCandidate = FHintControl = nullptr;
  for (auto& component : FComponents) component->BeginDestroy();
  // Last created first: lists unlink the controls still linked to them.
  while (!FComponents.empty()) {
    std::unique_ptr<TGuiComponent> last = std::move(FComponents.back());
    FComponents.pop_back();
    if (auto* control = dynamic_cast<TGuiControl*>(last.get())) std::erase(FControls, control);
    if (auto* timer = dynamic_cast<TGuiTimer*>(last.get())) std::erase(FTimers, timer);
    last.reset();
  }
}

// --- components --------------------------------------------------------------------

void TGuiWindow::Insert(std::unique_ptr<TGuiComponent> component) {
  if (FLoading) component->BeginLoading();
  if (auto* control = dynamic_cast<TGuiControl*>(component.get())) {
    FControls.push_back(control);
    if (control->Visible()) FCompositor.Invalidate(control->BoundsRect());
  }
  if (auto* timer = dynamic_cast<TGuiTimer*>(component.get())) FTimers.push_back(timer);
  FComponents.push_back(std::move(component));
}

TGuiComponent* TGuiWindow::FindComponent(const std::string& name) const {
  for (const auto& component : FComponents)
    if (component->Name() == name) return component.get();
  return nullptr;
}

void TGuiWindow::BeginLoading() {
  FLoading = true;
  for (auto& component : FComponents) component->BeginLoading();
}

void TGuiWindow::EndLoading() {
  FLoading = false;
  // Loaded may create nothing, but index in case it does.
  for (std::size_t i = 0; i < FComponents.size(); ++i)
    if (FComponents[i]->Loading()) FComponents[i]->Loaded();
  FCompositor.InvalidateAll();
}

// --- the window itself ---------------------------------------------------------------

void TGuiWindow::SetClientSize(std::int32_t width, std::int32_t height) {
  if (width == ClientWidth() && height == ClientHeight()) return;
  FCompositor.SetSize(width, height);
  FPlatform->SetSize(width, height);
}

void TGuiWindow::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  FCompositor.InvalidateAll();
  for (TGuiControl* control : FControls) control->ParentColorChanged();
}

void TGuiWindow::Show() {
  if (FPlatform->Visible()) return;
  FPlatform->Show();
  if (FOnShow) FOnShow();
  FCompositor.InvalidateAll();
  Repaint();
}

void TGuiWindow::Hide() { FPlatform->Hide(); }

// --- painting ----------------------------------------------------------------------

void TGuiWindow::Present(const TRect& area) { FPlatform->Present(FCompositor.FrameView(), area); }

void TGuiWindow::Repaint() {
  if (!FCompositor.HasDirty()) return;
  FCompositor.Compose(FColor, FControls, [this](const TRect& area) { Present(area); });
}

void TGuiWindow::CaptureFrame(TGuiCustomPixelMap& dest) {
  Repaint();
  dest.Assign(FCompositor.FrameView());
}

void TGuiWindow::PaintBackdrop(const TGuiControl& control, TCanvas& canvas) {
  FCompositor.PaintBackdrop(FColor, FControls, control, canvas);
}

// --- pumping -----------------------------------------------------------------------

void TGuiWindow::Idle() {
  FPlatform->Idle();
  const std::uint64_t now = FPlatform->NowMilliseconds();
  // A timer handler may add or remove nothing here, but index to be safe.
  for (std::size_t i = 0; i < FTimers.size(); ++i) FTimers[i]->Tick(now);
  UpdateHint(now);
  Repaint();
}

bool TGuiWindow::HintVisible() const { return FHint && FHint->Visible(); }

TRect TGuiWindow::HintBounds() const { return HintVisible() ? FHint->Bounds() : TRect{}; }

void TGuiWindow::UpdateHint(std::uint64_t nowMs) {
  const bool wanted = FHovered != nullptr && FHovered->ShowHint() && !FHovered->Hint().empty() &&
                      FCaptured == nullptr && FPlatform->Visible();
  if (HintVisible()) {
    if (!wanted || FHintControl != FHovered || nowMs - FHintShownAt >= TGuiHint::kShowTimeMs) {
      HideHint();
      FHintDone = true;
    }
    return;
  }
  if (!wanted || FHintDone || nowMs - FHoverSince < TGuiHint::kShowDelayMs) return;
  if (!FHint) FHint = std::make_unique<TGuiHint>(nullptr, FScaleHalves);
  FCompositor.Invalidate(FHint->Show(FHovered->Hint(), FPointer, ClientWidth(), ClientHeight()));
  FHintControl = FHovered;
  FHintShownAt = nowMs;
}

void TGuiWindow::HideHint() {
  FHintControl = nullptr;
  if (!HintVisible()) return;
  FCompositor.Invalidate(FHint->Bounds());
  FHint->Hide();
}

// --- input -------------------------------------------------------------------------

TShiftState TGuiWindow::KeyboardState() const {
  return FCurrentEvent != nullptr ? FCurrentEvent->Shift : FPlatform->KeyboardState();
}

void TGuiWindow::FocusControl(TGuiControl* control) {
  if (control == FFocused) return;
  TGuiControl* old = FFocused;
  FFocused = control;
  if (old != nullptr) old->DoExit();
  if (control != nullptr) control->DoEnter();
}

TGuiControl* TGuiWindow::ControlAt(TPoint point) const {
  // A disabled control swallows the pointer rather than passing it below.
  auto hit = [&](bool windowed, bool& found) -> TGuiControl* {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
      TGuiControl* c = *it;
      if (c->Windowed() != windowed || !c->Visible() || !Inside(point, c->BoundsRect())) continue;
      found = true;
      return c->Enabled() ? c : nullptr;
    }
    return nullptr;
  };
  bool found = false;
  TGuiControl* windowed = hit(true, found);
  return found ? windowed : hit(false, found);
}

void TGuiWindow::SetPointerHidden(bool hidden) {
  if (hidden == FPointerHidden) return;
  FPointerHidden = hidden;
  FPlatform->SetPointerHidden(hidden);
}

std::string TGuiWindow::ActiveHint() const {
  return FHovered != nullptr && FHovered->ShowHint() ? FHovered->Hint() : std::string();
}

void TGuiWindow::OnPlatformEvent(const TPlatformEvent& event) {
  if (FDestroying) return;
  TCurrentEvent current(FCurrentEvent, event);
  switch (event.Kind) {
    case TPlatformEventKind::pekMouseDown:
      MouseDown(event);
      break;
    case TPlatformEventKind::pekMouseUp:
      MouseUp(event);
      break;
    case TPlatformEventKind::pekMouseMove:
      MouseMove(event);
      break;
    case TPlatformEventKind::pekMouseWheel:
      MouseWheel(event);
      break;
    case TPlatformEventKind::pekMouseLeave:
      if (FCaptured == nullptr) UpdateHover(nullptr);
      break;
    case TPlatformEventKind::pekKeyDown:
    case TPlatformEventKind::pekKeyUp:
      Key(event);
      break;
    case TPlatformEventKind::pekExpose:
      Repaint();
      Present(event.Area);
      break;
    case TPlatformEventKind::pekCaptureLost:
      CaptureLost();
      break;
    case TPlatformEventKind::pekScaleChanged:
      if (FOnScaleChanged) FOnScaleChanged();
      break;
    case TPlatformEventKind::pekTimer:
      if (FOnPulse)
        FOnPulse();
      else
        Idle();
      break;
  }
}

void TGuiWindow::MouseDown(const TPlatformEvent& event) {
  HideHint();
  FHintDone = true;
  TGuiControl* target = FCaptured != nullptr ? FCaptured : ControlAt(event.Position);
  FButtonsDown |= ButtonShift(event.Button);
  if (target == nullptr) return;
  UpdateHover(target);
  if (FCaptured == nullptr) {
    FCaptured = target;
    FPlatform->SetCapture(true);
  }
  const bool left = event.Button == TMouseButton::mbLeft;
  if (left && target->CanFocus()) FocusControl(target);
  const bool isDouble = (event.Shift & ssDouble) != 0;
  // A click is a left press and release on the same control; the second
  // press of a double click makes a double click instead.
  if (left) FClickCandidate = isDouble ? nullptr : target;
  if (left && isDouble) target->DblClick();
  // DblClick may have hidden or destroyed nothing we own; the target stays.
  const TPoint at = Relative(event.Position, *target);
  target->MouseDown(event.Button, event.Shift, at.X, at.Y);
}

void TGuiWindow::MouseUp(const TPlatformEvent& event) {
  FButtonsDown &= ~ButtonShift(event.Button);
  TGuiControl* target = FCaptured != nullptr ? FCaptured : ControlAt(event.Position);
  if (target != nullptr) {
    const TPoint at = Relative(event.Position, *target);
    target->MouseUp(event.Button, event.Shift, at.X, at.Y);
    if (event.Button == TMouseButton::mbLeft && FClickCandidate == target &&
        Inside(event.Position, target->BoundsRect()))
      target->Click();
  }
  if (event.Button == TMouseButton::mbLeft) FClickCandidate = nullptr;
  if (FButtonsDown == 0) ReleaseCapture();
  if (FCaptured == nullptr) UpdateHover(ControlAt(event.Position));
}

void TGuiWindow::MouseMove(const TPlatformEvent& event) {
  FPointer = event.Position;
  if (FCaptured == nullptr) UpdateHover(ControlAt(event.Position));
  TGuiControl* target = FCaptured != nullptr ? FCaptured : FHovered;
  if (target == nullptr) return;
  const TPoint at = Relative(event.Position, *target);
  target->MouseMove(event.Shift, at.X, at.Y);
}

void TGuiWindow::MouseWheel(const TPlatformEvent& event) {
  TGuiControl* target = FFocused;
  if (target == nullptr || !target->Visible() || !target->Enabled()) return;
  target->MouseWheel(event.Shift, event.WheelDelta, Relative(event.Position, *target));
}

void TGuiWindow::Key(const TPlatformEvent& event) {
  if (FFocused == nullptr) return;
  std::int32_t key = event.Key;
  if (event.Kind == TPlatformEventKind::pekKeyDown)
    FFocused->KeyDown(key, event.Shift);
  else
    FFocused->KeyUp(key, event.Shift);
}

void TGuiWindow::UpdateHover(TGuiControl* control) {
  if (control == FHovered) return;
  TGuiControl* old = FHovered;
  FHovered = control;
  FHoverSince = FPlatform->NowMilliseconds();
  FHintDone = false;
  HideHint();
  if (old != nullptr) old->MouseLeave();
  if (control != nullptr) control->MouseEnter();
}

void TGuiWindow::CaptureLost() {
  TGuiControl* captured = FCaptured;
  FButtonsDown = 0;
  FClickCandidate = nullptr;
  ReleaseCapture();
  if (captured != nullptr) captured->CaptureLost();
}

void TGuiWindow::ReleaseCapture() {
  if (FCaptured == nullptr) return;
  FCaptured = nullptr;
  FPlatform->SetCapture(false);
}

// --- notices from controls -------------------------------------------------------------

void TGuiWindow::ControlChanged(TGuiControl& control) {
  if (FOnControlChange && !FDestroying) FOnControlChange(control);
}

void TGuiWindow::ControlBoundsChanged(TGuiControl& control, const TRect& oldBounds) {
  if (!control.Visible()) return;
  FCompositor.Invalidate(oldBounds);
  FCompositor.Invalidate(control.BoundsRect());
  if (!control.Windowed()) {
    RefreshBackdropsAbove(control, oldBounds);
    RefreshBackdropsAbove(control, control.BoundsRect());
  }
}

void TGuiWindow::ControlVisibilityChanged(TGuiControl& control) {
  FCompositor.Invalidate(control.BoundsRect());
  if (!control.Windowed()) RefreshBackdropsAbove(control, control.BoundsRect());
  if (control.Visible()) return;
  if (FFocused == &control) FocusControl(nullptr);
  if (FHovered == &control) UpdateHover(nullptr);
  if (FHintControl == &control) HideHint();
  if (FCaptured == &control) ReleaseCapture();
  if (FClickCandidate == &control) FClickCandidate = nullptr;
}

void TGuiWindow::RefreshBackdropsAbove(const TGuiControl& control, const TRect& area) {
  if (area.IsEmpty()) return;
  bool above = false;
  for (TGuiControl* c : FControls) {
    if (c == &control) {
      above = true;
      continue;
    }
    // Windowed controls lie above every windowless one.
    if ((above || c->Windowed()) && Intersects(c->BoundsRect(), area)) c->BackdropChanged();
  }
}

}  // namespace vb
