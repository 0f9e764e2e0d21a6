// Guards against a compositor that layers controls in the wrong order, paints
// more than the dirty areas, or loses them; and against input routed to the
// wrong control: capture from press to release and after it is lost,
// hover, clicks and double clicks, focus and the wheel, the keyboard state
// at a click, timers, hints.
#include "gui/gui_window.h"

#include <gtest/gtest.h>

#include "gui/gui_compositor.h"
#include "gui/gui_font.h"
#include "gui/gui_hint.h"
#include "gui/gui_timer.h"
#include "gui_test_support.h"
#include "image/gui_pixel_map_memory.h"

namespace vb::test {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kGreen = 0xFF00FF00;

TEST(GuiWindow, ComposesBackgroundThenWindowlessThenWindowedControls) {
  THeadlessGui gui;
  gui.Window->SetColor(0x00FFFFFF);
  // Created first but windowed: still drawn above the windowless one.
  auto& windowed = gui.Window->Create<TFillControl>(true, kRed);
  windowed.SetBounds(10, 10, 20, 20);
  auto& windowless = gui.Window->Create<TFillControl>(false, kBlue);
  windowless.SetBounds(20, 20, 20, 20);
  gui.Window->Show();
  EXPECT_EQ(gui.Screen->ScreenPixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(gui.Screen->ScreenPixel(25, 25), kRed);
  EXPECT_EQ(gui.Screen->ScreenPixel(35, 35), kBlue);
  EXPECT_EQ(gui.Screen->ScreenPixel(99, 49), 0xFFFFFFFFu);
}

TEST(GuiWindow, RepaintTouchesOnlyTheChangedControl) {
  THeadlessGui gui;
  auto& a = gui.Window->Create<TFillControl>(true, kRed);
  a.SetBounds(0, 0, 10, 10);
  auto& b = gui.Window->Create<TFillControl>(true, kBlue);
  b.SetBounds(50, 0, 10, 10);
  gui.Window->Show();
  const std::int64_t before = gui.Screen->PresentedPixels();
  const std::int32_t paintsOfA = a.PaintCount;
  b.SetFill(kGreen);
  b.SetFill(kRed);  // two requests, one repaint
  gui.Window->Idle();
  EXPECT_EQ(gui.Screen->PresentedPixels() - before, 100);
  EXPECT_EQ(gui.Screen->LastPresented(), Rect(50, 0, 60, 10));
  EXPECT_EQ(a.PaintCount, paintsOfA);
  EXPECT_EQ(gui.Screen->ScreenPixel(55, 5), kRed);
  gui.Window->Idle();  // nothing dirty: nothing presented
  EXPECT_EQ(gui.Screen->PresentedPixels() - before, 100);
}

TEST(GuiWindow, MovingAControlRepaintsBothPlaces) {
  THeadlessGui gui;
  gui.Window->SetColor(0x00000000);
  auto& c = gui.Window->Create<TFillControl>(false, kGreen);
  c.SetBounds(0, 0, 10, 10);
  gui.Window->Show();
  c.SetLeft(20);
  gui.Window->Idle();
  EXPECT_EQ(gui.Screen->ScreenPixel(5, 5), 0xFF000000u);
  EXPECT_EQ(gui.Screen->ScreenPixel(25, 5), kGreen);
  c.SetVisible(false);
  gui.Window->Idle();
  EXPECT_EQ(gui.Screen->ScreenPixel(25, 5), 0xFF000000u);
}

TEST(GuiWindow, PressCapturesThePointerUntilTheLastRelease) {
  THeadlessGui gui;
  auto& c = gui.Window->Create<TFillControl>(true);
  c.SetBounds(10, 10, 10, 10);
  gui.Screen->Press({12, 13});
  gui.Screen->MoveTo({90, 45});  // far outside: still the control's
  gui.Screen->Release({90, 45});
  gui.Screen->MoveTo({91, 45});  // after the release: nobody's
  gui.Window->Idle();
  EXPECT_EQ(c.Log, (std::vector<std::string>{"enter", "down 0 2,3", "move 80,35 left", "up 0 80,35", "leave"}));
  EXPECT_FALSE(gui.Screen->Captured());
}

TEST(GuiWindow, ClickAndDoubleClickFollowThePressesAndTheClock) {
  THeadlessGui gui;
  auto& c = gui.Window->Create<TFillControl>(false);
  c.SetBounds(0, 0, 10, 10);
  gui.Screen->Click({1, 1});
  gui.Screen->Click({2, 1});
  gui.Window->Idle();
  EXPECT_EQ(c.Log, (std::vector<std::string>{"enter", "down 0 1,1", "up 0 1,1", "click", "dblclick",
                                             "down 0 2,1 double", "up 0 2,1"}));
  c.Log.clear();
  gui.Screen->AdvanceClock(1000);
  gui.Screen->Click({2, 1});
  gui.Screen->AdvanceClock(501);
  gui.Screen->Click({2, 1});  // too late for a double click
  gui.Window->Idle();
  EXPECT_EQ(std::count(c.Log.begin(), c.Log.end(), "click"), 2);
  EXPECT_EQ(std::count(c.Log.begin(), c.Log.end(), "dblclick"), 0);
}

TEST(GuiWindow, ReleaseOutsideTheControlIsNoClick) {
  THeadlessGui gui;
  auto& c = gui.Window->Create<TFillControl>(false);
  c.SetBounds(0, 0, 10, 10);
  gui.Screen->Press({1, 1});
  gui.Screen->Release({50, 1});
  gui.Window->Idle();
  EXPECT_EQ(std::count(c.Log.begin(), c.Log.end(), "click"), 0);
}

// The host (or another client) takes the pointer mid-press, and the
// press's release goes to that client: a later click of another button
// gives the pointer back. When the release does come, it is no click.
TEST(GuiWindow, ALostCaptureEndsThePressItInterrupted) {
  THeadlessGui gui;
  auto& c = gui.Window->Create<TFillControl>(false);
  c.SetBounds(0, 0, 10, 10);
  gui.Screen->Press({1, 1});
  gui.Window->Idle();
  ASSERT_TRUE(gui.Screen->Captured());
  gui.Screen->LoseCapture();
  EXPECT_FALSE(gui.Screen->Captured());
  gui.Window->Idle();
  gui.Screen->Press({1, 1}, TMouseButton::mbRight);
  gui.Screen->Release({1, 1}, TMouseButton::mbRight);
  gui.Window->Idle();
  EXPECT_FALSE(gui.Screen->Captured()) << "the interrupted press still counted as held";
  gui.Screen->Press({1, 1});
  gui.Screen->LoseCapture();
  gui.Screen->Release({1, 1});
  gui.Window->Idle();
  EXPECT_EQ(std::count(c.Log.begin(), c.Log.end(), "click"), 0) << "a click from the interrupted press";
}

TEST(GuiWindow, WheelGoesToTheControlFocusedByALeftPress) {
  THeadlessGui gui;
  auto& a = gui.Window->Create<TFillControl>(true);
  a.SetBounds(0, 0, 10, 10);
  auto& b = gui.Window->Create<TFillControl>(true);
  b.SetBounds(20, 0, 10, 10);
  gui.Screen->Wheel({1, 1}, 120);                    // nothing focused yet
  gui.Screen->Click({1, 1}, TMouseButton::mbRight);  // a right press does not focus
  gui.Screen->Wheel({1, 1}, 120);
  gui.Window->Idle();
  EXPECT_EQ(std::count(a.Log.begin(), a.Log.end(), "wheel 120"), 0);
  gui.Screen->Click({1, 1});
  gui.Screen->Wheel({25, 1}, -240);  // over b, but a holds the focus
  gui.Window->Idle();
  EXPECT_TRUE(a.Focused());
  EXPECT_EQ(std::count(a.Log.begin(), a.Log.end(), "wheel -240"), 1);
  EXPECT_TRUE(std::none_of(b.Log.begin(), b.Log.end(), [](const std::string& s) { return s.rfind("wheel", 0) == 0; }));
  // Focus moves: the old control hears it leave before the new one hears
  // it arrive.
  std::vector<std::string> focus;
  a.SetOnExit([&](TGuiComponent&) { focus.push_back("a exit"); });
  b.SetOnEnter([&](TGuiComponent&) { focus.push_back("b enter"); });
  gui.Screen->Click({25, 1});
  gui.Window->Idle();
  EXPECT_EQ(focus, (std::vector<std::string>{"a exit", "b enter"}));
}

// Dirty areas however they overlap (one enclosing an earlier one, one
// inside it, one partly over it) are all repainted; sixteen separate areas
// are repainted as they are, not as the box around them.
TEST(GuiCompositor, RepaintsEveryDirtyPixelAndNoMoreUpToSixteenAreas) {
  TGuiCompositor compositor;
  compositor.SetSize(200, 100);
  std::vector<TRect> presented;
  const auto compose = [&] {
    presented.clear();
    compositor.Compose(0, {}, [&](const TRect& R) { presented.push_back(R); });
  };
  compose();
  const std::vector<TRect> areas = {{10, 10, 20, 20}, {0, 0, 50, 50}, {5, 5, 15, 15}, {40, 40, 70, 60}};
  for (const TRect& area : areas) compositor.Invalidate(area);
  compose();
  int missed = 0;
  for (const TRect& area : areas)
    for (std::int32_t y = area.Top; y < area.Bottom; ++y)
      for (std::int32_t x = area.Left; x < area.Right; ++x)
        missed += std::none_of(presented.begin(), presented.end(), [&](const TRect& R) {
          return x >= R.Left && x < R.Right && y >= R.Top && y < R.Bottom;
        });
  EXPECT_EQ(missed, 0);
  for (std::int32_t i = 0; i < 16; ++i) compositor.Invalidate({i * 10, 80, i * 10 + 2, 82});
  compose();
  std::int64_t pixels = 0;
  for (const TRect& r : presented) pixels += std::int64_t(r.Width()) * r.Height();
  EXPECT_EQ(pixels, 16 * 4);
}

TEST(GuiWindow, KeyboardStateIsTheOneOfTheEventBeingHandled) {
  THeadlessGui gui;
  auto& c = gui.Window->Create<TFillControl>(false);
  c.SetBounds(0, 0, 10, 10);
  TShiftState atClick = 0;
  c.SetOnClick([&](TGuiComponent&) { atClick = gui.Window->KeyboardState(); });
  gui.Screen->SetKeys(ssCtrl);
  gui.Screen->Click({1, 1});
  gui.Screen->SetKeys(0);  // released before the events are handled
  gui.Window->Idle();
  EXPECT_EQ(atClick & ssCtrl, ssCtrl);
  EXPECT_EQ(gui.Window->KeyboardState() & ssCtrl, 0u);
}

TEST(GuiWindow, DisabledControlsGetNoInput) {
  THeadlessGui gui;
  auto& below = gui.Window->Create<TFillControl>(false);
  below.SetBounds(0, 0, 10, 10);
  auto& c = gui.Window->Create<TFillControl>(true);
  c.SetBounds(0, 0, 10, 10);
  c.SetEnabled(false);
  gui.Screen->Click({1, 1});
  gui.Window->Idle();
  EXPECT_TRUE(c.Log.empty());
  EXPECT_TRUE(below.Log.empty());
}

TEST(GuiWindow, TimerFiresFromIdleOncePerElapsedInterval) {
  THeadlessGui gui;
  auto& timer = gui.Window->Create<TGuiTimer>();
  timer.SetInterval(100);
  int fired = 0;
  timer.SetOnTimer([&](TGuiComponent&) { ++fired; });
  gui.Screen->AdvanceClock(99);
  gui.Window->Idle();
  EXPECT_EQ(fired, 0);
  gui.Screen->AdvanceClock(1);
  gui.Window->Idle();
  EXPECT_EQ(fired, 1);
  gui.Screen->AdvanceClock(1000);  // a late idle fires once
  gui.Window->Idle();
  EXPECT_EQ(fired, 2);
  timer.SetEnabled(false);
  gui.Screen->AdvanceClock(1000);
  gui.Window->Idle();
  EXPECT_EQ(fired, 2);
}

TEST(GuiWindow, LoadingEndsWithLoadedOnEveryComponentInOrder) {
  std::vector<std::string> order;
  struct TProbe : TGuiComponent {
    TProbe(TGuiWindow* Owner, std::vector<std::string>* Log, std::string Name)
        : TGuiComponent(Owner), Log(Log), Label(std::move(Name)) {}
    void Loaded() override {
      TGuiComponent::Loaded();
      Log->push_back(Label);
    }
    std::vector<std::string>* Log;
    std::string Label;
  };
  THeadlessGui gui;
  gui.Window->BeginLoading();
  auto& a = gui.Window->Create<TProbe>(&order, "a");
  gui.Window->Create<TProbe>(&order, "b");
  EXPECT_TRUE(a.Loading());
  gui.Window->EndLoading();
  EXPECT_FALSE(a.Loading());
  EXPECT_EQ(order, (std::vector<std::string>{"a", "b"}));
}

TEST(GuiWindow, CaptureFrameHandsOutTheComposedPicture) {
  THeadlessGui gui(30, 20);
  gui.Window->SetColor(0x000000FF);  // red as 0x00BBGGRR
  TGuiPixelMapMemory frame;
  gui.Window->CaptureFrame(frame);
  ASSERT_EQ(frame.Width(), 30);
  ASSERT_EQ(frame.Height(), 20);
  EXPECT_EQ(frame.GetPixel(29, 19).ARGB(), kRed);
}

}  // namespace
}  // namespace vb::test

