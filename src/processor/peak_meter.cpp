#include "processor/peak_meter.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace vb {

namespace {

constexpr float kDecibelScale = std::bit_cast<float>(0x40C0A7D6u);  // 6.0204878
constexpr float kC0 = std::bit_cast<float>(0xBDA8360Eu);
constexpr float kC1 = std::bit_cast<float>(0x3F2654DEu);
constexpr float kC2 = std::bit_cast<float>(0xC008965Fu);
constexpr float kC3 = std::bit_cast<float>(0x4082C3F8u);
constexpr float kC4 = std::bit_cast<float>(0xBFC28A30u);

}  // namespace

void TPeakFollower::DropNonFinite() {
  if (!std::isfinite(FPeak.Load())) FPeak.Store(0.0f);
}

float PeakToDecibel(float Peak) {
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(Peak);
  const int exponent = static_cast<int>((bits >> 23) & 255) - 128;
  const double m = std::bit_cast<float>((bits & 0x807FFFFFu) + 0x3F800000u);
  const double polynomial = ((kC0 * m + kC1) * m + kC2) * m + kC3;
  const float log2 = static_cast<float>(exponent + polynomial * m + kC4);
  return static_cast<float>(static_cast<double>(kDecibelScale) * log2);
}

}  // namespace vb
