#include "gui/gui_font.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gui/gui_rounding.h"
#include "image/gui_custom_pixel_map.h"

namespace vb {

std::int32_t OversamplingFactor(TFontOversampling value) {
  static constexpr std::int32_t kFactors[] = {1, 2, 3, 4, 6, 8, 12, 16};
  return value <= fo16x ? kFactors[value] : 1;
}

// --- TGuiCustomFont ------------------------------------------------------------------

TGuiCustomFont::TGuiCustomFont() : FBlurFilter(std::make_unique<TGuiStackBlurFilter>()) {
  FShadow.SetOnChange([this](TGuiShadow&) { ShadowChanged(); });
}

TGuiCustomFont::~TGuiCustomFont() = default;

void TGuiCustomFont::SetAntialiasing(bool value) {
  if (value == FAntiAliasing) return;
  FAntiAliasing = value;
  AntialiasingChanged();
}

void TGuiCustomFont::SetAlpha(std::uint8_t value) {
  if (value == FAlpha) return;
  FAlpha = value;
  Changed();
}

void TGuiCustomFont::SetShadow(const TGuiShadow& value) {
  FShadow.Assign(value);
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

TGuiCustomGDIFont::TGuiCustomGDIFont(TTextRenderer* renderer)
    : FRenderer(renderer != nullptr ? renderer : &SystemTextRenderer()) {
  FBuffer.SetSize(8, 8);
  SelectFont();
}

TGuiCustomGDIFont::~TGuiCustomGDIFont() = default;

void TGuiCustomGDIFont::SetFont(const TFont& value) {
  FFont = value;
  FontChanged();
}

void TGuiCustomGDIFont::SetFontTurn(TFontTurn value) {
  if (value == FFontTurn) return;
  FFontTurn = value;
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

TTextExtent TGuiCustomGDIFont::MeasureScaled(std::string_view text) { return FRenderer->Measure(FSelected, text); }

TTextExtent TGuiCustomGDIFont::TextExtent(std::string_view text) {
  TTextExtent extent = MeasureScaled(text);
  const std::int32_t f = Factor();
  extent.Width /= f;
  extent.Height /= f;
  extent.Ascent /= f;
  return extent;
}

void TGuiCustomGDIFont::RenderCoverage(std::string_view text, const TTextExtent& extent, std::int32_t border) {
  // Sides are multiples of 4 and at least one pixel larger than needed.
  FBuffer.SetSize(((extent.Width + 2 * border) & ~3) + 4, ((extent.Height + 2 * border) & ~3) + 4);
  FBuffer.Clear();
  FRenderer->Draw(FSelected, text, FBuffer.RasterView(), border, border);
  if (Alpha() != 255) FBuffer.Multiply(Alpha());
}

void TGuiCustomGDIFont::Turn(TGuiCustomByteMap& map) const {
  if (FFontTurn == ftClockwise) map.Turn(false);
  if (FFontTurn == ftCounterClockwise) map.Turn(true);
}

void TGuiCustomGDIFont::TextOut(std::string_view text, TGuiCustomPixelMap* map, std::int32_t x, std::int32_t y) {
  const TTextExtent extent = MeasureScaled(text);
  if (extent.Width <= 0 || extent.Height <= 0) return;
  if (!Shadow().Visible()) {
    RenderCoverage(text, extent, 0);
    Downsample(FBuffer);
    Turn(FBuffer);
    DrawText(map, x, y, 0);
    return;
  }
  const std::int32_t f = Factor();
  // A border for the blur, in rendered pixels.
  const std::int32_t border =
      Oversampled() ? RoundToInt32(Shadow().Blur()) * f : RoundToInt32(double(Shadow().Blur()) + 0.5);
  RenderCoverage(text, extent, border);
  if (!FShadowBuffer) FShadowBuffer = std::make_unique<TGuiByteMapMemory>();
  FShadowBuffer->Assign(FBuffer);
  if (Shadow().Blur() > 0) {
    BlurFilter().SetRadius(float(f) * Shadow().Blur());
    BlurFilter().Filter(*FShadowBuffer);
    if (Oversampled() && Shadow().Saturation() != 0) SaturationFilter().Filter(*FShadowBuffer);
  }
  Downsample(*FShadowBuffer);
  Turn(*FShadowBuffer);
  DrawShadow(map, x, y, border);
  Downsample(FBuffer);
  Turn(FBuffer);
  DrawText(map, x, y, border);
}

void TGuiCustomGDIFont::DrawShadow(TGuiCustomPixelMap* map, std::int32_t x, std::int32_t y, std::int32_t border) {
  if (map == nullptr) return;
  const std::int32_t f = Factor();
  const std::int32_t left = x + Shadow().OffsetX() - border / f;
  const std::int32_t top = y + Shadow().OffsetY() - border / f;
  if (!Oversampled()) {
    map->DrawByteMap(*FShadowBuffer, ShadowColor(), left, top);
    return;
  }
  map->DrawByteMap(*FShadowBuffer, ShadowColor(),
                   TRect{left, top, x + Shadow().OffsetX() + (FShadowBuffer->Width() - border) / f,
                         y + Shadow().OffsetY() + (FShadowBuffer->Height() - border) / f});
}

void TGuiCustomGDIFont::DrawText(TGuiCustomPixelMap* map, std::int32_t x, std::int32_t y, std::int32_t border) {
  if (map == nullptr) return;
  const std::int32_t f = Factor();
  const TPixel32 color = ColorToPixel(FFont.Color);
  if (!Oversampled()) {
    map->DrawByteMap(FBuffer, color, x - border, y - border);
    return;
  }
  map->DrawByteMap(
      FBuffer, color,
      TRect{x - border / f, y - border / f, x + (FBuffer.Width() - border) / f, y + (FBuffer.Height() - border) / f});
}

// --- oversampling --------------------------------------------------------------------------

void BoxReduce(TGuiCustomByteMap& map, std::int32_t k) {
  std::uint8_t* data = map.DataPointer();
  if (data == nullptr) return;
  const std::int32_t w = map.Width();
  const std::int32_t outW = w / k, outH = map.Height() / k;
  const std::uint32_t area = std::uint32_t(k * k);
  // Output row i is written over input row i, which no later output reads.
  for (std::int32_t i = 0; i < outH; ++i) {
    for (std::int32_t j = 0; j < outW; ++j) {
      std::uint32_t sum = 0;
      for (std::int32_t r = 0; r < k; ++r) {
        const std::uint8_t* p = data + std::int64_t(k * i + r) * w + k * j;
        for (std::int32_t c = 0; c < k; ++c) sum += p[c];
      }
      data[std::int64_t(i) * w + j] = std::uint8_t(sum / area);
    }
  }
}

void TGuiCustomOversampledGDIFont::SetFontOversampling(TFontOversampling value) {
  if (value == FFontOversampling) return;
  FFontOversampling = value;
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

void TGuiCustomOversampledGDIFont::Downsample(TGuiCustomByteMap& map) {
  switch (FFontOversampling) {
    case foNone:
      break;
    case fo2x:
      BoxReduce(map, 2);
      break;
    case fo3x:
      BoxReduce(map, 3);
      break;
    case fo4x:
      BoxReduce(map, 4);
      break;
    case fo6x:
      BoxReduce(map, 3);
      BoxReduce(map, 2);
      break;
    case fo8x:
      BoxReduce(map, 4);
      BoxReduce(map, 2);
      break;
    case fo12x:
      BoxReduce(map, 4);
      BoxReduce(map, 3);
      break;
    case fo16x:
      BoxReduce(map, 4);
      BoxReduce(map, 4);
      break;
  }
}

}  // namespace vb
