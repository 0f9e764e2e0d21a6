// Guards against the headless canvas showing something other than what a
// window would get: wrong origin or clip handling, lost save/restore
// states, wrong format conversions, writes outside the target.
#include "platform/memory_canvas.h"

#include <gtest/gtest.h>

#include "platform/system_colors.h"

namespace vb {
namespace {

TEST(MemoryCanvas, DrawRasterHonoursOriginClipAndSourceBounds) {
  TMemoryBitmap source(3, 3, TRasterFormat::rfBGRA32);
  for (int i = 0; i < 9; ++i) reinterpret_cast<std::uint32_t*>(source.Bits())[i] = 0xFF000000u | std::uint32_t(i + 1);
  TMemoryBitmap target(4, 4, TRasterFormat::rfBGRA32);
  TMemoryCanvas& canvas = target.Canvas();
  canvas.SaveState();
  canvas.SetOrigin(1, 1);
  canvas.IntersectClip(Rect(0, 0, 2, 2));  // device (1, 1)..(3, 3)
  // Asks for more than the source holds; only the clipped overlap lands.
  EXPECT_TRUE(canvas.DrawRaster(source.View(), 1, 1, 5, 5, 0, 0));
  canvas.RestoreState();
  EXPECT_EQ(target.PixelARGB(1, 1), 0xFF000005u);
  EXPECT_EQ(target.PixelARGB(2, 2), 0xFF000009u);
  EXPECT_EQ(target.PixelARGB(3, 3), 0u);
  EXPECT_EQ(target.PixelARGB(0, 0), 0u);
  // After restoring, origin and clip are back to the whole target.
  EXPECT_EQ(canvas.Origin(), (TPoint{0, 0}));
  canvas.DrawRaster(source.View(), 0, 0, 0x7FFFFFFF, 0x7FFFFFFF, 2, 2);
  EXPECT_EQ(target.PixelARGB(3, 3), 0xFF000005u);
}

TEST(MemoryCanvas, ConvertsBetweenFormats) {
  TMemoryBitmap grey(2, 1, TRasterFormat::rfGrey8);
  grey.Bits()[0] = 0x20;
  grey.Bits()[1] = 0xF0;
  TMemoryBitmap rgb(2, 1, TRasterFormat::rfBGR24);
  rgb.Canvas().DrawRaster(grey.View(), 0, 0, 2, 1, 0, 0);
  EXPECT_EQ(rgb.PixelARGB(0, 0), 0xFF202020u);
  EXPECT_EQ(rgb.PixelARGB(1, 0), 0xFFF0F0F0u);
  TMemoryBitmap indexed(1, 1, TRasterFormat::rfIndexed8);
  indexed.Palette()[0] = 0x00123456u;
  TMemoryBitmap argb(1, 1, TRasterFormat::rfBGRA32);
  argb.Canvas().DrawRaster(indexed.View(), 0, 0, 1, 1, 0, 0);
  EXPECT_EQ(argb.PixelARGB(0, 0), 0xFF123456u);
  // Colour to grey by luma: pure white and black are exact.
  TMemoryBitmap back(1, 1, TRasterFormat::rfGrey8);
  back.Canvas().FillRect(Rect(0, 0, 1, 1), 0x00FFFFFF);
  EXPECT_EQ(back.Bits()[0], 255);
}

TEST(MemoryCanvas, FillRectUsesPlatformColourOrderAndStaysInside) {
  TMemoryBitmap target(2, 2, TRasterFormat::rfBGRA32);
  target.Canvas().FillRect(Rect(-5, -5, 1, 9), 0x00332211);  // 0x00BBGGRR
  EXPECT_EQ(target.PixelARGB(0, 0), 0xFF112233u);
  EXPECT_EQ(target.PixelARGB(0, 1), 0xFF112233u);
  EXPECT_EQ(target.PixelARGB(1, 0), 0u);
}

TEST(MemoryCanvas, RowsOfNarrowBitmapsStartAtMultiplesOfFourBytes) {
  TMemoryBitmap grey(5, 2, TRasterFormat::rfGrey8);
  EXPECT_EQ(grey.RowBytes(), 8);
  TMemoryBitmap rgb(3, 2, TRasterFormat::rfBGR24);
  EXPECT_EQ(rgb.RowBytes(), 12);
}

TEST(SystemColors, KnownIndicesHaveColoursUnknownOnesAreBlack) {
#if !defined(_WIN32)  // Windows answers the user's scheme (win32_window_test.cpp)
  EXPECT_EQ(GetSysColor(scBtnFace), 0xF0F0F0);
  EXPECT_EQ(GetSysColor(scWindow), 0xFFFFFF);
#endif
  EXPECT_EQ(GetSysColor(200), 0);
  EXPECT_EQ(GetSysColor(-1), 0);
  EXPECT_LT(clBtnFace, 0);
}

}  // namespace
}  // namespace vb
