#pragma once
// The X11 backend of the window contract, on xcb.
//
// Embed opens a connection of the window's own (never the host's Display,
// never a shared one), checks that the host's window exists, and creates one
// depth-24 TrueColor child of it at (0, 0) with its own colormap, border 0
// and no background (exposed areas are shown again from the kept frame, so
// nothing flickers). The child carries WM_NORMAL_HINTS with minimum =
// maximum = its size and _XEMBED_INFO (version 0, mapped). It selects
// exposure, button, motion, enter/leave and structure events and no key
// events: keys stay with the host, and the window never takes the focus.
//
// Idle drains every pending event without blocking: motion bursts keep only
// their last event, exposures merge into one area, wheel notches (buttons 4
// and 5) become deltas of +-120. A DestroyNotify of the window or its parent
// (or an X error naming either) ends all requests for them; closing
// afterwards is still clean. X errors are counted here and never reach the
// host.
//
// Everything happens on the thread that embedded the window (the host's
// user-interface thread); no thread is started and no process-wide state is
// touched. Code outside platform/ creates it through CreateNativeWindow
// (native_window.h) and never sees xcb.

#include <xcb/xcb.h>

#include <cstdint>
#include <deque>
#include <memory>

#include "platform/platform_window.h"

namespace vb {

class TX11Connection;
class TX11ImageUploader;

class TX11Window final : public TPlatformWindow {
 public:
  struct TOptions {
    // X display to connect to; null: $DISPLAY.
    const char* DisplayName = nullptr;
    // Use MIT-SHM for drawing when the server can share our memory.
    bool AllowShm = true;
  };

  TX11Window();
  explicit TX11Window(const TOptions& Options);
  ~TX11Window() override;

  // --- the contract ---
  void SetListener(TPlatformWindowListener* Listener) override { FListener = Listener; }
  bool Embed(std::uintptr_t Parent) override;
  // The X window id; 0 while not embedded.
  std::uintptr_t NativeHandle() const override;
  void SetSize(std::int32_t Width, std::int32_t Height) override;
  // Maps the window and waits for the server, so that a host looking for
  // its child right after the editor opened finds it.
  void Show() override;
  void Hide() override;
  bool Visible() const override { return FVisible; }
  void Present(const TRasterView& Frame, const TRect& Area) override;
  void SetCapture(bool Captured) override;
  void SetPointerHidden(bool Hidden) override;
  // The movement the warp causes is reported once, at the next Idle.
  void WarpPointer(TPoint Point) override;
  TShiftState KeyboardState() const override;
  void Idle() override;
  std::uint64_t NowMilliseconds() const override;

  // --- state, for tests, benchmarks and the hosting code ---
  // A native window exists and neither it nor its parent was destroyed.
  bool Embedded() const;
  bool UsesShm() const;
  // The pointer grab of a drag is active.
  bool Grabbed() const { return FGrabbed; }
  // X errors our requests caused so far.
  std::int64_t ErrorCount() const { return FErrorCount; }
  // Image requests sent so far.
  std::int64_t ImageRequestCount() const;
  std::uint32_t LargestImageRequestBytes() const;
  // Caps plain image requests at Bytes (see TX11ImageUploader).
  void SetImageRequestLimit(std::uint32_t Bytes);
  // Waits until the server has handled every request sent so far.
  bool Sync() const;

 private:
  void Release();
  bool CreateNativeWindow(std::uintptr_t Parent);
  void SetSizeHints();
  void Flush() const;
  void Drain();
  void Deliver();
  void HandleEvent(const xcb_generic_event_t& Event);
  void HandleError(const xcb_generic_error_t& Error);
  void HandleButton(const xcb_button_press_event_t& Event, bool Press);
  void HandleMotion(const xcb_motion_notify_event_t& Event);
  void HandleCrossing(const xcb_enter_notify_event_t& Event, bool Enter);
  // Gives the capture up and tells the listener that its drag ended.
  void LoseCapture();
  void HandleStructure(const xcb_generic_event_t& Event);
  void Queue(const TPlatformEvent& Event) { FBatch.push_back(Event); }
  std::uint32_t BlankCursor();
  // 32-bit server time extended to 64 bits (the server's clock wraps every
  // 49.7 days).
  std::uint64_t ServerMilliseconds(std::uint32_t Time);

  TOptions FOptions;
  TPlatformWindowListener* FListener = nullptr;
  std::unique_ptr<TX11Connection> FConnection;
  std::unique_ptr<TX11ImageUploader> FUploader;
  std::uint32_t FWindow = 0;
  std::uint32_t FParent = 0;
  std::uint32_t FColormap = 0;
  std::uint32_t FGC = 0;
  std::uint32_t FCursor = 0;
  std::int32_t FWidth = 1;
  std::int32_t FHeight = 1;
  std::deque<TPlatformEvent> FBatch;
  TRect FExposed;
  TDoubleClickDetector FDoubleClick;
  std::uint64_t FServerClock = 0;
  std::uint32_t FLastServerTime = 0;
  TShiftState FLastShift = 0;
  TPoint FWarpTarget;
  std::uint16_t FWarpSequence = 0;
  std::int64_t FErrorCount = 0;
  bool FHaveServerTime = false;
  bool FWarpPending = false;
  bool FWindowGone = false;
  bool FParentGone = false;
  bool FVisible = false;
  bool FGrabbed = false;
  // The GUI asked for the capture and has not given it up, grabbed or not.
  bool FCaptureWanted = false;
  bool FPointerHidden = false;
};

}  // namespace vb
