// Guards against text that lands outside the box it was measured in, widths
// that do not follow the string, a missing fixed-pitch face falling back to a
// proportional one, styles that change nothing and hostile UTF-8.
#include "platform/text_renderer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <thread>
#include <vector>

namespace vb {
namespace {

struct TGreyRaster {
  TGreyRaster(std::int32_t Width, std::int32_t Height) : Bytes(std::size_t(Width) * Height, 0) {
    View = TRasterView{Bytes.data(), Width, Height, Width, TRasterFormat::rfGrey8, nullptr};
  }
  std::uint8_t At(std::int32_t X, std::int32_t Y) const { return Bytes[std::size_t(Y) * View.Width + X]; }
  long Ink() const {
    long sum = 0;
    for (std::uint8_t b : Bytes) sum += b;
    return sum;
  }
  std::vector<std::uint8_t> Bytes;
  TRasterView View;
};

TFontDescription Font(const char* Face, std::int32_t Height, bool Bold = false, bool Italic = false) {
  TFontDescription font;
  font.FaceName = Face;
  font.PixelHeight = Height;
  font.Bold = Bold;
  font.Italic = Italic;
  return font;
}

TEST(TextRenderer, WidthGrowsWithTheStringWhileTheLineHeightStays) {
  TTextRenderer& renderer = SystemTextRenderer();
  const TFontDescription font = Font("DejaVu Sans", 14);
  EXPECT_EQ(renderer.Measure(font, ""), (TTextExtent{}));
  const TTextExtent one = renderer.Measure(font, "W");
  const TTextExtent two = renderer.Measure(font, "WW");
  const TTextExtent three = renderer.Measure(font, "WWW");
  EXPECT_GT(one.Width, 0);
  EXPECT_LT(one.Width, two.Width);
  EXPECT_LT(two.Width, three.Width);
  EXPECT_EQ(one.Height, three.Height);
  EXPECT_GE(one.Height, 14);
  EXPECT_GT(one.Ascent, 0);
  EXPECT_LT(one.Ascent, one.Height);
  // A cell height asks for the whole line, not the em.
  TFontDescription cell = font;
  cell.CellHeight = true;
  EXPECT_NEAR(renderer.Measure(cell, "W").Height, 14, 1);
}

TEST(TextRenderer, MissingFixedPitchFamilyFallsBackToAFixedPitchFace) {
  TTextRenderer& renderer = SystemTextRenderer();
  const TFontDescription font = Font("Lucida Console", 12, true);
  EXPECT_TRUE(renderer.Describe(font).FixedPitch) << renderer.Describe(font).Family;
  auto advance = [&](const char* Four, const char* Eight) {
    return renderer.Measure(font, Eight).Width - renderer.Measure(font, Four).Width;
  };
  EXPECT_EQ(advance("iiii", "iiiiiiii"), advance("WWWW", "WWWWWWWW"));
  EXPECT_FALSE(renderer.Describe(Font("Default", 12)).FixedPitch);
}

TEST(TextRenderer, GlyphPixelsLieInsideTheMeasuredBoxAndNowhereElse) {
  TTextRenderer& renderer = SystemTextRenderer();
  for (const TFontDescription& font :
       {Font("DejaVu Sans", 13), Font("DejaVu Serif", 21, true, true), Font("Lucida Console", 192, true)}) {
    const char* text = "jAVf/g\xC3\x84Q";  // descenders, overhangs, an umlaut
    const TTextExtent extent = renderer.Measure(font, text);
    TGreyRaster raster(extent.Width + 40, extent.Height + 40);
    const TRect box = renderer.Draw(font, text, raster.View, 20, 20);
    EXPECT_EQ(box, Rect(20, 20, 20 + extent.Width, 20 + extent.Height));
    TRect ink{raster.View.Width, raster.View.Height, 0, 0};
    for (std::int32_t y = 0; y < raster.View.Height; ++y) {
      for (std::int32_t x = 0; x < raster.View.Width; ++x) {
        if (raster.At(x, y) == 0) continue;
        ink =
            Rect(std::min(ink.Left, x), std::min(ink.Top, y), std::max(ink.Right, x + 1), std::max(ink.Bottom, y + 1));
      }
    }
    EXPECT_EQ(Intersection(ink, box), ink) << font.FaceName << " " << font.PixelHeight;
    // The box is tight across: ink reaches within a pixel of both sides.
    EXPECT_LE(ink.Left - box.Left, extent.Width / 8 + 1);
    EXPECT_LE(box.Right - ink.Right, extent.Width / 8 + 1);

    // The baseline anchor puts the same pixels Ascent rows lower (an upright
    // text that starts without overhang, so the pen starts at the box's edge).
    if (font.Italic) continue;
    TGreyRaster byBaseline(raster.View.Width, raster.View.Height);
    renderer.Draw(font, "Hello", byBaseline.View, 20, 20 + renderer.Measure(font, "Hello").Ascent,
                  TTextAnchor::taBaseline);
    TGreyRaster byCorner(raster.View.Width, raster.View.Height);
    renderer.Draw(font, "Hello", byCorner.View, 20, 20);
    EXPECT_GT(byCorner.Ink(), 0);
    EXPECT_EQ(byBaseline.Bytes, byCorner.Bytes);
  }
}

TEST(TextRenderer, DrawingClipsAtTheRasterEdgesAndBlendsOverExistingInk) {
  TTextRenderer& renderer = SystemTextRenderer();
  const TFontDescription font = Font("DejaVu Sans", 30);
  TGreyRaster small(6, 6);
  renderer.Draw(font, "MMMM", small.View, -3, -5);  // must not write outside 6 x 6
  EXPECT_GT(small.Ink(), 0);
  TGreyRaster once(80, 40);
  renderer.Draw(font, "O", once.View, 2, 2);
  TGreyRaster twice(80, 40);
  renderer.Draw(font, "O", twice.View, 2, 2);
  renderer.Draw(font, "O", twice.View, 2, 2);
  for (std::size_t i = 0; i < once.Bytes.size(); ++i) ASSERT_GE(twice.Bytes[i], once.Bytes[i]);
  // A raster of another format is left alone.
  std::uint32_t colour[4] = {};
  TRasterView wrong{colour, 2, 2, 8, TRasterFormat::rfBGRA32, nullptr};
  renderer.Draw(font, "O", wrong, 0, 0);
  EXPECT_EQ(colour[0] | colour[1] | colour[2] | colour[3], 0u);
}

TEST(TextRenderer, StylesChangeTheInk) {
  TTextRenderer& renderer = SystemTextRenderer();
  auto ink = [&](const TFontDescription& Font) {
    TGreyRaster raster(200, 60);
    renderer.Draw(Font, "Drive", raster.View, 4, 4);
    return raster;
  };
  const long regular = ink(Font("DejaVu Sans", 20)).Ink();
  const TFontDescription bold = Font("DejaVu Sans", 20, true);
  EXPECT_GT(ink(bold).Ink(), regular * 11 / 10);
  EXPECT_GE(renderer.Measure(bold, "Drive").Width, renderer.Measure(Font("DejaVu Sans", 20), "Drive").Width);
  // A family without a bold cut is emboldened rather than left regular.
  const TFontDescription synthetic = Font("DejaVu Math TeX Gyre", 20, true);
  if (renderer.Describe(synthetic).SyntheticBold) {
    EXPECT_GT(ink(synthetic).Ink(), ink(Font("DejaVu Math TeX Gyre", 20)).Ink() * 11 / 10);
  }
  TFontDescription sharp = Font("DejaVu Sans", 20);
  sharp.Antialiased = false;
  const TGreyRaster oneBit = ink(sharp);
  for (std::uint8_t b : oneBit.Bytes) ASSERT_TRUE(b == 0 || b == 255);
  EXPECT_GT(oneBit.Ink(), 0);
}

TEST(TextRenderer, MalformedUtf8DrawsReplacementGlyphsWithoutFailing) {
  TTextRenderer& renderer = SystemTextRenderer();
  const TFontDescription font = Font("DejaVu Sans", 12);
  const std::string broken("A\xC3\xFF\xE0\x80\x80\xED\xA0\x80\xF4\x90\x80\x80Z\xC3", 16);
  const TTextExtent extent = renderer.Measure(font, broken);
  EXPECT_GT(extent.Width, renderer.Measure(font, "AZ").Width);
  TGreyRaster raster(extent.Width, extent.Height);
  renderer.Draw(font, broken, raster.View, 0, 0);
  EXPECT_GT(raster.Ink(), 0);
}

// Several editors may render at once: calls from several threads must give
// exactly what one thread gets.
TEST(TextRenderer, ConcurrentCallersGetTheSamePixels) {
  TTextRenderer& renderer = SystemTextRenderer();
  const TFontDescription fonts[] = {Font("Lucida Console", 192, true), Font("DejaVu Serif", 17, false, true)};
  std::vector<TGreyRaster> expected;
  for (const TFontDescription& font : fonts) {
    expected.emplace_back(renderer.Measure(font, "by Vorda").Width, renderer.Measure(font, "by Vorda").Height);
    renderer.Draw(font, "by Vorda", expected.back().View, 0, 0);
  }
  constexpr int kThreads = 4;
  constexpr int kRounds = 40;
  std::barrier start(kThreads);
  std::atomic<int> inside{0}, mostInside{0}, mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      for (int round = 0; round < kRounds; ++round) {
        const std::size_t which = std::size_t(t + round) % 2;
        TGreyRaster raster(expected[which].View.Width, expected[which].View.Height);
        const int now = ++inside;
        for (int seen = mostInside.load(); now > seen && !mostInside.compare_exchange_weak(seen, now);) {
        }
        renderer.Draw(fonts[which], "by Vorda", raster.View, 0, 0);
        --inside;
        if (raster.Bytes != expected[which].Bytes) ++mismatches;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches.load(), 0);
  if (mostInside.load() < 2) GTEST_SKIP() << "the threads never called at the same time";
}

}  // namespace
}  // namespace vb
