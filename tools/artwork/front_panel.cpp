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
TPaint FaceplatePaint(double Height, double Factor) {
  return [Height, Factor](double X, double Y) {
    const TRgba base = Mix(kPanelTop, kPanelBottom, Y / Height);
    const auto row = std::int64_t(std::floor(Y * Factor));
    const auto cell = std::int64_t(std::floor(X / 23.0));
    const double t = X / 23.0 - double(cell);
    const double streak = Hash(cell, row, 7) * (1 - t) + Hash(cell + 1, row, 7) * t;
    const double grain = 0.010 * Hash(0, row, 3) + 0.008 * streak + 0.004 * Hash(std::int64_t(X * Factor), row, 5);
    return TRgba{base.R + grain, base.G + grain, base.B + grain, 1};
  };
}

void DrawGroove(TVectorCanvas& Canvas, double X, double Top, double Bottom) {
  Canvas.Fill(Capsule(TVec{X, Top}, TVec{X, Bottom}, 1.0), Solid(TRgba{0, 0, 0, 0.55}));
  Canvas.Fill(Capsule(TVec{X + 1, Top}, TVec{X + 1, Bottom}, 1.0), Solid(TRgba{1, 1, 1, 0.07}));
}

void DrawScrew(TVectorCanvas& Canvas, TVec C) {
  // A slotted hole in the ear, the screw head sitting in it.
  const TShape slot = RoundRect(C.X - 10, C.Y - 5.5, C.X + 10, C.Y + 5.5, 5.5);
  Canvas.Fill(slot, Solid(Rgb(0x0B0B0A)));
  Canvas.Fill(RoundRect(C.X - 10, C.Y - 5.5, C.X + 10, C.Y - 3.5, 1.5), Solid(TRgba{0, 0, 0, 0.6}));
  Canvas.Fill(Capsule(TVec{C.X - 7, C.Y + 5.6}, TVec{C.X + 7, C.Y + 5.6}, 0.9), Solid(TRgba{1, 1, 1, 0.10}));
  Canvas.Shadow(Circle(C.X, C.Y, 6.6), 0.8, 1.2, 1.4, TRgba{0, 0, 0, 0.8});
  Canvas.Fill(Circle(C.X, C.Y, 6.6),
              Radial(TVec{C.X - 2.5, C.Y - 3}, 10, {{0.0, Rgb(0xD4D6D8)}, {0.5, Rgb(0x8E9194)}, {1.0, Rgb(0x3C3E40)}}));
  Canvas.Fill(Circle(C.X, C.Y, 6.6).Outline(0.8), Solid(TRgba{0, 0, 0, 0.45}));
  // The cross recess: dark where it faces away from the light.
  for (const double angle : {45.0, 135.0}) {
    const double dx = 4.2 * std::cos(Radians(angle)), dy = 4.2 * std::sin(Radians(angle));
    Canvas.Fill(Capsule(TVec{C.X - dx, C.Y - dy}, TVec{C.X + dx, C.Y + dy}, 1.7), Solid(Rgb(0x2A2B2C)));
    Canvas.Fill(Capsule(TVec{C.X - dx + 0.5, C.Y - dy + 0.6}, TVec{C.X + dx + 0.5, C.Y + dy + 0.6}, 0.7),
                Solid(TRgba{1, 1, 1, 0.25}));
  }
}

void DrawEars(TVectorCanvas& Canvas, double Width, double Height) {
  for (const double left : {0.0, Width - kEarWidth}) {
    Canvas.Fill(RoundRect(left, 0, left + kEarWidth, Height, 0), Solid(TRgba{0, 0, 0, 0.16}));
    const double cx = left + kEarWidth / 2;
    DrawScrew(Canvas, TVec{cx, kScrewInset});
    DrawScrew(Canvas, TVec{cx, Height - kScrewInset});
  }
  DrawGroove(Canvas, kEarWidth - 0.5, 0, Height);
  DrawGroove(Canvas, Width - kEarWidth - 1.5, 0, Height);
}

