// Guards against coverage maps that scale or interpolate off by one, copy
// the wrong block, blend coverage with full instead of 254/256 opacity, or
// keep (or leak) storage and context across size changes.
#include "image/gui_byte_map_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "image/gui_byte_map_dib.h"
#include "image/gui_pixel_map_memory.h"
#include "image/pixel_blend.h"
#include "platform/memory_canvas.h"

namespace vb {
namespace {

std::vector<std::uint8_t> Bytes(const TGuiCustomByteMap& Map) {
  return std::vector<std::uint8_t>(Map.DataPointer(), Map.DataPointer() + Map.DataSize());
}

TEST(ByteMap, MultiplyScalesWithRounding) {
  TGuiByteMapMemory map;
  map.SetSize(4, 1);
  const std::uint8_t values[4] = {255, 1, 128, 0};
  std::copy(values, values + 4, map.DataPointer());
  map.Multiply(128);
  EXPECT_EQ(Bytes(map), (std::vector<std::uint8_t>{128, 1, 64, 0}));
  map.Clear(255);
  map.Multiply(255);
  EXPECT_EQ(map.GetValue(3, 0), 254);
  map.Multiply(0);
  EXPECT_EQ(Bytes(map), std::vector<std::uint8_t>(4, 0));
}

TEST(ByteMap, GradientLineTruncatesTowardZero) {
  TGuiByteMapMemory map;
  map.SetSize(5, 1);
  map.HorizontalLine(4, 0, 0, 0, 255);
  EXPECT_EQ(Bytes(map), (std::vector<std::uint8_t>{0, 63, 127, 191, 0}));
  map.HorizontalLine(0, 4, 0, 200, 100);  // falling: 200, 175, 150, 125
  EXPECT_EQ(Bytes(map), (std::vector<std::uint8_t>{200, 175, 150, 125, 0}));
  map.HorizontalLine(2, 2, 0, 9, 9);
  EXPECT_EQ(map.GetValue(2, 0), 150);
}

TEST(ByteMap, DrawCopiesTheClippedOverlap) {
  TGuiByteMapMemory dest, source;
  dest.SetSize(4, 4);
  source.SetSize(4, 4);
  for (int i = 0; i < 16; ++i) source.DataPointer()[i] = std::uint8_t(i + 1);
  dest.Draw(source, 2, 3, 17);  // alpha has no effect
  std::vector<std::uint8_t> expected(16, 0);
  expected[2 + 3 * 4] = 1;
  expected[3 + 3 * 4] = 2;
  EXPECT_EQ(Bytes(dest), expected);
  dest.Clear();
  dest.DrawTransparent(source, -3, -3);
  expected.assign(16, 0);
  expected[0] = 16;
  EXPECT_EQ(Bytes(dest), expected);
}

TEST(ByteMap, LinesAndRectanglesStoreTheirValue) {
  TGuiByteMapMemory map;
  map.SetSize(4, 3);
  map.FrameRect(Rect(0, 0, 4, 3), 9);
  map.Line(0, 0, 3, 1, 5);
  EXPECT_EQ(Bytes(map), (std::vector<std::uint8_t>{5, 5, 9, 9, 9, 0, 5, 9, 9, 9, 9, 9}));
  map.FillRect(Rect(-2, 1, 9, 2), 1);
  EXPECT_EQ(map.GetValue(3, 1), 1);
  EXPECT_EQ(map.GetValue(0, 2), 9);
}

TEST(ByteMap, TurnAndResizeMoveTheBytes) {
  TGuiByteMapMemory map;
  map.SetSize(3, 2);
  for (int i = 0; i < 6; ++i) map.DataPointer()[i] = std::uint8_t(i);  // rows 0 1 2 / 3 4 5
  map.Turn(true);
  ASSERT_EQ(map.Width(), 2);
  EXPECT_EQ(Bytes(map), (std::vector<std::uint8_t>{2, 5, 1, 4, 0, 3}));
  EXPECT_EQ(map.BitmapInfo().Header.biHeight, -3);
  map.Turn(false);
  EXPECT_EQ(Bytes(map), (std::vector<std::uint8_t>{0, 1, 2, 3, 4, 5}));
  map.Resize(2, 3);
  EXPECT_EQ(map.GetValue(1, 1), 4);
  EXPECT_EQ(map.DataSize(), 6);
}

TEST(ByteMapOnPixelMap, FullCoverageBlendsWithAlpha254) {
  TGuiPixelMapMemory pixels;
  pixels.SetSize(3, 1);
  pixels.Clear(Pixel32(0xFF000000u));
  TGuiByteMapMemory coverage;
  coverage.SetSize(3, 1);
  coverage.SetValue(0, 0, 255);
  coverage.SetValue(1, 0, 0);
  coverage.SetValue(2, 0, 128);
  const TPixel32 white = Pixel32(0xFFFFFFFFu);
  pixels.DrawByteMap(coverage, white);
  EXPECT_EQ(pixels.GetPixel(0, 0), BlendPixel(Pixel32(0xFEFFFFFFu), Pixel32(0xFF000000u)));
  EXPECT_EQ(pixels.GetPixel(0, 0), Pixel32(0xFFFDFDFDu));
  EXPECT_EQ(pixels.GetPixel(1, 0), Pixel32(0xFF000000u));
  EXPECT_EQ(pixels.GetPixel(2, 0), BlendPixel(Pixel32(0x7FFFFFFFu), Pixel32(0xFF000000u)));
}

TEST(ByteMapOnPixelMap, PlacementClipsToTheMapAndToTheRectangle) {
  TGuiPixelMapMemory pixels;
  pixels.SetSize(4, 4);
  TGuiByteMapMemory coverage;
  coverage.SetSize(3, 3);
  coverage.Clear(255);
  const TPixel32 red = Pixel32(0xFFFF0000u);
  pixels.DrawByteMap(coverage, red, 2, -1);             // columns 2..3, rows 0..1
  pixels.DrawByteMap(coverage, red, Rect(0, 2, 1, 9));  // column 0, rows 2..3
  const TPixel32 drawn = BlendPixel(Pixel32(0xFEFF0000u), TPixel32{});
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const bool inside = (x >= 2 && y <= 1) || (x == 0 && y >= 2);
      EXPECT_EQ(pixels.GetPixel(x, y), inside ? drawn : TPixel32{}) << x << "," << y;
    }
}

TEST(ByteMapDIB, OffersAContextOverItsBytesUntilSizedToZero) {
  TGuiByteMapDIB map;
  EXPECT_EQ(map.Handle(), nullptr);
  map.SetSize(8, 8);
  ASSERT_NE(map.Handle(), nullptr);
  EXPECT_EQ(map.DataSize(), 64);
  EXPECT_EQ(Bytes(map), std::vector<std::uint8_t>(64, 0));
  // What the context draws lands in the map's bytes.
  map.Handle()->FillRect(Rect(1, 2, 3, 3), 0x00FFFFFF);
  EXPECT_EQ(map.GetValue(1, 2), 255);
  EXPECT_EQ(map.GetValue(2, 2), 255);
  EXPECT_EQ(map.GetValue(3, 2), 0);
  const TMemoryCanvas* before = map.Handle();
  map.SetSize(8, 8);
  EXPECT_EQ(map.Handle(), before);
  map.SetSize(4, 16);  // same byte count, still a new context
  EXPECT_NE(map.Handle(), before);
  map.SetSize(0, 0);
  EXPECT_EQ(map.Handle(), nullptr);
  EXPECT_EQ(map.DataPointer(), nullptr);
  EXPECT_EQ(map.DataSize(), 0);
}

TEST(ByteMapDIB, TurnKeepsTheContextOnTheTurnedBytes) {
  TGuiByteMapDIB map;
  map.SetSize(4, 2);
  map.SetValue(3, 0, 7);
  const TMemoryCanvas* context = map.Handle();
  map.Turn(false);  // clockwise: (3, 0) goes to (1, 3)
  EXPECT_EQ(map.Handle(), context);
  EXPECT_EQ(map.GetValue(1, 3), 7);
  EXPECT_EQ(map.Handle()->Width(), 2);
  EXPECT_EQ(map.Handle()->Height(), 4);
}

// Colour pixels become their luma with the weights 0.299 red, 0.587 green
// and 0.114 blue (in 1/1024); grey pixels alone cannot tell red from blue.
TEST(ByteMapDraw, ColourPixelsBecomeTheirLuma) {
  TMemoryBitmap source(4, 1, TRasterFormat::rfBGRA32);
  const std::uint8_t pixels[16] = {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 40, 80, 200, 0};  // B G R A
  std::copy(std::begin(pixels), std::end(pixels), source.Bits());
  TGuiByteMapMemory map;
  map.SetSize(4, 1);
  map.Draw(source.View(), 0, 0);
  EXPECT_EQ(Bytes(map), (std::vector<std::uint8_t>{76, 150, 29, 111}));  // red, green, blue, a mix
}

TEST(ByteMapPaint, PaintToShowsBytesAsGrey) {
  TGuiByteMapMemory map;
  map.SetSize(2, 1);
  map.SetValue(0, 0, 0x40);
  map.SetValue(1, 0, 0xC0);
  TMemoryBitmap screen(2, 1, TRasterFormat::rfBGRA32);
  map.PaintTo(screen.Canvas());
  EXPECT_EQ(screen.PixelARGB(0, 0), 0xFF404040u);
  EXPECT_EQ(screen.PixelARGB(1, 0), 0xFFC0C0C0u);
}

}  // namespace
}  // namespace vb
