#include "platform/win32/win32_dpi.h"

namespace vb {

namespace {

using TGetDpiForWindow = UINT(WINAPI*)(HWND);
using TGetDpiForSystem = UINT(WINAPI*)();
using TGetWindowDpiAwarenessContext = void*(WINAPI*)(HWND);
using TSetThreadDpiAwarenessContext = void*(WINAPI*)(void*);

// A user32 function by name, null where this Windows lacks it. user32 is
// loaded in every GUI process, so nothing is loaded here.
template <typename TFunction>
TFunction User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 != nullptr ? reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                           : nullptr;
}

std::uint32_t ScreenDpi() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return USER_DEFAULT_SCREEN_DPI;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? std::uint32_t(dpi) : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

std::uint32_t WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Function<TGetDpiForWindow>("GetDpiForWindow");
  if (getDpiForWindow != nullptr && window != nullptr) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi > 0) return dpi;
  }
  return ScreenDpi();
}

std::uint32_t SystemDpi() {
  static const auto getDpiForSystem = User32Function<TGetDpiForSystem>("GetDpiForSystem");
  if (getDpiForSystem != nullptr) {
    const UINT dpi = getDpiForSystem();
    if (dpi > 0) return dpi;
  }
  return ScreenDpi();
}

TDpiAwarenessScope::TDpiAwarenessScope(HWND parent) {
  static const auto getContext = User32Function<TGetWindowDpiAwarenessContext>("GetWindowDpiAwarenessContext");
  static const auto setContext = User32Function<TSetThreadDpiAwarenessContext>("SetThreadDpiAwarenessContext");
  if (getContext == nullptr || setContext == nullptr || parent == nullptr) return;
  void* context = getContext(parent);
  if (context != nullptr) FPrevious = setContext(context);
}

TDpiAwarenessScope::~TDpiAwarenessScope() {
  static const auto setContext = User32Function<TSetThreadDpiAwarenessContext>("SetThreadDpiAwarenessContext");
  if (FPrevious != nullptr && setContext != nullptr) setContext(FPrevious);
}

}  // namespace vb