namespace vb::test {
namespace {

TEST(GuiWindowHint, ShowsAfterARestInsideTheWindowAndGoesOnLeaving) {
  THeadlessGui gui(120, 60);
  gui.Window->SetColor(0x00000000);
  auto& c = gui.Window->Create<TFillControl>(false, 0xFF000000);
  c.SetBounds(100, 10, 20, 20);
  c.SetHint("Visit website");
  c.SetShowHint(true);
  auto& quiet = gui.Window->Create<TFillControl>(false, 0xFF000000);
  quiet.SetBounds(0, 10, 20, 20);
  quiet.SetHint("never shown");
  gui.Window->Show();
  gui.Screen->MoveTo({110, 20});
  gui.Window->Idle();
  gui.Screen->AdvanceClock(499);
  gui.Window->Idle();
  EXPECT_FALSE(gui.Window->HintVisible());
  gui.Screen->AdvanceClock(1);
  gui.Window->Idle();
  ASSERT_TRUE(gui.Window->HintVisible());
  const TRect box = gui.Window->HintBounds();
  // Inside the window although the pointer is near its right edge.
  EXPECT_GE(box.Left, 0);
  EXPECT_LE(box.Right, 120);
  EXPECT_LE(box.Bottom, 60);
  EXPECT_EQ(gui.Screen->ScreenPixel(box.Left, box.Top), 0xFF404040u);  // its frame
  // Five seconds, not a tick longer.
  gui.Screen->AdvanceClock(4999);
  gui.Window->Idle();
  EXPECT_TRUE(gui.Window->HintVisible());
  gui.Screen->AdvanceClock(1);
  gui.Window->Idle();
  EXPECT_FALSE(gui.Window->HintVisible());
  gui.Screen->MoveTo({10, 20});  // onto a control that shows no hints
  gui.Window->Idle();
  gui.Screen->AdvanceClock(1000);
  gui.Window->Idle();
  EXPECT_FALSE(gui.Window->HintVisible());
  EXPECT_EQ(gui.Screen->ScreenPixel(box.Left, box.Top), 0xFF000000u);
}

// At 1.5x a hint's text and padding are the 1x ones times 1.5, halves
// rounded up (11 px text in 17, 3 px padding in 5, a 1 px frame), 27 px
// below the pointer; a hint that just fits there stays there.
TEST(GuiWindowHint, ScalesByHalvesRoundedUpAndStaysBelowThePointerWhileItFits) {
  TGuiHint hint(nullptr, 3);
  const TRect box = hint.Show("Visit website", {10, 0}, 400, 400);
  TGuiSimpleGDIFont font(nullptr);
  TFont big;
  big.Height = -17;
  font.SetAntialiasing(true);
  font.SetFont(big);
  const TTextExtent text = font.TextExtent("Visit website");
  EXPECT_EQ(box.Width(), text.Width + 12);
  EXPECT_EQ(box.Height(), text.Height + 12);
  EXPECT_EQ(box.Top, 27);
  const std::int32_t fits = 100 + 27 + box.Height();
  EXPECT_EQ(hint.Show("Visit website", {10, 100}, 400, fits).Top, 127);
  EXPECT_LT(hint.Show("Visit website", {10, 100}, 400, fits - 1).Bottom, 100) << "one row short: above";
}

TEST(GuiWindowHint, APressHidesItUntilThePointerMovesOnAndBack) {
  THeadlessGui gui(120, 60);
  auto& c = gui.Window->Create<TFillControl>(false);
  c.SetBounds(0, 0, 20, 20);
  c.SetHint("tip");
  c.SetShowHint(true);
  gui.Window->Show();
  gui.Screen->MoveTo({5, 5});
  gui.Screen->AdvanceClock(600);
  gui.Window->Idle();
  gui.Window->Idle();
  gui.Screen->AdvanceClock(600);
  gui.Window->Idle();
  EXPECT_TRUE(gui.Window->HintVisible());
  gui.Screen->Click({5, 5});
  gui.Window->Idle();
  gui.Screen->AdvanceClock(1000);
  gui.Window->Idle();
  EXPECT_FALSE(gui.Window->HintVisible());
}

}  // namespace
}  // namespace vb::test
