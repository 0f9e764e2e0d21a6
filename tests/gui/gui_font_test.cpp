// Guards against fonts whose coverage buffers, reductions, opacity, shadow
// borders or drawing rectangles are off, and labels that misplace their text
// or render it again for nothing. A stand-in renderer makes the text a solid
// block of known size; the last test renders real glyphs.
#include "gui/gui_font.h"

#include <gtest/gtest.h>

#include "gui/gui_label.h"
#include "gui_test_support.h"
#include "image/gui_byte_map_memory.h"

namespace vb::test {
namespace {

// Text is a solid block of Size (in rendered pixels) for any string.
class TBlockRenderer final : public TTextRenderer {
 public:
  TTextExtent Measure(const TFontDescription& Font, std::string_view Utf8) override {
    LastHeight = Font.PixelHeight;
    return Utf8.empty() ? TTextExtent{} : Size;
  }
  TRect Draw(const TFontDescription&, std::string_view Utf8, const TRasterView& Target, std::int32_t X, std::int32_t Y,
             TTextAnchor) override {
    ++Draws;
    const TRect box{X, Y, X + Size.Width, Y + Size.Height};
    const TRect clipped = Intersection(box, TRect{0, 0, Target.Width, Target.Height});
    for (std::int32_t r = clipped.Top; r < clipped.Bottom; ++r)
      for (std::int32_t c = clipped.Left; c < clipped.Right; ++c) Target.Row(r)[c] = 255;
    return box;
  }
  TFaceInfo Describe(const TFontDescription&) override { return {}; }

