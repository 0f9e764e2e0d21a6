// The Win32 side of host_window.h: a top-level window of the calling
// thread, as a host's plug-in frame, whose picture (the editor's child
// included) is read back from the screen.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/host_window.h"
#include "platform/wide_text.h"
#include "platform/win32/win32_window_class.h"

namespace vb {

namespace {

constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Away from the screen's edges, so that pointer movements around the editor
// stay on the screen.
constexpr int kPosition = 64;
constexpr COLORREF kBackground = RGB(0x30, 0x30, 0x30);

const wchar_t* HostClassName() { return L"VordaBrasswickHostFrame"; }

LRESULT CALLBACK HostWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_CLOSE) {
    DestroyWindow(Window);
    return 0;
  }
  return DefWindowProcW(Window, Message, WParam, LParam);
}

bool RegisterHostClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &HostWindowProc;
  windowClass.hInstance = ModuleInstance();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = CreateSolidBrush(kBackground);
  windowClass.lpszClassName = HostClassName();
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

class TWin32HostWindow final : public THostWindow {
 public:
  ~TWin32HostWindow() override { Destroy(); }

  bool Create(std::int32_t Width, std::int32_t Height, const std::string& Title);

  std::uintptr_t NativeHandle() const override {
    return FWindow != nullptr && IsWindow(FWindow) ? reinterpret_cast<std::uintptr_t>(FWindow) : 0;
  }
  void SetSize(std::int32_t Width, std::int32_t Height) override;
  std::int32_t Width() const override { return FWidth; }
  std::int32_t Height() const override { return FHeight; }
  bool Show(std::int32_t TimeoutMs) override;
  bool Pump() override;
  std::unique_ptr<TMemoryBitmap> Grab() override;
  void Destroy() override;

 private:
  HWND FWindow = nullptr;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
};

bool TWin32HostWindow::Create(std::int32_t Width, std::int32_t Height, const std::string& Title) {
  if (!RegisterHostClass()) return false;
  const std::wstring caption = WideFromUtf8(Title);
  FWindow = CreateWindowExW(0, HostClassName(), caption.c_str(), kFrameStyle, kPosition, kPosition, 100, 100, nullptr,
                            nullptr, ModuleInstance(), nullptr);
  if (FWindow == nullptr) return false;
  SetSize(Width, Height);
  return true;
}

void TWin32HostWindow::SetSize(std::int32_t Width, std::int32_t Height) {
  FWidth = std::max(Width, 1);
  FHeight = std::max(Height, 1);
  if (FWindow == nullptr) return;
  RECT frame{0, 0, FWidth, FHeight};
  AdjustWindowRectEx(&frame, kFrameStyle, FALSE, 0);
  SetWindowPos(FWindow, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TWin32HostWindow::Show(std::int32_t TimeoutMs) {
  if (NativeHandle() == 0) return false;
  ShowWindow(FWindow, SW_SHOW);
  SetForegroundWindow(FWindow);
  UpdateWindow(FWindow);
  const ULONGLONG deadline = GetTickCount64() + ULONGLONG(std::max(TimeoutMs, 0));
  while (!IsWindowVisible(FWindow) && GetTickCount64() < deadline) {
    Pump();
    Sleep(5);
  }
  Pump();
  return IsWindowVisible(FWindow) != 0;
}

bool TWin32HostWindow::Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return NativeHandle() != 0;
}

std::unique_ptr<TMemoryBitmap> TWin32HostWindow::Grab() {
  if (NativeHandle() == 0 || !IsWindowVisible(FWindow)) return nullptr;
  Pump();
  POINT origin{0, 0};
  ClientToScreen(FWindow, &origin);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = FWidth;
  info.bmiHeader.biHeight = -FHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::unique_ptr<TMemoryBitmap> result;
  if (bitmap != nullptr && memory != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, FWidth, FHeight, screen, origin.x, origin.y, SRCCOPY)) {
      GdiFlush();
      result = std::make_unique<TMemoryBitmap>(FWidth, FHeight, TRasterFormat::rfBGRA32);
      for (std::int32_t y = 0; y < FHeight; ++y) {
        auto* row = static_cast<std::uint32_t*>(bits) + std::size_t(y) * FWidth;
        auto* dest = reinterpret_cast<std::uint32_t*>(result->View().Row(y));
        for (std::int32_t x = 0; x < FWidth; ++x) dest[x] = row[x] | 0xFF000000u;
      }
    }
    SelectObject(memory, old);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (memory != nullptr) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return result;
}

void TWin32HostWindow::Destroy() {
  if (FWindow != nullptr && IsWindow(FWindow)) DestroyWindow(FWindow);
  FWindow = nullptr;
  Pump();
}

}  // namespace

std::unique_ptr<THostWindow> CreateHostWindow(std::int32_t Width, std::int32_t Height, const std::string& Title,
                                              const char* DisplayName, std::string* Error) {
  auto window = std::make_unique<TWin32HostWindow>();
  if (!window->Create(Width, Height, Title)) {
    if (Error != nullptr) *Error = "cannot create a window";
    return nullptr;
  }
  return window;
}

}  // namespace vb
