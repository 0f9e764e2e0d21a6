#include "knob_strip.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <stdexcept>

#include "artwork_style.h"
#include "image/pixel_blend.h"
#include "vector_canvas.h"

namespace vb::artwork {
namespace {

constexpr double kGlyphSize = 60;
constexpr TVec kCentre{30, 29.5};
constexpr double kSkirtRadius = 13.0;
constexpr double kRingRadius = 10.5;
constexpr double kCapRadius = 9.6;
constexpr double kTickInner = 15.6;
constexpr double kTickOuter = 17.8;
constexpr double kTravel = 135;  // degrees either side of straight up
constexpr int kRidges = 36;      // knurls around the skirt
// The scale numbers: baselines of the top one and of the two end ones, and
// how far the end numbers are centred left and right of the knob's axis.
constexpr double kMidBaseline = 10;
constexpr double kEndBaseline = 52;
constexpr double kEndOffset = 14.5;
// Dials stand 54 px apart in 60 px windows: the outer 6 columns of a glyph
// lie under the neighbour's window and must stay clear (one more for the
// antialiased edge).
constexpr double kClearMargin = 7;

TVec Polar(double Radius, double DegreesFromUp) {
  const double a = Radians(DegreesFromUp);
  return TVec{kCentre.X + Radius * std::sin(a), kCentre.Y - Radius * std::cos(a)};
}

// What does not turn and lies under the knob: its shadow, the scale ticks
// and the numbers.
void DrawScale(TVectorCanvas& Canvas, const TKnobScale& Scale) {
  Canvas.Shadow(Circle(kCentre.X, kCentre.Y, kSkirtRadius), 1.4, 2.2, 2.4, TRgba{0, 0, 0, 0.75});
  for (int tick = 0; tick <= 10; ++tick) {
    const double angle = -kTravel + tick * (2 * kTravel / 10);
    const bool major = tick == 0 || tick == 5 || tick == 10;
    const double inner = major ? kTickInner - 0.2 : kTickInner + 0.6;
    Canvas.Fill(Capsule(Polar(inner, angle), Polar(kTickOuter, angle), major ? 1.3 : 0.9),
                Solid(WithAlpha(kInk, major ? 0.95 : 0.6)));
  }
  const TFontDescription font = ScaleFont();
  Canvas.Text(font, Scale.Mid, kCentre.X, kMidBaseline, Solid(kScaleInk), TAlign::alCentre);
  // Wide numbers move inwards rather than into the columns that the
  // neighbouring dial's window covers.
  const double lowWidth = Canvas.MeasuredWidth(font, Scale.Low);
  const double highWidth = Canvas.MeasuredWidth(font, Scale.High);
  const double lowCentre = std::max(kCentre.X - kEndOffset, kClearMargin + lowWidth / 2);
  const double highCentre = std::min(kCentre.X + kEndOffset, kGlyphSize - kClearMargin - highWidth / 2);
  Canvas.Text(font, Scale.Low, lowCentre, kEndBaseline, Solid(kScaleInk), TAlign::alCentre);
  Canvas.Text(font, Scale.High, highCentre, kEndBaseline, Solid(kScaleInk), TAlign::alCentre);
}

// The knurled skirt: ridges turn with the knob, their shading follows the
// fixed light from the upper left.
TPaint SkirtPaint(double TurnDegrees) {
  return [TurnDegrees](double X, double Y) {
    const double dx = X - kCentre.X, dy = Y - kCentre.Y;
    const double phi = std::atan2(dy, dx);
    const double lit = 0.5 - 0.5 * std::cos(phi - Radians(-135));  // 1 facing the light
    const double ridge = 0.5 + 0.5 * std::cos(kRidges * (phi - Radians(TurnDegrees)));
    const double level = 0.055 + 0.13 * lit + 0.07 * ridge * (0.4 + lit);
    return TRgba{level, level, level * 0.97, 1};
  };
}

void DrawKnob(TVectorCanvas& Canvas, double Angle) {
  Canvas.Fill(Circle(kCentre.X, kCentre.Y, kSkirtRadius), SkirtPaint(Angle));
  // Light catches the skirt's upper left rim.
  Canvas.Fill(Circle(kCentre.X, kCentre.Y, kSkirtRadius - 0.9).Outline(1.0), Conic(kCentre, Radians(-135),
                                                                                   {{0.0, TRgba{1, 1, 1, 0.30}},
                                                                                    {0.2, TRgba{1, 1, 1, 0}},
                                                                                    {0.8, TRgba{1, 1, 1, 0}},
                                                                                    {1.0, TRgba{1, 1, 1, 0.30}}}));
  // A dark bevel where the skirt meets the panel gives the knob its edge.
  Canvas.Fill(Circle(kCentre.X, kCentre.Y, kSkirtRadius).Outline(0.9), Solid(TRgba{0, 0, 0, 0.55}));
  Canvas.Fill(Circle(kCentre.X, kCentre.Y, kRingRadius),
              Linear(Polar(kRingRadius, -45), Polar(kRingRadius, 135),
                     {{0.0, Shade(kBrass, 0.35)}, {0.45, kBrass}, {1.0, kBrassDark}}));
  Canvas.Fill(Circle(kCentre.X, kCentre.Y, kCapRadius),
              Radial(TVec{kCentre.X - 3.5, kCentre.Y - 4.5}, 15,
                     {{0.0, Rgb(0x4A4845)}, {0.45, Rgb(0x262524)}, {1.0, Rgb(0x121212)}}));
  // The pointer: an engraved line filled cream, from near the middle across
  // the cap and the skirt.
  Canvas.Fill(Capsule(Polar(3.0, Angle), Polar(kSkirtRadius - 0.8, Angle), 2.0), Solid(Rgb(0xF6F1E4)));
}

// Composites Layer (same size) over Target.
void LayOver(const TGuiCustomPixelMap& Layer, TGuiCustomPixelMap& Target) {
  for (std::int32_t y = 0; y < Layer.Height(); ++y) {
    const TPixel32* from = Layer.ScanLine(y);
    TPixel32* to = Target.ScanLine(y);
    for (std::int32_t x = 0; x < Layer.Width(); ++x) {
      if (from[x].A != 0) CompositePixelTo(from[x], to[x]);
    }
  }
  FinishBlend();
}

}  // namespace

double KnobPointerAngle(std::int32_t Glyph, std::int32_t GlyphCount) {
  return GlyphCount > 1 ? -kTravel + 2 * kTravel * double(Glyph) / double(GlyphCount - 1) : 0;
}

void DrawKnobStrip(TGuiCustomPixelMap& Map, const TKnobScale& Scale, std::int32_t GlyphCount,
                   TEditorScale PictureScale) {
  TGuiPixelMapMemory base;
  const std::int32_t size = Scaled(std::int32_t(kGlyphSize), PictureScale);
  base.SetSize(size, size);
  TVectorCanvas baseCanvas(base, PictureScale);
  DrawScale(baseCanvas, Scale);
  // At 1x each knob is drawn straight over its scale, as it always was, so
  // the 1x strips keep their bytes. At the larger factors, where drawing
  // costs two to four times as much, the eight strips share each knob.
  const std::vector<TGuiPixelMapMemory>* knobs =
      PictureScale == TEditorScale::esOne ? nullptr : &KnobLayers(GlyphCount, PictureScale);
  TGuiPixelMapMemory glyph;
  glyph.SetSize(base.Width(), base.Height());
  for (std::int32_t index = 0; index < GlyphCount; ++index) {
    std::memcpy(glyph.DataPointer(), base.DataPointer(), std::size_t(base.Width()) * base.Height() * sizeof(TPixel32));
    if (knobs != nullptr) {
      LayOver((*knobs)[std::size_t(index)], glyph);
    } else {
      TVectorCanvas canvas(glyph, PictureScale);
      DrawKnob(canvas, KnobPointerAngle(index, GlyphCount));
    }
    CopyPixels(glyph, Map, 0, index * glyph.Height());
  }
}

const std::vector<TGuiPixelMapMemory>& KnobLayers(std::int32_t GlyphCount, TEditorScale Scale) {
  static std::once_flag drawn[std::size(kEditorScales)];
  static std::vector<TGuiPixelMapMemory> layers[std::size(kEditorScales)];
  const std::size_t set = std::size_t(ScaleHalves(Scale) - ScaleHalves(TEditorScale::esOne));
  std::call_once(drawn[set], [&] {
    const std::int32_t size = Scaled(std::int32_t(kGlyphSize), Scale);
    layers[set] = std::vector<TGuiPixelMapMemory>(std::size_t(GlyphCount));
    for (std::int32_t index = 0; index < GlyphCount; ++index) {
      TGuiPixelMapMemory& layer = layers[set][std::size_t(index)];
      layer.SetSize(size, size);
      layer.Clear(TPixel32{0, 0, 0, 0});
      TVectorCanvas canvas(layer, Scale);
      DrawKnob(canvas, KnobPointerAngle(index, GlyphCount));
    }
  });
  if (layers[set].size() != std::size_t(GlyphCount)) throw std::logic_error("knob strips of other glyph counts");
  return layers[set];
}

}  // namespace vb::artwork
