// Guards the scanline encoders: samples per colour format, bit packing,
// palette look-up, unfiltered indexed rows and degenerate sizes.
#include "png/png_encoder.h"

#include <gtest/gtest.h>

#include "png/png_error.h"

namespace vb {
namespace {

using TBytes = std::vector<uint8_t>;

struct TEncodeRun {
  TChunkPngImageHeader Header;
  std::unique_ptr<TChunkPngPalette> Palette;
  std::vector<TPixel32> Pixels;

  TEncodeRun(int W, int H, uint8_t Depth, uint8_t Type, std::vector<TPixel32> P) : Pixels(std::move(P)) {
    Header.SetWidth(W);
    Header.SetHeight(H);
    Header.SetBitDepth(Depth);
    Header.SetColorType(Type);
  }
  TBytes Encode() {
    TPngMemoryStream out;
    auto encoder = CreatePngEncoder(out, Header, nullptr, Palette.get());
    encoder->EncodeFromScanline([this](int32_t Y) { return Pixels.data() + Y * Header.Width(); });
    return out.Bytes();
  }
};

TEST(ScanlineEncoder, WritesTheSamplesOfEachColourFormat) {
  const TPixel32 p = Pixel32(4, 3, 2, 1);  // A 4, R 3, G 2, B 1
  EXPECT_EQ(TEncodeRun(1, 1, 8, 2, {p}).Encode(), (TBytes{0, 3, 2, 1}));
  EXPECT_EQ(TEncodeRun(1, 1, 8, 6, {p}).Encode(), (TBytes{0, 3, 2, 1, 4}));
  EXPECT_EQ(TEncodeRun(1, 1, 8, 4, {p}).Encode(), (TBytes{0, 3, 4}));
  EXPECT_EQ(TEncodeRun(1, 1, 2, 0, {Pixel32(255, 0xC0, 1, 2)}).Encode(), (TBytes{0, 0xC0}));
  const TPixel32 white = Pixel32(0xFFFFFFFF), black = Pixel32(0xFF000000);
  EXPECT_EQ(TEncodeRun(3, 1, 1, 0, {white, black, white}).Encode(), (TBytes{0, 0b10100000}));
}

TEST(ScanlineEncoder, FiltersAdaptivelyRowByRow) {
  const TPixel32 a = Pixel32(40, 10, 20, 30), b = Pixel32(45, 15, 25, 35);
  const TBytes rows = TEncodeRun(2, 2, 8, 6, {a, b, a, b}).Encode();
  EXPECT_EQ(rows, (TBytes{1, 10, 20, 30, 40, 5, 5, 5, 5, 2, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ScanlineEncoder, WritesIndexedRowsUnfilteredAndPacked) {
  const TPixel32 red = Pixel32(0xFFFF0000), blue = Pixel32(0x800000FF);
  TEncodeRun run(3, 2, 1, 3, {red, blue, blue, red, red, red});
  run.Palette = std::make_unique<TChunkPngPalette>(&run.Header);
  run.Palette->SetCount(2);
  run.Palette->SetPaletteEntry(0, {255, 0, 0});
  run.Palette->SetPaletteEntry(1, {0, 0, 255});
  EXPECT_EQ(run.Encode(), (TBytes{0, 0b01100000, 0, 0}));

  TPngMemoryStream unused;
  auto encoder = CreatePngEncoder(unused, run.Header, nullptr, run.Palette.get());
  EXPECT_EQ(encoder->FindPaletteIndex(Pixel32(0x100000FF)), 1);  // alpha not compared
  EXPECT_EQ(encoder->FindPaletteIndex(Pixel32(0xFF123456)), -1);
}

TEST(ScanlineEncoder, HandlesEmptyRowsAndRefusesUnknownFormats) {
  EXPECT_TRUE(TEncodeRun(3, 0, 8, 2, {}).Encode().empty());
  EXPECT_EQ(TEncodeRun(0, 2, 8, 6, {}).Encode(), (TBytes{0, 0}));
  TChunkPngImageHeader h;
  h.SetColorType(0);
  h.SetBitDepth(16);
  TPngMemoryStream out;
  EXPECT_THROW(CreatePngEncoder(out, h, nullptr, nullptr), EPngError);
  h.SetColorType(5);
  EXPECT_THROW(CreatePngEncoder(out, h, nullptr, nullptr), EPngError);
}

}  // namespace
}  // namespace vb
