// Guards against double-buffered controls that show a stale background after
// a move, rebuild their background when only content changed, ignore colour
// changes, or fire OnPaint before their buffers are up to date.
#include "gui/gui_buffered_control.h"

#include <gtest/gtest.h>

#include "gui/gui_picture.h"
#include "gui_test_support.h"

namespace vb::test {
namespace {

// A windowed or windowless buffered control that counts its rebuilds.
template <class TBase>
class TCounting : public TBase {
 public:
  using TBase::TBase;
  int BackRebuilds = 0;
  int FrontRebuilds = 0;

 protected:
  void UpdateBackBuffer() override {
    ++BackRebuilds;
    TBase::UpdateBackBuffer();
  }
  void UpdateBuffer() override {
    ++FrontRebuilds;
    TBase::UpdateBuffer();
  }
};

// A window whose background is a picture of coordinate pixels.
struct TPatternGui : THeadlessGui {
  TPatternGui() : THeadlessGui(100, 60) {
    TGuiPixelMapMemory pattern;
    FillCoordinateStrip(pattern, 100, 60);
    auto& picture = Window->Create<TGuiPicture>();
    picture.SetAutoSize(true);
    picture.SetPicture(pattern);
  }
};

TEST(BufferedControl, TransparentControlShowsTheWindowBehindItsNewPlace) {
  TPatternGui gui;
  auto& c = gui.Window->Create<TCounting<TGuiCustomControl>>();
  c.SetBounds(10, 10, 20, 20);
  c.SetTransparent(true);
  gui.Window->Show();
  EXPECT_EQ(gui.Screen->ScreenPixel(15, 12), CoordinatePixel(15, 12).ARGB());
  c.SetLeft(20);
  gui.Window->Idle();
  // The control's own pixel (5, 2) now shows the window's (25, 12).
  EXPECT_EQ(c.Buffer().GetPixel(5, 2), CoordinatePixel(25, 12));
  EXPECT_EQ(gui.Screen->ScreenPixel(25, 12), CoordinatePixel(25, 12).ARGB());
}

TEST(BufferedControl, OpaqueControlMovedRepaintsFromItsBuffers) {
  TPatternGui gui;
  auto& c = gui.Window->Create<TCounting<TGuiCustomControl>>();
  c.SetBounds(10, 10, 20, 20);
  c.SetColor(0x00FF0000);  // blue
  gui.Window->Show();
  const int back = c.BackRebuilds;
  c.SetLeft(20);
  gui.Window->Idle();
  EXPECT_EQ(c.BackRebuilds, back);
  EXPECT_EQ(gui.Screen->ScreenPixel(25, 12), 0xFF0000FFu);
  EXPECT_EQ(gui.Screen->ScreenPixel(15, 12), CoordinatePixel(15, 12).ARGB());  // uncovered again
}

TEST(BufferedControl, ColourRebuildsTheBackgroundOnlyWhenOpaque) {
  TPatternGui gui;
  auto& c = gui.Window->Create<TCounting<TGuiCustomControl>>();
  c.SetBounds(0, 0, 10, 10);
  c.SetTransparent(true);
  gui.Window->Show();
  c.SetColor(0x000000FF);
  EXPECT_FALSE(c.BackBufferStale());
  c.SetTransparent(false);
  gui.Window->Idle();
  EXPECT_EQ(gui.Screen->ScreenPixel(5, 5), 0xFFFF0000u);
  c.SetColor(0x0000FF00);
  EXPECT_TRUE(c.BackBufferStale());
  gui.Window->Idle();
  EXPECT_EQ(gui.Screen->ScreenPixel(5, 5), 0xFF00FF00u);
}

TEST(BufferedControl, ContentChangeRebuildsOnlyTheFrontBuffer) {
  TPatternGui gui;
  auto& c = gui.Window->Create<TCounting<TGuiCustomControl>>();
  c.SetBounds(0, 0, 10, 10);
  c.SetTransparent(true);
  gui.Window->Show();
  const int back = c.BackRebuilds, front = c.FrontRebuilds;
  c.BufferChanged();
  gui.Window->Idle();
  EXPECT_EQ(c.BackRebuilds, back);
  EXPECT_EQ(c.FrontRebuilds, front + 1);
}

TEST(BufferedControl, ParentColourReachesOpaqueWindowedControls) {
  THeadlessGui gui;
  auto& c = gui.Window->Create<TCounting<TGuiCustomControl>>();
  c.SetBounds(0, 0, 10, 10);
  gui.Window->Show();
  gui.Window->SetColor(0x00FF0000);
  gui.Window->Idle();
  EXPECT_EQ(gui.Screen->ScreenPixel(5, 5), 0xFF0000FFu);
}

TEST(GraphicControl, OnPaintSeesTheRebuiltFrontBuffer) {
  THeadlessGui gui;
  gui.Window->SetColor(0x0000FF00);
  auto& c = gui.Window->Create<TCounting<TCustomGuiGraphicControl>>();
  c.SetBounds(0, 0, 4, 4);
  c.SetTransparent(true);
  std::uint32_t seen = 0;
  c.SetOnPaint([&](TGuiComponent&) { seen = c.Buffer().GetPixel(1, 1).ARGB(); });
  gui.Window->Show();
  EXPECT_EQ(seen, 0xFF00FF00u);
}

TEST(GraphicControl, TransparentWindowlessControlMovedShowsItsNewPlace) {
  TPatternGui gui;
  auto& c = gui.Window->Create<TCounting<TCustomGuiGraphicControl>>();
  c.SetBounds(10, 10, 20, 20);
  c.SetTransparent(true);
  gui.Window->Show();
  c.SetTop(30);
  gui.Window->Idle();
  EXPECT_EQ(gui.Screen->ScreenPixel(12, 35), CoordinatePixel(12, 35).ARGB());
}

TEST(GraphicControl, WindowedControlAboveSeesAWindowlessControlAppear) {
  THeadlessGui gui;
  gui.Window->SetColor(0x00000000);
  auto& lamp = gui.Window->Create<TFillControl>(false, 0xFFFF0000);
  lamp.SetBounds(0, 0, 10, 10);
  lamp.SetVisible(false);
  auto& c = gui.Window->Create<TCounting<TGuiCustomControl>>();
  c.SetBounds(5, 5, 10, 10);
  c.SetTransparent(true);
  gui.Window->Show();
  EXPECT_EQ(gui.Screen->ScreenPixel(6, 6), 0xFF000000u);
  lamp.SetVisible(true);
  gui.Window->Idle();
  EXPECT_EQ(gui.Screen->ScreenPixel(6, 6), 0xFFFF0000u);
}

}  // namespace
}  // namespace vb::test
