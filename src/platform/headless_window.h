#pragma once
// The in-memory backend of the window contract: presented pictures land in a
// bitmap, input is injected by the caller, the clock only moves when told.
// Lets every control and the whole editor be driven and rendered without a
// display. Used from one thread.

#include <cstdint>
#include <deque>
#include <memory>

#include "platform/memory_canvas.h"
#include "platform/platform_window.h"

namespace vb {

class THeadlessWindow final : public TPlatformWindow {
 public:
  // Parent is only remembered (0: free-standing).
  explicit THeadlessWindow(std::uintptr_t Parent = 0);
  ~THeadlessWindow() override;

  // --- the contract ---
  void SetListener(TPlatformWindowListener* Listener) override { FListener = Listener; }
  std::uintptr_t NativeHandle() const override { return FHandle; }
  void SetSize(std::int32_t Width, std::int32_t Height) override;
  void Show() override { FVisible = true; }
  void Hide() override { FVisible = false; }
  bool Visible() const override { return FVisible; }
  void Present(const TRasterView& Frame, const TRect& Area) override;
  void SetCapture(bool Captured) override { FCaptured = Captured; }
  void SetPointerHidden(bool Hidden) override { FPointerHidden = Hidden; }
  void WarpPointer(TPoint Point) override;
  TShiftState KeyboardState() const override { return FKeys | FButtons; }
  // Delivers the queued events, oldest first.
  void Idle() override;
  std::uint64_t NowMilliseconds() const override { return FNow; }

  // --- the test side ---
  std::uintptr_t Parent() const { return FParent; }
  // Queues an event as it is given (Shift included).
  void Inject(const TPlatformEvent& Event) { FQueue.push_back(Event); }
  // Queue pointer input with the keyboard state and held buttons filled in;
  // presses go through the double-click detector with the headless clock.
  void Press(TPoint At, TMouseButton Button = TMouseButton::mbLeft);
  void Release(TPoint At, TMouseButton Button = TMouseButton::mbLeft);
  void Click(TPoint At, TMouseButton Button = TMouseButton::mbLeft);
  void MoveTo(TPoint At);
  void Wheel(TPoint At, std::int32_t Delta);
  void Leave();
  // The capture ends without a release (the window unmapped, say).
  void LoseCapture();
  void Expose(const TRect& Area);
  // Paints Area of the screen over, as a host's menu closing over the
  // window leaves it, and reports the area exposed.
  void Damage(const TRect& Area);
  // Modifier keys held from now on (ssShift, ssCtrl, ssAlt).
  void SetKeys(TShiftState Keys) { FKeys = Keys; }
  void AdvanceClock(std::uint64_t Milliseconds) { FNow += Milliseconds; }

  // What the screen shows: every presented area, composed (0 where nothing
  // was presented yet).
  const TMemoryBitmap& Screen() const { return *FScreen; }
  std::uint32_t ScreenPixel(std::int32_t X, std::int32_t Y) const { return FScreen->PixelARGB(X, Y); }
  std::int32_t PresentCount() const { return FPresentCount; }
  std::int64_t PresentedPixels() const { return FPresentedPixels; }
  TRect LastPresented() const { return FLastPresented; }
  bool Captured() const { return FCaptured; }
  bool PointerHidden() const { return FPointerHidden; }
  // Where the pointer was last moved to, by input or by WarpPointer.
  TPoint PointerPosition() const { return FPointer; }
  std::int32_t WarpCount() const { return FWarpCount; }

 private:
  TPlatformEvent MouseEvent(TPlatformEventKind Kind, TPoint At, TMouseButton Button) const;

  TPlatformWindowListener* FListener = nullptr;
  std::uintptr_t FParent;
  std::uintptr_t FHandle;
  std::unique_ptr<TMemoryBitmap> FScreen;
  std::deque<TPlatformEvent> FQueue;
  TDoubleClickDetector FDoubleClick;
  std::uint64_t FNow = 1000;
  TShiftState FKeys = 0;
  TShiftState FButtons = 0;
  TPoint FPointer;
  TRect FLastPresented;
  std::int64_t FPresentedPixels = 0;
  std::int32_t FPresentCount = 0;
  std::int32_t FWarpCount = 0;
  bool FVisible = false;
  bool FCaptured = false;
  bool FPointerHidden = false;
};

}  // namespace vb
