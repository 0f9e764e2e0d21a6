#include "meter_strip.h"

#include <algorithm>
#include <cmath>

#include "artwork_style.h"
#include "image/gui_pixel_map_memory.h"
#include "vector_canvas.h"

namespace vb::artwork {
namespace {

// The bezel within the 20 x 84 glyph (room left for its shadow), the
// glass window inside it and the mark's travel within it, px.
constexpr TBox kBezel{1, 1, 18, 82};
constexpr TBox kWindow{4, 4, 15, 78.5};
constexpr double kTravelBottom = 75.5;
constexpr double kTravelTop = 7.5;
constexpr int kScaleSteps = 5;  // tick marks every fifth of the travel (5 dB)

void DrawHousing(TVectorCanvas& Canvas) {
  const TShape bezel = RoundRect(kBezel.Left, kBezel.Top, kBezel.Right, kBezel.Bottom, 3);
  Canvas.Shadow(bezel, 0.5, 0.8, 0.8, TRgba{0, 0, 0, 0.7});
  Canvas.Fill(bezel, Linear(TVec{kBezel.Left, kBezel.Top}, TVec{kBezel.Right, kBezel.Bottom},
                            {{0.0, Rgb(0x5C5A56)}, {0.45, Rgb(0x2C2B29)}, {1.0, Rgb(0x141413)}}));
  Canvas.Fill(bezel.Grown(-0.4).Outline(0.8), Solid(TRgba{0, 0, 0, 0.6}));
  const TShape window = RoundRect(kWindow.Left, kWindow.Top, kWindow.Right, kWindow.Bottom, 1.5);
  Canvas.Fill(window, Solid(Rgb(0x080707)));
  // The window is sunk into the bezel: shadow under its upper edge, light
  // on its lower edge.
  Canvas.Fill(
      RoundRect(kWindow.Left, kWindow.Top, kWindow.Right, kWindow.Top + 2.5, 1),
      Linear(TVec{0, kWindow.Top}, TVec{0, kWindow.Top + 2.5}, {{0.0, TRgba{0, 0, 0, 0.9}}, {1.0, TRgba{0, 0, 0, 0}}}));
  Canvas.Fill(Capsule(TVec{kWindow.Left + 1, kWindow.Bottom + 0.4}, TVec{kWindow.Right - 1, kWindow.Bottom + 0.4}, 0.8),
              Solid(TRgba{1, 1, 1, 0.16}));
  for (int step = 0; step <= kScaleSteps; ++step) {
    const double y = kTravelBottom + (kTravelTop - kTravelBottom) * step / kScaleSteps;
    Canvas.Fill(Capsule(TVec{kWindow.Left + 0.8, y}, TVec{kWindow.Left + 2.6, y}, 0.8), Solid(WithAlpha(kInk, 0.45)));
    Canvas.Fill(Capsule(TVec{kWindow.Right - 2.6, y}, TVec{kWindow.Right - 0.8, y}, 0.8), Solid(WithAlpha(kInk, 0.45)));
  }
}

void DrawLevel(TVectorCanvas& Canvas, double MarkRow) {
  const double left = kWindow.Left + 3.2, right = kWindow.Right - 3.2;
  // A dim column below the mark shows the level at a glance.
  if (MarkRow < kTravelBottom + 1) {
    Canvas.Fill(
        RoundRect(left, MarkRow, right, kTravelBottom + 1.5, 0.8),
        Linear(TVec{0, MarkRow}, TVec{0, kTravelBottom}, {{0.0, Rgb(0x8A1510, 0.75)}, {1.0, Rgb(0x4A0A08, 0.6)}}));
  }
  Canvas.Fill(RoundRect(left - 1.5, MarkRow - 4, right + 1.5, MarkRow + 4, 3), Solid(Rgb(0xFF2A14, 0.35)), 1.0, 4.0);
  Canvas.Fill(RoundRect(left - 0.6, MarkRow - 1.3, right + 0.6, MarkRow + 1.3, 1.0),
              Linear(TVec{0, MarkRow - 1.3}, TVec{0, MarkRow + 1.3},
                     {{0.0, Rgb(0xFFB9A0)}, {0.5, Rgb(0xFF3A1E)}, {1.0, Rgb(0xC0180C)}}));
}

void DrawGlass(TVectorCanvas& Canvas) {
  // A faint sheen on the glass, brightest on the side facing the light.
  Canvas.Fill(RoundRect(kWindow.Left, kWindow.Top, kWindow.Right, kWindow.Bottom, 1.5),
              Linear(TVec{kWindow.Left, 0}, TVec{kWindow.Right, 0},
                     {{0.0, TRgba{1, 1, 1, 0.07}}, {0.35, TRgba{1, 1, 1, 0.02}}, {1.0, TRgba{1, 1, 1, 0}}}));
}

}  // namespace

double MeterMarkRow(std::int32_t Glyph, std::int32_t GlyphCount) {
  const double level = GlyphCount > 1 ? double(std::clamp(Glyph, 0, GlyphCount - 1)) / double(GlyphCount - 1) : 0;
  return kTravelBottom + (kTravelTop - kTravelBottom) * level;
}

void DrawMeterStrip(TGuiCustomPixelMap& Map, std::int32_t GlyphCount, TEditorScale Scale) {
  const std::int32_t glyphWidth = Map.Width() / GlyphCount;
  TGuiPixelMapMemory glyph;
  glyph.SetSize(glyphWidth, Map.Height());
  for (std::int32_t index = 0; index < GlyphCount; ++index) {
    glyph.Clear(TPixel32{0, 0, 0, 0});
    TVectorCanvas canvas(glyph, Scale);
    DrawHousing(canvas);
    DrawLevel(canvas, MeterMarkRow(index, GlyphCount));
    DrawGlass(canvas);
    CopyPixels(glyph, Map, index * glyphWidth, 0);
  }
}

}  // namespace vb::artwork
