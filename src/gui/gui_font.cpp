#include "gui/gui_font.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gui/gui_rounding.h"
#include "image/gui_custom_pixel_map.h"

namespace vb {

std::int32_t OversamplingFactor(TFontOversampling Value) {
  static constexpr std::int32_t kFactors[] = {1, 2, 3, 4, 6, 8, 12, 16};
  return Value <= fo16x ? kFactors[Value] : 1;
}

// --- TGuiCustomFont ------------------------------------------------------------------

TGuiCustomFont::TGuiCustomFont() : FBlurFilter(std::make_unique<TGuiStackBlurFilter>()) {
  FShadow.SetOnChange([this](TGuiShadow&) { ShadowChanged(); });
}

TGuiCustomFont::~TGuiCustomFont() = default;

void TGuiCustomFont::SetAntialiasing(bool Value) {
  if (Value == FAntiAliasing) return;
  FAntiAliasing = Value;
  AntialiasingChanged();
}

void TGuiCustomFont::SetAlpha(std::uint8_t Value) {
  if (Value == FAlpha) return;
  FAlpha = Value;
  Changed();
}

void TGuiCustomFont::SetShadow(const TGuiShadow& Value) {
  FShadow.Assign(Value);
  // Assign is silent: refresh the cached shadow pixel and tone curve here.
  ShadowChanged();
}

void TGuiCustomFont::ShadowChanged() {
  FShadowColor = ColorToPixel(FShadow.Color());
  FShadowColor.A = FShadow.Opacity();
  // 2 to the power n; n is kept where a float can hold the result exactly.
  const std::int32_t n = std::clamp(RoundToInt32(FShadow.Saturation()), -126, 127);
  FSaturation.SetValue(std::ldexp(1.0f, n));
  Changed();
}

void TGuiCustomFont::Changed() {
  if (FOnChange) FOnChange(*this);
}

// --- TGuiCustomGDIFont -------------------------------------------------------------------

TGuiCustomGDIFont::TGuiCustomGDIFont(TTextRenderer* Renderer)
    : FRenderer(Renderer != nullptr ? Renderer : &SystemTextRenderer()) {
  FBuffer.SetSize(8, 8);
  SelectFont();
}

TGuiCustomGDIFont::~TGuiCustomGDIFont() = default;

void TGuiCustomGDIFont::SetFont(const TFont& Value) {
  FFont = Value;
  FontChanged();
}

void TGuiCustomGDIFont::SetFontTurn(TFontTurn Value) {
  if (Value == FFontTurn) return;
  FFontTurn = Value;
  FontTurnChanged();
}

void TGuiCustomGDIFont::AntialiasingChanged() {
  Changed();
  SelectFont();
}

void TGuiCustomGDIFont::FontChanged() {
  SelectFont();
  Changed();
}

void TGuiCustomGDIFont::SelectFont() {
  const TFont font = RenderFont();
  FSelected.FaceName = font.Name.empty() ? std::string("Default") : font.Name;
  FSelected.PixelHeight = std::max(1, std::abs(font.Height));
  FSelected.CellHeight = font.Height > 0;
  FSelected.Bold = font.Bold;
  FSelected.Italic = font.Italic;
  FSelected.Antialiased = Antialiasing();
}

TTextExtent TGuiCustomGDIFont::MeasureScaled(std::string_view Text) { return FRenderer->Measure(FSelected, Text); }

TTextExtent TGuiCustomGDIFont::TextExtent(std::string_view Text) {
  TTextExtent extent = MeasureScaled(Text);
  const std::int32_t f = Factor();
  extent.Width /= f;
  extent.Height /= f;
  extent.Ascent /= f;
  return extent;
}

void TGuiCustomGDIFont::RenderCoverage(std::string_view Text, const TTextExtent& Extent, std::int32_t Border) {
  // Sides are multiples of 4 and at least one pixel larger than needed.
  FBuffer.SetSize(((Extent.Width + 2 * Border) & ~3) + 4, ((Extent.Height + 2 * Border) & ~3) + 4);
  FBuffer.Clear();
  FRenderer->Draw(FSelected, Text, FBuffer.RasterView(), Border, Border);
  if (Alpha() != 255) FBuffer.Multiply(Alpha());
}

void TGuiCustomGDIFont::Turn(TGuiCustomByteMap& Map) const {
  if (FFontTurn == ftClockwise) Map.Turn(false);
  if (FFontTurn == ftCounterClockwise) Map.Turn(true);
}

void TGuiCustomGDIFont::TextOut(std::string_view Text, TGuiCustomPixelMap* Map, std::int32_t X, std::int32_t Y) {
  const TTextExtent extent = MeasureScaled(Text);
  if (extent.Width <= 0 || extent.Height <= 0) return;
  if (!Shadow().Visible()) {
    RenderCoverage(Text, extent, 0);
    Downsample(FBuffer);
    Turn(FBuffer);
    DrawText(Map, X, Y, 0);
    return;
  }
  const std::int32_t f = Factor();
  // A border for the blur, in rendered pixels.
  const std::int32_t border =
      Oversampled() ? RoundToInt32(Shadow().Blur()) * f : RoundToInt32(double(Shadow().Blur()) + 0.5);
  RenderCoverage(Text, extent, border);
  if (!FShadowBuffer) FShadowBuffer = std::make_unique<TGuiByteMapMemory>();
  FShadowBuffer->Assign(FBuffer);
  if (Shadow().Blur() > 0) {
    BlurFilter().SetRadius(float(f) * Shadow().Blur());
    BlurFilter().Filter(*FShadowBuffer);
    if (Oversampled() && Shadow().Saturation() != 0) SaturationFilter().Filter(*FShadowBuffer);
  }
  Downsample(*FShadowBuffer);
  Turn(*FShadowBuffer);
  DrawShadow(Map, X, Y, border);
  Downsample(FBuffer);
  Turn(FBuffer);
  DrawText(Map, X, Y, border);
}

void TGuiCustomGDIFont::DrawShadow(TGuiCustomPixelMap* Map, std::int32_t X, std::int32_t Y, std::int32_t Border) {
  if (Map == nullptr) return;
  const std::int32_t f = Factor();
  const std::int32_t left = X + Shadow().OffsetX() - Border / f;
  const std::int32_t top = Y + Shadow().OffsetY() - Border / f;
  if (!Oversampled()) {
    Map->DrawByteMap(*FShadowBuffer, ShadowColor(), left, top);
    return;
  }
  Map->DrawByteMap(*FShadowBuffer, ShadowColor(),
                   TRect{left, top, X + Shadow().OffsetX() + (FShadowBuffer->Width() - Border) / f,
                         Y + Shadow().OffsetY() + (FShadowBuffer->Height() - Border) / f});
}

void TGuiCustomGDIFont::DrawText(TGuiCustomPixelMap* Map, std::int32_t X, std::int32_t Y, std::int32_t Border) {
  if (Map == nullptr) return;
  const std::int32_t f = Factor();
  const TPixel32 color = ColorToPixel(FFont.Color);
  if (!Oversampled()) {
    Map->DrawByteMap(FBuffer, color, X - Border, Y - Border);
    return;
  }
  Map->DrawByteMap(
      FBuffer, color,
      TRect{X - Border / f, Y - Border / f, X + (FBuffer.Width() - Border) / f, Y + (FBuffer.Height() - Border) / f});
}

// --- oversampling --------------------------------------------------------------------------

void BoxReduce(TGuiCustomByteMap& Map, std::int32_t K) {
  std::uint8_t* data = Map.DataPointer();
  if (data == nullptr) return;
  const std::int32_t w = Map.Width();
  const std::int32_t outW = w / K, outH = Map.Height() / K;
  const std::uint32_t area = std::uint32_t(K * K);
  // Output row i is written over input row i, which no later output reads.
  for (std::int32_t i = 0; i < outH; ++i) {
    for (std::int32_t j = 0; j < outW; ++j) {
      std::uint32_t sum = 0;
      for (std::int32_t r = 0; r < K; ++r) {
        const std::uint8_t* p = data + std::int64_t(K * i + r) * w + K * j;
        for (std::int32_t c = 0; c < K; ++c) sum += p[c];
      }
      data[std::int64_t(i) * w + j] = std::uint8_t(sum / area);
    }
  }
}

void TGuiCustomOversampledGDIFont::SetFontOversampling(TFontOversampling Value) {
  if (Value == FFontOversampling) return;
  FFontOversampling = Value;
  FontOversamplingChanged();
}

void TGuiCustomOversampledGDIFont::FontOversamplingChanged() {
  FOSFactor = OversamplingFactor(FFontOversampling);
  SelectFont();
  Changed();
}

TFont TGuiCustomOversampledGDIFont::RenderFont() const {
  TFont scaled = Font();
  scaled.Height *= FOSFactor;
  return scaled;
}

void TGuiCustomOversampledGDIFont::Downsample(TGuiCustomByteMap& Map) {
  switch (FFontOversampling) {
    case foNone:
      break;
    case fo2x:
      BoxReduce(Map, 2);
      break;
    case fo3x:
      BoxReduce(Map, 3);
      break;
    case fo4x:
      BoxReduce(Map, 4);
      break;
    case fo6x:
      BoxReduce(Map, 3);
      BoxReduce(Map, 2);
      break;
    case fo8x:
      BoxReduce(Map, 4);
      BoxReduce(Map, 2);
      break;
    case fo12x:
      BoxReduce(Map, 4);
      BoxReduce(Map, 3);
      break;
    case fo16x:
      BoxReduce(Map, 4);
      BoxReduce(Map, 4);
      break;
  }
}

}  // namespace vb
