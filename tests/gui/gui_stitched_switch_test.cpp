// Guards against switches that step in the wrong direction, fail to wrap,
// step while read-only, or draw the wrong colour without a strip; and
// displays that do not clamp or fill.
#include "gui/gui_stitched_switch.h"

#include <gtest/gtest.h>

#include "gui_test_support.h"

namespace vb::test {
namespace {

struct TSwitchGui : THeadlessGui {
  explicit TSwitchGui(std::int32_t Glyphs) : List(Window->Create<TTestStitchedList>()) {
    AddCoordinateStrip(List, 20, 40 * Glyphs, Glyphs, skVertical);
    Switch.SetBounds(0, 0, 20, 40);
    Switch.SetImageList(&List);
    Switch.SetImageIndex(0);
    Switch.SetOnChange([this](TGuiComponent&) { ++Changes; });
  }
  std::vector<int> Presses(TMouseButton Button, int Count) {
    std::vector<int> glyphs;
    for (int i = 0; i < Count; ++i) {
      Screen->AdvanceClock(1000);  // no double clicks
      Screen->Click({5, 5}, Button);
      Window->Idle();
      glyphs.push_back(Switch.GlyphIndex());
    }
    return glyphs;
  }
  TTestStitchedList& List;
  TGuiStitchedSwitch& Switch = Window->Create<TGuiStitchedSwitch>();
  int Changes = 0;
};

TEST(StitchedSwitch, TwoGlyphsToggle) {
  TSwitchGui gui(2);
  EXPECT_EQ(gui.Presses(TMouseButton::mbLeft, 2), (std::vector<int>{1, 0}));
  EXPECT_EQ(gui.Presses(TMouseButton::mbRight, 1), (std::vector<int>{1}));
}

TEST(StitchedSwitch, ThreeGlyphsCycleBothWays) {
  TSwitchGui gui(3);
  EXPECT_EQ(gui.Presses(TMouseButton::mbLeft, 3), (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(gui.Presses(TMouseButton::mbRight, 3), (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(gui.Presses(TMouseButton::mbMiddle, 1), (std::vector<int>{0}));
}

TEST(StitchedSwitch, DoubleClickStepsTwice) {
  TSwitchGui gui(2);
  gui.Screen->Click({5, 5});
  gui.Screen->Click({5, 5});
  gui.Window->Idle();
  EXPECT_EQ(gui.Switch.GlyphIndex(), 0);
  EXPECT_EQ(gui.Changes, 2);
}

TEST(StitchedSwitch, ReadOnlyBlocksPressesOnly) {
  TSwitchGui gui(2);
  gui.Switch.SetReadOnly(true);
  EXPECT_EQ(gui.Presses(TMouseButton::mbLeft, 1), (std::vector<int>{0}));
  EXPECT_EQ(gui.Changes, 0);
  gui.Switch.SetGlyphIndex(1);
  EXPECT_EQ(gui.Changes, 1);
}

TEST(StitchedSwitch, WithoutAStripGreenUntilPressedThenRed) {
  THeadlessGui gui;
  auto& s = gui.Window->Create<TGuiStitchedSwitch>();
  s.SetBounds(0, 0, 20, 40);
  gui.Window->Show();
  EXPECT_EQ(gui.Screen->ScreenPixel(10, 10), 0xFF00FF00u);
  gui.Screen->Click({10, 10});
  gui.Window->Idle();
  EXPECT_EQ(s.GlyphIndex(), -1);
  EXPECT_EQ(gui.Screen->ScreenPixel(10, 10), 0xFFFF0000u);
}

TEST(StitchedDisplay, ClampsToTheLastGlyphOrFillsWithItsColour) {
  THeadlessGui gui;
  auto& list = gui.Window->Create<TTestStitchedList>();
  AddCoordinateStrip(list, 1500, 84, 75, skHorizontal);
  auto& d = gui.Window->Create<TGuiStitchedDisplay>();
  d.SetBounds(0, 0, 20, 84);
  d.SetImageList(&list);
  d.SetImageIndex(0);
  d.SetGlyphIndex(80);
  EXPECT_EQ(d.GlyphIndex(), 74);
  auto& plain = gui.Window->Create<TGuiStitchedDisplay>();
  plain.SetBounds(30, 0, 10, 10);
  plain.SetColor(0x00FF0000);
  gui.Window->Show();
  EXPECT_EQ(gui.Screen->ScreenPixel(35, 5), 0xFF0000FFu);
}

}  // namespace
}  // namespace vb::test
