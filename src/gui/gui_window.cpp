#include "gui/gui_window.h"

#include <algorithm>

#include "gui/gui_control.h"
#include "gui/gui_timer.h"
#include "image/gui_custom_pixel_map.h"
#include "platform/system_colors.h"

namespace vb {

namespace {

TPoint Relative(TPoint Point, const TGuiControl& Control) {
  return TPoint{Point.X - Control.Left(), Point.Y - Control.Top()};
}

bool Inside(TPoint Point, const TRect& Rect) {
  return Point.X >= Rect.Left && Point.X < Rect.Right && Point.Y >= Rect.Top && Point.Y < Rect.Bottom;
}

// Keeps the event being handled visible to KeyboardState, also when a
// handler throws.
class TCurrentEvent {
 public:
  TCurrentEvent(const TPlatformEvent*& Slot, const TPlatformEvent& Event) : FSlot(Slot), FOld(Slot) { Slot = &Event; }
  ~TCurrentEvent() { FSlot = FOld; }
  TCurrentEvent(const TCurrentEvent&) = delete;
  TCurrentEvent& operator=(const TCurrentEvent&) = delete;

 private:
  const TPlatformEvent*& FSlot;
  const TPlatformEvent* FOld;
};

}  // namespace

TGuiWindow::TGuiWindow(std::unique_ptr<TPlatformWindow> Platform) : FPlatform(std::move(Platform)), FColor(clBtnFace) {
  FPlatform->SetListener(this);
  FCompositor.SetOverlay([this](TGuiPixelMapMemory& Frame, const TRect& Area) {
    if (FHint && FHint->Visible()) FHint->PaintTo(Frame, Area);
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

void TGuiWindow::Insert(std::unique_ptr<TGuiComponent> Component) {
  if (FLoading) Component->BeginLoading();
  if (auto* control = dynamic_cast<TGuiControl*>(Component.get())) {
    FControls.push_back(control);
    if (control->Visible()) FCompositor.Invalidate(control->BoundsRect());
  }
  if (auto* timer = dynamic_cast<TGuiTimer*>(Component.get())) FTimers.push_back(timer);
  FComponents.push_back(std::move(Component));
}

TGuiComponent* TGuiWindow::FindComponent(const std::string& Name) const {
  for (const auto& component : FComponents)
    if (component->Name() == Name) return component.get();
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

void TGuiWindow::SetClientSize(std::int32_t Width, std::int32_t Height) {
  if (Width == ClientWidth() && Height == ClientHeight()) return;
  FCompositor.SetSize(Width, Height);
  FPlatform->SetSize(Width, Height);
}

void TGuiWindow::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
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

void TGuiWindow::Present(const TRect& Area) { FPlatform->Present(FCompositor.FrameView(), Area); }

void TGuiWindow::Repaint() {
  if (!FCompositor.HasDirty()) return;
  FCompositor.Compose(FColor, FControls, [this](const TRect& Area) { Present(Area); });
}

void TGuiWindow::CaptureFrame(TGuiCustomPixelMap& Dest) {
  Repaint();
  Dest.Assign(FCompositor.FrameView());
}

void TGuiWindow::PaintBackdrop(const TGuiControl& Control, TCanvas& Canvas) {
  FCompositor.PaintBackdrop(FColor, FControls, Control, Canvas);
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

void TGuiWindow::UpdateHint(std::uint64_t NowMs) {
  const bool wanted = FHovered != nullptr && FHovered->ShowHint() && !FHovered->Hint().empty() &&
                      FCaptured == nullptr && FPlatform->Visible();
  if (HintVisible()) {
    if (!wanted || FHintControl != FHovered || NowMs - FHintShownAt >= TGuiHint::kShowTimeMs) {
      HideHint();
      FHintDone = true;
    }
    return;
  }
  if (!wanted || FHintDone || NowMs - FHoverSince < TGuiHint::kShowDelayMs) return;
  if (!FHint) FHint = std::make_unique<TGuiHint>(nullptr, FScaleHalves);
  FCompositor.Invalidate(FHint->Show(FHovered->Hint(), FPointer, ClientWidth(), ClientHeight()));
  FHintControl = FHovered;
  FHintShownAt = NowMs;
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

void TGuiWindow::FocusControl(TGuiControl* Control) {
  if (Control == FFocused) return;
  TGuiControl* old = FFocused;
  FFocused = Control;
  if (old != nullptr) old->DoExit();
  if (Control != nullptr) Control->DoEnter();
}

TGuiControl* TGuiWindow::ControlAt(TPoint Point) const {
  // A disabled control swallows the pointer rather than passing it below.
  auto hit = [&](bool Windowed, bool& Found) -> TGuiControl* {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
      TGuiControl* c = *it;
      if (c->Windowed() != Windowed || !c->Visible() || !Inside(Point, c->BoundsRect())) continue;
      Found = true;
      return c->Enabled() ? c : nullptr;
    }
    return nullptr;
  };
  bool found = false;
  TGuiControl* windowed = hit(true, found);
  return found ? windowed : hit(false, found);
}

void TGuiWindow::SetPointerHidden(bool Hidden) {
  if (Hidden == FPointerHidden) return;
  FPointerHidden = Hidden;
  FPlatform->SetPointerHidden(Hidden);
}

std::string TGuiWindow::ActiveHint() const {
  return FHovered != nullptr && FHovered->ShowHint() ? FHovered->Hint() : std::string();
}

void TGuiWindow::OnPlatformEvent(const TPlatformEvent& Event) {
  if (FDestroying) return;
  TCurrentEvent current(FCurrentEvent, Event);
  switch (Event.Kind) {
    case TPlatformEventKind::pekMouseDown:
      MouseDown(Event);
      break;
    case TPlatformEventKind::pekMouseUp:
      MouseUp(Event);
      break;
    case TPlatformEventKind::pekMouseMove:
      MouseMove(Event);
      break;
    case TPlatformEventKind::pekMouseWheel:
      MouseWheel(Event);
      break;
    case TPlatformEventKind::pekMouseLeave:
      if (FCaptured == nullptr) UpdateHover(nullptr);
      break;
    case TPlatformEventKind::pekKeyDown:
    case TPlatformEventKind::pekKeyUp:
      Key(Event);
      break;
    case TPlatformEventKind::pekExpose:
      Repaint();
      Present(Event.Area);
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

void TGuiWindow::MouseDown(const TPlatformEvent& Event) {
  HideHint();
  FHintDone = true;
  TGuiControl* target = FCaptured != nullptr ? FCaptured : ControlAt(Event.Position);
  FButtonsDown |= ButtonShift(Event.Button);
  if (target == nullptr) return;
  UpdateHover(target);
  if (FCaptured == nullptr) {
    FCaptured = target;
    FPlatform->SetCapture(true);
  }
  const bool left = Event.Button == TMouseButton::mbLeft;
  if (left && target->CanFocus()) FocusControl(target);
  const bool isDouble = (Event.Shift & ssDouble) != 0;
  // A click is a left press and release on the same control; the second
  // press of a double click makes a double click instead.
  if (left) FClickCandidate = isDouble ? nullptr : target;
  if (left && isDouble) target->DblClick();
  // DblClick may have hidden or destroyed nothing we own; the target stays.
  const TPoint at = Relative(Event.Position, *target);
  target->MouseDown(Event.Button, Event.Shift, at.X, at.Y);
}

void TGuiWindow::MouseUp(const TPlatformEvent& Event) {
  FButtonsDown &= ~ButtonShift(Event.Button);
  TGuiControl* target = FCaptured != nullptr ? FCaptured : ControlAt(Event.Position);
  if (target != nullptr) {
    const TPoint at = Relative(Event.Position, *target);
    target->MouseUp(Event.Button, Event.Shift, at.X, at.Y);
    if (Event.Button == TMouseButton::mbLeft && FClickCandidate == target &&
        Inside(Event.Position, target->BoundsRect()))
      target->Click();
  }
  if (Event.Button == TMouseButton::mbLeft) FClickCandidate = nullptr;
  if (FButtonsDown == 0) ReleaseCapture();
  if (FCaptured == nullptr) UpdateHover(ControlAt(Event.Position));
}

void TGuiWindow::MouseMove(const TPlatformEvent& Event) {
  FPointer = Event.Position;
  if (FCaptured == nullptr) UpdateHover(ControlAt(Event.Position));
  TGuiControl* target = FCaptured != nullptr ? FCaptured : FHovered;
  if (target == nullptr) return;
  const TPoint at = Relative(Event.Position, *target);
  target->MouseMove(Event.Shift, at.X, at.Y);
}

void TGuiWindow::MouseWheel(const TPlatformEvent& Event) {
  TGuiControl* target = FFocused;
  if (target == nullptr || !target->Visible() || !target->Enabled()) return;
  target->MouseWheel(Event.Shift, Event.WheelDelta, Relative(Event.Position, *target));
}

void TGuiWindow::Key(const TPlatformEvent& Event) {
  if (FFocused == nullptr) return;
  std::int32_t key = Event.Key;
  if (Event.Kind == TPlatformEventKind::pekKeyDown)
    FFocused->KeyDown(key, Event.Shift);
  else
    FFocused->KeyUp(key, Event.Shift);
}

void TGuiWindow::UpdateHover(TGuiControl* Control) {
  if (Control == FHovered) return;
  TGuiControl* old = FHovered;
  FHovered = Control;
  FHoverSince = FPlatform->NowMilliseconds();
  FHintDone = false;
  HideHint();
  if (old != nullptr) old->MouseLeave();
  if (Control != nullptr) Control->MouseEnter();
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

void TGuiWindow::ControlChanged(TGuiControl& Control) {
  if (FOnControlChange && !FDestroying) FOnControlChange(Control);
}

void TGuiWindow::ControlBoundsChanged(TGuiControl& Control, const TRect& OldBounds) {
  if (!Control.Visible()) return;
  FCompositor.Invalidate(OldBounds);
  FCompositor.Invalidate(Control.BoundsRect());
  if (!Control.Windowed()) {
    RefreshBackdropsAbove(Control, OldBounds);
    RefreshBackdropsAbove(Control, Control.BoundsRect());
  }
}

void TGuiWindow::ControlVisibilityChanged(TGuiControl& Control) {
  FCompositor.Invalidate(Control.BoundsRect());
  if (!Control.Windowed()) RefreshBackdropsAbove(Control, Control.BoundsRect());
  if (Control.Visible()) return;
  if (FFocused == &Control) FocusControl(nullptr);
  if (FHovered == &Control) UpdateHover(nullptr);
  if (FHintControl == &Control) HideHint();
  if (FCaptured == &Control) ReleaseCapture();
  if (FClickCandidate == &Control) FClickCandidate = nullptr;
}

void TGuiWindow::RefreshBackdropsAbove(const TGuiControl& Control, const TRect& Area) {
  if (Area.IsEmpty()) return;
  bool above = false;
  for (TGuiControl* c : FControls) {
    if (c == &Control) {
      above = true;
      continue;
    }
    // Windowed controls lie above every windowless one.
    if ((above || c->Windowed()) && Intersects(c->BoundsRect(), Area)) c->BackdropChanged();
  }
}

}  // namespace vb
