#include "vector_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "image/pixel_blend.h"

namespace vb::artwork {
namespace {

std::uint8_t ToByte(double value) { return std::uint8_t(std::lround(std::clamp(value, 0.0, 1.0) * 255.0)); }

double Smooth(double t) {
  t = std::clamp(t, 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// The length in bytes of the UTF-8 sequence starting with Lead.
std::size_t SequenceLength(unsigned char lead) {
  return lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
}

}  // namespace

void TVectorCanvas::Blend(std::int32_t x, std::int32_t y, const TRgba& colour, double cover) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  const std::uint8_t alpha = ToByte(colour.A * cover);
  if (alpha == 0) return;
  CompositePixelTo(Pixel32(alpha, ToByte(colour.R), ToByte(colour.G), ToByte(colour.B)), FTarget.ScanLine(y)[x]);
}

void TVectorCanvas::Fill(const TShape& shape, const TPaint& paint, double opacity, double edge) {
  const TBox& box = shape.Bounds();
  const double deviceEdge = edge <= 1.0 ? edge : edge * FFactor;
  const double margin = deviceEdge / 2 + 1;
  const std::int32_t left = std::max(0, std::int32_t(std::floor(box.Left * FFactor - margin)));
  const std::int32_t top = std::max(0, std::int32_t(std::floor(box.Top * FFactor - margin)));
  const std::int32_t right = std::min(Width(), std::int32_t(std::ceil(box.Right * FFactor + margin)));
  const std::int32_t bottom = std::min(Height(), std::int32_t(std::ceil(box.Bottom * FFactor + margin)));
  for (std::int32_t y = top; y < bottom; ++y) {
    for (std::int32_t x = left; x < right; ++x) {
      const double px = (x + 0.5) / FFactor, py = (y + 0.5) / FFactor;
      const double t = 0.5 - shape.Distance(px, py) * FFactor / deviceEdge;
      const double cover = deviceEdge <= 1.0 ? std::clamp(t, 0.0, 1.0) : Smooth(t);
      if (cover <= 0) continue;
      Blend(x, y, paint(px, py), cover * opacity);
    }
  }
  FinishBlend();
}

void TVectorCanvas::Shadow(const TShape& shape, double dx, double dy, double blur, const TRgba& colour) {
  Fill(shape.Moved(dx, dy), Solid(colour), 1.0, std::max(1.0, 2 * blur));
}

double TVectorCanvas::TextWidth(const TFontDescription& font, std::string_view text, double tracking) {
  if (tracking == 0) return SystemTextRenderer().Measure(font, text).Width;
  double width = 0;
  std::size_t letters = 0;
  for (std::size_t i = 0; i < text.size(); i += SequenceLength(static_cast<unsigned char>(text[i])), ++letters) {
    width +=
        SystemTextRenderer().Measure(font, text.substr(i, SequenceLength(static_cast<unsigned char>(text[i])))).Width;
  }
  return width + tracking * double(letters > 0 ? letters - 1 : 0);
}

double TVectorCanvas::MeasuredWidth(const TFontDescription& font, std::string_view text, double tracking) const {
  return TextWidth(ScaledFont(font, FScale), text, tracking * FFactor) / FFactor;
}

double TVectorCanvas::Text(const TFontDescription& font, std::string_view text, double x, double y, const TPaint& paint,
                           TAlign align, double tracking) {
  const TFontDescription device = ScaledFont(font, FScale);
  const double deviceTracking = tracking * FFactor;
  const double width = TextWidth(device, text, deviceTracking);
  x *= FFactor;
  double left = align == TAlign::alLeft ? x : align == TAlign::alCentre ? x - width / 2 : x - width;
  const std::int32_t baseline = std::int32_t(std::lround(y * FFactor));
  if (tracking == 0) {
    TextRun(device, text, std::int32_t(std::lround(left)), baseline, paint);
    return width / FFactor;
  }
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = SequenceLength(static_cast<unsigned char>(text[i]));
    left += TextRun(device, text.substr(i, length), std::int32_t(std::lround(left)), baseline, paint) + deviceTracking;
    i += length;
  }
  return width / FFactor;
}

double TVectorCanvas::TextRun(const TFontDescription& font, std::string_view text, std::int32_t x, std::int32_t y,
                              const TPaint& paint) {
  TTextRenderer& renderer = SystemTextRenderer();
  const TTextExtent extent = renderer.Measure(font, text);
  if (extent.Width <= 0) return 0;
  std::vector<std::uint8_t> coverage(std::size_t(extent.Width) * std::size_t(extent.Height), 0);
  const TRasterView view{coverage.data(), extent.Width, extent.Height, extent.Width, TRasterFormat::rfGrey8, nullptr};
  renderer.Draw(font, text, view, 0, 0);
  const std::int32_t top = y - extent.Ascent;
  for (std::int32_t row = 0; row < extent.Height; ++row) {
    for (std::int32_t col = 0; col < extent.Width; ++col) {
      const std::uint8_t cover = coverage[std::size_t(row) * std::size_t(extent.Width) + std::size_t(col)];
      if (cover != 0)
        Blend(x + col, top + row, paint((x + col + 0.5) / FFactor, (top + row + 0.5) / FFactor), cover / 255.0);
    }
  }
  FinishBlend();
  return extent.Width;
}

}  // namespace vb::artwork

namespace vb::artwork {

TFontDescription ScaledFont(const TFontDescription& font, TEditorScale scale) {
  TFontDescription scaled = font;
  scaled.PixelHeight = Scaled(font.PixelHeight, scale);
  return scaled;
}

void CopyPixels(const TGuiCustomPixelMap& source, TGuiCustomPixelMap& target, std::int32_t left, std::int32_t top) {
  for (std::int32_t y = 0; y < source.Height(); ++y) {
    std::memcpy(target.ScanLine(top + y) + left, source.ScanLine(y), std::size_t(source.Width()) * sizeof(TPixel32));
  }
}

}  // namespace vb::artwork
