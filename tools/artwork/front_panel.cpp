#include "front_panel.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "artwork_style.h"
#include "panel_layout.h"
#include "vector_canvas.h"

namespace vb::artwork {
namespace {

constexpr double kEarWidth = 58;    // each mounting ear, px from the panel's side
constexpr double kScrewInset = 22;  // screw centres from the top and bottom edge
// Vertical grooves between the sections (input, drive, tone, power).
constexpr double kGrooves[] = {166.5, 348.5, 744.5};
// Caption baselines relative to their control (px).
constexpr double kAbove = 2;                      // from a dial's top
constexpr double kBelowDial = 62;                 // from a dial's top
constexpr double kBelowSwitch = 9;                // from a switch's bottom
constexpr double kBesideGap = 3;                  // from a switch's right edge
constexpr double kBesideRows[] = {13, 24.5, 36};  // top, middle, bottom from its top

// Brushed, anodised metal: darker towards the bottom, fine horizontal
// grain that never repeats visibly. The grain is as fine as the screen's
// pixels at every scale (Factor: device pixels per logical pixel).
TPaint FaceplatePaint(double height, double factor) {
  return [height, factor](double x, double y) {
    const TRgba base = Mix(kPanelTop, kPanelBottom, y / height);
    const auto row = std::int64_t(std::floor(y * factor));
    const auto cell = std::int64_t(std::floor(x / 23.0));
    const double t = x / 23.0 - double(cell);
    const double streak = Hash(cell, row, 7) * (1 - t) + Hash(cell + 1, row, 7) * t;
    const double grain = 0.010 * Hash(0, row, 3) + 0.008 * streak + 0.004 * Hash(std::int64_t(x * factor), row, 5);
    return TRgba{base.R + grain, base.G + grain, base.B + grain, 1};
  };
}

void DrawGroove(TVectorCanvas& canvas, double x, double top, double bottom) {
  canvas.Fill(Capsule(TVec{x, top}, TVec{x, bottom}, 1.0), Solid(TRgba{0, 0, 0, 0.55}));
  canvas.Fill(Capsule(TVec{x + 1, top}, TVec{x + 1, bottom}, 1.0), Solid(TRgba{1, 1, 1, 0.07}));
}

void DrawScrew(TVectorCanvas& canvas, TVec c) {
  // A slotted hole in the ear, the screw head sitting in it.
  const TShape slot = RoundRect(c.X - 10, c.Y - 5.5, c.X + 10, c.Y + 5.5, 5.5);
  canvas.Fill(slot, Solid(Rgb(0x0B0B0A)));
  canvas.Fill(RoundRect(c.X - 10, c.Y - 5.5, c.X + 10, c.Y - 3.5, 1.5), Solid(TRgba{0, 0, 0, 0.6}));
  canvas.Fill(Capsule(TVec{c.X - 7, c.Y + 5.6}, TVec{c.X + 7, c.Y + 5.6}, 0.9), Solid(TRgba{1, 1, 1, 0.10}));
  canvas.Shadow(Circle(c.X, c.Y, 6.6), 0.8, 1.2, 1.4, TRgba{0, 0, 0, 0.8});
  canvas.Fill(Circle(c.X, c.Y, 6.6),
              Radial(TVec{c.X - 2.5, c.Y - 3}, 10, {{0.0, Rgb(0xD4D6D8)}, {0.5, Rgb(0x8E9194)}, {1.0, Rgb(0x3C3E40)}}));
  canvas.Fill(Circle(c.X, c.Y, 6.6).Outline(0.8), Solid(TRgba{0, 0, 0, 0.45}));
  // The cross recess: dark where it faces away from the light.
  for (const double angle : {45.0, 135.0}) {
    const double dx = 4.2 * std::cos(Radians(angle)), dy = 4.2 * std::sin(Radians(angle));
    canvas.Fill(Capsule(TVec{c.X - dx, c.Y - dy}, TVec{c.X + dx, c.Y + dy}, 1.7), Solid(Rgb(0x2A2B2C)));
    canvas.Fill(Capsule(TVec{c.X - dx + 0.5, c.Y - dy + 0.6}, TVec{c.X + dx + 0.5, c.Y + dy + 0.6}, 0.7),
                Solid(TRgba{1, 1, 1, 0.25}));
  }
}

void DrawEars(TVectorCanvas& canvas, double width, double height) {
  for (const double left : {0.0, width - kEarWidth}) {
    canvas.Fill(RoundRect(left, 0, left + kEarWidth, height, 0), Solid(TRgba{0, 0, 0, 0.16}));
    const double cx = left + kEarWidth / 2;
    DrawScrew(canvas, TVec{cx, kScrewInset});
    DrawScrew(canvas, TVec{cx, height - kScrewInset});
  }
  DrawGroove(canvas, kEarWidth - 0.5, 0, height);
  DrawGroove(canvas, width - kEarWidth - 1.5, 0, height);
}

void DrawBevel(TVectorCanvas& canvas, double width, double height) {
  canvas.Fill(RoundRect(0, 0, width, 1, 0), Solid(TRgba{1, 1, 1, 0.14}));
  canvas.Fill(RoundRect(0, 0, 1, height, 0), Solid(TRgba{1, 1, 1, 0.08}));
  canvas.Fill(RoundRect(0, height - 1, width, height, 0), Solid(TRgba{0, 0, 0, 0.6}));
  canvas.Fill(RoundRect(width - 1, 0, width, height, 0), Solid(TRgba{0, 0, 0, 0.45}));
}

// Printed ink: a dark hairline under the letters lifts them off the grain.
void Print(TVectorCanvas& canvas, const TFontDescription& font, const char* text, double x, double y,
           const TRgba& colour, TAlign align, double tracking = 0) {
  canvas.Text(font, text, x + 0.0, y + 1, Solid(TRgba{0, 0, 0, 0.55}), align, tracking);
  canvas.Text(font, text, x, y, Solid(colour), align, tracking);
}

struct TCaptionSetting {
  TFontDescription Font;
  double X;
  double Baseline;
  TAlign Align;
};

TCaptionSetting SetCaption(const TCaption& caption, const TPlacedControl& control) {
  const TArtworkInfo& strip = ArtworkInfo(control.Strip);
  const double centre = control.Left + strip.GlyphWidth() / 2.0;
  const double right = control.Left + strip.GlyphWidth() + kBesideGap;
  switch (caption.Place) {
    case TCaptionPlace::cpAbove:
      return {CaptionFont(), centre, control.Top + kAbove, TAlign::alCentre};
    case TCaptionPlace::cpBelow:
      return {CaptionFont(), centre,
              control.IsDial ? control.Top + kBelowDial : control.Top + strip.GlyphHeight() + kBelowSwitch,
              TAlign::alCentre};
    case TCaptionPlace::cpRightTop:
      return {PositionFont(), right, control.Top + kBesideRows[0], TAlign::alLeft};
    case TCaptionPlace::cpRightMiddle:
      return {PositionFont(), right, control.Top + kBesideRows[1], TAlign::alLeft};
    case TCaptionPlace::cpRightBottom:
      break;
  }
  return {PositionFont(), right, control.Top + kBesideRows[2], TAlign::alLeft};
}

void DrawTitle(TVectorCanvas& canvas) {
  const double centre = (kGrooves[1] + kGrooves[2]) / 2;
  TFontDescription name;
  name.FaceName = "DejaVu Serif";
  name.PixelHeight = 22;
  name.Bold = true;
  name.Italic = true;
  TFontDescription small = CaptionFont();
  const double nameWidth = canvas.MeasuredWidth(name, kProductName);
  Print(canvas, small, kVendorName, centre, 13, kInk, TAlign::alCentre, 3);
  canvas.Text(name, kProductName, centre, 36, Solid(TRgba{0, 0, 0, 0.6}), TAlign::alCentre);
  canvas.Text(name, kProductName, centre, 35,
              Linear(TVec{0, 18}, TVec{0, 36}, {{0.0, Shade(kBrass, 0.45)}, {0.55, kBrass}, {1.0, kBrassDark}}),
              TAlign::alCentre);
  Print(canvas, small, kVersion, centre + nameWidth / 2 + 4, 35, kInk, TAlign::alLeft);
}

void DrawLampBezel(TVectorCanvas& canvas) {
  const TVec c{kLampOffBox.Left + kLampOffBox.Width / 2.0, kLampOffBox.Top + kLampOffBox.Height / 2.0};
  canvas.Shadow(Circle(c.X, c.Y, 7.5), 0.8, 1.2, 1.5, TRgba{0, 0, 0, 0.8});
  canvas.Fill(Circle(c.X, c.Y, 7.5), Linear(TVec{c.X - 6, c.Y - 6}, TVec{c.X + 6, c.Y + 6},
                                            {{0.0, Rgb(0xE6E8EA)}, {0.5, Rgb(0x8F9295)}, {1.0, Rgb(0x3A3C3E)}}));
  canvas.Fill(Circle(c.X, c.Y, 5.2), Solid(Rgb(0x101010)));
}

// A brass roundel on the left ear, level with the vendor label on the right.
void DrawBadge(TVectorCanvas& canvas) {
  const TVec c{kEarWidth / 2, kVendorLabelBox.Top + kVendorLabelBox.Height / 2.0};
  const TShape badge = Circle(c.X, c.Y, 11);
  canvas.Shadow(badge, 0.8, 1.2, 1.5, TRgba{0, 0, 0, 0.8});
  canvas.Fill(badge, Linear(TVec{c.X - 9, c.Y - 9}, TVec{c.X + 9, c.Y + 9},
                            {{0.0, Shade(kBrass, 0.4)}, {0.5, kBrass}, {1.0, kBrassDark}}));
  canvas.Fill(Circle(c.X, c.Y, 8.6),
              Linear(TVec{c.X - 7, c.Y - 7}, TVec{c.X + 7, c.Y + 7}, {{0.0, kBrassDark}, {1.0, Shade(kBrass, 0.2)}}));
  TFontDescription font;
  font.FaceName = "DejaVu Serif";
  font.PixelHeight = 13;
  font.Bold = true;
  canvas.Text(font, "V", c.X + 0.5, c.Y + 6, Solid(Rgb(0xF3E2B0, 0.9)), TAlign::alCentre);
  canvas.Text(font, "V", c.X, c.Y + 5, Solid(Rgb(0x3A2A0E)), TAlign::alCentre);
}

void DrawLabelPlate(TVectorCanvas& canvas) {
  const TPictureBox& box = kVendorLabelBox;
  const TShape plate = RoundRect(box.Left - 3, box.Top - 3, box.Left + box.Width + 2, box.Top + box.Height + 3, 2.5);
  canvas.Fill(plate, Solid(Rgb(0x121211)));
  canvas.Fill(plate.Outline(1.0).Moved(0, 0.5), Solid(TRgba{1, 1, 1, 0.06}));
}

}  // namespace

void DrawFrontPanel(TGuiCustomPixelMap& map, TEditorScale scale) {
  TVectorCanvas canvas(map, scale);
  // The picture's own size, so that the edges' bevel meets the last device
  // pixels when the size was rounded (1.5x).
  const double width = canvas.LogicalWidth(), height = canvas.LogicalHeight();
  canvas.Fill(RoundRect(0, 0, width, height, 0), FaceplatePaint(height, ScaleFactor(scale)));
  DrawEars(canvas, width, height);
  for (const double x : kGrooves) DrawGroove(canvas, x, 6, height - 6);
  DrawBevel(canvas, width, height);
  DrawTitle(canvas);
  DrawLampBezel(canvas);
  DrawLabelPlate(canvas);
  DrawBadge(canvas);
  for (const TCaption& caption : kCaptions) {
    const TPlacedControl* control = FindPlacedControl(caption.Control);
    if (control == nullptr) continue;
    const TCaptionSetting set = SetCaption(caption, *control);
    Print(canvas, set.Font, caption.Text, set.X, set.Baseline, kInk, set.Align);
  }
}

TBox CaptionBox(const TCaption& caption, TEditorScale scale) {
  const TPlacedControl* control = FindPlacedControl(caption.Control);
  if (control == nullptr) return TBox{};
  const TCaptionSetting set = SetCaption(caption, *control);
  const TFontDescription font = ScaledFont(set.Font, scale);
  const double anchor = set.X * ScaleFactor(scale), baseline = set.Baseline * ScaleFactor(scale);
  TTextRenderer& renderer = SystemTextRenderer();
  const TTextExtent extent = renderer.Measure(font, caption.Text);
  std::vector<std::uint8_t> ink(std::size_t(extent.Width) * std::size_t(extent.Height), 0);
  renderer.Draw(font, caption.Text,
                TRasterView{ink.data(), extent.Width, extent.Height, extent.Width, TRasterFormat::rfGrey8, nullptr}, 0,
                0);
  TBox box{1e9, 1e9, -1e9, -1e9};
  for (std::int32_t y = 0; y < extent.Height; ++y) {
    for (std::int32_t x = 0; x < extent.Width; ++x) {
      if (ink[std::size_t(y) * std::size_t(extent.Width) + std::size_t(x)] == 0) continue;
      box = TBox{std::min<double>(box.Left, x), std::min<double>(box.Top, y), std::max<double>(box.Right, x + 1),
                 std::max<double>(box.Bottom, y + 1)};
    }
  }
  const double left = set.Align == TAlign::alLeft     ? std::lround(anchor)
                      : set.Align == TAlign::alCentre ? std::lround(anchor - extent.Width / 2.0)
                                                      : std::lround(anchor - extent.Width);
  const double top = std::lround(baseline) - extent.Ascent;
  // The printed shadow lies one logical pixel below the letters.
  return TBox{left + box.Left, top + box.Top, left + box.Right, top + box.Bottom + Scaled(1, scale)};
}

}  // namespace vb::artwork
