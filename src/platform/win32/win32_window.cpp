#include "platform/win32/win32_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "platform/native_window.h"
#include "platform/win32/win32_dpi.h"
#include "platform/win32/win32_window_class.h"

namespace vb {

namespace {

// The pulse that stands in for a host that idles rarely, in ms.
constexpr UINT kPulseMs = 100;
constexpr UINT_PTR kPulseTimer = 1;

LRESULT CALLBACK EditorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TWin32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<TWin32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (self != nullptr) return self->Handle(window, message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

bool KeyDown(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

// Modifiers from the keyboard as it is now (some hosts swallow the key
// messages that would tell us), buttons from the message's flags.
TShiftState ShiftFromFlags(WPARAM flags) {
  TShiftState shift = 0;
  if (flags & MK_SHIFT) shift |= ssShift;
  if (flags & MK_CONTROL) shift |= ssCtrl;
  if (KeyDown(VK_MENU)) shift |= ssAlt;
  if (flags & MK_LBUTTON) shift |= ssLeft;
  if (flags & MK_RBUTTON) shift |= ssRight;
  if (flags & MK_MBUTTON) shift |= ssMiddle;
  return shift;
}

TPoint PointOf(LPARAM lParam) { return TPoint{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

std::unique_ptr<TPlatformWindow> CreateNativeWindow() { return std::make_unique<TWin32Window>(); }

TWin32Window::~TWin32Window() { Release(); }

bool TWin32Window::Embed(std::uintptr_t parent) {
  HWND parentWindow = reinterpret_cast<HWND>(parent);
  if (FWindow != nullptr || parentWindow == nullptr || !IsWindow(parentWindow)) return false;
  if (!AcquireEditorWindowClass(&EditorWindowProc)) return false;
  {
    const TDpiAwarenessScope awareness(parentWindow);
    FWindow = CreateWindowExW(0, EditorWindowClassName().c_str(), L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, FWidth,
                              FHeight, parentWindow, nullptr, ModuleInstance(), this);
  }
  if (FWindow == nullptr) {
    ReleaseEditorWindowClass();
    return false;
  }
  SetTimer(FWindow, kPulseTimer, kPulseMs, nullptr);
  return true;
}

void TWin32Window::Release() {
  if (FWindow != nullptr) {
    HWND window = FWindow;
    KillTimer(window, kPulseTimer);
    if (FCaptureWanted && GetCapture() == window) {
      FReleasing = true;
      ReleaseCapture();
      FReleasing = false;
    }
    // From here the procedure no longer reaches this object.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    FWindow = nullptr;
    DestroyWindow(window);
    ReleaseEditorWindowClass();
  }
  FQueue.clear();
}

void TWin32Window::SetSize(std::int32_t width, std::int32_t height) {
  FWidth = std::max(width, 1);
  FHeight = std::max(height, 1);
  FPixels.assign(std::size_t(FWidth) * std::size_t(FHeight), 0);
  if (FWindow != nullptr)
    SetWindowPos(FWindow, nullptr, 0, 0, FWidth, FHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin32Window::Show() {
  FVisible = true;
  if (FWindow != nullptr) ShowWindow(FWindow, SW_SHOWNA);  // never activates: the focus stays with the host
}

void TWin32Window::Hide() {
  FVisible = false;
  if (FWindow != nullptr) ShowWindow(FWindow, SW_HIDE);
}

void TWin32Window::Present(const TRasterView& frame, const TRect& area) {
  if (frame.IsEmpty() || frame.Format != TRasterFormat::rfBGRA32) return;
  if (FPixels.size() != std::size_t(FWidth) * std::size_t(FHeight)) FPixels.assign(std::size_t(FWidth) * FHeight, 0);
  const std::int32_t left = std::max(area.Left, 0);
  const std::int32_t top = std::max(area.Top, 0);
  const std::int32_t right = std::min({area.Right, frame.Width, FWidth});
  const std::int32_t bottom = std::min({area.Bottom, frame.Height, FHeight});
  if (left >= right || top >= bottom) return;
  for (std::int32_t y = top; y < bottom; ++y)
    std::memcpy(&FPixels[std::size_t(y) * FWidth + left], frame.Row(y) + std::size_t(left) * 4,
                std::size_t(right - left) * 4);
  if (FWindow == nullptr || !FVisible) return;
  HDC dc = GetDC(FWindow);
  if (dc == nullptr) return;
  Blit(dc, RECT{left, top, right, bottom});
  ReleaseDC(FWindow, dc);
}

void TWin32Window::Blit(HDC dc, const RECT& area) const {
  if (FPixels.empty() || area.left >= area.right || area.top >= area.bottom) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = FWidth;
  info.bmiHeader.biHeight = -FHeight;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  // Whole rows from Top on; the destination rectangle clips the columns.
  const int rows = area.bottom - area.top;
  SetDIBitsToDevice(dc, area.left, area.top, DWORD(area.right - area.left), DWORD(rows), area.left,
                    FHeight - area.bottom, 0, UINT(FHeight), FPixels.data(), &info, DIB_RGB_COLORS);
}

void TWin32Window::SetCapture(bool captured) {
  if (captured == FCaptureWanted) return;
  FCaptureWanted = captured;
  if (FWindow == nullptr) return;
  if (captured) {
    ::SetCapture(FWindow);
  } else if (GetCapture() == FWindow) {
    FReleasing = true;
    ReleaseCapture();
    FReleasing = false;
  }
}

void TWin32Window::SetPointerHidden(bool hidden) {
  FPointerHidden = hidden;
  POINT cursor{};
  RECT client{};
  if (FWindow == nullptr || !GetCursorPos(&cursor) || !ScreenToClient(FWindow, &cursor)) return;
  GetClientRect(FWindow, &client);
  // The cursor shape follows at once where the pointer is over us (or ours).
  if (PtInRect(&client, cursor) || GetCapture() == FWindow) SetCursor(hidden ? nullptr : LoadCursorW(nullptr, IDC_ARROW));
}

void TWin32Window::WarpPointer(TPoint point) {
  POINT screen{point.X, point.Y};
  if (FWindow != nullptr && ClientToScreen(FWindow, &screen)) SetCursorPos(screen.x, screen.y);
}

TShiftState TWin32Window::KeyboardState() const {
  TShiftState shift = 0;
  if (KeyDown(VK_SHIFT)) shift |= ssShift;
  if (KeyDown(VK_CONTROL)) shift |= ssCtrl;
  if (KeyDown(VK_MENU)) shift |= ssAlt;
  // The buttons as the user sees them, whichever the system swapped.
  const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
  if (KeyDown(swapped ? VK_RBUTTON : VK_LBUTTON)) shift |= ssLeft;
  if (KeyDown(swapped ? VK_LBUTTON : VK_RBUTTON)) shift |= ssRight;
  if (KeyDown(VK_MBUTTON)) shift |= ssMiddle;
  return shift;
}

// --- messages -----------------------------------------------------------------------

void TWin32Window::Queue(const TPlatformEvent& event) {
  FQueue.push_back(event);
  DeliverQueued();
}

void TWin32Window::DeliverQueued() {
  if (FDelivering) return;  // the outer delivery takes it
  FDelivering = true;
  while (!FQueue.empty()) {
    const TPlatformEvent event = FQueue.front();
    FQueue.pop_front();
    if (FListener != nullptr) FListener->OnPlatformEvent(event);
  }
  FDelivering = false;
}

void TWin32Window::OnButton(TMouseButton button, bool press, WPARAM wParam, LPARAM lParam) {
  TPlatformEvent event;
  event.Kind = press ? TPlatformEventKind::pekMouseDown : TPlatformEventKind::pekMouseUp;
  event.Button = button;
  event.Position = PointOf(lParam);
  // The flags name the event's own button on a press and not on a
  // release; the contract never counts it.
  event.Shift = ShiftFromFlags(wParam) & ~ButtonShift(button);
  if (press && FDoubleClick.Press(button, event.Position, NowMilliseconds())) event.Shift |= ssDouble;
  Queue(event);
}

void TWin32Window::OnMove(WPARAM wParam, LPARAM lParam) {
  if (!FTrackingLeave) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FWindow, 0};
    FTrackingLeave = TrackMouseEvent(&track) != 0;
  }
  TPlatformEvent event;
  event.Kind = TPlatformEventKind::pekMouseMove;
  event.Position = PointOf(lParam);
  event.Shift = ShiftFromFlags(wParam);
  Queue(event);
}

void TWin32Window::OnWheel(WPARAM wParam, LPARAM lParam) {
  // Windows sends the wheel to the focus window or the one under the
  // pointer; either way it is ours to give to the control that has the
  // GUI's focus, at the pointer's position.
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ScreenToClient(FWindow, &point);
  TPlatformEvent event;
  event.Kind = TPlatformEventKind::pekMouseWheel;
  event.Position = TPoint{point.x, point.y};
  event.WheelDelta = GET_WHEEL_DELTA_WPARAM(wParam);
  event.Shift = ShiftFromFlags(GET_KEYSTATE_WPARAM(wParam));
  Queue(event);
}

void TWin32Window::OnCaptureChanged(HWND newOwner) {
  if (FReleasing || !FCaptureWanted || newOwner == FWindow) return;
  FCaptureWanted = false;
  TPlatformEvent event;
  event.Kind = TPlatformEventKind::pekCaptureLost;
  Queue(event);
}

void TWin32Window::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(FWindow, &paint);
  if (dc != nullptr) Blit(dc, paint.rcPaint);
  EndPaint(FWindow, &paint);
}

LRESULT TWin32Window::ForwardKey(UINT message, WPARAM wParam, LPARAM lParam) {
  // A host that hands keys back to its focused child must not ping-pong.
  HWND parent = GetParent(FWindow);
  if (parent == nullptr || FForwardingKey) return 0;
  FForwardingKey = true;
  const LRESULT result = SendMessageW(parent, message, wParam, lParam);
  FForwardingKey = false;
  return result;
}

LRESULT TWin32Window::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      FWindow = window;  // before CreateWindowEx returns it: the messages of creation need it
      break;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers it all
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      OnButton(TMouseButton::mbLeft, message == WM_LBUTTONDOWN, wParam, lParam);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      OnButton(TMouseButton::mbRight, message == WM_RBUTTONDOWN, wParam, lParam);
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      OnButton(TMouseButton::mbMiddle, message == WM_MBUTTONDOWN, wParam, lParam);
      return 0;
    case WM_MOUSEMOVE:
      OnMove(wParam, lParam);
      return 0;
    case WM_MOUSELEAVE: {
      FTrackingLeave = false;
      TPlatformEvent event;
      event.Kind = TPlatformEventKind::pekMouseLeave;
      Queue(event);
      return 0;
    }
    case WM_MOUSEWHEEL:
      OnWheel(wParam, lParam);
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureChanged(reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(FPointerHidden ? nullptr : LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // a click never takes the focus from the host
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      return ForwardKey(message, wParam, lParam);
    case WM_DPICHANGED_AFTERPARENT: {
      // The host's window moved to a monitor of another scale: the editor
      // is built again at the new factor (TGuiEditorForm::WantsRebuild).
      TPlatformEvent event;
      event.Kind = TPlatformEventKind::pekScaleChanged;
      Queue(event);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kPulseTimer) {
        TPlatformEvent event;
        event.Kind = TPlatformEventKind::pekTimer;
        Queue(event);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      // The host destroyed its window with ours in it: nothing is left to
      // release but the class.
      if (FWindow != nullptr) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        FWindow = nullptr;
        FCaptureWanted = false;
        ReleaseEditorWindowClass();
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace vb
