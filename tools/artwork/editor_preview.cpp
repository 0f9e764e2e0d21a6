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

void DrawGlyph(const TGuiCustomPixelMap& strip, const TArtworkInfo& info, std::int32_t glyph, std::int32_t left,
               std::int32_t top, TGuiCustomPixelMap& target) {
  const std::int32_t width = info.GlyphWidth(), height = info.GlyphHeight();
  const std::int32_t sx = info.Direction == TStripDirection::sdHorizontal ? glyph * width : 0;
  const std::int32_t sy = info.Direction == TStripDirection::sdVertical ? glyph * height : 0;
  for (std::int32_t y = 0; y < height; ++y) {
    if (top + y < 0 || top + y >= target.Height()) continue;
    for (std::int32_t x = 0; x < width; ++x) {
      if (left + x < 0 || left + x >= target.Width()) continue;
      BlendPixelTo(strip.ScanLine(sy + y)[sx + x], target.ScanLine(top + y)[left + x]);
    }
  }
  FinishBlend();
}

TRect ScaledBox(const TPictureBox& box, TEditorScale scale) {
  return Scaled(TRect{box.Left, box.Top, box.Left + box.Width, box.Top + box.Height}, scale);
}

void DrawVendorLabel(TGuiCustomPixelMap& target, TEditorScale scale) {
  const TRect box = ScaledBox(kVendorLabelBox, scale);
  TFontDescription font;
  font.FaceName = kVendorLabelFace;
  font.PixelHeight = Scaled(kVendorLabelCellHeight, scale) * kLabelOversampling;
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
      BlendPixelTo(Pixel32(cover, 255, 255, 255), target.ScanLine(box.Top + y)[left + x]);
    }
  }
  FinishBlend();
}

}  // namespace

void DrawScaledDown(const TGuiCustomPixelMap& source, TGuiCustomPixelMap& target, std::int32_t left, std::int32_t top,
                    std::int32_t width, std::int32_t height) {
  const double scale = std::min(double(width) / source.Width(), double(height) / source.Height());
  const std::int32_t w = std::max(1, std::int32_t(std::lround(source.Width() * scale)));
  const std::int32_t h = std::max(1, std::int32_t(std::lround(source.Height() * scale)));
  left += (width - w) / 2;
  top += (height - h) / 2;
  for (std::int32_t y = 0; y < h; ++y) {
    const std::int32_t y0 = y * source.Height() / h, y1 = std::max(y0 + 1, (y + 1) * source.Height() / h);
    for (std::int32_t x = 0; x < w; ++x) {
      const std::int32_t x0 = x * source.Width() / w, x1 = std::max(x0 + 1, (x + 1) * source.Width() / w);
      double r = 0, g = 0, b = 0, a = 0;
      for (std::int32_t sy = y0; sy < y1; ++sy) {
        for (std::int32_t sx = x0; sx < x1; ++sx) {
          const TPixel32 p = source.ScanLine(sy)[sx];
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
      if (left + x >= 0 && left + x < target.Width() && top + y >= 0 && top + y < target.Height()) {
        BlendPixelTo(pixel, target.ScanLine(top + y)[left + x]);
      }
    }
  }
  FinishBlend();
}

void ComposeEditorPreview(const TGuiPixelMapMemory (&pictures)[kArtworkCount], TGuiPixelMapMemory& preview,
                          bool powerOn, TEditorScale scale) {
  preview.SetSize(Scaled(kEditorWidth, scale), Scaled(kEditorHeight, scale));
  preview.Clear(Pixel32(0xFFFFFFFFu));
  const TGuiPixelMapMemory& panel = pictures[std::size_t(TArtwork::awFrontPanel)];
  DrawGlyph(panel, ScaledArtworkInfo(TArtwork::awFrontPanel, scale), 0, 0, 0, preview);
  DrawVendorLabel(preview, scale);
  const TRect lamp = ScaledBox(powerOn ? kLampOnBox : kLampOffBox, scale);
  DrawScaledDown(pictures[std::size_t(powerOn ? TArtwork::awLampOn : TArtwork::awLampOff)], preview, lamp.Left,
                 lamp.Top, lamp.Width(), lamp.Height());
  for (const TPlacedControl& control : kPlacedControls) {
    const bool power = control.Strip == TArtwork::awRectSwitch;
    DrawGlyph(pictures[std::size_t(control.Strip)], ScaledArtworkInfo(control.Strip, scale),
              power ? std::int32_t(powerOn) : PlacedGlyph(control), Scaled(control.Left, scale),
              Scaled(control.Top, scale), preview);
  }
}

}  // namespace vb::artwork
