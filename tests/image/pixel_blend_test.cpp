// Guards against blending arithmetic that is off by one in any channel,
// carries between channels, mishandles the 0/255 shortcuts, or differs
// between the portable and the packed-integer implementations.
#include "image/pixel_blend.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "cpu/function_binding.h"
#include "image/pixel_blend_sse2.h"

namespace vb {
namespace {

// Straightforward per-channel formulas, written independently of the code.
std::uint32_t Term(std::uint32_t Weight, std::uint32_t Value) { return (Weight * Value + 128) / 256; }

TPixel32 ExpectedBlend(TPixel32 F, TPixel32 B) {
  if (F.A == 0) return B;
  if (F.A == 255) return F;
  const std::uint32_t a = F.A;
  return TPixel32{std::uint8_t(Term(a, F.B) + Term(255 - a, B.B)), std::uint8_t(Term(a, F.G) + Term(255 - a, B.G)),
                  std::uint8_t(Term(a, F.R) + Term(255 - a, B.R)), 255};
}

TPixel32 ExpectedMix(TPixel32 F, TPixel32 B, std::uint32_t W) {
  if (W == 0) return B;
  if (W >= 255) return F;
  return TPixel32{std::uint8_t(Term(W, F.B) + Term(255 - W, B.B)), std::uint8_t(Term(W, F.G) + Term(255 - W, B.G)),
                  std::uint8_t(Term(W, F.R) + Term(255 - W, B.R)), std::uint8_t(Term(W, F.A) + Term(255 - W, B.A))};
}

TPixel32 ExpectedComposite(TPixel32 F, TPixel32 B) {
  if (F.A == 255) return F;
  if (F.A == 0) return B;
  if (B.A == 0) return F;
  if (B.A == 255) return ExpectedBlend(F, B);
  const int x = 65025 - (255 - F.A) * (255 - B.A);
  const int w = F.A * 65025 / x;
  auto channel = [&](int Fc, int Bc) { return std::uint8_t((Bc + (w * (Fc - Bc + 255) + 127) / 256 - w + 1) & 0xFF); };
  return TPixel32{channel(F.B, B.B), channel(F.G, B.G), channel(F.R, B.R), std::uint8_t((x + 128) / 256)};
}

std::vector<TPixel32> RandomPixels(std::size_t Count, std::uint32_t Seed) {
  std::mt19937 random(Seed);
  std::vector<TPixel32> pixels(Count);
  for (TPixel32& p : pixels) {
    p = Pixel32(random());
    // Plenty of the alphas that take shortcuts.
    const std::uint32_t pick = random() % 8;
    if (pick == 0) p.A = 0;
    if (pick == 1) p.A = 255;
  }
  return pixels;
}

TEST(PixelBlend, ExamplesGiveTheDocumentedPixels) {
  EXPECT_EQ(BlendPixel(Pixel32(128, 0, 0, 0), Pixel32(255, 255, 255, 255)), Pixel32(255, 127, 127, 127));
  EXPECT_EQ(BlendPixel(Pixel32(1, 255, 255, 255), Pixel32(0, 0, 0, 0)), Pixel32(255, 1, 1, 1));
  EXPECT_EQ(BlendPixel(Pixel32(0, 9, 9, 9), Pixel32(77, 1, 2, 3)), Pixel32(77, 1, 2, 3));
  EXPECT_EQ(MixPixel(Pixel32(255, 255, 255, 255), Pixel32(0, 0, 0, 0), 128), Pixel32(128, 128, 128, 128));
  EXPECT_EQ(MixPixel(Pixel32(255, 0, 0, 0), Pixel32(0, 255, 255, 255), 1), Pixel32(1, 253, 253, 253));
  EXPECT_EQ(MixPixel(Pixel32(1, 2, 3, 4), Pixel32(5, 6, 7, 8), 300), Pixel32(1, 2, 3, 4));
  EXPECT_EQ(CompositePixel(Pixel32(128, 255, 0, 0), Pixel32(128, 0, 0, 255)), Pixel32(191, 170, 0, 86));
  EXPECT_EQ(CompositePixel(Pixel32(100, 10, 20, 30), Pixel32(0, 1, 2, 3)), Pixel32(100, 10, 20, 30));
}

TEST(PixelBlend, BlendPixelMatchesTheFormulaForEveryAlphaAndChannelPair) {
  for (std::uint32_t a = 0; a < 256; ++a)
    for (std::uint32_t f = 0; f < 256; ++f)
      for (std::uint32_t b = 0; b < 256; ++b) {
        // Different values in each channel expose carries between them.
        const TPixel32 fg{std::uint8_t(f), std::uint8_t(255 - f), std::uint8_t(f ^ 0x5A), std::uint8_t(a)};
        const TPixel32 bg{std::uint8_t(b), std::uint8_t(b ^ 0xA5), std::uint8_t(255 - b), std::uint8_t(b ^ f)};
        const TPixel32 got = BlendPixel(fg, bg);
        if (got != ExpectedBlend(fg, bg)) {
          ADD_FAILURE() << "alpha " << a << " fg " << f << " bg " << b;
          return;
        }
      }
}

TEST(PixelBlend, MixPixelMatchesTheFormulaForEveryWeightAndChannelPair) {
  for (std::uint32_t w = 0; w < 256; ++w)
    for (std::uint32_t f = 0; f < 256; ++f)
      for (std::uint32_t b = 0; b < 256; ++b) {
        const TPixel32 fg{std::uint8_t(f), std::uint8_t(255 - f), std::uint8_t(f ^ 0x5A), std::uint8_t(f ^ 0xC3)};
        const TPixel32 bg{std::uint8_t(b), std::uint8_t(b ^ 0xA5), std::uint8_t(255 - b), std::uint8_t(b ^ 0x3C)};
        if (MixPixel(fg, bg, w) != ExpectedMix(fg, bg, w)) {
          ADD_FAILURE() << "weight " << w << " fg " << f << " bg " << b;
          return;
        }
      }
}

TEST(PixelBlend, CompositePixelMatchesTheFormulaOnRandomPixels) {
  const std::vector<TPixel32> f = RandomPixels(1 << 20, 1);
  const std::vector<TPixel32> b = RandomPixels(1 << 20, 2);
  for (std::size_t i = 0; i < f.size(); ++i)
    ASSERT_EQ(CompositePixel(f[i], b[i]), ExpectedComposite(f[i], b[i]))
        << std::hex << f[i].ARGB() << " over " << b[i].ARGB();
  // Over an opaque background compositing is blending.
  for (std::size_t i = 0; i < 4096; ++i) {
    TPixel32 opaque = b[i];
    opaque.A = 255;
    ASSERT_EQ(CompositePixel(f[i], opaque), BlendPixel(f[i], opaque));
  }
}

TEST(PixelBlend, InPlaceRunAndRowFormsAgreeWithTheSinglePixelForms) {
  const std::vector<TPixel32> source = RandomPixels(1001, 3);
  const std::vector<TPixel32> background = RandomPixels(1001, 4);
  const std::int32_t n = std::int32_t(source.size());
  const TPixel32 colour = Pixel32(0x80336699u);

  std::vector<TPixel32> row = background, run = background, mix = background, mixRun = background, comp = background;
  BlendRow(source.data(), row.data(), n);
  BlendColorRun(colour, run.data(), n);
  MixRow(source.data(), mix.data(), n, 77);
  MixColorRun(colour, mixRun.data(), n, 200);
  CompositeRow(source.data(), comp.data(), std::uint32_t(n));
  FinishBlend();
  for (std::int32_t i = 0; i < n; ++i) {
    ASSERT_EQ(row[i], BlendPixel(source[i], background[i]));
    ASSERT_EQ(run[i], BlendPixel(colour, background[i]));
    ASSERT_EQ(mix[i], MixPixel(source[i], background[i], 77));
    ASSERT_EQ(mixRun[i], MixPixel(colour, background[i], 200));
    ASSERT_EQ(comp[i], CompositePixel(source[i], background[i]));
    TPixel32 to = background[i];
    CompositePixelTo(source[i], to);
    ASSERT_EQ(to, comp[i]);
  }
}

TEST(PixelBlend, ZeroAndNegativeCountsChangeNothing) {
  const std::vector<TPixel32> source = RandomPixels(8, 5);
  std::vector<TPixel32> dest = RandomPixels(8, 6);
  const std::vector<TPixel32> before = dest;
  for (std::int32_t count : {0, -5}) {
    BlendRow(source.data(), dest.data(), count);
    BlendColorRun(Pixel32(0x80FFFFFFu), dest.data(), count);
    MixRow(source.data(), dest.data(), count, 100);
    MixColorRun(Pixel32(0x80FFFFFFu), dest.data(), count, 100);
  }
  CompositeRow(source.data(), dest.data(), 0);
  EXPECT_EQ(dest, before);
}

TEST(PixelBlend, PackedIntegerRoutinesAreBitIdenticalToThePortableOnes) {
  if (!blend_sse2::Available()) GTEST_SKIP() << "no SSE2 on this processor family";
  const std::vector<TPixel32> source = RandomPixels(4099, 7);
  const std::vector<TPixel32> background = RandomPixels(4099, 8);
  for (std::int32_t n : {0, 1, 3, 4, 5, 17, 4099}) {
    std::vector<TPixel32> a = background, b = background;
    blend_portable::BlendRow(source.data(), a.data(), n);
    blend_sse2::BlendRow(source.data(), b.data(), n);
    ASSERT_EQ(a, b) << "BlendRow " << n;
    for (std::uint32_t weight : {0u, 1u, 128u, 254u, 255u, 256u}) {
      a = background;
      b = background;
      blend_portable::MixRow(source.data(), a.data(), n, weight);
      blend_sse2::MixRow(source.data(), b.data(), n, weight);
      ASSERT_EQ(a, b) << "MixRow " << n << " weight " << weight;
    }
    for (TPixel32 colour : {source[0], source[1], source[2], Pixel32(0x00FFFFFFu), Pixel32(0xFF102030u)}) {
      a = background;
      b = background;
      blend_portable::BlendColorRun(colour, a.data(), n);
      blend_sse2::BlendColorRun(colour, b.data(), n);
      ASSERT_EQ(a, b) << "BlendColorRun " << n;
    }
  }
}

TEST(PixelBlend, EveryRoutineIsBoundThroughTheBlendList) {
  TFunctionBindingList* list = BlendFunctionBindings();
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->BindingCount(), 12);
  // Registration order: FinishBlend first, CompositeRow last.
  EXPECT_EQ(list->Binding(0)->Prototype(), static_cast<void*>(&FinishBlend));
  EXPECT_EQ(list->Binding(11)->Prototype(), static_cast<void*>(&CompositeRow));
  EXPECT_EQ(list->GetBindingByPointer(&blend_portable::MixRow), list->Binding(8));
  for (std::int32_t i = 0; i < list->BindingCount(); ++i) EXPECT_NE(list->Binding(i)->CurrentProc(), nullptr);
  // The portable single-pixel routines are what the pointers hold.
  EXPECT_EQ(BlendPixel, &blend_portable::BlendPixel);
  EXPECT_EQ(CompositePixel, &blend_portable::CompositePixel);
}

TEST(PixelBlend, RebindingToNoFeaturesFallsBackToThePortableRows) {
  TFunctionBindingList* list = BlendFunctionBindings();
  list->Rebind(TProcessorFeatures{});
  EXPECT_EQ(BlendRow, &blend_portable::BlendRow);
  EXPECT_EQ(MixRow, &blend_portable::MixRow);
  list->RebindProcessorSpecific();
  if (blend_sse2::Available() && ProcessorFeatures().Contains(TProcessorFeature::pfSSE2)) {
    EXPECT_EQ(BlendRow, &blend_sse2::BlendRow);
  }
}

}  // namespace
}  // namespace vb
