#include "platform/headless_window.h"

#include <atomic>

namespace vb {

namespace {

// Distinct opaque handles, so tests can tell windows apart.
std::uintptr_t NextHeadlessHandle() {
  static std::atomic<std::uintptr_t> next{0x100000};
  return ++next;
}

}  // namespace

THeadlessWindow::THeadlessWindow(std::uintptr_t parent)
    : FParent(parent),
      FHandle(NextHeadlessHandle()),
      FScreen(std::make_unique<TMemoryBitmap>(0, 0, TRasterFormat::rfBGRA32)) {}

THeadlessWindow::~THeadlessWindow() = default;

void THeadlessWindow::SetSize(std::int32_t width, std::int32_t height) {
  if (width == FScreen->Width() && height == FScreen->Height()) return;
  FScreen = std::make_unique<TMemoryBitmap>(width, height, TRasterFormat::rfBGRA32);
}

void THeadlessWindow::Present(const TRasterView& frame, const TRect& area) {
  const TRect shown = Intersection(Intersection(area, TRect{0, 0, FScreen->Width(), FScreen->Height()}),
                                   TRect{0, 0, frame.Width, frame.Height});
  ++FPresentCount;
  FLastPresented = shown;
  if (shown.IsEmpty()) return;
  FScreen->Canvas().DrawRaster(frame, shown.Left, shown.Top, shown.Width(), shown.Height(), shown.Left, shown.Top);
  FPresentedPixels += std::int64_t(shown.Width()) * shown.Height();
}

void THeadlessWindow::WarpPointer(TPoint point) {
  FPointer = point;
  ++FWarpCount;
  // A real pointer warp is reported back as a movement.
  FQueue.push_back(MouseEvent(TPlatformEventKind::pekMouseMove, point, TMouseButton::mbLeft));
}

void THeadlessWindow::Idle() {
  // Events queued by the listener while it handles one are delivered in the
  // same call, after the ones already waiting.
  while (!FQueue.empty()) {
    const TPlatformEvent event = FQueue.front();
    FQueue.pop_front();
    if (FListener != nullptr) FListener->OnPlatformEvent(event);
  }
}

TPlatformEvent THeadlessWindow::MouseEvent(TPlatformEventKind kind, TPoint at, TMouseButton button) const {
  TPlatformEvent event;
  event.Kind = kind;
  event.Position = at;
  event.Button = button;
  event.Shift = FKeys | FButtons;
  return event;
}

void THeadlessWindow::Press(TPoint at, TMouseButton button) {
  TPlatformEvent event = MouseEvent(TPlatformEventKind::pekMouseDown, at, button);
  if (FDoubleClick.Press(button, at, FNow)) event.Shift |= ssDouble;
  FQueue.push_back(event);
  FButtons |= ButtonShift(button);
  FPointer = at;
}

void THeadlessWindow::Release(TPoint at, TMouseButton button) {
  FButtons &= ~ButtonShift(button);
  FQueue.push_back(MouseEvent(TPlatformEventKind::pekMouseUp, at, button));
  FPointer = at;
}

void THeadlessWindow::Click(TPoint at, TMouseButton button) {
  Press(at, button);
  Release(at, button);
}

void THeadlessWindow::MoveTo(TPoint at) {
  FQueue.push_back(MouseEvent(TPlatformEventKind::pekMouseMove, at, TMouseButton::mbLeft));
  FPointer = at;
}

void THeadlessWindow::Wheel(TPoint at, std::int32_t delta) {
  TPlatformEvent event = MouseEvent(TPlatformEventKind::pekMouseWheel, at, TMouseButton::mbLeft);
  event.WheelDelta = delta;
  FQueue.push_back(event);
}

void THeadlessWindow::LoseCapture() {
  FCaptured = false;
  TPlatformEvent event;
  event.Kind = TPlatformEventKind::pekCaptureLost;
  FQueue.push_back(event);
}

void THeadlessWindow::Leave() {
  TPlatformEvent event;
  event.Kind = TPlatformEventKind::pekMouseLeave;
  event.Shift = FKeys | FButtons;
  FQueue.push_back(event);
}

void THeadlessWindow::Damage(const TRect& area) {
  const TRect part = Intersection(area, TRect{0, 0, FScreen->Width(), FScreen->Height()});
  for (std::int32_t y = part.Top; y < part.Bottom; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(FScreen->Bits() + std::size_t(y) * FScreen->RowBytes());
    for (std::int32_t x = part.Left; x < part.Right; ++x) row[x] = 0xFFFF00FF;
  }
  Expose(area);
}

void THeadlessWindow::Expose(const TRect& area) {
  TPlatformEvent event;
  event.Kind = TPlatformEventKind::pekExpose;
  event.Area = area;
  FQueue.push_back(event);
}

}  // namespace vb
