// Guards against a dial whose value, position and glyph disagree, whose drag
// and wheel steps are off, whose curve, wrap or reset are wrong, which fires
// OnChange the wrong number of times, accepts a reversed range or a scroll
// range that divides by zero, turns for a drag it did not begin, or
// mishandles the pointer while locked.
#include "gui/gui_stitched_dial.h"

#include <gtest/gtest.h>

#include <limits>

#include "gui_test_support.h"

namespace vb::test {
namespace {

struct TDialGui : THeadlessGui {
  TDialGui() : THeadlessGui(200, 100), List(Window->Create<TTestStitchedList>()) {
    AddCoordinateStrip(List, 60, 6000, 100, skVertical);
    Dial.SetBounds(10, 10, 60, 60);
    Dial.SetImageList(&List);
    Dial.SetImageIndex(0);
    Dial.SetOnChange([this](TGuiComponent&) { ++Changes; });
  }
  TTestStitchedList& List;
  TGuiStitchedDial& Dial = Window->Create<TGuiStitchedDial>();
  int Changes = 0;
};

TEST(StitchedDial, ValueGivesPositionAndGlyph) {
  TDialGui gui;
  gui.Dial.SetValue(50);
  EXPECT_FLOAT_EQ(gui.Dial.NormalizedPosition(), 0.5f);
  EXPECT_EQ(gui.Dial.GlyphIndex(), 50);  // 49.5 to even
  gui.Dial.SetValue(45);
  EXPECT_EQ(gui.Dial.GlyphIndex(), 45);  // 44.55
  gui.Dial.SetValue(100);
  EXPECT_EQ(gui.Dial.GlyphIndex(), 99);
  gui.Dial.SetMax(5000);
  gui.Dial.SetMin(500);
  gui.Dial.SetValue(3000);
  EXPECT_NEAR(gui.Dial.NormalizedPosition(), 5.0 / 9.0, 1e-6);
  EXPECT_EQ(gui.Dial.GlyphIndex(), 55);
}

TEST(StitchedDial, CurveMovesPositionNotValue) {
  TDialGui gui;
  gui.Dial.SetValue(50);
  gui.Dial.SetCurveMapping(1);
  EXPECT_FLOAT_EQ(gui.Dial.Value(), 50);
  EXPECT_FLOAT_EQ(gui.Dial.NormalizedPosition(), 0.25f);
  EXPECT_EQ(gui.Dial.GlyphIndex(), 25);  // 24.75
  gui.Dial.MovePosition(0.25);
  EXPECT_NEAR(gui.Dial.Value(), 70.71, 0.01);
}

TEST(StitchedDial, DragAndWheelSteps) {
  TDialGui gui;
  gui.Dial.SetMax(1000);
  gui.Screen->Press({40, 50});
  gui.Screen->MoveTo({45, 40});  // 10 up; sideways does nothing
  gui.Window->Idle();
  EXPECT_FLOAT_EQ(gui.Dial.Value(), 25);
  gui.Screen->SetKeys(ssShift);
  gui.Screen->MoveTo({45, 30});
  gui.Window->Idle();
  EXPECT_FLOAT_EQ(gui.Dial.Value(), 27.5);
  gui.Screen->SetKeys(0);
  gui.Screen->Release({45, 30});
  gui.Screen->Wheel({0, 0}, kWheelDeltaPerNotch);  // the dial holds the focus now
  gui.Window->Idle();
  EXPECT_FLOAT_EQ(gui.Dial.Value(), 30);
  gui.Screen->SetKeys(ssShift);
  gui.Screen->Wheel({0, 0}, kWheelDeltaPerNotch);
  gui.Window->Idle();
  EXPECT_NEAR(gui.Dial.Value(), 30.25, 1e-4);
}

// Only a drag begun on the dial turns it: not the button still held after
// the host took the pointer, nor a drag begun beside it that passes over it.
TEST(StitchedDial, OnlyADragBegunOnTheDialTurnsIt) {
  TDialGui gui;
  gui.Dial.SetMax(1000);
  const float before = gui.Dial.Value();
  gui.Screen->Press({40, 50});
  gui.Screen->LoseCapture();
  gui.Screen->MoveTo({40, 40});  // the button still down
  gui.Window->Idle();
  EXPECT_EQ(gui.Dial.Value(), before) << "turned after the capture was lost";
  gui.Screen->Release({40, 40});
  gui.Screen->Press({40, 50});
  gui.Screen->Release({40, 50});  // a whole drag that went nowhere
  gui.Screen->Press({150, 50});   // beside the dial
  gui.Screen->MoveTo({40, 50});
  gui.Screen->MoveTo({40, 40});
  gui.Window->Idle();
  EXPECT_EQ(gui.Dial.Value(), before) << "turned by a drag begun elsewhere";
}

TEST(StitchedDial, EndsStopOrWrap) {
  TDialGui gui;
  gui.Dial.SetValue(98);
  gui.Dial.MovePosition(0.05);
  EXPECT_FLOAT_EQ(gui.Dial.Value(), 100);
  gui.Dial.SetWrap(true);
  gui.Dial.SetValue(98);
  gui.Dial.MovePosition(0.05);
  EXPECT_NEAR(gui.Dial.Value(), 3, 1e-4);
  gui.Dial.MovePosition(-0.05);
  EXPECT_NEAR(gui.Dial.Value(), 98, 1e-4);
}

TEST(StitchedDial, OnChangeOnceForTheValueAndOnceMoreForTheGlyph) {
  TDialGui gui;
  gui.Dial.SetValue(0.1f);  // glyph stays 0
  EXPECT_EQ(gui.Changes, 1);
  gui.Changes = 0;
  gui.Dial.SetValue(1);  // glyph 0 -> 1
  EXPECT_EQ(gui.Changes, 2);
  gui.Dial.SetValue(150);
  EXPECT_FLOAT_EQ(gui.Dial.Value(), 100);
  gui.Changes = 0;
  gui.Dial.SetValue(150);  // already 100
  EXPECT_EQ(gui.Changes, 0);
}

TEST(StitchedDial, ReversedRangeIsRefusedOutsideLoading) {
  TDialGui gui;
  try {
    gui.Dial.SetMax(-5);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Value must be between 1 and 2147483647");
  }
  EXPECT_FLOAT_EQ(gui.Dial.Max(), 100);
  try {
    gui.Dial.SetMin(200);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Value must be between -2147483647 and 99");
  }
  gui.Window->BeginLoading();
  gui.Dial.SetMax(-5);
  EXPECT_FLOAT_EQ(gui.Dial.Max(), -5);
}

TEST(StitchedDial, ScrollRangeOfZeroOrLessIsRefused) {
  TDialGui gui;
  EXPECT_THROW(gui.Dial.SetScrollRange(0), EControlError);
  EXPECT_THROW(gui.Dial.SetScrollRange(-10), EControlError);
  EXPECT_FLOAT_EQ(gui.Dial.ScrollRange(), 400);
  gui.Dial.SetScrollRange(200);
  gui.Dial.MovePosition(0);  // still usable
  gui.Screen->Press({40, 50});
  gui.Screen->MoveTo({40, 40});
  gui.Window->Idle();
  EXPECT_FLOAT_EQ(gui.Dial.Value(), 5);
}

TEST(StitchedDial, NotANumberLeavesTheDialAsItWas) {
  TDialGui gui;
  gui.Dial.SetValue(40);
  gui.Changes = 0;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  gui.Dial.SetValue(nan);
  gui.Dial.SetMax(nan);
  gui.Dial.SetCurveMapping(nan);
  EXPECT_FLOAT_EQ(gui.Dial.Value(), 40);
  EXPECT_FLOAT_EQ(gui.Dial.Max(), 100);
  EXPECT_EQ(gui.Dial.GlyphIndex(), 40);
  EXPECT_EQ(gui.Changes, 0);
  EXPECT_THROW(gui.Dial.SetScrollRange(nan), EControlError);
}

TEST(StitchedDial, ControlRightClickResetsThroughTheClampingSetter) {
  TDialGui gui;
  gui.Window->BeginLoading();
  gui.Dial.SetDefaultValue(100);  // applied before the range, as layouts do
  gui.Dial.SetMax(5000);
  gui.Dial.SetMin(500);
  gui.Dial.SetValue(3000);
  gui.Window->EndLoading();
  EXPECT_EQ(gui.Changes, 0);
  EXPECT_FLOAT_EQ(gui.Dial.DefaultValue(), 100);
  EXPECT_EQ(gui.Dial.GlyphIndex(), 55);
  gui.Screen->Click({30, 30}, TMouseButton::mbRight);  // without Control: nothing
  gui.Window->Idle();
  EXPECT_FLOAT_EQ(gui.Dial.Value(), 3000);
  gui.Screen->SetKeys(ssCtrl);
  gui.Screen->Click({30, 30}, TMouseButton::mbRight);
  gui.Window->Idle();
  EXPECT_FLOAT_EQ(gui.Dial.Value(), 500);
}

TEST(StitchedDial, LoadingWritesStoredZerosAndTheGlyphQuietly) {
  TDialGui gui;
  gui.Window->BeginLoading();
  gui.Dial.SetMin(-200);
  gui.Dial.SetMax(200);
  gui.Dial.SetValue(0);
  gui.Window->EndLoading();
  EXPECT_EQ(gui.Changes, 0);
  EXPECT_EQ(gui.Dial.GlyphIndex(), 50);  // 49.5
}

TEST(StitchedDial, LockedCursorStaysAtTheCentreWhileDragging) {
  TDialGui gui;
  gui.Dial.SetLockCursor(true);
  gui.Screen->Press({20, 60});
  gui.Screen->MoveTo({20, 50});
  gui.Window->Idle();
  EXPECT_TRUE(gui.Screen->PointerHidden());
  EXPECT_EQ(gui.Screen->PointerPosition(), (TPoint{40, 40}));  // the dial's centre in the window
  EXPECT_FLOAT_EQ(gui.Dial.Value(), 2.5);                      // the re-centring move changed nothing
  gui.Screen->MoveTo({40, 30});                                // 10 up from the centre
  gui.Window->Idle();
  EXPECT_FLOAT_EQ(gui.Dial.Value(), 5);
  gui.Screen->Release({40, 40});
  gui.Window->Idle();
  EXPECT_FALSE(gui.Screen->PointerHidden());
  EXPECT_EQ(gui.Screen->PointerPosition(), (TPoint{40, 40}));
}

}  // namespace
}  // namespace vb::test
