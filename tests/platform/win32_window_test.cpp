// Guards the Win32 window backend from the host's side of the glass: the
// events a press, a move, a wheel notch and the modifier keys become; the
// capture taken and given back; keys and characters passed on to the host's
// window; the pulse; the presented frame on the screen pixel for pixel; the
// thread's DPI awareness restored after the child is created; and the
// user's decimal separator. Run under Wine by scripts/test.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/host_window.h"
#include "platform/locale_decimal_separator.h"
#include "platform/memory_canvas.h"
#include "platform/win32/win32_dpi.h"
#include "platform/win32/win32_window.h"
#include "support/event_recorder.h"

namespace vb {
namespace {

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// What reaches the host's frame: its procedure is replaced for the test.
std::vector<UINT> GFrameMessages;
WNDPROC GFrameProcedure = nullptr;
LRESULT CALLBACK RecordingProcedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message >= WM_KEYFIRST && Message <= WM_KEYLAST) GFrameMessages.push_back(Message);
  return CallWindowProcW(GFrameProcedure, Window, Message, WParam, LParam);
}

// A host frame with our window embedded at (0, 0), both shown.
struct TEmbedded {
  TEmbedded(std::int32_t Width = 200, std::int32_t Height = 120)
      : Frame(CreateHostWindow(Width, Height, "Win32 window test")) {
    Frame->Show(2000);
    Window.SetListener(&Recorder);
    Window.SetSize(Width, Height);
    Embedded = Window.Embed(Frame->NativeHandle());
    Window.Show();
    Pump();
  }
  HWND Handle() const { return reinterpret_cast<HWND>(Window.NativeHandle()); }
  HWND FrameHandle() const { return reinterpret_cast<HWND>(Frame->NativeHandle()); }

  std::unique_ptr<THostWindow> Frame;
  test::TEventRecorder Recorder;
  TWin32Window Window;
  bool Embedded = false;
};

TEST(Win32Window, PressesMovesAndWheelCarryTheirPositionModifiersAndButtons) {
  TEmbedded host;
  ASSERT_TRUE(host.Embedded);
  const HWND window = host.Handle();
  // A Control + left press: the press does not count its own button.
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(30, 40));
  SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(31, 45));
  SendMessageW(window, WM_LBUTTONUP, MK_RBUTTON, MAKELPARAM(32, 46));
  const auto downs = host.Recorder.OfKind(TPlatformEventKind::pekMouseDown);
  const auto moves = host.Recorder.OfKind(TPlatformEventKind::pekMouseMove);
  const auto ups = host.Recorder.OfKind(TPlatformEventKind::pekMouseUp);
  ASSERT_EQ(downs.size(), 1u);
  ASSERT_FALSE(moves.empty());
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(downs[0].Position, (TPoint{30, 40}));
  EXPECT_EQ(downs[0].Button, TMouseButton::mbLeft);
  EXPECT_EQ(downs[0].Shift & (ssCtrl | ssShift | ssAlt | ssLeft | ssRight | ssMiddle), ssCtrl);
  EXPECT_EQ(moves.back().Position, (TPoint{31, 45}));
  EXPECT_EQ(moves.back().Shift & (ssCtrl | ssShift | ssLeft), ssShift | ssLeft);
  EXPECT_EQ(ups[0].Shift & (ssLeft | ssRight), ssRight);

  // A second press close by within the interval is a double click.
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(31, 41));
  const auto again = host.Recorder.OfKind(TPlatformEventKind::pekMouseDown);
  ASSERT_EQ(again.size(), 2u);
  EXPECT_TRUE(again[1].Shift & ssDouble);
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(31, 41));

  // The wheel's position comes in screen coordinates and leaves in the
  // window's own.
  POINT screen{50, 60};
  ClientToScreen(window, &screen);
  ASSERT_NE(screen.x, 50);  // the frame sits away from the screen's corner
  SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
  const auto wheels = host.Recorder.OfKind(TPlatformEventKind::pekMouseWheel);
  ASSERT_EQ(wheels.size(), 1u);
  EXPECT_EQ(wheels[0].Position, (TPoint{50, 60}));
  EXPECT_EQ(wheels[0].WheelDelta, -kWheelDeltaPerNotch);
  EXPECT_TRUE(wheels[0].Shift & ssCtrl);
}

TEST(Win32Window, TheCaptureIsTakenAndGivenBackAndItsLossIsReportedOnce) {
  TEmbedded host;
  ASSERT_TRUE(host.Embedded);
  host.Window.SetCapture(true);
  EXPECT_EQ(GetCapture(), host.Handle());
  host.Window.SetCapture(false);
  EXPECT_EQ(GetCapture(), nullptr);  // the host's own controls get their clicks again
  EXPECT_TRUE(host.Recorder.OfKind(TPlatformEventKind::pekCaptureLost).empty());

  host.Window.SetCapture(true);
  SetCapture(host.FrameHandle());
  Pump();
  EXPECT_EQ(host.Recorder.OfKind(TPlatformEventKind::pekCaptureLost).size(), 1u);
  ReleaseCapture();
  Pump();
  EXPECT_EQ(host.Recorder.OfKind(TPlatformEventKind::pekCaptureLost).size(), 1u);
}

