#include "gui/gui_filters.h"

#include <algorithm>
#include <cmath>

#include "gui/gui_rounding.h"
#include "image/gui_custom_byte_map.h"
#include "image/gui_custom_pixel_map.h"
#include "image/image_errors.h"

namespace vb {

void TGuiCustomBlurFilter::SetRadius(float value) {
  if (!(value > 0)) throw EControlError(TErrorCode::ecRadiusNotPositive);
  if (value == FRadius) return;
  FRadius = value;
  RadiusChanged();
}

TGuiStackBlurFilter::TGuiStackBlurFilter() = default;

void TGuiStackBlurFilter::RadiusChanged() {
  FKernelSize = std::min(RoundToInt32(Radius()), kMaxKernel);
  KernelSizeChanged();
}

void TGuiStackBlurFilter::PrepareDivideTable() {
  if (FDivideTableKernel == FKernelSize) return;
  const std::int64_t s = std::int64_t(FKernelSize + 1) * (FKernelSize + 1);
  // Larger kernels divide directly: their table would take megabytes.
  FDivideTable.resize(FKernelSize <= kMaxTableKernel ? std::size_t(256 * s) : 0);
  for (std::size_t i = 0; i < FDivideTable.size(); ++i) FDivideTable[i] = std::int32_t(std::int64_t(i) / s);
  FStack.assign(std::size_t(2 * FKernelSize + 1), 0);
  FDivideTableKernel = FKernelSize;
}

void TGuiStackBlurFilter::Filter(TGuiCustomByteMap& byteMap) {
  if (byteMap.DataPointer() == nullptr) return;
  Blur(byteMap.DataPointer(), byteMap.Width(), byteMap.Height(), 1, byteMap.Width());
}

void TGuiStackBlurFilter::Filter(TGuiCustomPixelMap& pixelMap) {
  if (pixelMap.DataPointer() == nullptr) return;
  // The alpha byte is the fourth of each pixel.
  Blur(pixelMap.DataPointer()->Bytes() + 3, pixelMap.Width(), pixelMap.Height(), 4,
       std::ptrdiff_t(4) * pixelMap.Width());
}

void TGuiStackBlurFilter::Blur(std::uint8_t* data, std::int32_t width, std::int32_t height, std::ptrdiff_t sampleStride,
                               std::ptrdiff_t rowStride) {
  if (FKernelSize < 1 || width <= 0 || height <= 0) return;
  PrepareDivideTable();
  FNext.resize(std::size_t(std::max(width, height)));
  BlurPass(data, width, height, sampleStride, rowStride);
  BlurPass(data, height, width, rowStride, sampleStride);
}

// One pass along Lines lines of Length samples each; samples are Step bytes
// apart, lines LineStep bytes apart. Running sums: Sum is the weighted window,
// Incoming the samples right of the centre, Outgoing those at and left of it;
// each step one sample enters and one leaves, so the radius costs nothing.
void TGuiStackBlurFilter::BlurPass(std::uint8_t* data, std::int32_t length, std::int32_t lines, std::ptrdiff_t step,
                                   std::ptrdiff_t lineStep) {
  const std::int32_t r = FKernelSize;
  const std::int32_t d = 2 * r + 1;
  const std::int64_t s = std::int64_t(r + 1) * (r + 1);
  const std::int32_t* divide = FDivideTable.empty() ? nullptr : FDivideTable.data();
  std::uint8_t* stack = FStack.data();
  std::int32_t* next = FNext.data();
  for (std::int32_t x = 0; x < length; ++x) next[x] = std::min(x + r + 1, length - 1);
  for (std::int32_t line = 0; line < lines; ++line) {
    std::uint8_t* p = data + line * lineStep;
    std::int64_t sum = 0, incoming = 0, outgoing = 0;
    for (std::int32_t i = -r; i <= r; ++i) {
      const std::int32_t sample = p[std::clamp(i, 0, length - 1) * step];
      stack[i + r] = std::uint8_t(sample);
      sum += std::int64_t(sample) * (r + 1 - std::abs(i));
      if (i > 0)
        incoming += sample;
      else
        outgoing += sample;
    }
    std::int32_t t = r;
    for (std::int32_t x = 0; x < length; ++x) {
      p[x * step] = std::uint8_t(divide != nullptr ? divide[sum] : sum / s);
      sum -= outgoing;
      // The oldest sample, leaving the window: (t - r) mod d without a division.
      std::int32_t k = t + r + 1;
      if (k >= d) k -= d;
      outgoing -= stack[k];
      const std::int32_t entering = p[next[x] * step];
      stack[k] = std::uint8_t(entering);
      incoming += entering;
      sum += incoming;
      t = t + 1 == d ? 0 : t + 1;
      outgoing += stack[t];
      incoming -= stack[t];
    }
  }
}

TGuiSaturationFilter::TGuiSaturationFilter() { BuildLookUpTable(); }

void TGuiSaturationFilter::SetValue(float value) {
  if (std::isnan(value) || value == FValue) return;
  FValue = value;
  SaturationChanged();
}

void TGuiSaturationFilter::BuildLookUpTable() {
  const double v = FValue;
  const double k = 1.0 - 2.0 * (std::fabs(v) + 1.0) / (std::fabs(v) + v + 1.0);
  for (std::int32_t i = 0; i < 256; ++i) {
    const double entry = 255.0 * i / (i - k * (255 - i));
    FLookUpTable[std::size_t(i)] = std::uint8_t(std::clamp(RoundToInt32(entry), 0, 255));
  }
}

void TGuiSaturationFilter::Filter(TGuiCustomByteMap& byteMap) {
  std::uint8_t* p = byteMap.DataPointer();
  if (p == nullptr) return;
  const std::int64_t count = std::int64_t(byteMap.Width()) * byteMap.Height();
  for (std::int64_t i = 0; i < count; ++i) p[i] = FLookUpTable[p[i]];
}

void TGuiSaturationFilter::Filter(TGuiCustomPixelMap& pixelMap) {
  if (pixelMap.DataPointer() == nullptr) return;
  std::uint8_t* p = pixelMap.DataPointer()->Bytes();
  const std::int64_t count = std::int64_t(pixelMap.DataSize());
  for (std::int64_t i = 0; i < count; ++i) p[i] = FLookUpTable[p[i]];
}

}  // namespace vb
