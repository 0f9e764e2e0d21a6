// Guards against an X11 editor window that hosts cannot find, move or read:
// the wrong place, size, visual, border or hints in the window tree, key
// events taken from the host, pictures that differ from the frame or cross
// the request limit, input that arrives late, doubled or with the wrong
// buttons and modifiers, a pointer grab or hidden pointer that outlives the
// drag, and requests for windows the host already destroyed. Runs under
// the X server named by $DISPLAY (the test command starts Xvfb) and skips
// without one.
#include "platform/x11/x11_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/host_window.h"
#include "platform/memory_canvas.h"
#include "support/editor_test_host.h"
#include "support/event_recorder.h"
#include "support/x11_probe.h"

namespace vb::test {
namespace {

constexpr std::int32_t kWidth = 865;
constexpr std::int32_t kHeight = 150;

// A frame whose every pixel tells where it is (opaque).
std::unique_ptr<TMemoryBitmap> PatternFrame(std::int32_t Width, std::int32_t Height, std::uint32_t Salt) {
  auto result = std::make_unique<TMemoryBitmap>(Width, Height, TRasterFormat::rfBGRA32);
  TMemoryBitmap& frame = *result;
  for (std::int32_t y = 0; y < Height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(frame.Bits() + std::size_t(y) * frame.RowBytes());
    for (std::int32_t x = 0; x < Width; ++x)
      row[x] = 0xFF000000u | ((std::uint32_t(x) * 7u + Salt) & 0xFF) << 16 | (std::uint32_t(y) * 13u & 0xFF) << 8 |
               ((std::uint32_t(x + y) + Salt) & 0xFF);
  }
  return result;
}

class TX11WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TEditorTestHost::DisplayAvailable()) GTEST_SKIP() << "no X display (set DISPLAY, e.g. run under Xvfb)";
    std::string error;
    FHost = CreateHostWindow(kWidth + 40, kHeight + 40, "x11 window test", nullptr, &error);
    ASSERT_NE(FHost, nullptr) << error;
    ASSERT_TRUE(FHost->Show());
  }
  std::unique_ptr<TX11Window> MakeWindow(bool AllowShm = true) {
    TX11Window::TOptions options;
    options.AllowShm = AllowShm;
    auto window = std::make_unique<TX11Window>(options);
    window->SetListener(&FRecorder);
    window->SetSize(kWidth, kHeight);
    return window;
  }
  // A window embedded and shown, pressed with the left button at (X, Y)
  // and capturing the pointer, as a dial does when a drag starts; null
  // when the press never arrived.
  std::unique_ptr<TX11Window> CapturedDragAt(std::int16_t X, std::int16_t Y) {
    auto window = MakeWindow();
    if (!window->Embed(Parent())) return nullptr;
    window->Show();
    FProbe.MovePointer(xcb_window_t(window->NativeHandle()), X, Y);
    FProbe.Button(1, true);
    if (!IdleUntil(*window, [&] { return !FRecorder.OfKind(TPlatformEventKind::pekMouseDown).empty(); }))
      return nullptr;
    window->SetCapture(true);
    return window;
  }
  // Idles Window until Done holds (the server's events take a moment).
  bool IdleUntil(TX11Window& Window, const std::function<bool()>& Done) {
    for (int i = 0; i < 400; ++i) {
      Window.Idle();
      if (Done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
  std::uint32_t Parent() const { return std::uint32_t(FHost->NativeHandle()); }

  std::unique_ptr<THostWindow> FHost;
  TX11Probe FProbe;
  TEventRecorder FRecorder;
};

TEST_F(TX11WindowTest, OneFixedSizeChildAtTheParentsOriginThatTakesNoKeys) {
  auto window = MakeWindow();
  ASSERT_TRUE(window->Embed(Parent()));
  window->Show();
  // Findable as soon as Show returns, without waiting for any idle.
  const std::vector<xcb_window_t> children = FProbe.Children(Parent());
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(children[0], window->NativeHandle());
  const TX11Geometry g = FProbe.Geometry(children[0]);
  EXPECT_EQ(g.X, 0);
  EXPECT_EQ(g.Y, 0);
  EXPECT_EQ(g.Width, kWidth);
  EXPECT_EQ(g.Height, kHeight);
  EXPECT_EQ(g.Depth, 24);
  EXPECT_EQ(g.BorderWidth, 0u);
  EXPECT_EQ(FProbe.VisualClass(children[0]), XCB_VISUAL_CLASS_TRUE_COLOR);
  EXPECT_TRUE(FProbe.Viewable(children[0]));

  const std::vector<std::uint32_t> hints = FProbe.Property32(children[0], XCB_ATOM_WM_NORMAL_HINTS);
  ASSERT_EQ(hints.size(), 18u);
  EXPECT_EQ(hints[0] & 0x30u, 0x30u);  // PMinSize | PMaxSize
  EXPECT_EQ(hints[5], std::uint32_t(kWidth));
  EXPECT_EQ(hints[6], std::uint32_t(kHeight));
  EXPECT_EQ(hints[7], std::uint32_t(kWidth));
  EXPECT_EQ(hints[8], std::uint32_t(kHeight));
  EXPECT_EQ(FProbe.Property32(children[0], "_XEMBED_INFO"), (std::vector<std::uint32_t>{0, 1}));

  const std::uint32_t masks = FProbe.AllEventMasks(children[0]);
  EXPECT_EQ(masks & (XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE | XCB_EVENT_MASK_FOCUS_CHANGE), 0u);
  EXPECT_NE(masks & XCB_EVENT_MASK_BUTTON_PRESS, 0u);
  EXPECT_NE(masks & XCB_EVENT_MASK_STRUCTURE_NOTIFY, 0u);

  window.reset();
  EXPECT_TRUE(FProbe.Children(Parent()).empty()) << "closing leaves no window behind";
}

TEST_F(TX11WindowTest, NoDisplayOrNoParentLeavesNothingBehind) {
  const std::int32_t files = TEditorTestHost::OpenFileCount();
  TX11Window::TOptions nowhere;
  nowhere.DisplayName = ":4095";  // no server listens there
  TX11Window lost(nowhere);
  EXPECT_FALSE(lost.Embed(Parent()));
  EXPECT_EQ(lost.NativeHandle(), 0u);
  TX11Window orphan;
  EXPECT_FALSE(orphan.Embed(0));
  EXPECT_FALSE(orphan.Embed(0x1FFFFF));  // a window id no client made
  EXPECT_FALSE(orphan.Embedded());
  // Harmless while unembedded.
  orphan.Show();
  orphan.Idle();
  orphan.SetCapture(true);
  orphan.WarpPointer({1, 1});
  EXPECT_EQ(TEditorTestHost::OpenFileCount(), files) << "no connection stays open";
}

TEST_F(TX11WindowTest, PresentedAreasReachTheScreenPixelForPixel) {
  for (bool shm : {true, false}) {
    SCOPED_TRACE(shm ? "shared memory" : "plain requests");
    auto window = MakeWindow(shm);
    ASSERT_TRUE(window->Embed(Parent()));
    window->Show();
    const auto first = PatternFrame(kWidth, kHeight, 1);
    window->Present(first->View(), TRect{0, 0, kWidth, kHeight});
    // Only the 60 x 60 area of a second frame goes out.
    const auto second = PatternFrame(kWidth, kHeight, 99);
    const TRect knob{173, 8, 233, 68};
    const std::int64_t before = window->ImageRequestCount();
    window->Present(second->View(), knob);
    EXPECT_EQ(window->ImageRequestCount() - before, 1);
    ASSERT_TRUE(window->Sync());
    const auto shot = FHost->Grab();
    ASSERT_NE(shot, nullptr);
    std::int32_t wrong = 0;
    for (std::int32_t y = 0; y < kHeight; ++y)
      for (std::int32_t x = 0; x < kWidth; ++x) {
        const bool inKnob = x >= knob.Left && x < knob.Right && y >= knob.Top && y < knob.Bottom;
        const std::uint32_t expected = (inKnob ? *second : *first).PixelARGB(x, y);
        if (shot->PixelARGB(x, y) != expected) ++wrong;
      }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(shot->PixelARGB(kWidth + 5, 5), 0xFF303030u) << "nothing drawn outside the window";
    // Resized while open (a new scale), it shows its whole new area.
    window->SetSize(kWidth + 20, kHeight + 20);
    const auto larger = PatternFrame(kWidth + 20, kHeight + 20, 5);
    window->Present(larger->View(), TRect{0, 0, kWidth + 20, kHeight + 20});
    ASSERT_TRUE(window->Sync());
    const auto resized = FHost->Grab();
    ASSERT_NE(resized, nullptr);
    for (const TPoint at : {TPoint{kWidth + 19, 5}, TPoint{5, kHeight + 19}, TPoint{kWidth + 19, kHeight + 19}})
      EXPECT_EQ(resized->PixelARGB(at.X, at.Y), larger->PixelARGB(at.X, at.Y)) << at.X << "," << at.Y;
  }
}

TEST_F(TX11WindowTest, AFullFrameIsSplitToFitTheRequestLimit) {
  auto window = MakeWindow(false);
  ASSERT_TRUE(window->Embed(Parent()));
  window->Show();
  // The limit of a server without BIG-REQUESTS: 262,140 bytes; a full frame
  // is 519,000.
  window->SetImageRequestLimit(262140);
  const auto frame = PatternFrame(kWidth, kHeight, 7);
  window->Present(frame->View(), TRect{0, 0, kWidth, kHeight});
  EXPECT_EQ(window->ImageRequestCount(), 2);
  // A limit below one row splits rows too.
  window->SetImageRequestLimit(1024);
  const auto other = PatternFrame(kWidth, kHeight, 3);
  window->Present(other->View(), TRect{0, 0, kWidth, kHeight});
  ASSERT_TRUE(window->Sync());
  EXPECT_EQ(window->ErrorCount(), 0);
  const auto shot = FHost->Grab();
  ASSERT_NE(shot, nullptr);
  for (std::int32_t y = 0; y < kHeight; y += 7)
    for (std::int32_t x = 0; x < kWidth; x += 5)
      ASSERT_EQ(shot->PixelARGB(x, y), other->PixelARGB(x, y)) << x << "," << y;
}

// A limit that whole rows fill exactly: the request's header must fit in
// it too.
TEST_F(TX11WindowTest, ALimitFilledByWholeRowsLeavesRoomForTheHeader) {
  auto window = MakeWindow(false);
  ASSERT_TRUE(window->Embed(Parent()));
  window->Show();
  const std::uint32_t limit = std::uint32_t(kWidth) * 4 * 8;
  window->SetImageRequestLimit(limit);
  const auto frame = PatternFrame(kWidth, kHeight, 7);
  window->Present(frame->View(), TRect{0, 0, kWidth, kHeight});
  EXPECT_LE(window->LargestImageRequestBytes(), limit);
  ASSERT_TRUE(window->Sync());
  EXPECT_EQ(window->ErrorCount(), 0);
}

// A 2x editor's frame (1730 x 300, 2 MB) through a server without
// BIG-REQUESTS, whole and in a part away from the origin: every request
// within the limit, every pixel where it belongs.
TEST_F(TX11WindowTest, ALargeFrameAndAnOffsetPartStayWithinTheRequestLimit) {
  FHost->SetSize(1730 + 40, 300 + 40);
  TX11Window::TOptions options;
  options.AllowShm = false;
  TX11Window window(options);
  window.SetListener(&FRecorder);
  window.SetSize(1730, 300);
  ASSERT_TRUE(window.Embed(Parent()));
  window.Show();
  window.SetImageRequestLimit(262140);
  const auto first = PatternFrame(1730, 300, 5);
  window.Present(first->View(), TRect{0, 0, 1730, 300});
  const auto second = PatternFrame(1730, 300, 9);
  const TRect part{1013, 171, 1729, 299};
  window.Present(second->View(), part);
  EXPECT_LE(window.LargestImageRequestBytes(), 262140u);
  EXPECT_GE(window.ImageRequestCount(), 9);
  ASSERT_TRUE(window.Sync());
  EXPECT_EQ(window.ErrorCount(), 0);
  const auto shot = FHost->Grab();
  ASSERT_NE(shot, nullptr);
  for (std::int32_t y = 0; y < 300; y += 3)
    for (std::int32_t x = 0; x < 1730; x += 7) {
      const bool inPart = x >= part.Left && x < part.Right && y >= part.Top && y < part.Bottom;
      ASSERT_EQ(shot->PixelARGB(x, y), (inPart ? *second : *first).PixelARGB(x, y)) << x << "," << y;
    }
}

TEST_F(TX11WindowTest, ExposedAreasAreReportedOnceMerged) {
  auto window = MakeWindow();
  ASSERT_TRUE(window->Embed(Parent()));
  window->Show();
  ASSERT_TRUE(IdleUntil(*window, [&] { return !FRecorder.OfKind(TPlatformEventKind::pekExpose).empty(); }));
  const auto exposes = FRecorder.OfKind(TPlatformEventKind::pekExpose);
  ASSERT_EQ(exposes.size(), 1u);
  EXPECT_EQ(exposes[0].Area, (TRect{0, 0, kWidth, kHeight}));
  // Reported, it is done: later idles ask for nothing more.
  window->Idle();
  window->Idle();
  EXPECT_EQ(FRecorder.OfKind(TPlatformEventKind::pekExpose).size(), 1u);
}

// A part uncovered away from the window's origin is asked back exactly: not
// shifted, not a pixel short on its right or bottom.
TEST_F(TX11WindowTest, AnUncoveredPartAwayFromTheOriginIsExposedExactly) {
  auto window = MakeWindow();
  ASSERT_TRUE(window->Embed(Parent()));
  window->Show();
  ASSERT_TRUE(IdleUntil(*window, [&] { return !FRecorder.OfKind(TPlatformEventKind::pekExpose).empty(); }));
  FRecorder.Events.clear();
  // Another client's window over a part of ours, then gone.
  xcb_connection_t* c = FProbe.Get();
  const xcb_window_t cover = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, cover, xcb_window_t(window->NativeHandle()), 100, 40, 50, 30, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
  xcb_map_window(c, cover);
  FProbe.Sync();
  xcb_destroy_window(c, cover);
  FProbe.Sync();
  ASSERT_TRUE(IdleUntil(*window, [&] { return !FRecorder.OfKind(TPlatformEventKind::pekExpose).empty(); }));
  const auto exposes = FRecorder.OfKind(TPlatformEventKind::pekExpose);
  ASSERT_EQ(exposes.size(), 1u);
  EXPECT_EQ(exposes[0].Area, (TRect{100, 40, 150, 70}));
}

TEST_F(TX11WindowTest, RealInputArrivesWithButtonsModifiersWheelAndDoubleClicks) {
  if (!FProbe.HasXTest()) GTEST_SKIP() << "the X server has no XTEST";
  auto window = MakeWindow();
  ASSERT_TRUE(window->Embed(Parent()));
  window->Show();
  const xcb_window_t id = xcb_window_t(window->NativeHandle());
  FProbe.MovePointer(id, 100, 50);
  FProbe.Button(1, true);
  ASSERT_TRUE(IdleUntil(*window, [&] { return !FRecorder.OfKind(TPlatformEventKind::pekMouseDown).empty(); }));
  // A burst of movements arrives as its last position only.
  for (int i = 1; i <= 10; ++i) FProbe.MovePointer(id, 100, 50 - i * 2);
  FProbe.Button(1, false);
  ASSERT_TRUE(IdleUntil(*window, [&] { return !FRecorder.OfKind(TPlatformEventKind::pekMouseUp).empty(); }));
  const auto downs = FRecorder.OfKind(TPlatformEventKind::pekMouseDown);
  const auto ups = FRecorder.OfKind(TPlatformEventKind::pekMouseUp);
  EXPECT_EQ(downs[0].Position, (TPoint{100, 50}));
  EXPECT_EQ(downs[0].Button, TMouseButton::mbLeft);
  EXPECT_EQ(downs[0].Shift & ssLeft, 0u) << "a press does not carry its own button";
  EXPECT_EQ(ups[0].Shift & ssLeft, 0u) << "nor does the release";
  const auto moves = FRecorder.OfKind(TPlatformEventKind::pekMouseMove);
  ASSERT_FALSE(moves.empty());
  EXPECT_LE(moves.size(), 3u) << "motion bursts are merged";
  EXPECT_EQ(moves.back().Position, (TPoint{100, 30}));
  EXPECT_NE(moves.back().Shift & ssLeft, 0u) << "a drag's movements carry the held button";

  FRecorder.Events.clear();
  FProbe.Wheel(true);
  FProbe.Wheel(false);
  ASSERT_TRUE(IdleUntil(*window, [&] { return FRecorder.OfKind(TPlatformEventKind::pekMouseWheel).size() == 2; }));
  const auto wheel = FRecorder.OfKind(TPlatformEventKind::pekMouseWheel);
  EXPECT_EQ(wheel[0].WheelDelta, 120);
  EXPECT_EQ(wheel[1].WheelDelta, -120);
  EXPECT_TRUE(FRecorder.OfKind(TPlatformEventKind::pekMouseUp).empty()) << "wheel releases mean nothing";

  FRecorder.Events.clear();
  FProbe.Button(3, true);
  FProbe.Button(3, false);
  FProbe.Button(3, true);
  FProbe.Button(3, false);
  ASSERT_TRUE(IdleUntil(*window, [&] { return FRecorder.OfKind(TPlatformEventKind::pekMouseUp).size() == 2; }));
  const auto clicks = FRecorder.OfKind(TPlatformEventKind::pekMouseDown);
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[0].Button, TMouseButton::mbRight);
  EXPECT_EQ(clicks[0].Shift & ssDouble, 0u);
  EXPECT_NE(clicks[1].Shift & ssDouble, 0u);
}

TEST_F(TX11WindowTest, TheGrabAndTheHiddenPointerEndWithTheDrag) {
  if (!FProbe.HasXTest()) GTEST_SKIP() << "the X server has no XTEST";
  auto window = CapturedDragAt(675, 74);
  ASSERT_NE(window, nullptr);
  const xcb_window_t id = xcb_window_t(window->NativeHandle());
  EXPECT_TRUE(window->Grabbed());
  window->SetPointerHidden(true);
  // Outside the window the grab still reports to us.
  FProbe.MovePointer(id, kWidth + 10, 74);
  ASSERT_TRUE(IdleUntil(*window, [&] {
    const auto moves = FRecorder.OfKind(TPlatformEventKind::pekMouseMove);
    return !moves.empty() && moves.back().Position.X == kWidth + 10;
  }));
  FRecorder.Events.clear();
  window->WarpPointer({675, 74});
  window->Idle();
  ASSERT_TRUE(window->Sync());
  // The warp is reported once, right away.
  auto moves = FRecorder.OfKind(TPlatformEventKind::pekMouseMove);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].Position, (TPoint{675, 74}));
  std::int32_t x = 0, y = 0;
  ASSERT_TRUE(FProbe.PointerIn(id, x, y));
  EXPECT_EQ(x, 675);
  EXPECT_EQ(y, 74);
  window->Sync();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  window->Idle();
  moves = FRecorder.OfKind(TPlatformEventKind::pekMouseMove);
  EXPECT_EQ(moves.size(), 1u) << "the server's echo of the warp is dropped";

  FProbe.Button(1, false);
  ASSERT_TRUE(IdleUntil(*window, [&] { return !FRecorder.OfKind(TPlatformEventKind::pekMouseUp).empty(); }));
  window->SetPointerHidden(false);
  window->SetCapture(false);
  EXPECT_FALSE(window->Grabbed());
  EXPECT_EQ(window->ErrorCount(), 0);
}

