#include "vector_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "image/pixel_blend.h"

namespace vb::artwork {
namespace {

std::uint8_t ToByte(double Value) { return std::uint8_t(std::lround(std::clamp(Value, 0.0, 1.0) * 255.0)); }

double Smooth(double T) {
  T = std::clamp(T, 0.0, 1.0);
  return T * T * (3 - 2 * T);
}

// The length in bytes of the UTF-8 sequence starting with Lead.
std::size_t SequenceLength(unsigned char Lead) {
  return Lead < 0x80 ? 1 : (Lead >> 5) == 0x6 ? 2 : (Lead >> 4) == 0xE ? 3 : (Lead >> 3) == 0x1E ? 4 : 1;
}

}  // namespace

void TVectorCanvas::Blend(std::int32_t X, std::int32_t Y, const TRgba& Colour, double Cover) {
  if (X < 0 || Y < 0 || X >= Width() || Y >= Height()) return;
  const std::uint8_t alpha = ToByte(Colour.A * Cover);
  if (alpha == 0) return;
  CompositePixelTo(Pixel32(alpha, ToByte(Colour.R), ToByte(Colour.G), ToByte(Colour.B)), FTarget.ScanLine(Y)[X]);
}

void TVectorCanvas::Fill(const TShape& Shape, const TPaint& Paint, double Opacity, double Edge) {
  const TBox& box = Shape.Bounds();
  const double deviceEdge = Edge <= 1.0 ? Edge : Edge * FFactor;
  const double margin = deviceEdge / 2 + 1;
  const std::int32_t left = std::max(0, std::int32_t(std::floor(box.Left * FFactor - margin)));
  const std::int32_t top = std::max(0, std::int32_t(std::floor(box.Top * FFactor - margin)));
  const std::int32_t right = std::min(Width(), std::int32_t(std::ceil(box.Right * FFactor + margin)));
  const std::int32_t bottom = std::min(Height(), std::int32_t(std::ceil(box.Bottom * FFactor + margin)));
  for (std::int32_t y = top; y < bottom; ++y) {
    for (std::int32_t x = left; x < right; ++x) {
      const double px = (x + 0.5) / FFactor, py = (y + 0.5) / FFactor;
      const double t = 0.5 - Shape.Distance(px, py) * FFactor / deviceEdge;
      const double cover = deviceEdge <= 1.0 ? std::clamp(t, 0.0, 1.0) : Smooth(t);
      if (cover <= 0) continue;
      Blend(x, y, Paint(px, py), cover * Opacity);
    }
  }
  FinishBlend();
}

void TVectorCanvas::Shadow(const TShape& Shape, double Dx, double Dy, double Blur, const TRgba& Colour) {
  Fill(Shape.Moved(Dx, Dy), Solid(Colour), 1.0, std::max(1.0, 2 * Blur));
}

double TVectorCanvas::TextWidth(const TFontDescription& Font, std::string_view Text, double Tracking) {
  if (Tracking == 0) return SystemTextRenderer().Measure(Font, Text).Width;
  double width = 0;
  std::size_t letters = 0;
  for (std::size_t i = 0; i < Text.size(); i += SequenceLength(static_cast<unsigned char>(Text[i])), ++letters) {
    width +=
        SystemTextRenderer().Measure(Font, Text.substr(i, SequenceLength(static_cast<unsigned char>(Text[i])))).Width;
  }
  return width + Tracking * double(letters > 0 ? letters - 1 : 0);
}

double TVectorCanvas::MeasuredWidth(const TFontDescription& Font, std::string_view Text, double Tracking) const {
  return TextWidth(ScaledFont(Font, FScale), Text, Tracking * FFactor) / FFactor;
}

double TVectorCanvas::Text(const TFontDescription& Font, std::string_view Text, double X, double Y, const TPaint& Paint,
                           TAlign Align, double Tracking) {
  const TFontDescription device = ScaledFont(Font, FScale);
  const double deviceTracking = Tracking * FFactor;
  const double width = TextWidth(device, Text, deviceTracking);
  X *= FFactor;
  double left = Align == TAlign::alLeft ? X : Align == TAlign::alCentre ? X - width / 2 : X - width;
  const std::int32_t baseline = std::int32_t(std::lround(Y * FFactor));
  if (Tracking == 0) {
    TextRun(device, Text, std::int32_t(std::lround(left)), baseline, Paint);
    return width / FFactor;
  }
  for (std::size_t i = 0; i < Text.size();) {
    const std::size_t length = SequenceLength(static_cast<unsigned char>(Text[i]));
    left += TextRun(device, Text.substr(i, length), std::int32_t(std::lround(left)), baseline, Paint) + deviceTracking;
    i += length;
  }
  return width / FFactor;
}

double TVectorCanvas::TextRun(const TFontDescription& Font, std::string_view Text, std::int32_t X, std::int32_t Y,
                              const TPaint& Paint) {
  TTextRenderer& renderer = SystemTextRenderer();
  const TTextExtent extent = renderer.Measure(Font, Text);
  if (extent.Width <= 0) return 0;
  std::vector<std::uint8_t> coverage(std::size_t(extent.Width) * std::size_t(extent.Height), 0);
  const TRasterView view{coverage.data(), extent.Width, extent.Height, extent.Width, TRasterFormat::rfGrey8, nullptr};
  renderer.Draw(Font, Text, view, 0, 0);
  const std::int32_t top = Y - extent.Ascent;
  for (std::int32_t row = 0; row < extent.Height; ++row) {
    for (std::int32_t col = 0; col < extent.Width; ++col) {
      const std::uint8_t cover = coverage[std::size_t(row) * std::size_t(extent.Width) + std::size_t(col)];
      if (cover != 0)
        Blend(X + col, top + row, Paint((X + col + 0.5) / FFactor, (top + row + 0.5) / FFactor), cover / 255.0);
    }
  }
  FinishBlend();
  return extent.Width;
}

}  // namespace vb::artwork

namespace vb::artwork {

TFontDescription ScaledFont(const TFontDescription& Font, TEditorScale Scale) {
  TFontDescription scaled = Font;
  scaled.PixelHeight = Scaled(Font.PixelHeight, Scale);
  return scaled;
}

void CopyPixels(const TGuiCustomPixelMap& Source, TGuiCustomPixelMap& Target, std::int32_t Left, std::int32_t Top) {
  for (std::int32_t y = 0; y < Source.Height(); ++y) {
    std::memcpy(Target.ScanLine(Top + y) + Left, Source.ScanLine(y), std::size_t(Source.Width()) * sizeof(TPixel32));
  }
}

}  // namespace vb::artwork
