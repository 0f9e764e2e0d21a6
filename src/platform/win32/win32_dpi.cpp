#include "platform/win32/win32_dpi.h"

namespace vb {

namespace {

using TGetDpiForWindow = UINT(WINAPI*)(HWND);
using TGetWindowDpiAwarenessContext = void*(WINAPI*)(HWND);
using TGetThreadDpiAwarenessContext = void*(WINAPI*)();
using TSetThreadDpiAwarenessContext = void*(WINAPI*)(void*);
using TGetAwarenessFromContext = int(WINAPI*)(void*);

// A user32 function by name, null where this Windows lacks it. user32 is
// loaded in every GUI process, so nothing is loaded here.
template <typename TFunction>
TFunction User32Function(const char* Name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 != nullptr ? reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(user32, Name)))
                           : nullptr;
}

std::uint32_t ScreenDpi() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return USER_DEFAULT_SCREEN_DPI;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? std::uint32_t(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// Whether a DPI awareness context is DPI_AWARENESS_UNAWARE: Windows then
// scales the windows as pictures, so they are drawn at 96 dpi. False where
// the system has no contexts.
bool Unaware(void* Context) {
  static const auto awareness = User32Function<TGetAwarenessFromContext>("GetAwarenessFromDpiAwarenessContext");
  return Context != nullptr && awareness != nullptr && awareness(Context) == 0;
}

bool ThreadUnaware() {
  static const auto getContext = User32Function<TGetThreadDpiAwarenessContext>("GetThreadDpiAwarenessContext");
  return getContext != nullptr && Unaware(getContext());
}

}  // namespace

std::uint32_t WindowDpi(HWND Window) {
  if (Window == nullptr) return SystemDpi();
  // Asked under the window's own awareness: an unaware window is drawn at
  // 96 dpi whatever its monitor (some systems answer GetDpiForWindow with
  // the monitor's density all the same).
  const TDpiAwarenessScope adopted(Window);
  if (ThreadUnaware()) return USER_DEFAULT_SCREEN_DPI;
  static const auto getDpiForWindow = User32Function<TGetDpiForWindow>("GetDpiForWindow");
  if (getDpiForWindow != nullptr) {
    const UINT dpi = getDpiForWindow(Window);
    if (dpi > 0) return dpi;
  }
  return ScreenDpi();
}

std::uint32_t SystemDpi() {
  // An aware thread's screen context reports the system's density (some
  // systems answer GetDpiForSystem by the process's awareness instead).
  return ThreadUnaware() ? USER_DEFAULT_SCREEN_DPI : ScreenDpi();
}

TDpiAwarenessScope::TDpiAwarenessScope(HWND Parent) {
  static const auto getContext = User32Function<TGetWindowDpiAwarenessContext>("GetWindowDpiAwarenessContext");
  static const auto setContext = User32Function<TSetThreadDpiAwarenessContext>("SetThreadDpiAwarenessContext");
  if (getContext == nullptr || setContext == nullptr || Parent == nullptr) return;
  void* context = getContext(Parent);
  if (context != nullptr) FPrevious = setContext(context);
}

TDpiAwarenessScope::~TDpiAwarenessScope() {
  static const auto setContext = User32Function<TSetThreadDpiAwarenessContext>("SetThreadDpiAwarenessContext");
  if (FPrevious != nullptr && setContext != nullptr) setContext(FPrevious);
}

}  // namespace vb