// A host that hides its editor window mid-drag: the server ends the grab
// and no release will come, so the drag must be told it is over.
TEST_F(TX11WindowTest, AHostUnmappingItsWindowMidDragEndsTheCapture) {
  if (!FProbe.HasXTest()) GTEST_SKIP() << "the X server has no XTEST";
  auto window = CapturedDragAt(100, 74);
  ASSERT_NE(window, nullptr);
  xcb_unmap_window(FProbe.Get(), xcb_window_t(Parent()));
  FProbe.Sync();
  EXPECT_TRUE(IdleUntil(*window, [&] { return !FRecorder.OfKind(TPlatformEventKind::pekCaptureLost).empty(); }));
  EXPECT_FALSE(window->Grabbed());
  FProbe.Button(1, false);
  FProbe.Sync();
  EXPECT_EQ(window->ErrorCount(), 0);
}

// The host hides the editor mid-drag: the grab goes with it, or the
// hidden window would keep the pointer from every other client.
TEST_F(TX11WindowTest, HidingTheWindowMidDragEndsTheGrab) {
  if (!FProbe.HasXTest()) GTEST_SKIP() << "the X server has no XTEST";
  auto window = CapturedDragAt(100, 74);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->Grabbed());
  window->Hide();
  EXPECT_FALSE(window->Grabbed());
  FProbe.Button(1, false);
  FProbe.Sync();
  EXPECT_EQ(window->ErrorCount(), 0);
}

TEST_F(TX11WindowTest, AParentDestroyedFirstEndsAllRequests) {
  auto window = MakeWindow();
  ASSERT_TRUE(window->Embed(Parent()));
  window->Show();
  const auto frame = PatternFrame(kWidth, kHeight, 5);
  window->Present(frame->View(), TRect{0, 0, kWidth, kHeight});
  FHost->Destroy();
  // Before any idle noticed it, and after.
  window->Present(frame->View(), TRect{0, 0, 60, 60});
  window->SetCapture(true);
  ASSERT_TRUE(IdleUntil(*window, [&] { return !window->Embedded(); }));
  const std::int64_t errors = window->ErrorCount();
  window->Present(frame->View(), TRect{0, 0, kWidth, kHeight});
  window->WarpPointer({1, 1});
  window->SetPointerHidden(true);
  window->Hide();
  window->Sync();
  window->Idle();
  EXPECT_EQ(window->ErrorCount(), errors) << "no request names a destroyed window once its end is known";
  window.reset();
}

}  // namespace
}  // namespace vb::test
