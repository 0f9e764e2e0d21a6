#pragma once
// Screen density on Windows, asked of the newer APIs where the system has
// them (looked up in user32, which every process has loaded) and of the
// screen's device context where it has not. Nothing here changes the
// process's DPI awareness: that is the host's decision.
//
// User-interface thread.

#include <windows.h>

#include <cstdint>

namespace vb {

// Dots per inch Window is drawn at (96 is 100 %): 96 for a window that is
// not DPI-aware (Windows scales it as a picture), else GetDpiForWindow
// (Windows 10 1607 and later), else the screen's LOGPIXELSX.
std::uint32_t WindowDpi(HWND Window);
// The system's dots per inch as the calling thread sees it, for questions
// asked before a window exists: 96 for a thread that is not DPI-aware.
std::uint32_t SystemDpi();

// While it lives, the calling thread creates windows under the DPI awareness
// of Parent (GetWindowDpiAwarenessContext); the thread's own is restored
// when it goes. Does nothing on systems without per-thread awareness.
class TDpiAwarenessScope {
 public:
  explicit TDpiAwarenessScope(HWND Parent);
  ~TDpiAwarenessScope();
  TDpiAwarenessScope(const TDpiAwarenessScope&) = delete;
  TDpiAwarenessScope& operator=(const TDpiAwarenessScope&) = delete;

 private:
  void* FPrevious = nullptr;
};

}  // namespace vb
