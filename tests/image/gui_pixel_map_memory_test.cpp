// Guards against pixel maps that lose or clear pixels on size changes,
// notify in the wrong order, blend where they should store (or the other
// way round), draw outside the clipped area, or turn the image wrongly.
#include "image/gui_pixel_map_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/image_errors.h"
#include "image/pixel_blend.h"
#include "platform/memory_canvas.h"
#include "platform/system_colors.h"

namespace vb {
namespace {

constexpr TPixel32 kRed = Pixel32(0xFFFF0000u);
constexpr TPixel32 kBlue = Pixel32(0xFF0000FFu);
constexpr TPixel32 kGrey = Pixel32(0xFF808080u);

std::vector<TPixel32> Pixels(const TGuiCustomPixelMap& Map) {
  return std::vector<TPixel32>(Map.DataPointer(), Map.DataPointer() + Map.Width() * Map.Height());
}

TEST(PixelMapSize, SetSizeWithTheSameByteCountKeepsTheBytes) {
  TGuiPixelMapMemory map;
  map.SetSize(10, 20);
  map.Clear(kRed);
  map.SetSize(20, 10);
  EXPECT_EQ(map.Width(), 20);
  EXPECT_EQ(map.DataSize(), 800);
  EXPECT_EQ(map.GetPixel(19, 9), kRed);
  map.SetSize(10, 10);
  EXPECT_EQ(map.DataSize(), 400);
  EXPECT_EQ(map.GetPixel(9, 9), TPixel32{});
  EXPECT_EQ(map.BitmapInfo().biWidth, 10);
  EXPECT_EQ(map.BitmapInfo().biHeight, -10);
}

TEST(PixelMapSize, ResizeNotifiesBeforeChangeAndBeforeTheStorageFollows) {
  TGuiPixelMapMemory map;
  map.SetSize(2, 2);
  std::string log;
  map.SetOnResize([&](TGuiCustomMap& M) {
    log += "resize(" + std::to_string(M.Width()) + "x" + std::to_string(M.Height()) + "," +
           std::to_string(M.DataSize()) + ")";
  });
  map.SetOnChange([&](TGuiCustomMap& M) { log += "change(" + std::to_string(M.DataSize()) + ")"; });
  map.SetSize(3, 4);
  EXPECT_EQ(log, "resize(3x4,16)change(16)");
  EXPECT_EQ(map.DataSize(), 48);
  log.clear();
  map.SetWidth(5);
  EXPECT_EQ(log, "resize(5x4,48)change(48)");
  EXPECT_EQ(map.DataSize(), 80);
  log.clear();
  map.SetHeight(4);  // unchanged: nothing happens
  map.SetSize(5, 4);
  EXPECT_EQ(log, "");
}

TEST(PixelMapSize, NegativeSizesRaiseAndLeaveTheMapUnchanged) {
  TGuiPixelMapMemory map;
  map.SetSize(3, 3);
  auto message = [](auto&& Call) {
    try {
      Call();
    } catch (const EGuiError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message([&] { map.SetWidth(-1); }), "Width may not be negative!");
  EXPECT_EQ(message([&] { map.SetHeight(-1); }), "Height may not be negative!");
  EXPECT_EQ(message([&] { map.SetSize(-1, -1); }), "Width may not be negative!");
  EXPECT_EQ(message([&] { map.SetSize(2, -1); }), "Height may not be negative!");
  EXPECT_EQ(map.Width(), 3);
  EXPECT_EQ(map.Height(), 3);
  EXPECT_EQ(map.DataSize(), 36);
}

TEST(PixelMapSize, SizesBeyondTheStorageRangeAreRefusedBeforeAnythingChanges) {
  TGuiPixelMapMemory map;
  map.SetSize(2, 2);
  map.Clear(kRed);
  int notices = 0;
  map.SetOnResize([&](TGuiCustomMap&) { ++notices; });
  EXPECT_THROW(map.SetSize(40000, 40000), EAssertionFailed);
  EXPECT_THROW(map.SetWidth(300000000), EAssertionFailed);
  EXPECT_THROW(map.SetHeight(300000000), EAssertionFailed);
  EXPECT_EQ(notices, 0);
  EXPECT_EQ(map.Width(), 2);
  EXPECT_EQ(map.Height(), 2);
  EXPECT_EQ(map.GetPixel(1, 1), kRed);
}

TEST(PixelMapSize, ResizeKeepsTheTopLeftContentAndSendsNoNotice) {
  TGuiPixelMapMemory map;
  map.SetSize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) *map.GetPixelPointer(x, y) = Pixel32(0xFF000000u | std::uint32_t(10 * y + x));
  int notices = 0;
  map.SetOnChange([&](TGuiCustomMap&) { ++notices; });
  map.Resize(2, 3);
  EXPECT_EQ(notices, 0);
  EXPECT_EQ(map.Width(), 2);
  EXPECT_EQ(map.DataSize(), 24);
  EXPECT_EQ(map.GetPixel(1, 0).ARGB(), 0xFF000001u);
  EXPECT_EQ(map.GetPixel(1, 1).ARGB(), 0xFF00000Bu);  // old (1, 1) = 11
  EXPECT_EQ(map.GetPixel(1, 2), TPixel32{});          // new area: cleared
  map.Resize(0, 0);
  EXPECT_EQ(map.DataPointer(), nullptr);
  EXPECT_TRUE(map.IsEmpty());
}

TEST(PixelMapAccess, CoordinatesOutsideTheMapAreAssertionErrors) {
  TGuiPixelMapMemory map;
  map.SetSize(2, 2);
  EXPECT_THROW(map.GetPixel(2, 0), EAssertionFailed);
  EXPECT_THROW(map.GetPixel(0, -1), EAssertionFailed);
  EXPECT_THROW(map.SetPixel(-1, 0, kRed), EAssertionFailed);
  EXPECT_THROW(map.GetScanLine(2), EAssertionFailed);
  EXPECT_NO_THROW(map.GetScanLine(1));
}

TEST(PixelMapAccess, SetPixelBlendsInsteadOfStoring) {
  TGuiPixelMapMemory map;
  map.SetSize(1, 1);
  map.Clear(kGrey);
  map.SetPixel(0, 0, Pixel32(0x00FF0000u));
  EXPECT_EQ(map.GetPixel(0, 0), kGrey);
  map.SetPixel(0, 0, Pixel32(0x80FFFFFFu));
  EXPECT_EQ(map.GetPixel(0, 0), BlendPixel(Pixel32(0x80FFFFFFu), kGrey));
  map.SetPixel(0, 0, kBlue);
  EXPECT_EQ(map.GetPixel(0, 0), kBlue);
}

TEST(PixelMapFill, OpaqueFillsStoreTranslucentFillsBlendTransparentFillsDoNothing) {
  TGuiPixelMapMemory map;
  map.SetSize(4, 4);
  map.Clear(Pixel32(0x40102030u));
  const TPixel32 before = map.GetPixel(1, 1);
  map.FillRect(1, 1, 3, 3, Pixel32(0x00FFFFFFu));
  EXPECT_EQ(map.GetPixel(1, 1), before);
  map.FillRect(Rect(1, 1, 3, 3), Pixel32(0xFF112233u));
  EXPECT_EQ(map.GetPixel(2, 2), Pixel32(0xFF112233u));
  EXPECT_EQ(map.GetPixel(3, 3), before);  // right and bottom are exclusive
  map.FillRect(Rect(0, 0, 2, 1), Pixel32(0x80FFFFFFu));
  EXPECT_EQ(map.GetPixel(0, 0), BlendPixel(Pixel32(0x80FFFFFFu), before));
  EXPECT_EQ(map.GetPixel(1, 0), BlendPixel(Pixel32(0x80FFFFFFu), before));
}

TEST(PixelMapFill, RectanglesReachingOutsideAreKeptInsideTheMap) {
  TGuiPixelMapMemory map;
  map.SetSize(3, 3);
  map.FillRect(-5, -5, 100, 2, kRed);
  map.HorizontalLine(-10, 10, 2, kBlue);
  map.VerticalLine(5, -3, 7, kBlue);
  map.Line(-4, -4, 8, 8, kGrey);
  EXPECT_EQ(map.GetPixel(0, 1), kRed);
  EXPECT_EQ(map.GetPixel(2, 1), kRed);
  EXPECT_EQ(map.GetPixel(1, 2), kBlue);
  EXPECT_EQ(map.GetPixel(1, 1), kGrey);
  EXPECT_EQ(map.GetPixel(2, 2), kGrey);
}

TEST(PixelMapFill, ClearResetAlphaAndMakeOpaqueTouchTheRightBytes) {
  TGuiPixelMapMemory map;
  map.SetSize(2, 1);
  map.Clear(TColor(0x00332211));  // platform colour: 0x00BBGGRR
  EXPECT_EQ(map.GetPixel(1, 0), Pixel32(0xFF112233u));
  map.ResetAlpha(7);
  EXPECT_EQ(map.GetPixel(0, 0), Pixel32(0x07112233u));
  map.MakeOpaque();
  EXPECT_EQ(map.GetPixel(0, 0), Pixel32(0xFF112233u));
  map.Clear();
  EXPECT_EQ(map.GetPixel(0, 0), TPixel32{});
}

TEST(PixelMapLines, FrameOfOneRowBlendsThatRowTwice) {
  TGuiPixelMapMemory map;
  map.SetSize(5, 3);
  map.Clear(kGrey);
  const TPixel32 colour = Pixel32(0x80FFFFFFu);
  map.FrameRect(Rect(0, 1, 5, 2), colour);
  const TPixel32 twice = BlendPixel(colour, BlendPixel(colour, kGrey));
  EXPECT_EQ(map.GetPixel(2, 1), twice);
  EXPECT_EQ(map.GetPixel(2, 0), kGrey);
  EXPECT_EQ(map.GetPixel(2, 2), kGrey);
}

TEST(PixelMapLines, FrameOutlinesARectangleOnce) {
  TGuiPixelMapMemory map;
  map.SetSize(5, 5);
  map.Clear(kGrey);
  const TPixel32 colour = Pixel32(0x80FFFFFFu);
  map.FrameRect(Rect(1, 1, 4, 4), colour);
  const TPixel32 once = BlendPixel(colour, kGrey);
  for (auto [x, y] : {std::pair{1, 1}, {2, 1}, {3, 1}, {1, 2}, {3, 2}, {1, 3}, {2, 3}, {3, 3}})
    EXPECT_EQ(map.GetPixel(x, y), once) << x << "," << y;
  EXPECT_EQ(map.GetPixel(2, 2), kGrey);
  EXPECT_EQ(map.GetPixel(4, 4), kGrey);
}

TEST(PixelMapLines, LineLeavesOutItsEndPoint) {
  TGuiPixelMapMemory map;
  map.SetSize(4, 2);
  map.Line(0, 0, 3, 1, kRed);
  std::vector<TPixel32> expected(8, TPixel32{});
  expected[0] = expected[1] = expected[2 + 4] = kRed;
  EXPECT_EQ(Pixels(map), expected);
  map.Clear();
  map.Line(3, 1, 0, 0, kBlue);  // reversed: starts at (3, 1), (0, 0) left out
  EXPECT_EQ(map.GetPixel(3, 1), kBlue);
  EXPECT_EQ(map.GetPixel(0, 0), TPixel32{});
}

TEST(PixelMapLines, VerticalAndHorizontalLinesAcceptEitherOrder) {
  TGuiPixelMapMemory map;
  map.SetSize(3, 3);
  map.VerticalLine(1, 3, 0, kRed);
  map.HorizontalLine(3, 0, 0, kBlue);
  EXPECT_EQ(map.GetPixel(1, 2), kRed);
  EXPECT_EQ(map.GetPixel(2, 0), kBlue);
  EXPECT_EQ(map.GetPixel(1, 0), kBlue);
}

TEST(PixelMapLines, GradientStartsAtTheFirstColourAndNeverReachesTheLast) {
  TGuiPixelMapMemory map;
  map.SetSize(5, 1);
  const TPixel32 from = Pixel32(0xFF000000u);
  const TPixel32 to = Pixel32(0xFFFFFFFFu);
  map.HorizontalLine(4, 0, 0, from, to);
  EXPECT_EQ(map.GetPixel(0, 0), from);
  // t = 0.25, 0.5, 0.75: weights 64 (63.75), 128 (127.5, ties to even),
  // 191 (191.25); each mixed pixel is blended onto the cleared map.
  EXPECT_EQ(map.GetPixel(1, 0), BlendPixel(MixPixel(to, from, 64), TPixel32{}));
  EXPECT_EQ(map.GetPixel(2, 0), BlendPixel(MixPixel(to, from, 128), TPixel32{}));
  EXPECT_EQ(map.GetPixel(3, 0), BlendPixel(MixPixel(to, from, 191), TPixel32{}));
  EXPECT_EQ(map.GetPixel(2, 0), Pixel32(0xFF808080u));
  EXPECT_EQ(map.GetPixel(4, 0), TPixel32{});
}

TEST(PixelMapDraw, DrawBlendsAndClipsAtNegativePositions) {
  TGuiPixelMapMemory dest, source;
  dest.SetSize(4, 4);
  dest.Clear(kGrey);
  source.SetSize(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) *source.GetPixelPointer(x, y) = Pixel32(0x80000000u | std::uint32_t(16 * y + x));
  dest.Draw(source, -1, -2);
  // Only source row 2, columns 1..2 land, at (0..1, 0).
  EXPECT_EQ(dest.GetPixel(0, 0), BlendPixel(source.GetPixel(1, 2), kGrey));
  EXPECT_EQ(dest.GetPixel(1, 0), BlendPixel(source.GetPixel(2, 2), kGrey));
  EXPECT_EQ(dest.GetPixel(2, 0), kGrey);
  EXPECT_EQ(dest.GetPixel(0, 1), kGrey);
  const std::vector<TPixel32> before = Pixels(dest);
  dest.Draw(source, 4, 0);
  dest.Draw(source, -3, 1);
  dest.DrawTransparent(source, 0, 10);
  EXPECT_EQ(Pixels(dest), before);
}

TEST(PixelMapDraw, DrawWithAlphaMixesWithAFixedWeight) {
  TGuiPixelMapMemory dest, source;
  dest.SetSize(2, 2);
  dest.Clear(kGrey);
  source.SetSize(2, 2);
  source.Clear(Pixel32(0x00FF0000u));  // its own alpha plays no part
  dest.Draw(source, 1, 1, 100);
  EXPECT_EQ(dest.GetPixel(1, 1), MixPixel(Pixel32(0x00FF0000u), kGrey, 100));
  EXPECT_EQ(dest.GetPixel(0, 0), kGrey);
  dest.Draw(source, std::uint8_t(255));
  EXPECT_EQ(dest.GetPixel(0, 0), Pixel32(0x00FF0000u));
}

TEST(PixelMapTurn, TurnsByAQuarterInBothDirections) {
  TGuiPixelMapMemory map;
  map.SetSize(2, 1);
  *map.GetPixelPointer(0, 0) = kRed;   // P
  *map.GetPixelPointer(1, 0) = kBlue;  // Q
  map.Turn(true);
  ASSERT_EQ(map.Width(), 1);
  ASSERT_EQ(map.Height(), 2);
  EXPECT_EQ(map.GetPixel(0, 0), kBlue);
  EXPECT_EQ(map.GetPixel(0, 1), kRed);
  EXPECT_EQ(map.BitmapInfo().biHeight, -2);
  map.Turn(false);
  EXPECT_EQ(map.GetPixel(0, 0), kRed);
  EXPECT_EQ(map.GetPixel(1, 0), kBlue);
  // Clockwise from the original: P on top of Q.
  map.Turn(false);
  EXPECT_EQ(map.GetPixel(0, 0), kRed);
  EXPECT_EQ(map.GetPixel(0, 1), kBlue);
}

TEST(PixelMapTransfer, AssignCopiesPixelsAndHandlers) {
  TGuiPixelMapMemory source, dest;
  source.SetSize(3, 2);
  source.Clear(kRed);
  int sourceNotices = 0;
  source.SetOnChange([&](TGuiCustomMap&) { ++sourceNotices; });
  dest.Assign(source);
  EXPECT_TRUE(dest.Equals(source));
  dest.Changed();
  EXPECT_EQ(sourceNotices, 1);  // the source's handler now serves the copy
  dest.SetPixel(0, 0, kBlue);
  EXPECT_FALSE(dest.Equals(source));
}

TEST(PixelMapTransfer, DrawOfAPlatformBitmapCopiesEachFormat) {
  TMemoryBitmap rgb(2, 1, TRasterFormat::rfBGR24);
  rgb.Bits()[0] = 1;  // blue
  rgb.Bits()[1] = 2;
  rgb.Bits()[2] = 3;
  TGuiPixelMapMemory map;
  map.Assign(rgb.View());
  EXPECT_EQ(map.GetPixel(0, 0), Pixel32(0xFF030201u));
  TMemoryBitmap argb(1, 1, TRasterFormat::rfBGRA32);
  std::memcpy(argb.Bits(), "\x10\x20\x30\x40", 4);
  map.Draw(argb.View(), 1, 0);
  EXPECT_EQ(map.GetPixel(1, 0), Pixel32(0x40302010u));
}

TEST(PixelMapPaint, PaintToHandsThePixelsToTheCanvasUnchanged) {
  TGuiPixelMapMemory map;
  map.SetSize(2, 2);
  map.Clear(Pixel32(0x80112233u));
  TMemoryBitmap screen(4, 4, TRasterFormat::rfBGRA32);
  map.PaintTo(screen.Canvas(), 1, 2);
  EXPECT_EQ(screen.PixelARGB(1, 2), 0x80112233u);
  EXPECT_EQ(screen.PixelARGB(2, 3), 0x80112233u);
  EXPECT_EQ(screen.PixelARGB(0, 2), 0u);
  *map.GetPixelPointer(1, 1) = kBlue;
  map.PaintTo(screen.Canvas(), Rect(1, 1, 9, 9), 0, 0);  // only the one pixel from (1, 1)
  EXPECT_EQ(screen.PixelARGB(0, 0), kBlue.ARGB());
  EXPECT_EQ(screen.PixelARGB(1, 0), 0u);
}

TEST(PixelMapPaint, ARefusingCanvasStaysUnpaintedWithoutError) {
  TGuiPixelMapMemory map;
  map.SetSize(2, 2);
  map.Clear(kRed);
  TMemoryBitmap screen(2, 2, TRasterFormat::rfBGRA32);
  screen.Canvas().SetRefuseRasters(true);
  EXPECT_NO_THROW(map.PaintTo(screen.Canvas()));
  EXPECT_EQ(screen.PixelARGB(0, 0), 0u);
}

class TFakeBackdrop final : public TControlBackdrop {
 public:
  bool Parent = true;
  bool HasParent() const override { return Parent; }
  void PaintBackdrop(TCanvas& Canvas) override {
    Canvas.FillRect(Rect(0, 0, Canvas.Width(), Canvas.Height()), 0x00FF0000);  // blue
    Canvas.FillRect(Rect(1, 0, 2, 1), 0x000000FF);                             // red
  }
};

TEST(PixelMapPaint, CopyParentImageTakesWhatTheParentPaints) {
  TGuiPixelMapMemory map;
  map.SetSize(3, 2);
  TFakeBackdrop backdrop;
  backdrop.Parent = false;
  map.CopyParentImage(backdrop);
  EXPECT_EQ(map.GetPixel(0, 0), TPixel32{});
  backdrop.Parent = true;
  map.CopyParentImage(backdrop);
  EXPECT_EQ(map.GetPixel(0, 0), kBlue);
  EXPECT_EQ(map.GetPixel(1, 0), kRed);
  EXPECT_EQ(map.GetPixel(2, 1), kBlue);
}

}  // namespace
}  // namespace vb

namespace vb {
namespace {

TEST(ColorToPixel, SwapsRedAndBlueAndResolvesSystemColours) {
  EXPECT_EQ(ColorToPixel(0x00332211), Pixel32(0xFF112233u));
  EXPECT_EQ(ColorToPixel(0), Pixel32(0xFF000000u));
  // System colours are the scheme's: on Windows the user's.
  const TColor face = GetSysColor(scBtnFace);
  EXPECT_EQ(ColorToPixel(clBtnFace), ColorToPixel(face));
  EXPECT_NE(ColorToPixel(SystemColor(scHighlight)), ColorToPixel(face));
#if !defined(_WIN32)
  EXPECT_EQ(ColorToPixel(clBtnFace), Pixel32(0xFFF0F0F0u));
  EXPECT_EQ(ColorToPixel(SystemColor(scHighlight)), Pixel32(0xFF3399FFu));
#endif
}

}  // namespace
}  // namespace vb
