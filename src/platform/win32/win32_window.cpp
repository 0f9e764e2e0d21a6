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

LRESULT CALLBACK EditorWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  auto* self = reinterpret_cast<TWin32Window*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
  if (Message == WM_NCCREATE) {
    self = static_cast<TWin32Window*>(reinterpret_cast<CREATESTRUCTW*>(LParam)->lpCreateParams);
    SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (self != nullptr) return self->Handle(Window, Message, WParam, LParam);
  return DefWindowProcW(Window, Message, WParam, LParam);
}

bool KeyDown(int Key) { return (GetAsyncKeyState(Key) & 0x8000) != 0; }

// Modifiers from the keyboard as it is now (some hosts swallow the key
// messages that would tell us), buttons from the message's flags.
TShiftState ShiftFromFlags(WPARAM Flags) {
  TShiftState shift = 0;
  if (Flags & MK_SHIFT) shift |= ssShift;
  if (Flags & MK_CONTROL) shift |= ssCtrl;
  if (KeyDown(VK_MENU)) shift |= ssAlt;
  if (Flags & MK_LBUTTON) shift |= ssLeft;
  if (Flags & MK_RBUTTON) shift |= ssRight;
  if (Flags & MK_MBUTTON) shift |= ssMiddle;
  return shift;
}

TPoint PointOf(LPARAM LParam) { return TPoint{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)}; }

}  // namespace

std::unique_ptr<TPlatformWindow> CreateNativeWindow() { return std::make_unique<TWin32Window>(); }

TWin32Window::~TWin32Window() { Release(); }

