#pragma once
// One 32-bit pixel: bytes in memory blue, green, red, alpha; read as one
// little-endian value it is 0xAARRGGBB. Colours are not premultiplied by
// alpha; alpha 0 is fully transparent, 255 opaque.

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "platform/canvas.h"

namespace vb {

// A trivial type, so that pixel storage can be a plain block of memory:
// TPixel32{} is transparent black, a default-constructed one is
// uninitialised.
struct TPixel32 {
  std::uint8_t B;
  std::uint8_t G;
  std::uint8_t R;
  std::uint8_t A;

  // The four bytes as the value 0xAARRGGBB.
  constexpr std::uint32_t ARGB() const {
    return std::uint32_t(B) | (std::uint32_t(G) << 8) | (std::uint32_t(R) << 16) | (std::uint32_t(A) << 24);
  }
  constexpr void SetARGB(std::uint32_t Value) {
    B = std::uint8_t(Value);
    G = std::uint8_t(Value >> 8);
    R = std::uint8_t(Value >> 16);
    A = std::uint8_t(Value >> 24);
  }
  // The bytes in memory order B, G, R, A.
  std::uint8_t* Bytes() { return reinterpret_cast<std::uint8_t*>(this); }
  const std::uint8_t* Bytes() const { return reinterpret_cast<const std::uint8_t*>(this); }

  friend constexpr bool operator==(const TPixel32&, const TPixel32&) = default;
};
static_assert(sizeof(TPixel32) == 4, "TPixel32 must be exactly four bytes");
static_assert(std::is_trivial_v<TPixel32>, "pixel storage is handled as raw memory");

using PPixel32 = TPixel32*;
using PPixel32Array = TPixel32*;

// A pixel from its 0xAARRGGBB value.
constexpr TPixel32 Pixel32(std::uint32_t Argb) {
  return TPixel32{std::uint8_t(Argb), std::uint8_t(Argb >> 8), std::uint8_t(Argb >> 16), std::uint8_t(Argb >> 24)};
}
constexpr TPixel32 Pixel32(std::uint8_t A, std::uint8_t R, std::uint8_t G, std::uint8_t B) {
  return TPixel32{B, G, R, A};
}

// Turns a platform colour (0x00BBGGRR, or negative for a system colour) into
// an opaque pixel.
TPixel32 ColorToPixel(TColor Color);

}  // namespace vb
