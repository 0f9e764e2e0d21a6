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

THeadlessWindow::THeadlessWindow(std::uintptr_t Parent)
    : FParent(Parent),
      FHandle(NextHeadlessHandle()),
      FScreen(std::make_unique<TMemoryBitmap>(0, 0, TRasterFormat::rfBGRA32)) {}

THeadlessWindow::~THeadlessWindow() = default;

void THeadlessWindow::SetSize(std::int32_t Width, std::int32_t Height) {
  if (Width == FScreen->Width() && Height == FScreen->Height()) return;
  FScreen = std::make_unique<TMemoryBitmap>(Width, Height, TRasterFormat::rfBGRA32);
}

void THeadlessWindow::Present(const TRasterView& Frame, const TRect& Area) {
  const TRect shown = Intersection(Intersection(Area, TRect{0, 0, FScreen->Width(), FScreen->Height()}),
                                   TRect{0, 0, Frame.Width, Frame.Height});
  ++FPresentCount;
  FLastPresented = shown;
  if (shown.IsEmpty()) return;
  FScreen->Canvas().DrawRaster(Frame, shown.Left, shown.Top, shown.Width(), shown.Height(), shown.Left, shown.Top);
  FPresentedPixels += std::int64_t(shown.Width()) * shown.Height();
}

void THeadlessWindow::WarpPointer(TPoint Point) {
  FPointer = Point;
  ++FWarpCount;
  // A real pointer warp is reported back as a movement.
  FQueue.push_back(MouseEvent(TPlatformEventKind::pekMouseMove, Point, TMouseButton::mbLeft));
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

TPlatformEvent THeadlessWindow::MouseEvent(TPlatformEventKind Kind, TPoint At, TMouseButton Button) const {
  TPlatformEvent event;
  event.Kind = Kind;
  event.Position = At;
  event.Button = Button;
  event.Shift = FKeys | FButtons;
  return event;
}

void THeadlessWindow::Press(TPoint At, TMouseButton Button) {
  TPlatformEvent event = MouseEvent(TPlatformEventKind::pekMouseDown, At, Button);
  if (FDoubleClick.Press(Button, At, FNow)) event.Shift |= ssDouble;
  FQueue.push_back(event);
  FButtons |= ButtonShift(Button);
  FPointer = At;
}

void THeadlessWindow::Release(TPoint At, TMouseButton Button) {
  FButtons &= ~ButtonShift(Button);
  FQueue.push_back(MouseEvent(TPlatformEventKind::pekMouseUp, At, Button));
  FPointer = At;
}

void THeadlessWindow::Click(TPoint At, TMouseButton Button) {
  Press(At, Button);
  Release(At, Button);
}

void THeadlessWindow::MoveTo(TPoint At) {
  FQueue.push_back(MouseEvent(TPlatformEventKind::pekMouseMove, At, TMouseButton::mbLeft));
  FPointer = At;
}

void THeadlessWindow::Wheel(TPoint At, std::int32_t Delta) {
  TPlatformEvent event = MouseEvent(TPlatformEventKind::pekMouseWheel, At, TMouseButton::mbLeft);
  event.WheelDelta = Delta;
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

void THeadlessWindow::Damage(const TRect& Area) {
  const TRect part = Intersection(Area, TRect{0, 0, FScreen->Width(), FScreen->Height()});
  for (std::int32_t y = part.Top; y < part.Bottom; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(FScreen->Bits() + std::size_t(y) * FScreen->RowBytes());
    for (std::int32_t x = part.Left; x < part.Right; ++x) row[x] = 0xFFFF00FF;
  }
  Expose(Area);
}

void THeadlessWindow::Expose(const TRect& Area) {
  TPlatformEvent event;
  event.Kind = TPlatformEventKind::pekExpose;
  event.Area = Area;
  FQueue.push_back(event);
}

}  // namespace vb
