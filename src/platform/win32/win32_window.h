#pragma once
// The Win32 backend of the window contract.
//
// Embed creates one borderless WS_CHILD window inside the host's HWND, of
// the class this loaded module registered (win32_window_class.h), under the
// DPI awareness of the parent's thread. The window keeps a copy of every
// presented frame and paints from it in WM_PAINT with SetDIBitsToDevice; the
// background is never erased, so nothing flickers.
//
// Windows pushes its messages: the host's message loop calls the window
// procedure, which turns them into contract events and delivers them at
// once, in order. A message that arrives while one is being delivered (the
// GUI captured the pointer, and Windows told us synchronously) is queued
// and delivered after it, so the listener is never re-entered. Idle only
// delivers what is queued.
//
// - Presses capture the pointer on request (SetCapture); WM_CAPTURECHANGED
//   that we did not ask for is pekCaptureLost.
// - The window never takes the keyboard focus. Keys that reach it anyway
//   go on to the parent, so a host's transport keys keep working.
// - A 100 ms SetTimer pulse (pekTimer) does the idle work for hosts that
//   call effEditIdle rarely or not at all while a dialog is open.
// - Double clicks are paired by TDoubleClickDetector, as on every backend.
// - WM_DPICHANGED_AFTERPARENT (the host's window moved to a monitor of
//   another scale) is pekScaleChanged.
//
// User-interface thread (the one that embedded the window) only. No
// process-wide state is changed: no DPI awareness, no focus, no hooks.

#include <windows.h>

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/platform_window.h"

namespace vb {

class TWin32Window final : public TPlatformWindow {
 public:
  TWin32Window() = default;
  ~TWin32Window() override;

  // --- the contract ---
  void SetListener(TPlatformWindowListener* Listener) override { FListener = Listener; }
  bool Embed(std::uintptr_t Parent) override;
  std::uintptr_t NativeHandle() const override { return reinterpret_cast<std::uintptr_t>(FWindow); }
  void SetSize(std::int32_t Width, std::int32_t Height) override;
  void Show() override;
  void Hide() override;
  bool Visible() const override { return FVisible; }
  void Present(const TRasterView& Frame, const TRect& Area) override;
  void SetCapture(bool Captured) override;
  void SetPointerHidden(bool Hidden) override;
  void WarpPointer(TPoint Point) override;
  TShiftState KeyboardState() const override;
  void Idle() override { DeliverQueued(); }
  std::uint64_t NowMilliseconds() const override { return GetTickCount64(); }

  // --- state, for tests ---
  // The native window exists (the host has not destroyed it with its own).
  bool Embedded() const { return FWindow != nullptr; }
  bool Captured() const { return FCaptureWanted; }

  // The window procedure's way in.
  LRESULT Handle(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);

 private:
  void Release();
  void Queue(const TPlatformEvent& Event);
  void DeliverQueued();
  void OnButton(TMouseButton Button, bool Press, WPARAM WParam, LPARAM LParam);
  void OnMove(WPARAM WParam, LPARAM LParam);
  void OnWheel(WPARAM WParam, LPARAM LParam);
  void OnCaptureChanged(HWND NewOwner);
  void OnPaint();
  LRESULT ForwardKey(UINT Message, WPARAM WParam, LPARAM LParam);
  // Shows Area of the kept frame on Dc.
  void Blit(HDC Dc, const RECT& Area) const;

  TPlatformWindowListener* FListener = nullptr;
  HWND FWindow = nullptr;
  std::int32_t FWidth = 1;
  std::int32_t FHeight = 1;
  // The last presented frame, 0x00RRGGBB top-down rows of FWidth pixels.
  std::vector<std::uint32_t> FPixels;
  std::deque<TPlatformEvent> FQueue;
  TDoubleClickDetector FDoubleClick;
  bool FDelivering = false;
  bool FVisible = false;
  bool FCaptureWanted = false;
  // Our own ReleaseCapture is running: its WM_CAPTURECHANGED is no loss.
  bool FReleasing = false;
  bool FTrackingLeave = false;
  bool FPointerHidden = false;
  bool FForwardingKey = false;
};

}  // namespace vb
