// Guards against image controls that repaint while locked, accept an
// unmatched EndUpdate, link the wrong item for out-of-range indexes, or keep
// pointing at strips and lists that are gone.
#include "gui/gui_image_control.h"

#include <gtest/gtest.h>

#include "gui/gui_stitched_switch.h"
#include "gui_test_support.h"

namespace vb::test {
namespace {

class TCountingDisplay : public TGuiStitchedDisplay {
 public:
  using TGuiStitchedDisplay::TGuiStitchedDisplay;
  void Invalidate() override {
    ++Requests;
    TGuiStitchedDisplay::Invalidate();
  }
  int Requests = 0;
};

TEST(ImageControl, UpdatesBetweenBeginAndEndAskForOneRepaint) {
  THeadlessGui gui;
  auto& list = gui.Window->Create<TTestStitchedList>();
  AddCoordinateStrip(list, 10, 40, 4, skVertical);
  auto& c = gui.Window->Create<TCountingDisplay>();
  c.SetBounds(0, 0, 10, 10);
  c.SetImageList(&list);
  c.SetImageIndex(0);
  c.Requests = 0;
  c.BeginUpdate();
  c.SetGlyphIndex(1);
  c.SetGlyphIndex(2);
  c.SetGlyphIndex(3);
  EXPECT_EQ(c.Requests, 0);
  c.EndUpdate();
  EXPECT_EQ(c.Requests, 1);
  EXPECT_THROW(
      {
        try {
          c.EndUpdate();
        } catch (const EControlError& e) {
          EXPECT_STREQ(e.what(), "Control is not locked");
          throw;
        }
      },
      EControlError);
  EXPECT_FALSE(c.Locked());
}

TEST(ImageControl, ImageIndexIsClampedToTheList) {
  THeadlessGui gui;
  auto& list = gui.Window->Create<TTestStitchedList>();
  for (int i = 0; i < 3; ++i) AddCoordinateStrip(list, 10, 10, 1, skHorizontal);
  auto& c = gui.Window->Create<TGuiStitchedDisplay>();
  c.SetImageIndex(1);  // without a list: no effect
  EXPECT_EQ(c.ImageIndex(), -1);
  c.SetImageList(&list);
  c.SetImageIndex(7);
  EXPECT_EQ(c.ImageIndex(), 2);
  EXPECT_EQ(c.ImageItem(), &list.GetStitchedItems(2));
  c.SetImageIndex(-3);
  EXPECT_EQ(c.ImageIndex(), -1);
  EXPECT_EQ(c.ImageItem(), nullptr);
  EXPECT_TRUE(list.GetStitchedItems(2).LinkedControls().empty());
}

TEST(ImageControl, MovingToAnotherItemKeepsTheLinksExact) {
  THeadlessGui gui;
  auto& list = gui.Window->Create<TTestStitchedList>();
  auto& a = AddCoordinateStrip(list, 10, 10, 1, skHorizontal);
  auto& b = AddCoordinateStrip(list, 10, 10, 1, skHorizontal);
  auto& c = gui.Window->Create<TGuiStitchedDisplay>();
  c.SetImageList(&list);
  c.SetImageIndex(0);
  c.SetImageIndex(1);
  EXPECT_TRUE(a.LinkedControls().empty());
  ASSERT_EQ(b.LinkedControls().size(), 1u);
  c.SetImageList(nullptr);
  EXPECT_TRUE(b.LinkedControls().empty());
  EXPECT_TRUE(list.LinkedControls().empty());
  EXPECT_EQ(c.ImageIndex(), -1);
}

TEST(ImageControl, DeletingAStripLeavesItsControlsWithNothing) {
  THeadlessGui gui(20, 20);
  gui.Window->SetColor(0x00FF0000);
  auto& list = gui.Window->Create<TTestStitchedList>();
  AddCoordinateStrip(list, 10, 20, 2, skVertical);
  auto& c = gui.Window->Create<TGuiStitchedSwitch>();
  c.SetBounds(0, 0, 10, 10);
  c.SetTransparent(true);
  c.SetImageList(&list);
  c.SetImageIndex(0);
  c.SetGlyphIndex(1);
  list.StitchedCollection().Delete(0);
  EXPECT_EQ(c.ImageIndex(), -1);
  EXPECT_EQ(c.GlyphIndex(), -1);
  gui.Window->Idle();
  // A switch without a strip shows red for every glyph but 0.
  EXPECT_EQ(gui.Screen->ScreenPixel(5, 5), 0xFFFF0000u);
}

TEST(ImageControl, ListsAndControlsMayGoInEitherOrder) {
  THeadlessGui gui;
  auto* list = new TTestStitchedList(nullptr);
  AddCoordinateStrip(*list, 10, 10, 1, skHorizontal);
  {
    TGuiStitchedDisplay c(nullptr);
    c.SetImageList(list);
    c.SetImageIndex(0);
  }  // the control goes first: the strip forgets it
  EXPECT_TRUE(list->GetStitchedItems(0).LinkedControls().empty());
  EXPECT_TRUE(list->LinkedControls().empty());
  TGuiStitchedDisplay c(nullptr);
  c.SetImageList(list);
  c.SetImageIndex(0);
  delete list;  // the list goes first: the control is detached
  EXPECT_EQ(c.ImageList(), nullptr);
  EXPECT_EQ(c.ImageItem(), nullptr);
}

TEST(ImageControl, ResizedStripRedrawsItsUnlockedControls) {
  THeadlessGui gui;
  auto& list = gui.Window->Create<TTestStitchedList>();
  auto& strip = AddCoordinateStrip(list, 10, 10, 1, skHorizontal);
  auto& c = gui.Window->Create<TGuiStitchedDisplay>();
  c.SetBounds(0, 0, 10, 10);
  c.SetImageList(&list);
  c.SetImageIndex(0);
  gui.Window->Idle();
  strip.SetWidth(12);
  EXPECT_TRUE(c.BufferStale());
  strip.SetWidth(-1);  // ignored
  EXPECT_EQ(strip.Width(), 12);
}

TEST(StitchedList, ItemAccessOutsideTheListNamesTheIndex) {
  THeadlessGui gui;
  auto& list = gui.Window->Create<TTestStitchedList>();
  AddCoordinateStrip(list, 10, 10, 1, skHorizontal);
  try {
    list.GetStitchedItems(5);
    FAIL();
  } catch (const EControlError& e) {
    EXPECT_STREQ(e.what(), "Index out of bounds (5)");
  }
  EXPECT_THROW(list.ImageItem(-1), EControlError);
  EXPECT_THROW(list.StitchedCollection().Delete(1), EControlError);
}

}  // namespace
}  // namespace vb::test
