// Guards against a composed window whose layers disagree with what each
// control promises: glyph pixels blended over the window's picture behind
// them, the label's text inside its box and nowhere else, the background
// untouched elsewhere; and against windows that leak when built and
// destroyed many times.
#include <gtest/gtest.h>

#include "gui/gui_label.h"
#include "gui/gui_picture.h"
#include "gui/gui_stitched_dial.h"
#include "gui/gui_stitched_switch.h"
#include "gui/gui_timer.h"
#include "gui_test_support.h"
#include "image/pixel_blend.h"

namespace vb::test {
namespace {

// A window like a small editor: a patterned panel picture, a label, a dial
// with a half-transparent strip, a switch and a meter, a timer.
struct TScene {
  // A light scene has a strip of 10 dial glyphs and no label.
  explicit TScene(bool Light = false) : Gui(200, 80) {
    TGuiWindow& w = *Gui.Window;
    w.BeginLoading();
    w.SetColor(0x00FFFFFF);
    TGuiPixelMapMemory panel;
    FillCoordinateStrip(panel, 200, 79);
    Panel = &w.Create<TGuiPicture>();
    Panel->SetAutoSize(true);
    Panel->SetPicture(panel);
    if (!Light) {
      Label = &w.Create<TGuiLabel>();
      Label->SetBounds(140, 30, 50, 14);
      TFont font;
      font.Name = "Lucida Console";
      font.Height = 12;
      font.Bold = true;
      font.Color = 0x00FFFFFF;
      Label->SetFont(font);
      Label->SetFontOversampling(fo16x);
      Label->SetAlignment(taRightJustify);
      Label->SetTransparent(true);
      Label->SetCaption("by Vorda");
    }
    List = &w.Create<TTestStitchedList>();
    AddCoordinateStrip(*List, 30, Light ? 300 : 3000, Light ? 10 : 100, skVertical, 128);
    AddCoordinateStrip(*List, 20, 80, 2, skVertical);
    Dial = &w.Create<TGuiStitchedDial>();
    Dial->SetBounds(10, 10, 30, 30);
    Dial->SetTransparent(true);
    Dial->SetImageList(List);
    Dial->SetImageIndex(0);
    Dial->SetValue(30);
    Switch = &w.Create<TGuiStitchedSwitch>();
    Switch->SetBounds(60, 10, 20, 40);
    Switch->SetTransparent(true);
    Switch->SetImageList(List);
    Switch->SetImageIndex(1);
    auto& timer = w.Create<TGuiTimer>();
    timer.SetInterval(100);
    w.EndLoading();
    w.Show();
  }
  THeadlessGui Gui;
  TGuiPicture* Panel = nullptr;
  TGuiLabel* Label = nullptr;
  TTestStitchedList* List = nullptr;
  TGuiStitchedDial* Dial = nullptr;
  TGuiStitchedSwitch* Switch = nullptr;
};

TEST(ComposedWindow, GlyphsBlendOverThePanelAndTheLabelStaysInItsBox) {
  TScene scene;
  const THeadlessWindow& screen = *scene.Gui.Screen;
  // Loading computed the dial's glyph from its value: 30 of 0..100 is glyph 30.
  ASSERT_EQ(scene.Dial->GlyphIndex(), 30);
  for (const TPoint p : {TPoint{0, 0}, TPoint{25, 25}, TPoint{29, 29}}) {
    const TPixel32 glyph = CoordinatePixel(p.X, 30 * 30 + p.Y, 128);
    const TPixel32 panel = CoordinatePixel(10 + p.X, 10 + p.Y);
    EXPECT_EQ(screen.ScreenPixel(10 + p.X, 10 + p.Y), BlendPixel(glyph, panel).ARGB()) << p.X;
  }
  EXPECT_EQ(screen.ScreenPixel(65, 45), CoordinatePixel(5, 35).ARGB());   // opaque switch glyph 0
  EXPECT_EQ(screen.ScreenPixel(100, 5), CoordinatePixel(100, 5).ARGB());  // the panel alone
  EXPECT_EQ(screen.ScreenPixel(100, 79), 0xFFFFFFFFu);                    // the window's row below the panel
  // The text is white: count pixels that the label made lighter than the panel.
  int inside = 0, outside = 0;
  for (std::int32_t y = 0; y < 80; ++y)
    for (std::int32_t x = 120; x < 200; ++x) {
      if (y >= 79) continue;
      const TPixel32 shown = Pixel32(screen.ScreenPixel(x, y));
      const TPixel32 panel = CoordinatePixel(x, y);
      const bool changed = shown != panel;
      const bool inBox = x >= 140 && x < 190 && y >= 30 && y < 44;
      if (changed) {
        (inBox ? inside : outside) += 1;
        EXPECT_GE(shown.R, panel.R);
      }
    }
  EXPECT_GT(inside, 40);
  EXPECT_EQ(outside, 0);
}

TEST(ComposedWindow, TurningTheDialRepaintsOnlyTheDial) {
  TScene scene;
  const std::int64_t before = scene.Gui.Screen->PresentedPixels();
  scene.Dial->SetValue(31);
  scene.Gui.Window->Idle();
  EXPECT_EQ(scene.Gui.Screen->PresentedPixels() - before, 30 * 30);
  EXPECT_EQ(scene.Gui.Screen->ScreenPixel(10, 10),
            BlendPixel(CoordinatePixel(0, 31 * 30, 128), CoordinatePixel(10, 10)).ARGB());
}

// What the screen shows now, pixel by pixel.
std::vector<std::uint32_t> ScreenPixels(const THeadlessGui& Gui) {
  std::vector<std::uint32_t> pixels;
  for (std::int32_t y = 0; y < 80; ++y)
    for (std::int32_t x = 0; x < 200; ++x) pixels.push_back(Gui.Screen->ScreenPixel(x, y));
  return pixels;
}

// A host's menu closing over part of the window, away from its origin:
// exactly that part is presented again, and it shows what it showed.
TEST(ComposedWindow, AnExposedPartAwayFromTheOriginIsRepaintedExactly) {
  TScene scene;
  scene.Gui.Window->Idle();
  const std::vector<std::uint32_t> shown = ScreenPixels(scene.Gui);
  const std::int64_t before = scene.Gui.Screen->PresentedPixels();
  scene.Gui.Screen->Damage(TRect{25, 15, 130, 62});
  scene.Gui.Window->Idle();
  EXPECT_EQ(scene.Gui.Screen->PresentedPixels() - before, 105 * 47);
  EXPECT_EQ(ScreenPixels(scene.Gui), shown);
}

// A control moved by a few pixels, its old and new places overlapping:
// both are repainted, so the screen equals a full repaint.
TEST(ComposedWindow, AControlMovedAFewPixelsRepaintsItsOldAndNewPlace) {
  TScene scene;
  scene.Gui.Window->Idle();
  scene.Dial->SetBounds(13, 12, 30, 30);
  scene.Gui.Window->Idle();
  const std::vector<std::uint32_t> moved = ScreenPixels(scene.Gui);
  scene.Gui.Screen->Expose(TRect{0, 0, 200, 80});
  scene.Gui.Window->Idle();
  EXPECT_EQ(moved, ScreenPixels(scene.Gui));
  EXPECT_EQ(scene.Gui.Screen->ScreenPixel(11, 11), CoordinatePixel(11, 11).ARGB()) << "the old place shows the panel";
}

TEST(ComposedWindow, BuildingAndDestroyingManyTimesLeavesNothingBehind) {
  // Run under the sanitizer build, a leak or a dangling link fails here.
  for (int i = 0; i < 1000; ++i) {
    TScene scene(i % 100 != 0);
    scene.Gui.Screen->Click({20, 20});
    scene.Gui.Window->Idle();
  }
  SUCCEED();
}

}  // namespace
}  // namespace vb::test