void DrawBevel(TVectorCanvas& Canvas, double Width, double Height) {
  Canvas.Fill(RoundRect(0, 0, Width, 1, 0), Solid(TRgba{1, 1, 1, 0.14}));
  Canvas.Fill(RoundRect(0, 0, 1, Height, 0), Solid(TRgba{1, 1, 1, 0.08}));
  Canvas.Fill(RoundRect(0, Height - 1, Width, Height, 0), Solid(TRgba{0, 0, 0, 0.6}));
  Canvas.Fill(RoundRect(Width - 1, 0, Width, Height, 0), Solid(TRgba{0, 0, 0, 0.45}));
}

// Printed ink: a dark hairline under the letters lifts them off the grain.
void Print(TVectorCanvas& Canvas, const TFontDescription& Font, const char* Text, double X, double Y,
           const TRgba& Colour, TAlign Align, double Tracking = 0) {
  Canvas.Text(Font, Text, X + 0.0, Y + 1, Solid(TRgba{0, 0, 0, 0.55}), Align, Tracking);
  Canvas.Text(Font, Text, X, Y, Solid(Colour), Align, Tracking);
}

struct TCaptionSetting {
  TFontDescription Font;
  double X;
  double Baseline;
  TAlign Align;
};

TCaptionSetting SetCaption(const TCaption& Caption, const TPlacedControl& Control) {
  const TArtworkInfo& strip = ArtworkInfo(Control.Strip);
  const double centre = Control.Left + strip.GlyphWidth() / 2.0;
  const double right = Control.Left + strip.GlyphWidth() + kBesideGap;
  switch (Caption.Place) {
    case TCaptionPlace::cpAbove:
      return {CaptionFont(), centre, Control.Top + kAbove, TAlign::alCentre};
    case TCaptionPlace::cpBelow:
      return {CaptionFont(), centre,
              Control.IsDial ? Control.Top + kBelowDial : Control.Top + strip.GlyphHeight() + kBelowSwitch,
              TAlign::alCentre};
    case TCaptionPlace::cpRightTop:
      return {PositionFont(), right, Control.Top + kBesideRows[0], TAlign::alLeft};
    case TCaptionPlace::cpRightMiddle:
      return {PositionFont(), right, Control.Top + kBesideRows[1], TAlign::alLeft};
    case TCaptionPlace::cpRightBottom:
      break;
  }
  return {PositionFont(), right, Control.Top + kBesideRows[2], TAlign::alLeft};
}

void DrawTitle(TVectorCanvas& Canvas) {
  const double centre = (kGrooves[1] + kGrooves[2]) / 2;
  TFontDescription name;
  name.FaceName = "DejaVu Serif";
  name.PixelHeight = 22;
  name.Bold = true;
  name.Italic = true;
  TFontDescription small = CaptionFont();
  const double nameWidth = Canvas.MeasuredWidth(name, kProductName);
  Print(Canvas, small, kVendorName, centre, 13, kInk, TAlign::alCentre, 3);
  Canvas.Text(name, kProductName, centre, 36, Solid(TRgba{0, 0, 0, 0.6}), TAlign::alCentre);
  Canvas.Text(name, kProductName, centre, 35,
              Linear(TVec{0, 18}, TVec{0, 36}, {{0.0, Shade(kBrass, 0.45)}, {0.55, kBrass}, {1.0, kBrassDark}}),
              TAlign::alCentre);
  Print(Canvas, small, kVersion, centre + nameWidth / 2 + 4, 35, kInk, TAlign::alLeft);
}