bool TWin32Window::Embed(std::uintptr_t Parent) {
  HWND parentWindow = reinterpret_cast<HWND>(Parent);
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

void TWin32Window::SetSize(std::int32_t Width, std::int32_t Height) {
  FWidth = std::max(Width, 1);
  FHeight = std::max(Height, 1);
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

void TWin32Window::Present(const TRasterView& Frame, const TRect& Area) {
  if (Frame.IsEmpty() || Frame.Format != TRasterFormat::rfBGRA32) return;
  if (FPixels.size() != std::size_t(FWidth) * std::size_t(FHeight)) FPixels.assign(std::size_t(FWidth) * FHeight, 0);
  const std::int32_t left = std::max(Area.Left, 0);
  const std::int32_t top = std::max(Area.Top, 0);
  const std::int32_t right = std::min({Area.Right, Frame.Width, FWidth});
  const std::int32_t bottom = std::min({Area.Bottom, Frame.Height, FHeight});
  if (left >= right || top >= bottom) return;
  for (std::int32_t y = top; y < bottom; ++y)
    std::memcpy(&FPixels[std::size_t(y) * FWidth + left], Frame.Row(y) + std::size_t(left) * 4,
                std::size_t(right - left) * 4);
  if (FWindow == nullptr || !FVisible) return;
  HDC dc = GetDC(FWindow);
  if (dc == nullptr) return;
  Blit(dc, RECT{left, top, right, bottom});
  ReleaseDC(FWindow, dc);
}

void TWin32Window::Blit(HDC Dc, const RECT& Area) const {
  if (FPixels.empty() || Area.left >= Area.right || Area.top >= Area.bottom) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = FWidth;
  info.bmiHeader.biHeight = -FHeight;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  // Whole rows from Top on; the destination rectangle clips the columns.
  const int rows = Area.bottom - Area.top;
  SetDIBitsToDevice(Dc, Area.left, Area.top, DWORD(Area.right - Area.left), DWORD(rows), Area.left,
                    FHeight - Area.bottom, 0, UINT(FHeight), FPixels.data(), &info, DIB_RGB_COLORS);
}

void TWin32Window::SetCapture(bool Captured) {
  if (Captured == FCaptureWanted) return;
  FCaptureWanted = Captured;
  if (FWindow == nullptr) return;
  if (Captured) {
    ::SetCapture(FWindow);
  } else if (GetCapture() == FWindow) {
    FReleasing = true;
    ReleaseCapture();
    FReleasing = false;
  }
}

void TWin32Window::SetPointerHidden(bool Hidden) {
  FPointerHidden = Hidden;
  POINT cursor{};
  RECT client{};
  if (FWindow == nullptr || !GetCursorPos(&cursor) || !ScreenToClient(FWindow, &cursor)) return;
  GetClientRect(FWindow, &client);
  // The cursor shape follows at once where the pointer is over us (or ours).
  if (PtInRect(&client, cursor) || GetCapture() == FWindow)
    SetCursor(Hidden ? nullptr : LoadCursorW(nullptr, IDC_ARROW));
}

void TWin32Window::WarpPointer(TPoint Point) {
  POINT screen{Point.X, Point.Y};
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

void TWin32Window::Queue(const TPlatformEvent& Event) {
  FQueue.push_back(Event);
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

void TWin32Window::OnButton(TMouseButton Button, bool Press, WPARAM WParam, LPARAM LParam) {
  TPlatformEvent event;
  event.Kind = Press ? TPlatformEventKind::pekMouseDown : TPlatformEventKind::pekMouseUp;
  event.Button = Button;
  event.Position = PointOf(LParam);
  // The flags name the event's own button on a press and not on a
  // release; the contract never counts it.
  event.Shift = ShiftFromFlags(WParam) & ~ButtonShift(Button);
  if (Press && FDoubleClick.Press(Button, event.Position, NowMilliseconds())) event.Shift |= ssDouble;
  Queue(event);
}

void TWin32Window::OnMove(WPARAM WParam, LPARAM LParam) {
  if (!FTrackingLeave) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FWindow, 0};
    FTrackingLeave = TrackMouseEvent(&track) != 0;
  }
  TPlatformEvent event;
  event.Kind = TPlatformEventKind::pekMouseMove;
  event.Position = PointOf(LParam);
  event.Shift = ShiftFromFlags(WParam);
  Queue(event);
}

void TWin32Window::OnWheel(WPARAM WParam, LPARAM LParam) {
  // Windows sends the wheel to the focus window or the one under the
  // pointer; either way it is ours to give to the control that has the
  // GUI's focus, at the pointer's position.
  POINT point{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
  ScreenToClient(FWindow, &point);
  TPlatformEvent event;
  event.Kind = TPlatformEventKind::pekMouseWheel;
  event.Position = TPoint{point.x, point.y};
  event.WheelDelta = GET_WHEEL_DELTA_WPARAM(WParam);
  event.Shift = ShiftFromFlags(GET_KEYSTATE_WPARAM(WParam));
  Queue(event);
}

void TWin32Window::OnCaptureChanged(HWND NewOwner) {
  if (FReleasing || !FCaptureWanted || NewOwner == FWindow) return;
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

LRESULT TWin32Window::ForwardKey(UINT Message, WPARAM WParam, LPARAM LParam) {
  // A host that hands keys back to its focused child must not ping-pong.
  HWND parent = GetParent(FWindow);
  if (parent == nullptr || FForwardingKey) return 0;
  FForwardingKey = true;
  const LRESULT result = SendMessageW(parent, Message, WParam, LParam);
  FForwardingKey = false;
  return result;
}

LRESULT TWin32Window::Handle(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_NCCREATE:
      FWindow = Window;  // before CreateWindowEx returns it: the messages of creation need it
      break;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers it all
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      OnButton(TMouseButton::mbLeft, Message == WM_LBUTTONDOWN, WParam, LParam);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      OnButton(TMouseButton::mbRight, Message == WM_RBUTTONDOWN, WParam, LParam);
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      OnButton(TMouseButton::mbMiddle, Message == WM_MBUTTONDOWN, WParam, LParam);
      return 0;
    case WM_MOUSEMOVE:
      OnMove(WParam, LParam);
      return 0;
    case WM_MOUSELEAVE: {
      FTrackingLeave = false;
      TPlatformEvent event;
      event.Kind = TPlatformEventKind::pekMouseLeave;
      Queue(event);
      return 0;
    }
    case WM_MOUSEWHEEL:
      OnWheel(WParam, LParam);
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureChanged(reinterpret_cast<HWND>(LParam));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(LParam) == HTCLIENT) {
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
      return ForwardKey(Message, WParam, LParam);
    case WM_DPICHANGED_AFTERPARENT: {
      // The host's window moved to a monitor of another scale: the editor
      // is built again at the new factor (TGuiEditorForm::WantsRebuild).
      TPlatformEvent event;
      event.Kind = TPlatformEventKind::pekScaleChanged;
      Queue(event);
      return 0;
    }
    case WM_TIMER:
      if (WParam == kPulseTimer) {
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
        SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
        FWindow = nullptr;
        FCaptureWanted = false;
        ReleaseEditorWindowClass();
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(Window, Message, WParam, LParam);
}

}  // namespace vb
