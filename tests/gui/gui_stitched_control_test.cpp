// Guards against glyphs cut from the wrong part of a strip, glyph indexes
// outside the strip, change notices for unchanged glyphs, and wrong sizes
// after AutoSize or a new glyph count; and against PNG strips that are not
// decoded when loading ends.
#include "gui/gui_stitched_control.h"

#include <gtest/gtest.h>

#include "gui/gui_stitched_switch.h"
#include "gui_test_support.h"

namespace vb::test {
namespace {

struct TStripGui : THeadlessGui {
  TStripGui() : THeadlessGui(100, 100), List(Window->Create<TTestStitchedList>()) {}
  TGuiStitchedDisplay& Display(std::int32_t W, std::int32_t H) {
    auto& d = Window->Create<TGuiStitchedDisplay>();
    d.SetBounds(0, 0, W, H);
    d.SetImageList(&List);
    d.SetImageIndex(List.Count() - 1);
    return d;
  }
  TTestStitchedList& List;
};

TEST(StitchedControl, HorizontalMeterStripGlyphs) {
  TStripGui gui;
  AddCoordinateStrip(gui.List, 1500, 84, 75, skHorizontal);
  auto& d = gui.Display(20, 84);
  d.SetGlyphIndex(75);
  EXPECT_EQ(d.GlyphIndex(), 74);
  gui.Window->Idle();
  EXPECT_EQ(d.Buffer().GetPixel(0, 0), CoordinatePixel(1480, 0));
  EXPECT_EQ(d.Buffer().GetPixel(19, 83), CoordinatePixel(1499, 83));
}

TEST(StitchedControl, VerticalKnobStripGlyphs) {
  TStripGui gui;
  AddCoordinateStrip(gui.List, 60, 6000, 100, skVertical);
  auto& d = gui.Display(60, 60);
  d.SetGlyphIndex(50);
  gui.Window->Idle();
  EXPECT_EQ(d.Buffer().GetPixel(0, 0), CoordinatePixel(0, 3000));
  EXPECT_EQ(d.Buffer().GetPixel(59, 59), CoordinatePixel(59, 3059));
  EXPECT_EQ(gui.Screen->ScreenPixel(30, 30), CoordinatePixel(30, 3030).ARGB());
}

TEST(StitchedControl, GlyphIndexIsClampedToTheStrip) {
  TStripGui gui;
  auto& bare = gui.Window->Create<TGuiStitchedDisplay>();
  bare.SetGlyphIndex(-5);
  EXPECT_EQ(bare.GlyphIndex(), -1);
  bare.SetGlyphIndex(3);
  EXPECT_EQ(bare.GlyphIndex(), -1);
  AddCoordinateStrip(gui.List, 60, 600, 10, skVertical);
  auto& d = gui.Display(60, 60);
  d.SetGlyphIndex(-5);
  EXPECT_EQ(d.GlyphIndex(), 0);
  d.SetDefaultGlyphIndex(12);
  EXPECT_EQ(d.DefaultGlyphIndex(), 9);
}

TEST(StitchedControl, UnchangedGlyphFiresNothingAndDrawsNothing) {
  TStripGui gui;
  AddCoordinateStrip(gui.List, 60, 600, 10, skVertical);
  auto& d = gui.Display(60, 60);
  int changes = 0, notices = 0;
  d.SetOnChange([&](TGuiComponent&) { ++changes; });
  gui.Window->SetOnControlChange([&](TGuiControl&) { ++notices; });
  d.SetGlyphIndex(4);
  gui.Window->Idle();
  d.SetGlyphIndex(4);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(notices, 1);
  EXPECT_FALSE(d.BufferStale());
  EXPECT_FALSE(gui.Window->Compositor().HasDirty());
}

TEST(StitchedControl, FewerGlyphsPullLinkedControlsIn) {
  TStripGui gui;
  auto& strip = AddCoordinateStrip(gui.List, 60, 6000, 100, skVertical);
  auto& d = gui.Display(60, 60);
  d.SetGlyphIndex(57);
  int changes = 0;
  d.SetOnChange([&](TGuiComponent&) { ++changes; });
  strip.SetGlyphCount(10);
  EXPECT_EQ(d.GlyphIndex(), 9);
  EXPECT_EQ(changes, 1);
  try {
    strip.SetGlyphCount(0);
    FAIL();
  } catch (const EControlError& e) {
    EXPECT_STREQ(e.what(), "The glyph count must be positive");
  }
  EXPECT_EQ(strip.GlyphCount(), 10);
}

TEST(StitchedControl, AutoSizeTakesOneGlyph) {
  TStripGui gui;
  auto& strip = AddCoordinateStrip(gui.List, 60, 40, 2, skHorizontal);
  auto& d = gui.Display(20, 40);
  d.SetAutoSize(true);
  EXPECT_EQ(d.Width(), 30);
  EXPECT_EQ(d.Height(), 40);
  strip.SetStitchKind(skVertical);
  EXPECT_EQ(d.Width(), 60);
  EXPECT_EQ(d.Height(), 20);
  strip.SetGlyphCount(4);
  EXPECT_EQ(d.Height(), 10);
}

TEST(StitchedControl, GlyphPixelsBlendOverTheBackground) {
  TStripGui gui;
  gui.Window->SetColor(0x00FF0000);  // blue background
  TGuiPixelMapMemory strip;
  strip.SetSize(3, 1);
  strip.ScanLine(0)[0] = Pixel32(0x00FFFFFF);  // transparent
  strip.ScanLine(0)[1] = Pixel32(0xFFFFFFFF);  // opaque white
  strip.ScanLine(0)[2] = Pixel32(0x80FF0000);  // half red
  auto& item = gui.List.StitchedCollection().Add();
  item.SetPixelMap(strip);
  auto& d = gui.Display(3, 1);
  d.SetTransparent(true);
  gui.Window->Idle();
  EXPECT_EQ(gui.Screen->ScreenPixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(gui.Screen->ScreenPixel(1, 0), 0xFFFFFFFFu);
  const std::uint32_t half = gui.Screen->ScreenPixel(2, 0);
  EXPECT_NEAR(int((half >> 16) & 0xFF), 128, 1);
  EXPECT_NEAR(int(half & 0xFF), 127, 1);
}

TEST(StitchedControl, GlyphLargerThanTheControlIsCut) {
  TStripGui gui;
  AddCoordinateStrip(gui.List, 30, 30, 3, skHorizontal);  // glyphs of 10 x 30
  auto& d = gui.Display(16, 40);                          // wider and taller than a glyph
  d.SetGlyphIndex(1);                                     // starts at column 16, inside the strip
  gui.Window->Idle();
  EXPECT_EQ(d.Buffer().GetPixel(13, 29), CoordinatePixel(29, 29));
  d.SetGlyphIndex(2);  // starts at column 32: outside, nothing drawn
  gui.Window->Idle();
  EXPECT_EQ(d.Buffer().GetPixel(0, 0), d.BackBuffer().GetPixel(0, 0));
}

TEST(StitchedPNGList, StripsAreDecodedWhenLoadingEnds) {
  THeadlessGui gui;
  TGuiPixelMapMemory map;
  FillCoordinateStrip(map, 20, 80, 200);
  const std::vector<std::uint8_t> png = EncodePng(map);
  gui.Window->BeginLoading();
  auto& list = gui.Window->Create<TGuiStitchedPNGList>();
  auto& strip = list.AddPng(png.data(), png.size(), "Switch2", 2, skVertical);
  auto& s = gui.Window->Create<TGuiStitchedSwitch>();
  s.SetBounds(0, 0, 20, 40);
  s.SetImageList(&list);
  s.SetImageIndex(0);
  EXPECT_EQ(strip.Width(), 0);  // not yet decoded
  gui.Window->EndLoading();
  EXPECT_EQ(strip.Width(), 20);
  EXPECT_EQ(strip.PixelMap().GetPixel(3, 50), CoordinatePixel(3, 50, 200));
  EXPECT_EQ(s.ImageIndex(), 0);
  EXPECT_EQ(s.GlyphIndex(), 0);
  EXPECT_EQ(list.GetItems(0).DisplayName(), "Switch2");
  EXPECT_ANY_THROW(list.AddPng(png.data(), 10, "broken", 1, skVertical));
  EXPECT_EQ(list.Count(), 1);
}

}  // namespace
}  // namespace vb::test
