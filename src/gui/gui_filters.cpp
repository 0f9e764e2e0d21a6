#include "gui/gui_filters.h"

#include <algorithm>
#include <cmath>

#include "gui/gui_rounding.h"
#include "image/gui_custom_byte_map.h"
#include "image/gui_custom_pixel_map.h"
#include "image/image_errors.h"

namespace vb {

void TGuiCustomBlurFilter::SetRadius(float Value) {
  if (!(Value > 0)) throw EControlError(TErrorCode::ecRadiusNotPositive);
  if (Value == FRadius) return;
  FRadius = Value;
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

void TGuiStackBlurFilter::Filter(TGuiCustomByteMap& ByteMap) {
  if (ByteMap.DataPointer() == nullptr) return;
  Blur(ByteMap.DataPointer(), ByteMap.Width(), ByteMap.Height(), 1, ByteMap.Width());
}

void TGuiStackBlurFilter::Filter(TGuiCustomPixelMap& PixelMap) {
  if (PixelMap.DataPointer() == nullptr) return;
  // The alpha byte is the fourth of each pixel.
  Blur(PixelMap.DataPointer()->Bytes() + 3, PixelMap.Width(), PixelMap.Height(), 4,
       std::ptrdiff_t(4) * PixelMap.Width());
}

void TGuiStackBlurFilter::Blur(std::uint8_t* Data, std::int32_t Width, std::int32_t Height, std::ptrdiff_t SampleStride,
                               std::ptrdiff_t RowStride) {
  if (FKernelSize < 1 || Width <= 0 || Height <= 0) return;
  PrepareDivideTable();
  FNext.resize(std::size_t(std::max(Width, Height)));
  BlurPass(Data, Width, Height, SampleStride, RowStride);
  BlurPass(Data, Height, Width, RowStride, SampleStride);
}

// One pass along Lines lines of Length samples each; samples are Step bytes
// apart, lines LineStep bytes apart. Running sums: Sum is the weighted window,
// Incoming the samples right of the centre, Outgoing those at and left of it;
// each step one sample enters and one leaves, so the radius costs nothing.
void TGuiStackBlurFilter::BlurPass(std::uint8_t* Data, std::int32_t Length, std::int32_t Lines, std::ptrdiff_t Step,
                                   std::ptrdiff_t LineStep) {
  const std::int32_t r = FKernelSize;
  const std::int32_t d = 2 * r + 1;
  const std::int64_t s = std::int64_t(r + 1) * (r + 1);
  const std::int32_t* divide = FDivideTable.empty() ? nullptr : FDivideTable.data();
  std::uint8_t* stack = FStack.data();
  std::int32_t* next = FNext.data();
  for (std::int32_t x = 0; x < Length; ++x) next[x] = std::min(x + r + 1, Length - 1);
  for (std::int32_t line = 0; line < Lines; ++line) {
    std::uint8_t* p = Data + line * LineStep;
    std::int64_t sum = 0, incoming = 0, outgoing = 0;
    for (std::int32_t i = -r; i <= r; ++i) {
      const std::int32_t sample = p[std::clamp(i, 0, Length - 1) * Step];
      stack[i + r] = std::uint8_t(sample);
      sum += std::int64_t(sample) * (r + 1 - std::abs(i));
      if (i > 0)
        incoming += sample;
      else
        outgoing += sample;
    }
    std::int32_t t = r;
    for (std::int32_t x = 0; x < Length; ++x) {
      p[x * Step] = std::uint8_t(divide != nullptr ? divide[sum] : sum / s);
      sum -= outgoing;
      // The oldest sample, leaving the window: (t - r) mod d without a division.
      std::int32_t k = t + r + 1;
      if (k >= d) k -= d;
      outgoing -= stack[k];
      const std::int32_t entering = p[next[x] * Step];
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

void TGuiSaturationFilter::SetValue(float Value) {
  if (std::isnan(Value) || Value == FValue) return;
  FValue = Value;
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

void TGuiSaturationFilter::Filter(TGuiCustomByteMap& ByteMap) {
  std::uint8_t* p = ByteMap.DataPointer();
  if (p == nullptr) return;
  const std::int64_t count = std::int64_t(ByteMap.Width()) * ByteMap.Height();
  for (std::int64_t i = 0; i < count; ++i) p[i] = FLookUpTable[p[i]];
}

void TGuiSaturationFilter::Filter(TGuiCustomPixelMap& PixelMap) {
  if (PixelMap.DataPointer() == nullptr) return;
  std::uint8_t* p = PixelMap.DataPointer()->Bytes();
  const std::int64_t count = std::int64_t(PixelMap.DataSize());
  for (std::int64_t i = 0; i < count; ++i) p[i] = FLookUpTable[p[i]];
}

}  // namespace vb
