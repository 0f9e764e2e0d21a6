// Guards the scanline decoders: pixel layout of every colour format, the
// gamma table, Adam7 placement, tRNS alpha, palette index limits and the
// "Data not complete" failure.
#include "png/png_decoder.h"

#include <gtest/gtest.h>

#include "png/png_error.h"
#include "png/png_test_util.h"

namespace vb {
namespace {

using test::TBytes;

struct TDecodeRun {
  TChunkPngImageHeader Header;
  std::unique_ptr<TChunkPngGamma> Gamma;
  std::unique_ptr<TChunkPngPalette> Palette;
  std::unique_ptr<TChunkPngTransparency> Transparency;
  std::vector<TPixel32> Pixels;

  TDecodeRun(int W, int H, uint8_t Depth, uint8_t Type, uint8_t Interlace = 0) {
    Header.SetWidth(W);
    Header.SetHeight(H);
    Header.SetBitDepth(Depth);
    Header.SetColorType(Type);
    Header.SetInterlaceMethod(TInterlaceMethod(Interlace));
  }
  void Decode(const TBytes& Raw) {
    Pixels.assign(size_t(Header.Width() * Header.Height()), Pixel32(0x12345678));
    TPngMemoryStream stream(Raw);
    auto decoder = CreatePngDecoder(stream, Header, Gamma.get(), Palette.get(), Transparency.get());
    decoder->DecodeToScanline([this](int32_t Y) { return Pixels.data() + Y * Header.Width(); });
  }
  uint32_t At(int X, int Y = 0) const { return Pixels[size_t(Y * Header.Width() + X)].ARGB(); }
};

TEST(ScanlineDecoder, WritesBgraPixelsForEachColourFormat) {
  TDecodeRun grey1(1, 1, 1, 0);
  grey1.Decode({0, 0x80});
  EXPECT_EQ(grey1.At(0), 0xFFFFFFFFu);

  TDecodeRun rgba(2, 1, 8, 6);
  rgba.Decode({1, 10, 20, 30, 40, 5, 5, 5, 5});
  EXPECT_EQ(rgba.At(0), 0x280A141Eu);
  EXPECT_EQ(rgba.At(1), 0x2D0F1923u);

  TDecodeRun rgb16(1, 1, 16, 2);
  rgb16.Decode({0, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC});
  EXPECT_EQ(rgb16.At(0), 0xFF12569Au);

  TDecodeRun ga16(1, 1, 16, 4);
  ga16.Decode({0, 0x40, 0xFF, 0x80, 0x01});
  EXPECT_EQ(ga16.At(0), 0x80404040u);

  TDecodeRun grey2(4, 1, 2, 0);
  grey2.Decode({0, 0b00011011});
  EXPECT_EQ(grey2.At(0), 0xFF000000u);
  EXPECT_EQ(grey2.At(1), 0xFF555555u);
  EXPECT_EQ(grey2.At(2), 0xFFAAAAAAu);
  EXPECT_EQ(grey2.At(3), 0xFFFFFFFFu);
}

TEST(ScanlineDecoder, MapsColoursThroughTheGammaTable) {
  const auto table = BuildPngGammaTable(100000);
  EXPECT_EQ(table[1], 21);
  EXPECT_EQ(table[128], 186);
  const auto identity = BuildPngGammaTable(45455);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(identity[size_t(i)], i);

  TDecodeRun rgba(1, 1, 8, 6);
  rgba.Gamma = std::make_unique<TChunkPngGamma>(&rgba.Header);
  rgba.Gamma->SetGamma(100000);
  rgba.Decode({0, 1, 128, 0, 77});
  EXPECT_EQ(rgba.At(0), 0x4D15BA00u);  // alpha is never mapped
}

TEST(ScanlineDecoder, PlacesAdam7PassesAndSkipsEmptyOnes) {
  TDecodeRun one(1, 1, 8, 0, 1);
  one.Decode({0, 0x42});  // pass 0 only
  EXPECT_EQ(one.At(0), 0xFF424242u);

  // 3 x 3 grey: pass 0 (0,0); pass 3 (2,0); pass 4 (0,2),(2,2);
  // pass 5 (1,0),(1,2); pass 6 rows 1: (0,1),(1,1),(2,1).
  TDecodeRun grid(3, 3, 8, 0, 1);
  grid.Decode({0, 1, 0, 2, 0, 3, 4, 0, 5, 0, 6, 0, 7, 8, 9});
  const uint8_t expected[3][3] = {{1, 5, 2}, {7, 8, 9}, {3, 6, 4}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(grid.At(x, y) & 0xFF, expected[y][x]) << x << "," << y;
}

TEST(ScanlineDecoder, GivesTransparencyToPaletteEntriesAndKeyColours) {
  TDecodeRun indexed(3, 1, 8, 3);
  indexed.Palette = std::make_unique<TChunkPngPalette>(&indexed.Header);
  indexed.Palette->SetCount(2);
  indexed.Palette->SetPaletteEntry(0, {255, 0, 0});
  indexed.Palette->SetPaletteEntry(1, {0, 0, 255});
  indexed.Transparency = std::make_unique<TChunkPngTransparency>(&indexed.Header);
  std::get<TPngTransparencyFormat3>(indexed.Transparency->Transparency()).FTransparency = {0};
  indexed.Decode({0, 0, 1, 200});  // index 200 lies past the palette
  EXPECT_EQ(indexed.At(0), 0x00FF0000u);
  EXPECT_EQ(indexed.At(1), 0xFF0000FFu);
  EXPECT_EQ(indexed.At(2), 0xFF000000u);

  TDecodeRun rgb(2, 1, 8, 2);
  rgb.Transparency = std::make_unique<TChunkPngTransparency>(&rgb.Header);
  std::get<TPngTransparencyFormat2>(rgb.Transparency->Transparency()) = {1, 3, 2};
  rgb.Decode({0, 1, 2, 3, 1, 2, 4});
  EXPECT_EQ(rgb.At(0), 0x00010203u);
  EXPECT_EQ(rgb.At(1), 0xFF010204u);

  TDecodeRun grey16(2, 1, 16, 0);
  grey16.Transparency = std::make_unique<TChunkPngTransparency>(&grey16.Header);
  std::get<TPngTransparencyFormat0>(grey16.Transparency->Transparency()).FGraySampleValue = 0x1234;
  grey16.Decode({0, 0x12, 0x34, 0x12, 0x35});
  EXPECT_EQ(grey16.At(0), 0x00121212u);  // compared at full precision
  EXPECT_EQ(grey16.At(1), 0xFF121212u);
}

TEST(ScanlineDecoder, ReportsIncompleteDataAndKeepsTheRowsWritten) {
  TDecodeRun grey(2, 2, 8, 0);
  try {
    grey.Decode({0, 7, 7, 0, 9});
    FAIL();
  } catch (const EPngError& e) {
    EXPECT_STREQ(e.what(), "Data not complete");
  }
  EXPECT_EQ(grey.At(1, 0), 0xFF070707u);
  EXPECT_EQ(grey.At(1, 1), 0x12345678u);
}

TEST(ScanlineDecoder, RefusesFormatsWithoutADecoder) {
  TChunkPngImageHeader h;
  h.SetColorType(2);
  h.SetBitDepth(4);
  TPngMemoryStream s;
  EXPECT_THROW(CreatePngDecoder(s, h, nullptr, nullptr), EPngError);
  h.SetBitDepth(8);
  h.SetInterlaceMethod(TInterlaceMethod(2));
  EXPECT_THROW(CreatePngDecoder(s, h, nullptr, nullptr), EPngError);
}

TEST(ScanlineDecoder, SizesInterlacedDataPerPass) {
  TChunkPngImageHeader h;
  h.SetWidth(1);
  h.SetHeight(1);
  h.SetColorType(0);
  h.SetInterlaceMethod(imAdam7);
  EXPECT_EQ(PngImageDataSize(h), 2u);
  h.SetWidth(8);
  h.SetHeight(8);
  // Passes hold 1, 1, 2, 4, 8, 16 and 32 pixels in 1, 1, 1, 2, 2, 4, 4 rows.
  EXPECT_EQ(PngImageDataSize(h), 64u + 15u);
  // Hostile sizes saturate instead of wrapping to a small number.
  h.SetWidth(0x7FFFFFFF);
  h.SetHeight(0x7FFFFFFF);
  h.SetColorType(6);
  h.SetBitDepth(16);
  h.SetInterlaceMethod(imNone);
  EXPECT_EQ(PngImageDataSize(h), UINT64_MAX);
}

}  // namespace
}  // namespace vb
