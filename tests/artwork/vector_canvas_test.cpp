// Guards against drawing-layer faults that would show in every picture:
// antialiased shapes with the wrong area or a soft edge where a crisp one
// belongs, polygons filled by the wrong rule, writes beyond the map, and
// aligned text that does not land where its alignment says, and a scaled
// canvas that blurs edges or sets text at the 1x size.
#include "vector_canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "image/gui_pixel_map_memory.h"

namespace vb::artwork {
namespace {

double AlphaSum(const TGuiPixelMapMemory& Map) {
  double sum = 0;
  for (std::int32_t y = 0; y < Map.Height(); ++y) {
    for (std::int32_t x = 0; x < Map.Width(); ++x) sum += Map.ScanLine(y)[x].A / 255.0;
  }
  return sum;
}

TGuiPixelMapMemory& Blank(TGuiPixelMapMemory& Map, std::int32_t Width, std::int32_t Height) {
  Map.SetSize(Width, Height);
  Map.Clear(TPixel32{0, 0, 0, 0});
  return Map;
}

TEST(VectorCanvas, FilledShapesCoverTheirAreaWithCrispEdges) {
  TGuiPixelMapMemory map;
  TVectorCanvas canvas(Blank(map, 40, 40));
  canvas.Fill(Circle(20, 20, 10.5), Solid(Rgb(0xFFFFFF)));
  EXPECT_NEAR(AlphaSum(map), std::numbers::pi * 10.5 * 10.5, 3.0);
  EXPECT_EQ(map.ScanLine(20)[20].A, 255);
  EXPECT_EQ(map.ScanLine(20)[35].A, 0);
  // A rectangle on pixel boundaries has no partial pixels at all.
  TVectorCanvas rect(Blank(map, 20, 20));
  rect.Fill(RoundRect(4, 5, 14, 12, 0), Solid(Rgb(0xFFFFFF)));
  EXPECT_DOUBLE_EQ(AlphaSum(map), 70.0);
  EXPECT_EQ(map.ScanLine(5)[4].A, 255);
  EXPECT_EQ(map.ScanLine(4)[4].A, 0);
  EXPECT_EQ(map.ScanLine(5)[14].A, 0);
}

TEST(VectorCanvas, PolygonsFillByWindingAndDistancesAreSigned) {
  // Two overlapping squares in one outline: the overlap is filled once.
  const TShape overlap =
      Polygon({{2, 2}, {12, 2}, {12, 12}, {2, 12}, {2, 2}, {8, 8}, {18, 8}, {18, 18}, {8, 18}, {8, 8}});
  EXPECT_LT(overlap.Distance(10, 10), 0);
  EXPECT_LT(overlap.Distance(15, 15), 0);
  EXPECT_GT(overlap.Distance(15, 4), 0);
  const TShape rounded = RoundRect(0, 0, 10, 10, 3);
  EXPECT_NEAR(rounded.Distance(5, -2), 2.0, 1e-9);
  EXPECT_NEAR(rounded.Distance(-1, -1), std::hypot(4, 4) - 3, 1e-9);  // past the rounded corner
  EXPECT_NEAR(rounded.Distance(5, 5), -5.0, 1e-9);
  EXPECT_NEAR(Circle(0, 0, 2).Outline(1).Distance(2, 0), -0.5, 1e-9);
  EXPECT_NEAR(Subtract(Circle(0, 0, 4), Circle(0, 0, 2)).Distance(0, 0), 2.0, 1e-9);
}

TEST(VectorCanvas, DrawingBeyondTheMapIsClipped) {
  TGuiPixelMapMemory map;
  TVectorCanvas canvas(Blank(map, 8, 8));
  canvas.Fill(Circle(0, 0, 30), Solid(Rgb(0x123456)));
  canvas.Shadow(RoundRect(-50, -50, 100, 100, 4), 3, 3, 6, TRgba{0, 0, 0, 0.5});
  canvas.Text(TFontDescription{}, "Wide caption", -20, 4, Solid(Rgb(0xFFFFFF)), TAlign::alLeft);
  EXPECT_EQ(map.ScanLine(7)[7].A, 255);
}

TEST(VectorCanvas, TextAlignmentPlacesTheInkWhereAsked) {
  TFontDescription font;
  font.FaceName = "DejaVu Sans";
  font.PixelHeight = 12;
  auto inkColumns = [&](TAlign Align) {
    TGuiPixelMapMemory map;
    TVectorCanvas canvas(Blank(map, 120, 20));
    canvas.Text(font, "Trim", 60, 14, Solid(Rgb(0xFFFFFF)), Align);
    std::int32_t first = -1, last = -1;
    for (std::int32_t x = 0; x < 120; ++x) {
      for (std::int32_t y = 0; y < 20; ++y) {
        if (map.ScanLine(y)[x].A == 0) continue;
        if (first < 0) first = x;
        last = x;
      }
    }
    return std::make_pair(first, last);
  };
  const auto [leftFirst, leftLast] = inkColumns(TAlign::alLeft);
  const auto [centreFirst, centreLast] = inkColumns(TAlign::alCentre);
  const auto [rightFirst, rightLast] = inkColumns(TAlign::alRight);
  EXPECT_NEAR(leftFirst, 60, 1);
  EXPECT_NEAR(rightLast, 59, 1);
  EXPECT_NEAR((centreFirst + centreLast) / 2.0, 60, 1.5);
  EXPECT_EQ(leftLast - leftFirst, rightLast - rightFirst);
  // Tracking sets the letters one by one with the same gap between each pair.
  double letters = 0;
  for (const char* letter : {"V", "O", "R", "D", "A"}) letters += TVectorCanvas::TextWidth(font, letter);
  EXPECT_DOUBLE_EQ(TVectorCanvas::TextWidth(font, "VORDA", 3), letters + 4 * 3);
}

TEST(VectorCanvas, AScaledCanvasDrawsLargerAndJustAsCrisp) {
  for (const TEditorScale scale : {TEditorScale::esOneAndHalf, TEditorScale::esTwo}) {
    const double f = ScaleFactor(scale);
    TGuiPixelMapMemory map;
    TVectorCanvas canvas(Blank(map, 40, 40), scale);
    // Logical edges on whole device pixels: no partial pixel at all.
    canvas.Fill(RoundRect(2, 4, 12, 10, 0), Solid(Rgb(0xFFFFFF)));
    EXPECT_DOUBLE_EQ(AlphaSum(map), 60 * f * f);
    EXPECT_EQ(map.ScanLine(std::int32_t(4 * f))[std::int32_t(2 * f)].A, 255);
    // A circle's crisp edge stays one device pixel wide.
    TVectorCanvas round(Blank(map, 40, 40), scale);
    round.Fill(Circle(12, 12, 8), Solid(Rgb(0xFFFFFF)));
    EXPECT_NEAR(AlphaSum(map), std::numbers::pi * 64 * f * f, 3.0 * f);
    std::int32_t partial = 0;
    for (std::int32_t x = 0; x < 40; ++x) partial += map.ScanLine(std::int32_t(12 * f))[x].A % 255 != 0;
    EXPECT_LE(partial, 2);
    // Text is set at the font's size times the factor: as wide in logical
    // pixels as at 1x.
    TFontDescription font;
    font.FaceName = "DejaVu Sans";
    TVectorCanvas text(Blank(map, 4, 4), scale);
    EXPECT_NEAR(text.MeasuredWidth(font, "Trim"), TVectorCanvas::TextWidth(font, "Trim"), 1.0);
  }
}

}  // namespace
}  // namespace vb::artwork