void DrawLampBezel(TVectorCanvas& Canvas) {
  const TVec c{kLampOffBox.Left + kLampOffBox.Width / 2.0, kLampOffBox.Top + kLampOffBox.Height / 2.0};
  Canvas.Shadow(Circle(c.X, c.Y, 7.5), 0.8, 1.2, 1.5, TRgba{0, 0, 0, 0.8});
  Canvas.Fill(Circle(c.X, c.Y, 7.5), Linear(TVec{c.X - 6, c.Y - 6}, TVec{c.X + 6, c.Y + 6},
                                            {{0.0, Rgb(0xE6E8EA)}, {0.5, Rgb(0x8F9295)}, {1.0, Rgb(0x3A3C3E)}}));
  Canvas.Fill(Circle(c.X, c.Y, 5.2), Solid(Rgb(0x101010)));
}

// A brass roundel on the left ear, level with the vendor label on the right.
void DrawBadge(TVectorCanvas& Canvas) {
  const TVec c{kEarWidth / 2, kVendorLabelBox.Top + kVendorLabelBox.Height / 2.0};
  const TShape badge = Circle(c.X, c.Y, 11);
  Canvas.Shadow(badge, 0.8, 1.2, 1.5, TRgba{0, 0, 0, 0.8});
  Canvas.Fill(badge, Linear(TVec{c.X - 9, c.Y - 9}, TVec{c.X + 9, c.Y + 9},
                            {{0.0, Shade(kBrass, 0.4)}, {0.5, kBrass}, {1.0, kBrassDark}}));
  Canvas.Fill(Circle(c.X, c.Y, 8.6),
              Linear(TVec{c.X - 7, c.Y - 7}, TVec{c.X + 7, c.Y + 7}, {{0.0, kBrassDark}, {1.0, Shade(kBrass, 0.2)}}));
  TFontDescription font;
  font.FaceName = "DejaVu Serif";
  font.PixelHeight = 13;
  font.Bold = true;
  Canvas.Text(font, "V", c.X + 0.5, c.Y + 6, Solid(Rgb(0xF3E2B0, 0.9)), TAlign::alCentre);
  Canvas.Text(font, "V", c.X, c.Y + 5, Solid(Rgb(0x3A2A0E)), TAlign::alCentre);
}

void DrawLabelPlate(TVectorCanvas& Canvas) {
  const TPictureBox& box = kVendorLabelBox;
  const TShape plate = RoundRect(box.Left - 3, box.Top - 3, box.Left + box.Width + 2, box.Top + box.Height + 3, 2.5);
  Canvas.Fill(plate, Solid(Rgb(0x121211)));
  Canvas.Fill(plate.Outline(1.0).Moved(0, 0.5), Solid(TRgba{1, 1, 1, 0.06}));
}

}  // namespace

void DrawFrontPanel(TGuiCustomPixelMap& Map, TEditorScale Scale) {
  TVectorCanvas canvas(Map, Scale);
  // The picture's own size, so that the edges' bevel meets the last device
  // pixels when the size was rounded (1.5x).
  const double width = canvas.LogicalWidth(), height = canvas.LogicalHeight();
  canvas.Fill(RoundRect(0, 0, width, height, 0), FaceplatePaint(height, ScaleFactor(Scale)));
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

TBox CaptionBox(const TCaption& Caption, TEditorScale Scale) {
  const TPlacedControl* control = FindPlacedControl(Caption.Control);
  if (control == nullptr) return TBox{};
  const TCaptionSetting set = SetCaption(Caption, *control);
  const TFontDescription font = ScaledFont(set.Font, Scale);
  const double anchor = set.X * ScaleFactor(Scale), baseline = set.Baseline * ScaleFactor(Scale);
  TTextRenderer& renderer = SystemTextRenderer();
  const TTextExtent extent = renderer.Measure(font, Caption.Text);
  std::vector<std::uint8_t> ink(std::size_t(extent.Width) * std::size_t(extent.Height), 0);
  renderer.Draw(font, Caption.Text,
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
  return TBox{left + box.Left, top + box.Top, left + box.Right, top + box.Bottom + Scaled(1, Scale)};
}

}  // namespace vb::artwork