  TTextExtent Size{40, 20, 16};
  int Draws = 0;
  std::int32_t LastHeight = 0;
};

// Full coverage blends the colour at alpha 254 (coverage * alpha / 256), so
// drawn pixels may keep a few steps of what lay beneath.
::testing::AssertionResult Near(TPixel32 Actual, std::uint32_t Expected) {
  const TPixel32 e = Pixel32(Expected);
  for (int i = 0; i < 4; ++i)
    if (std::abs(int(Actual.Bytes()[i]) - int(e.Bytes()[i])) > 3)
      return ::testing::AssertionFailure() << std::hex << Actual.ARGB() << " is not near " << Expected;
  return ::testing::AssertionSuccess();
}

TGuiPixelMapMemory& White(TGuiPixelMapMemory& Map, std::int32_t W, std::int32_t H) {
  Map.SetSize(W, H);
  Map.Clear(Pixel32(0xFFFFFFFF));
  return Map;
}

TEST(OversampledFont, SixteenTimesGivesTheReducedAreaAndRectangle) {
  TBlockRenderer renderer;
  renderer.Size = {800, 192, 150};
  TGuiOversampledGDIFont font(&renderer);
  TFont spec;
  spec.Height = 12;
  spec.Color = 0x000000;
  font.SetFont(spec);
  font.SetFontOversampling(fo16x);
  const TTextExtent extent = font.TextExtent("x");
  EXPECT_EQ(renderer.LastHeight, 192);  // 12 scaled by 16
  EXPECT_EQ(extent.Width, 50);
  EXPECT_EQ(extent.Height, 12);
  TGuiPixelMapMemory map;
  White(map, 80, 30);
  font.TextOut("x", &map, 10, 5);
  EXPECT_EQ(font.Buffer().Width(), 804);
  EXPECT_EQ(font.Buffer().Height(), 196);
  EXPECT_TRUE(Near(map.GetPixel(10, 5), 0xFF000000u));
  EXPECT_TRUE(Near(map.GetPixel(59, 16), 0xFF000000u));
  EXPECT_TRUE(Near(map.GetPixel(60, 16), 0xFFFFFFFFu));  // the rectangle ends at 50 x 12
  EXPECT_TRUE(Near(map.GetPixel(59, 17), 0xFFFFFFFFu));
  EXPECT_TRUE(Near(map.GetPixel(9, 5), 0xFFFFFFFFu));
}

TEST(OversampledFont, SixTimesReducesByThreeThenTwo) {
  TGuiByteMapMemory map;
  map.SetSize(12, 6);
  map.SetValue(0, 0, 255);
  BoxReduce(map, 3);
  EXPECT_EQ(map.GetValue(0, 0), 28);
  BoxReduce(map, 2);
  EXPECT_EQ(map.GetValue(0, 0), 7);
  TGuiByteMapMemory again;
  again.SetSize(12, 6);
  again.SetValue(0, 0, 255);
  TBlockRenderer renderer;
  TGuiOversampledGDIFont font(&renderer);
  font.SetFontOversampling(fo6x);
  font.Downsample(again);
  EXPECT_EQ(again.GetValue(0, 0), 7);
}

TEST(OversampledFont, EveryFactorReducesAFullBlockToFullCoverage) {
  for (int o = foNone; o <= fo16x; ++o) {
    TBlockRenderer renderer;
    const std::int32_t f = OversamplingFactor(TFontOversampling(o));
    renderer.Size = {5 * f, 3 * f, 2 * f};
    TGuiOversampledGDIFont font(&renderer);
    font.SetFontOversampling(TFontOversampling(o));
    EXPECT_EQ(font.TextExtent("x").Width, 5) << f;
    TGuiPixelMapMemory map;
    White(map, 10, 10);
    font.TextOut("x", &map, 1, 1);
    // Black text: fully covered target pixels are black, the next one white.
    EXPECT_TRUE(Near(map.GetPixel(5, 3), 0xFF000000u)) << f;
    EXPECT_TRUE(Near(map.GetPixel(6, 3), 0xFFFFFFFFu)) << f;
  }
}

TEST(OversampledFont, AlphaScalesTheCoverage) {
  TBlockRenderer renderer;
  TGuiOversampledGDIFont font(&renderer);
  font.SetAlpha(128);
  font.TextOut("x", nullptr, 0, 0);
  EXPECT_EQ(font.Buffer().GetValue(0, 0), 128);  // (255 * 128 + 128) / 256
  EXPECT_EQ(font.Buffer().GetValue(40, 0), 0);
}

TEST(OversampledFont, ShadowBorderAndPlacementFollowTheBlur) {
  TBlockRenderer renderer;
  renderer.Size = {40, 20, 16};
  TGuiOversampledGDIFont font(&renderer);
  font.SetFontOversampling(fo4x);
  font.Shadow().SetBlur(2);
  font.Shadow().SetOffset({3, 3});
  font.Shadow().SetVisible(true);
  TFont spec = font.Font();
  spec.Color = 0x00FFFFFF;  // white text: only the shadow darkens the white map
  font.SetFont(spec);
  TGuiPixelMapMemory map;
  White(map, 40, 30);
  font.TextOut("x", &map, 10, 10);
  // Border 8 rendered pixels on each side: (40 + 16) and (20 + 16), rounded up.
  EXPECT_EQ(font.Buffer().Width(), 60);
  EXPECT_EQ(font.Buffer().Height(), 40);
  // The shadow's rectangle starts at x + OffsetX - 2.
  EXPECT_LT(map.GetPixel(11, 15).R, 255);
  EXPECT_EQ(map.GetPixel(10, 15).R, 255);
  EXPECT_EQ(font.ShadowColor().ARGB(), 0xFF000000u);
}

TEST(SimpleFont, ShadowIsDrawnAtItsOffsetBehindTheText) {
  TBlockRenderer renderer;
  renderer.Size = {4, 4, 3};
  TGuiSimpleGDIFont font(&renderer);
  TFont spec;
  spec.Color = 0x0000FF;  // red
  font.SetFont(spec);
  font.Shadow().SetOffset({2, 2});
  font.Shadow().SetColor(0xFF0000);  // blue
  font.Shadow().SetVisible(true);
  TGuiPixelMapMemory map;
  White(map, 12, 12);
  font.TextOut("x", &map, 2, 2);
  EXPECT_TRUE(Near(map.GetPixel(2, 2), 0xFFFF0000u));
  EXPECT_TRUE(Near(map.GetPixel(7, 7), 0xFF0000FFu));  // shadow only
  EXPECT_TRUE(Near(map.GetPixel(5, 5), 0xFFFF0000u));  // text above shadow
  EXPECT_TRUE(Near(map.GetPixel(8, 8), 0xFFFFFFFFu));
}

TEST(GuiFont, EmptyTextDrawsNothing) {
  TBlockRenderer renderer;
  TGuiOversampledGDIFont font(&renderer);
  TGuiPixelMapMemory map;
  White(map, 4, 4);
  font.TextOut("", &map, 0, 0);
  EXPECT_EQ(renderer.Draws, 0);
}

TEST(GuiFont, ShadowSaturationBecomesAPowerOfTwo) {
  TBlockRenderer renderer;
  TGuiOversampledGDIFont font(&renderer);
  int changes = 0;
  font.SetOnChange([&](TGuiCustomFont&) { ++changes; });
  font.Shadow().SetSaturation(1.4f);
  font.Shadow().SetOpacity(100);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(font.ShadowColor().A, 100);
  TGuiShadow other;
  other.SetSaturation(1000);  // far beyond a float's exponent: clamped, not garbage
  font.SetShadow(other);
  EXPECT_EQ(font.ShadowColor().A, 255);
}

struct TLabelGui : THeadlessGui {
  TLabelGui() : THeadlessGui(60, 20), Label(Window->Create<TGuiLabel>(&Renderer)) {
    Label.SetBounds(0, 0, 50, 14);
    TFont spec;
    spec.Color = 0x00FFFFFF;
    Label.SetFont(spec);
    Label.SetCaption("by");
    Window->SetColor(0x00000000);
  }
  TBlockRenderer Renderer;
  TGuiLabel& Label;
};

TEST(GuiLabel, AlignmentPlacesTheText) {
  TLabelGui gui;
  gui.Renderer.Size = {42, 10, 8};
  gui.Label.SetAlignment(taRightJustify);
  gui.Window->Show();
  EXPECT_TRUE(Near(Pixel32(gui.Screen->ScreenPixel(8, 5)), 0xFFFFFFFFu));
  EXPECT_TRUE(Near(Pixel32(gui.Screen->ScreenPixel(7, 5)), 0xFF000000u));
  gui.Label.SetAlignment(taCenter);
  gui.Window->Idle();
  EXPECT_TRUE(Near(Pixel32(gui.Screen->ScreenPixel(4, 5)), 0xFFFFFFFFu));
  EXPECT_TRUE(Near(Pixel32(gui.Screen->ScreenPixel(3, 5)), 0xFF000000u));
  EXPECT_TRUE(Near(Pixel32(gui.Screen->ScreenPixel(45, 5)), 0xFFFFFFFFu));
  EXPECT_TRUE(Near(Pixel32(gui.Screen->ScreenPixel(46, 5)), 0xFF000000u));
}

TEST(GuiLabel, SameCaptionRendersNothingAgain) {
  TLabelGui gui;
  gui.Window->Show();
  const int draws = gui.Renderer.Draws;
  gui.Label.SetCaption("by");
  gui.Window->Idle();
  EXPECT_EQ(gui.Renderer.Draws, draws);
  gui.Label.SetCaption("to");
  gui.Window->Idle();
  EXPECT_EQ(gui.Renderer.Draws, draws + 1);
}

TEST(GuiLabel, RealTextStaysInsideItsBox) {
  THeadlessGui gui(120, 40);
  gui.Window->SetColor(0x00000000);
  auto& label = gui.Window->Create<TGuiLabel>();
  label.SetBounds(60, 10, 50, 14);
  TFont spec;
  spec.Name = "Lucida Console";
  spec.Height = 12;
  spec.Bold = true;
  spec.Color = 0x00FFFFFF;
  label.SetFont(spec);
  label.SetFontOversampling(fo16x);
  label.SetAlignment(taRightJustify);
  label.SetTransparent(true);
  label.SetCaption("by Vorda");
  gui.Window->Show();
  int inkInside = 0, inkOutside = 0;
  for (std::int32_t y = 0; y < 40; ++y)
    for (std::int32_t x = 0; x < 120; ++x) {
      const bool ink = (gui.Screen->ScreenPixel(x, y) & 0xFFFFFF) != 0;
      const bool inside = x >= 60 && x < 110 && y >= 10 && y < 24;
      (inside ? inkInside : inkOutside) += ink ? 1 : 0;
    }
  EXPECT_GT(inkInside, 40);
  EXPECT_EQ(inkOutside, 0);
  const TTextExtent extent = label.GuiFont().TextExtent("by Vorda");
  EXPECT_GT(extent.Width, 30);
  EXPECT_LE(extent.Width, 50);
}

}  // namespace
}  // namespace vb::test
