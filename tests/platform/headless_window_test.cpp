// Guards against a headless window that shows more or less than what was
// presented or damaged, or reports input in another order, with wrong
// button state or wrong double-click pairing.
#include "platform/headless_window.h"

#include <gtest/gtest.h>

#include <vector>

namespace vb {
namespace {

struct TRecorder : TPlatformWindowListener {
  void OnPlatformEvent(const TPlatformEvent& Event) override { Events.push_back(Event); }
  std::vector<TPlatformEvent> Events;
};

TEST(HeadlessWindow, PresentCopiesOnlyTheGivenArea) {
  THeadlessWindow window(77);
  EXPECT_EQ(window.Parent(), 77u);
  window.SetSize(4, 2);
  std::uint32_t frame[8];
  for (std::uint32_t& p : frame) p = 0xFF112233;
  const TRasterView view{frame, 4, 2, 16, TRasterFormat::rfBGRA32, nullptr};
  window.Present(view, Rect(1, 0, 3, 1));
  EXPECT_EQ(window.ScreenPixel(0, 0), 0u);
  EXPECT_EQ(window.ScreenPixel(1, 0), 0xFF112233u);
  EXPECT_EQ(window.ScreenPixel(2, 0), 0xFF112233u);
  EXPECT_EQ(window.ScreenPixel(1, 1), 0u);
  EXPECT_EQ(window.PresentedPixels(), 2);
  window.Present(view, Rect(-5, -5, 100, 100));  // clipped to the window
  EXPECT_EQ(window.PresentedPixels(), 10);
  EXPECT_EQ(window.LastPresented(), Rect(0, 0, 4, 2));
}

// Damage spoils every pixel of its area, and only those, until a repaint:
// a repaint that skips a row of it shows.
TEST(HeadlessWindow, DamageSpoilsItsWholeAreaAndAsksForItBack) {
  THeadlessWindow window;
  TRecorder recorder;
  window.SetListener(&recorder);
  window.SetSize(10, 10);
  window.Damage(Rect(2, 3, 5, 7));
  int spoiled = 0;
  for (std::int32_t y = 0; y < 10; ++y)
    for (std::int32_t x = 0; x < 10; ++x) spoiled += window.ScreenPixel(x, y) != 0u;
  EXPECT_EQ(spoiled, 3 * 4);
  EXPECT_NE(window.ScreenPixel(4, 6), 0u) << "the last row and column";
  window.Idle();
  ASSERT_EQ(recorder.Events.size(), 1u);
  EXPECT_EQ(recorder.Events[0].Kind, TPlatformEventKind::pekExpose);
  EXPECT_EQ(recorder.Events[0].Area, Rect(2, 3, 5, 7));
}

TEST(HeadlessWindow, InputArrivesInOrderWithButtonsAndKeys) {
  THeadlessWindow window;
  TRecorder recorder;
  window.SetListener(&recorder);
  window.SetKeys(ssShift);
  window.Press({1, 2});
  window.MoveTo({3, 4});
  window.Release({3, 4});
  window.Wheel({0, 0}, -120);
  EXPECT_TRUE(recorder.Events.empty());  // only Idle delivers
  window.Idle();
  ASSERT_EQ(recorder.Events.size(), 4u);
  EXPECT_EQ(recorder.Events[0].Kind, TPlatformEventKind::pekMouseDown);
  EXPECT_EQ(recorder.Events[0].Shift, ssShift);
  EXPECT_EQ(recorder.Events[1].Shift, ssShift | ssLeft);
  EXPECT_EQ(recorder.Events[2].Shift, ssShift);
  EXPECT_EQ(recorder.Events[3].WheelDelta, -120);
}

TEST(HeadlessWindow, WarpIsReportedAsAMove) {
  THeadlessWindow window;
  TRecorder recorder;
  window.SetListener(&recorder);
  window.WarpPointer({30, 30});
  window.Idle();
  ASSERT_EQ(recorder.Events.size(), 1u);
  EXPECT_EQ(recorder.Events[0].Kind, TPlatformEventKind::pekMouseMove);
  EXPECT_EQ(window.PointerPosition(), (TPoint{30, 30}));
}

TEST(DoubleClickDetector, PairsTwoNearPressesWithinTheInterval) {
  TDoubleClickDetector d;
  EXPECT_FALSE(d.Press(TMouseButton::mbLeft, {0, 0}, 0));
  EXPECT_TRUE(d.Press(TMouseButton::mbLeft, {4, 4}, 500));
  EXPECT_FALSE(d.Press(TMouseButton::mbLeft, {4, 4}, 600));    // a third press starts over
  EXPECT_FALSE(d.Press(TMouseButton::mbRight, {4, 4}, 650));   // another button
  EXPECT_FALSE(d.Press(TMouseButton::mbRight, {9, 4}, 700));   // too far
  EXPECT_FALSE(d.Press(TMouseButton::mbRight, {9, 4}, 1201));  // too late
}

}  // namespace
}  // namespace vb