TEST(Win32Window, KeysAndCharactersGoOnToTheHostsWindow) {
  TEmbedded host;
  ASSERT_TRUE(host.Embedded);
  GFrameMessages.clear();
  GFrameProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(host.FrameHandle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProcedure)));
  for (UINT message : {WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP})
    SendMessageW(host.Handle(), message, 'A', 1);
  SetWindowLongPtrW(host.FrameHandle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GFrameProcedure));
  EXPECT_EQ(GFrameMessages, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP}));
  // The editor never takes the keyboard for itself.
  EXPECT_NE(GetFocus(), host.Handle());
}

TEST(Win32Window, ThePulseTicksWhileTheHostRunsItsMessageLoop) {
  TEmbedded host;
  ASSERT_TRUE(host.Embedded);
  // A host's message loop for up to 3 s: the 100 ms pulse must come.
  for (int waited = 0; waited < 3000 && host.Recorder.OfKind(TPlatformEventKind::pekTimer).size() < 2; waited += 10) {
    Pump();
    Sleep(10);
  }
  EXPECT_GE(host.Recorder.OfKind(TPlatformEventKind::pekTimer).size(), 2u);
}

TEST(Win32Window, APresentedAreaReachesTheScreenExactlyAndNothingElseMoves) {
  constexpr std::int32_t kWidth = 64, kHeight = 48;
  TEmbedded host(kWidth, kHeight);
  ASSERT_TRUE(host.Embedded);
  // A frame of distinct pixels: every pixel knows its place.
  TMemoryBitmap frame(kWidth, kHeight, TRasterFormat::rfBGRA32);
  const auto pixelAt = [](std::int32_t X, std::int32_t Y) {
    return 0xFF000000u | std::uint32_t(X * 4 << 16 | Y * 5 << 8 | (X ^ Y));
  };
  for (std::int32_t y = 0; y < kHeight; ++y)
    for (std::int32_t x = 0; x < kWidth; ++x) reinterpret_cast<std::uint32_t*>(frame.View().Row(y))[x] = pixelAt(x, y);
  host.Window.Present(frame.View(), TRect{0, 0, kWidth, kHeight});
  // Then only an inner area of a second, black frame.
  TMemoryBitmap black(kWidth, kHeight, TRasterFormat::rfBGRA32);
  const TRect inner{10, 7, 41, 30};
  host.Window.Present(black.View(), inner);
  Pump();
  auto shown = host.Frame->Grab();
  ASSERT_NE(shown, nullptr);
  std::int32_t wrong = 0;
  for (std::int32_t y = 0; y < kHeight; ++y)
    for (std::int32_t x = 0; x < kWidth; ++x) {
      const bool inside = x >= inner.Left && x < inner.Right && y >= inner.Top && y < inner.Bottom;
      const std::uint32_t expected = inside ? 0u : pixelAt(x, y) & 0xFFFFFF;
      wrong += (reinterpret_cast<const std::uint32_t*>(shown->View().Row(y))[x] & 0xFFFFFF) != expected;
    }
  EXPECT_EQ(wrong, 0);
  // Uncovered again (the host repaints its frame), the kept frame shows.
  InvalidateRect(host.Handle(), nullptr, FALSE);
  UpdateWindow(host.Handle());
  auto repainted = host.Frame->Grab();
  ASSERT_NE(repainted, nullptr);
  EXPECT_EQ(std::memcmp(repainted->View().Row(0), shown->View().Row(0), std::size_t(kWidth) * 4 * kHeight), 0);
}

TEST(Win32Window, TheThreadsDpiAwarenessIsRestoredAfterTheChildIsCreated) {
  using TContext = void*(WINAPI*)();
  using TSetContext = void*(WINAPI*)(void*);
  using TAreEqual = BOOL(WINAPI*)(void*, void*);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  auto get =
      reinterpret_cast<TContext>(reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
  auto set =
      reinterpret_cast<TSetContext>(reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
  auto equal =
      reinterpret_cast<TAreEqual>(reinterpret_cast<void*>(GetProcAddress(user32, "AreDpiAwarenessContextsEqual")));
  if (get == nullptr || set == nullptr || equal == nullptr) GTEST_SKIP() << "no per-thread DPI awareness here";
  // The host's frame is per-monitor aware; its thread then goes unaware.
  void* original = set(reinterpret_cast<void*>(-4));
  auto frame = CreateHostWindow(100, 80, "aware frame");
  void* aware = get();
  set(reinterpret_cast<void*>(-1));
  void* before = get();
  if (equal(aware, before)) {
    set(original);
    GTEST_SKIP() << "this process keeps its threads' awareness fixed (Wine, when it starts unaware)";
  }
  {
    TWin32Window window;
    window.SetSize(100, 80);
    ASSERT_TRUE(window.Embed(frame->NativeHandle()));
    EXPECT_TRUE(equal(get(), before));
  }
  {
    const TDpiAwarenessScope scope(reinterpret_cast<HWND>(frame->NativeHandle()));
    EXPECT_FALSE(equal(get(), before));  // the parent's, inside
  }
  EXPECT_TRUE(equal(get(), before));
  set(original);
}

TEST(Win32Locale, TheDecimalSeparatorIsTheLocalesOwn) {
  EXPECT_EQ(DecimalSeparatorOfLocale("de-DE"), ',');
  EXPECT_EQ(DecimalSeparatorOfLocale("fr-FR"), ',');
  EXPECT_EQ(DecimalSeparatorOfLocale("en-US"), '.');
  EXPECT_EQ(DecimalSeparatorOfLocale("ja-JP"), '.');
  // The user's own: Wine's prefix here is en-US.
  EXPECT_EQ(UserDecimalSeparator(), DecimalSeparatorOfLocale(NumericLocaleName()));
}

}  // namespace
}  // namespace vb
