#include "editor_preview.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "image/pixel_blend.h"
#include "panel_layout.h"
#include "platform/text_renderer.h"

namespace vb::artwork {
namespace {

// The label's text as the editor draws it: white, bold fixed-pitch,
// rendered larger and box-reduced, right-justified.
constexpr std::int32_t kLabelOversampling = kVendorLabelOversampling;

void DrawGlyph(const TGuiCustomPixelMap& Strip, const TArtworkInfo& Info, std::int32_t Glyph, std::int32_t Left,
               std::int32_t Top, TGuiCustomPixelMap& Target) {
  const std::int32_t width = Info.GlyphWidth(), height = Info.GlyphHeight();
  const std::int32_t sx = Info.Direction == TStripDirection::sdHorizontal ? Glyph * width : 0;
  const std::int32_t sy = Info.Direction == TStripDirection::sdVertical ? Glyph * height : 0;
  for (std::int32_t y = 0; y < height; ++y) {
    if (Top + y < 0 || Top + y >= Target.Height()) continue;
    for (std::int32_t x = 0; x < width; ++x) {
      if (Left + x < 0 || Left + x >= Target.Width()) continue;
      BlendPixelTo(Strip.ScanLine(sy + y)[sx + x], Target.ScanLine(Top + y)[Left + x]);
    }
  }
  FinishBlend();
}

TRect ScaledBox(const TPictureBox& Box, TEditorScale Scale) {
  return Scaled(TRect{Box.Left, Box.Top, Box.Left + Box.Width, Box.Top + Box.Height}, Scale);
}

void DrawVendorLabel(TGuiCustomPixelMap& Target, TEditorScale Scale) {
  const TRect box = ScaledBox(kVendorLabelBox, Scale);
  TFontDescription font;
  font.FaceName = kVendorLabelFace;
  font.PixelHeight = Scaled(kVendorLabelCellHeight, Scale) * kLabelOversampling;
  font.CellHeight = true;
  font.Bold = true;
  TTextRenderer& renderer = SystemTextRenderer();
  const TTextExtent extent = renderer.Measure(font, kVendorLabel);
  const std::int32_t width = extent.Width / kLabelOversampling, height = extent.Height / kLabelOversampling;
  std::vector<std::uint8_t> big(std::size_t(extent.Width) * std::size_t(extent.Height), 0);
  renderer.Draw(font, kVendorLabel,
                TRasterView{big.data(), extent.Width, extent.Height, extent.Width, TRasterFormat::rfGrey8, nullptr}, 0,
                0);
  const std::int32_t left = box.Right - width;
  for (std::int32_t y = 0; y < std::min(height, box.Height()); ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      unsigned sum = 0;
      for (std::int32_t j = 0; j < kLabelOversampling; ++j) {
        for (std::int32_t i = 0; i < kLabelOversampling; ++i) {
          sum += big[std::size_t(y * kLabelOversampling + j) * std::size_t(extent.Width) +
                     std::size_t(x * kLabelOversampling + i)];
        }
      }
      const auto cover = std::uint8_t(sum / (kLabelOversampling * kLabelOversampling));
      BlendPixelTo(Pixel32(cover, 255, 255, 255), Target.ScanLine(box.Top + y)[left + x]);
    }
  }
  FinishBlend();
}

}  // namespace

void DrawScaledDown(const TGuiCustomPixelMap& Source, TGuiCustomPixelMap& Target, std::int32_t Left, std::int32_t Top,
                    std::int32_t Width, std::int32_t Height) {
  const double scale = std::min(double(Width) / Source.Width(), double(Height) / Source.Height());
  const std::int32_t w = std::max(1, std::int32_t(std::lround(Source.Width() * scale)));
  const std::int32_t h = std::max(1, std::int32_t(std::lround(Source.Height() * scale)));
  Left += (Width - w) / 2;
  Top += (Height - h) / 2;
  for (std::int32_t y = 0; y < h; ++y) {
    const std::int32_t y0 = y * Source.Height() / h, y1 = std::max(y0 + 1, (y + 1) * Source.Height() / h);
    for (std::int32_t x = 0; x < w; ++x) {
      const std::int32_t x0 = x * Source.Width() / w, x1 = std::max(x0 + 1, (x + 1) * Source.Width() / w);
      double r = 0, g = 0, b = 0, a = 0;
      for (std::int32_t sy = y0; sy < y1; ++sy) {
        for (std::int32_t sx = x0; sx < x1; ++sx) {
          const TPixel32 p = Source.ScanLine(sy)[sx];
          r += p.R * double(p.A);
          g += p.G * double(p.A);
          b += p.B * double(p.A);
          a += p.A;
        }
      }
      if (a <= 0) continue;
      const double count = double(x1 - x0) * double(y1 - y0);
      const TPixel32 pixel = Pixel32(std::uint8_t(std::lround(a / count)), std::uint8_t(std::lround(r / a)),
                                     std::uint8_t(std::lround(g / a)), std::uint8_t(std::lround(b / a)));
      if (Left + x >= 0 && Left + x < Target.Width() && Top + y >= 0 && Top + y < Target.Height()) {
        BlendPixelTo(pixel, Target.ScanLine(Top + y)[Left + x]);
      }
    }
  }
  FinishBlend();
}

void ComposeEditorPreview(const TGuiPixelMapMemory (&Pictures)[kArtworkCount], TGuiPixelMapMemory& Preview,
                          bool PowerOn, TEditorScale Scale) {
  Preview.SetSize(Scaled(kEditorWidth, Scale), Scaled(kEditorHeight, Scale));
  Preview.Clear(Pixel32(0xFFFFFFFFu));
  const TGuiPixelMapMemory& panel = Pictures[std::size_t(TArtwork::awFrontPanel)];
  DrawGlyph(panel, ScaledArtworkInfo(TArtwork::awFrontPanel, Scale), 0, 0, 0, Preview);
  DrawVendorLabel(Preview, Scale);
  const TRect lamp = ScaledBox(PowerOn ? kLampOnBox : kLampOffBox, Scale);
  DrawScaledDown(Pictures[std::size_t(PowerOn ? TArtwork::awLampOn : TArtwork::awLampOff)], Preview, lamp.Left,
                 lamp.Top, lamp.Width(), lamp.Height());
  for (const TPlacedControl& control : kPlacedControls) {
    const bool power = control.Strip == TArtwork::awRectSwitch;
    DrawGlyph(Pictures[std::size_t(control.Strip)], ScaledArtworkInfo(control.Strip, Scale),
              power ? std::int32_t(PowerOn) : PlacedGlyph(control), Scaled(control.Left, Scale),
              Scaled(control.Top, Scale), Preview);
  }
}

}  // namespace vb::artwork
