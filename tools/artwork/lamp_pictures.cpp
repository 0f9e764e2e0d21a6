#include "lamp_pictures.h"

#include <algorithm>
#include <cmath>

#include "artwork_style.h"
#include "vector_canvas.h"

namespace vb::artwork {

void DrawLampOn(TGuiCustomPixelMap& Map, TEditorScale Scale) {
  TVectorCanvas canvas(Map, Scale);
  const double half = canvas.LogicalWidth() / 2.0;
  // Radii as fractions of the half size: the lens fills about a quarter of
  // the picture (the unlit lamp's box is 9 of the lit lamp's 35 pixels).
  constexpr double kCore = 0.09, kLens = 0.26;
  const TPaint glow = [half](double X, double Y) {
    const double r = std::hypot(X - half, Y - half) / half;
    if (r <= kLens) {
      const double t = std::clamp((r - kCore) / (kLens - kCore), 0.0, 1.0);
      return Mix(TRgba{1, 1, 1, 1}, TRgba{1, 0.16, 0.08, 1}, std::pow(t, 0.7));
    }
    const double fade = std::exp(-(r - kLens) / 0.16) * std::clamp((1 - r) / 0.25, 0.0, 1.0);
    return TRgba{1, 0.14, 0.06, 0.9 * fade};
  };
  canvas.Fill(RoundRect(0, 0, canvas.LogicalWidth(), canvas.LogicalHeight(), 0), glow);
}

void DrawLampOff(TGuiCustomPixelMap& Map, TEditorScale Scale) {
  TVectorCanvas canvas(Map, Scale);
  const TVec c{canvas.LogicalWidth() / 2.0, canvas.LogicalHeight() / 2.0};
  const double radius = std::min(canvas.LogicalWidth(), canvas.LogicalHeight()) / 2.0 - 2;
  const TShape lens = Circle(c.X, c.Y, radius);
  canvas.Fill(lens, Radial(TVec{c.X - radius * 0.25, c.Y - radius * 0.3}, radius * 1.35,
                           {{0.0, Rgb(0x9A9592)}, {0.5, Rgb(0x66605D)}, {1.0, Rgb(0x2B2827)}}));
  // Facets of the jewel lens catch the light in rings.
  for (double r = radius * 0.3; r < radius; r += radius * 0.22) {
    canvas.Fill(Circle(c.X, c.Y, r).Outline(radius * 0.03), Solid(TRgba{0, 0, 0, 0.18}), 1.0, radius * 0.03);
  }
  canvas.Fill(Circle(c.X - radius * 0.32, c.Y - radius * 0.36, radius * 0.28), Solid(TRgba{1, 1, 1, 0.45}), 1.0,
              radius * 0.35);
  canvas.Fill(lens.Outline(radius * 0.06), Solid(TRgba{0, 0, 0, 0.5}), 1.0, radius * 0.04);
}

}  // namespace vb::artwork
