#include "png/png_row_transfer.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vb {
namespace {

inline uint16_t Sample16(const uint8_t* P) { return uint16_t(P[0] << 8 | P[1]); }

inline void Store(TPixel32* D, uint8_t R, uint8_t G, uint8_t B, uint8_t A) {
  const uint32_t v = uint32_t(B) | uint32_t(G) << 8 | uint32_t(R) << 16 | uint32_t(A) << 24;
  std::memcpy(static_cast<void*>(D), &v, 4);
}

}  // namespace

template <int kBits>
void TransferIndexedRow(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination, uint32_t Count) {
  const TPixel32* table = Coder.PixelTable().data();
  if constexpr (kBits == 8) {
    for (uint32_t x = 0; x < Count; ++x) Destination[x] = table[Source[x]];
  } else {
    constexpr int kPerByte = 8 / kBits;
    constexpr unsigned kMask = (1u << kBits) - 1;
    uint32_t x = 0;
    for (; x + kPerByte <= Count; x += kPerByte) {
      const unsigned byte = *Source++;
      for (int k = 0; k < kPerByte; ++k) Destination[x + uint32_t(k)] = table[(byte >> (8 - kBits * (k + 1))) & kMask];
    }
    if (x < Count) {
      const unsigned byte = *Source;
      for (int k = 0; x < Count; ++k, ++x) Destination[x] = table[(byte >> (8 - kBits * (k + 1))) & kMask];
    }
  }
}

template void TransferIndexedRow<1>(const TCustomPngCoder&, const uint8_t*, TPixel32*, uint32_t);
template void TransferIndexedRow<2>(const TCustomPngCoder&, const uint8_t*, TPixel32*, uint32_t);
template void TransferIndexedRow<4>(const TCustomPngCoder&, const uint8_t*, TPixel32*, uint32_t);
template void TransferIndexedRow<8>(const TCustomPngCoder&, const uint8_t*, TPixel32*, uint32_t);

void TransferGray16Row(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination, uint32_t Count) {
  const uint8_t* t = Coder.MappingTable().data();
  const bool keyed = Coder.HasKeyColor();
  const uint16_t key = Coder.KeyRed();
  for (uint32_t x = 0; x < Count; ++x, Source += 2) {
    const uint8_t v = t[Source[0]];
    Store(Destination + x, v, v, v, keyed && Sample16(Source) == key ? 0 : 255);
  }
}

void TransferGrayAlpha8Row(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination, uint32_t Count) {
  const uint8_t* t = Coder.MappingTable().data();
  for (uint32_t x = 0; x < Count; ++x, Source += 2) {
    const uint8_t v = t[Source[0]];
    Store(Destination + x, v, v, v, Source[1]);
  }
}

void TransferGrayAlpha16Row(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination,
                            uint32_t Count) {
  const uint8_t* t = Coder.MappingTable().data();
  for (uint32_t x = 0; x < Count; ++x, Source += 4) {
    const uint8_t v = t[Source[0]];
    Store(Destination + x, v, v, v, Source[2]);
  }
}

void TransferTrueColor8Row(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination, uint32_t Count) {
  const uint8_t* t = Coder.MappingTable().data();
  if (Coder.HasKeyColor()) {
    const uint16_t kr = Coder.KeyRed(), kg = Coder.KeyGreen(), kb = Coder.KeyBlue();
    for (uint32_t x = 0; x < Count; ++x, Source += 3) {
      const bool key = Source[0] == kr && Source[1] == kg && Source[2] == kb;
      Store(Destination + x, t[Source[0]], t[Source[1]], t[Source[2]], key ? 0 : 255);
    }
  } else if (Coder.MappingIsIdentity()) {
    // R G B and the next pixel's first byte read as one word, byte-swapped
    // to B G R in the low three bytes. The last pixel has no next byte.
    uint32_t x = 0;
    for (; x + 1 < Count; ++x, Source += 3) {
      uint32_t v;
      std::memcpy(&v, Source, 4);
      v = (__builtin_bswap32(v) >> 8) | 0xFF000000u;
      std::memcpy(static_cast<void*>(Destination + x), &v, 4);
    }
    if (x < Count) Store(Destination + x, Source[0], Source[1], Source[2], 255);
  } else {
    for (uint32_t x = 0; x < Count; ++x, Source += 3)
      Store(Destination + x, t[Source[0]], t[Source[1]], t[Source[2]], 255);
  }
}

void TransferTrueColor16Row(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination,
                            uint32_t Count) {
  const uint8_t* t = Coder.MappingTable().data();
  const bool keyed = Coder.HasKeyColor();
  const uint16_t kr = Coder.KeyRed(), kg = Coder.KeyGreen(), kb = Coder.KeyBlue();
  for (uint32_t x = 0; x < Count; ++x, Source += 6) {
    const bool key = keyed && Sample16(Source) == kr && Sample16(Source + 2) == kg && Sample16(Source + 4) == kb;
    Store(Destination + x, t[Source[0]], t[Source[2]], t[Source[4]], key ? 0 : 255);
  }
}

void TransferTrueColorAlpha8Row(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination,
                                uint32_t Count) {
  if (Coder.MappingIsIdentity()) {
    // RGBA to BGRA: swap the red and blue bytes of each 32-bit word.
    uint32_t x = 0;
#if defined(__SSE2__)
    const __m128i keep = _mm_set1_epi32(int(0xFF00FF00u)), low = _mm_set1_epi32(0xFF);
    for (; x + 4 <= Count; x += 4) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Source + 4 * x));
      const __m128i swapped = _mm_or_si128(
          _mm_and_si128(v, keep),
          _mm_or_si128(_mm_and_si128(_mm_srli_epi32(v, 16), low), _mm_slli_epi32(_mm_and_si128(v, low), 16)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(Destination + x), swapped);
    }
#endif
    for (; x < Count; ++x) {
      uint32_t v;
      std::memcpy(&v, Source + 4 * x, 4);
      v = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
      std::memcpy(static_cast<void*>(Destination + x), &v, 4);
    }
    return;
  }
  const uint8_t* t = Coder.MappingTable().data();
  for (uint32_t x = 0; x < Count; ++x, Source += 4)
    Store(Destination + x, t[Source[0]], t[Source[1]], t[Source[2]], Source[3]);
}

void TransferTrueColorAlpha16Row(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination,
                                 uint32_t Count) {
  const uint8_t* t = Coder.MappingTable().data();
  for (uint32_t x = 0; x < Count; ++x, Source += 8)
    Store(Destination + x, t[Source[0]], t[Source[2]], t[Source[4]], Source[6]);
}

}  // namespace vb
