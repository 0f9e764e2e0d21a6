#include "switch_strips.h"

#include <algorithm>
#include <cmath>

#include "artwork_style.h"
#include "image/gui_pixel_map_memory.h"
#include "vector_canvas.h"

namespace vb::artwork {
namespace {

constexpr TVec kLeverPivot{10, 20};
constexpr double kLeverReach = 13;  // pivot to the centre of the ball tip, px

// Chrome shaded for light from the left: bright edge, dark far side.
TPaint ChromeAcross(double Left, double Right) {
  return Linear(TVec{Left, 0}, TVec{Right, 0},
                {{0.0, Rgb(0x8C8F93)}, {0.25, Rgb(0xF4F6F8)}, {0.55, Rgb(0xA9ADB2)}, {1.0, Rgb(0x45484C)}});
}

TPaint ChromeBall(TVec Centre, double Radius) {
  return Radial(TVec{Centre.X - Radius * 0.4, Centre.Y - Radius * 0.45}, Radius * 1.6,
                {{0.0, Rgb(0xFFFFFF)}, {0.25, Rgb(0xD5D8DB)}, {0.7, Rgb(0x74777B)}, {1.0, Rgb(0x3A3C3F)}});
}

void DrawBushing(TVectorCanvas& Canvas) {
  const TVec c = kLeverPivot;
  Canvas.Shadow(Circle(c.X, c.Y, 7.3), 0.9, 1.5, 1.6, TRgba{0, 0, 0, 0.7});
  Canvas.Fill(Circle(c.X, c.Y, 7.3),
              Linear(TVec{c.X - 6, c.Y - 6}, TVec{c.X + 6, c.Y + 6}, {{0.0, Rgb(0xC4C7CA)}, {1.0, Rgb(0x3E4043)}}));
  // The hex nut: each flat lit by how much it faces the upper left.
  for (int face = 0; face < 6; ++face) {
    const double a0 = Radians(60.0 * face), a1 = Radians(60.0 * (face + 1));
    const double mid = (a0 + a1) / 2;
    const double lit = 0.5 + 0.5 * std::cos(mid - Radians(-135));
    const TRgba colour = Mix(Rgb(0x4A4D51), Rgb(0xE2E5E8), lit);
    Canvas.Fill(Polygon({c,
                         {c.X + 6.2 * std::cos(a0), c.Y + 6.2 * std::sin(a0)},
                         {c.X + 6.2 * std::cos(a1), c.Y + 6.2 * std::sin(a1)}}),
                Solid(colour));
  }
  Canvas.Fill(Circle(c.X, c.Y, 3.7), ChromeBall(c, 3.7));
  Canvas.Fill(Circle(c.X, c.Y, 3.7).Outline(0.7), Solid(TRgba{0, 0, 0, 0.45}));
}

// Direction: -1 lever up, +1 lever down, 0 pointing at the viewer.
void DrawLever(TVectorCanvas& Canvas, int Direction) {
  const TVec c = kLeverPivot;
  if (Direction == 0) {
    Canvas.Shadow(Circle(c.X, c.Y, 3.4), 2.6, 3.6, 1.8, TRgba{0, 0, 0, 0.6});
    Canvas.Fill(Circle(c.X, c.Y, 3.4), ChromeBall(c, 3.4));
    return;
  }
  const TVec tip{c.X, c.Y + Direction * kLeverReach};
  // The raised lever throws its shadow down and to the right.
  Canvas.Shadow(Capsule(TVec{c.X + 1.0, c.Y + 1.2}, TVec{tip.X + 2.6, tip.Y + 2.0}, 3.8), 0, 0, 1.4,
                TRgba{0, 0, 0, 0.55});
  Canvas.Fill(Polygon({{c.X - 2.2, c.Y}, {c.X + 2.2, c.Y}, {tip.X + 1.4, tip.Y}, {tip.X - 1.4, tip.Y}}),
              ChromeAcross(c.X - 2.2, c.X + 2.2));
  Canvas.Fill(Circle(tip.X, tip.Y, 2.7), ChromeBall(tip, 2.7));
}

}  // namespace

void DrawLeverStrip(TGuiCustomPixelMap& Map, std::int32_t GlyphCount, TEditorScale Scale) {
  const std::int32_t glyphHeight = Map.Height() / GlyphCount;
  for (std::int32_t index = 0; index < GlyphCount; ++index) {
    TGuiPixelMapMemory glyph;
    glyph.SetSize(Map.Width(), glyphHeight);
    TVectorCanvas canvas(glyph, Scale);
    DrawBushing(canvas);
    // Glyph 0 is down, the last glyph up, a middle glyph points outwards.
    const int direction = index == 0 ? 1 : index == GlyphCount - 1 ? -1 : 0;
    DrawLever(canvas, direction);
    CopyPixels(glyph, Map, 0, index * glyphHeight);
  }
}

namespace {

// The rocker's bezel within its 30 x 40 glyph, leaving room for the shadow
// it throws down and to the right.
constexpr TBox kBezel{2.5, 1.5, 27.5, 36.5};
constexpr double kWellInset = 2.5;    // bezel edge to the well, px
constexpr double kRockerInset = 3.5;  // bezel edge to the rocker, px

// One glyph of the rocker; the half marked I is pushed in when the switch
// is on, the half marked O when it is off.
void DrawRocker(TVectorCanvas& Canvas, bool UpperPressed) {
  const TBox& b = kBezel;
  const TShape bezel = RoundRect(b.Left, b.Top, b.Right, b.Bottom, 3.5);
  Canvas.Shadow(bezel, 0.8, 1.2, 1.2, TRgba{0, 0, 0, 0.75});
  Canvas.Fill(bezel, Linear(TVec{b.Left, b.Top}, TVec{b.Right, b.Bottom},
                            {{0.0, Rgb(0x5A5855)}, {0.5, Rgb(0x2A2928)}, {1.0, Rgb(0x111111)}}));
  Canvas.Fill(RoundRect(b.Left + kWellInset, b.Top + kWellInset, b.Right - kWellInset, b.Bottom - kWellInset, 2),
              Solid(Rgb(0x050505)));
  const double left = b.Left + kRockerInset, right = b.Right - kRockerInset;
  const double top = b.Top + kRockerInset, bottom = b.Bottom - kRockerInset;
  const double pivot = (b.Top + b.Bottom) / 2, centre = (b.Left + b.Right) / 2;
  const TShape upper = RoundRect(left, top, right, pivot, 1.4);
  const TShape lower = RoundRect(left, pivot, right, bottom, 1.4);
  const TShape& raised = UpperPressed ? lower : upper;
  const TShape& pressed = UpperPressed ? upper : lower;
  // The raised half tilts towards the light: bright at its outer end.
  const double outer = UpperPressed ? bottom : top;
  const double inner = UpperPressed ? top : bottom;
  Canvas.Fill(raised, Linear(TVec{centre, outer}, TVec{centre, pivot},
                             {{0.0, Rgb(0x57554F)}, {0.15, Rgb(0x3A3834)}, {1.0, Rgb(0x201F1D)}}));
  Canvas.Fill(pressed, Linear(TVec{centre, inner}, TVec{centre, pivot}, {{0.0, Rgb(0x161514)}, {1.0, Rgb(0x0B0B0A)}}));
  // The raised half's edge shades the pressed half near the pivot.
  const double shade = UpperPressed ? -3.5 : 3.5;
  Canvas.Fill(
      RoundRect(left, std::min(pivot, pivot + shade), right, std::max(pivot, pivot + shade), 0.5),
      Linear(TVec{centre, pivot}, TVec{centre, pivot + shade}, {{0.0, TRgba{0, 0, 0, 0.7}}, {1.0, TRgba{0, 0, 0, 0}}}));
  Canvas.Fill(
      RoundRect(left + 0.5, outer - (UpperPressed ? 1.2 : 0), right - 0.5, outer + (UpperPressed ? 0 : 1.2), 0.6),
      Solid(TRgba{1, 1, 1, 0.2}));
  // The marks: I on the upper half, O on the lower half.
  const double lift = UpperPressed ? 0.4 : -0.4;
  const double upperMid = (top + pivot) / 2, lowerMid = (pivot + bottom) / 2;
  Canvas.Fill(Capsule(TVec{centre, upperMid - 3.3 + lift}, TVec{centre, upperMid + 3.3 + lift}, 1.8),
              Solid(WithAlpha(kInk, UpperPressed ? 0.75 : 0.95)));
  Canvas.Fill(Circle(centre, lowerMid - lift, 3.4).Outline(1.6), Solid(WithAlpha(kInk, UpperPressed ? 0.95 : 0.75)));
}

}  // namespace

void DrawRockerStrip(TGuiCustomPixelMap& Map, std::int32_t GlyphCount, TEditorScale Scale) {
  const std::int32_t glyphWidth = Map.Width() / GlyphCount;
  for (std::int32_t index = 0; index < GlyphCount; ++index) {
    TGuiPixelMapMemory glyph;
    glyph.SetSize(glyphWidth, Map.Height());
    TVectorCanvas canvas(glyph, Scale);
    DrawRocker(canvas, index == GlyphCount - 1);
    CopyPixels(glyph, Map, index * glyphWidth, 0);
  }
}

}  // namespace vb::artwork
