#include "png/png_unfilter_sse2.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vb {

#if defined(__SSE2__)
namespace {

// Blocks of four pixels are handled in a "4-byte layout": pixel k of the
// block sits in bytes 4k..4k+3 of one register. A 3-byte pixel leaves byte
// 4k+3 free; whatever lands there is never stored. So one kernel per filter
// serves RGB and RGBA.

inline __m128i Load32(const uint8_t* P) {
  int v;
  std::memcpy(&v, P, 4);
  return _mm_cvtsi32_si128(v);
}

// Reads the 4 * kBpp bytes of a block (RGB: 13 bytes, the last one unused).
template <size_t kBpp>
inline __m128i Gather(const uint8_t* P) {
  if constexpr (kBpp == 4) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
  } else {
    const __m128i p01 = _mm_unpacklo_epi32(Load32(P), Load32(P + 3));
    const __m128i p23 = _mm_unpacklo_epi32(Load32(P + 6), Load32(P + 9));
    return _mm_unpacklo_epi64(p01, p23);
  }
}

// Writes exactly the 4 * kBpp bytes of a block. RGB pixels are packed
// together in the register first; overlapping 4-byte stores would write
// past the block and stall the next block's load.
template <size_t kBpp>
inline void Scatter(uint8_t* P, __m128i V) {
  if constexpr (kBpp == 4) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(P), V);
  } else {
    // Within each 64-bit half: p0 in bytes 0..2, p1 moved down to 3..5.
    const __m128i low = _mm_and_si128(V, _mm_set1_epi64x(0x0000000000FFFFFFll));
    const __m128i high = _mm_and_si128(_mm_srli_epi64(V, 8), _mm_set1_epi64x(0x0000FFFFFF000000ll));
    const __m128i pairs = _mm_or_si128(low, high);
    const __m128i packed = _mm_or_si128(_mm_move_epi64(pairs), _mm_slli_si128(_mm_srli_si128(pairs, 8), 6));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(P), packed);
    const int tail = _mm_cvtsi128_si32(_mm_srli_si128(packed, 8));
    std::memcpy(P + 8, &tail, 4);
  }
}

// Sub: a running sum of pixels, four at a time by two shifted additions.
struct TSubKernel {
  __m128i Last = _mm_setzero_si128();  // the previous output pixel, in all four slots

  __m128i Block(__m128i X, __m128i) {
    __m128i s = _mm_add_epi8(X, _mm_slli_si128(X, 4));
    s = _mm_add_epi8(s, _mm_slli_si128(s, 8));
    s = _mm_add_epi8(s, Last);
    Last = _mm_shuffle_epi32(s, 0xFF);
    return s;
  }
};

// Average: x + floor((a + b) / 2). The byte average instruction rounds up,
// but on complements it rounds the right way: floor((a + b) / 2) =
// ~avg(~a, ~b). Carrying ~a from pixel to pixel, ~out = avg(~a, ~b) - x,
// leaves two operations on the chain.
struct TAverageKernel {
  __m128i NotLast = _mm_set1_epi32(-1);  // ~previous output pixel (0 before the first), slot 0

  __m128i Block(__m128i X, __m128i P) {
    const __m128i notB = _mm_xor_si128(P, _mm_set1_epi32(-1));
    const __m128i n0 = _mm_sub_epi8(_mm_avg_epu8(NotLast, notB), X);
    const __m128i n1 = _mm_sub_epi8(_mm_avg_epu8(n0, _mm_srli_si128(notB, 4)), _mm_srli_si128(X, 4));
    const __m128i n2 = _mm_sub_epi8(_mm_avg_epu8(n1, _mm_srli_si128(notB, 8)), _mm_srli_si128(X, 8));
    const __m128i n3 = _mm_sub_epi8(_mm_avg_epu8(n2, _mm_srli_si128(notB, 12)), _mm_srli_si128(X, 12));
    NotLast = n3;
    const __m128i all = _mm_unpacklo_epi64(_mm_unpacklo_epi32(n0, n1), _mm_unpacklo_epi32(n2, n3));
    return _mm_xor_si128(all, _mm_set1_epi32(-1));
  }
};

// Paeth. With t = a - c and d = b - c the predictor's choice depends on t
// only through thresholds set by b and c:  let D = |d| and u = t when
// d >= 0, u = -t otherwise; then a when u >= D or u <= -2D, else b when
// 2u >= -D, else c (ties as the definition breaks them). Everything but
// three comparisons against a is computed ahead, so a pixel costs about
// seven dependent operations. Values are 16-bit lanes; a block's pixels
// are taken in pairs, one pixel per 64-bit half.
struct TPaethTerms {
  __m128i Sign;       // all ones where d < 0
  __m128i AtLeastD;   // u >= D  <=>  (a ^ Sign) > AtLeastD
  __m128i AtMost2D;   // u <= -2D  <=>  AtMost2D > (a ^ Sign)
  __m128i AboveHalf;  // 2u >= -D  <=>  (a ^ Sign) > AboveHalf
  __m128i X;          // the filtered samples
  __m128i XPlusC;     // (x + c) mod 256
  __m128i CToB;       // (x + c) ^ (x + b), mod 256
};

inline TPaethTerms PaethTerms(__m128i X, __m128i B, __m128i C) {
  const __m128i ones = _mm_set1_epi16(1), byte = _mm_set1_epi16(0xFF);
  const __m128i d = _mm_sub_epi16(B, C);
  const __m128i sign = _mm_srai_epi16(d, 15);
  const __m128i absD = _mm_sub_epi16(_mm_xor_si128(d, sign), sign);
  // (a ^ Sign) - (c ^ Sign) is u, so each test on u becomes a ^ Sign
  // against c ^ Sign moved by a constant.
  const __m128i cs = _mm_xor_si128(C, sign);
  TPaethTerms t;
  t.Sign = sign;
  t.AtLeastD = _mm_sub_epi16(_mm_add_epi16(cs, absD), ones);
  t.AtMost2D = _mm_add_epi16(_mm_sub_epi16(cs, _mm_add_epi16(absD, absD)), ones);
  t.AboveHalf = _mm_add_epi16(cs, _mm_xor_si128(_mm_srli_epi16(absD, 1), _mm_set1_epi16(-1)));
  t.X = X;
  t.XPlusC = _mm_and_si128(_mm_add_epi16(X, C), byte);
  t.CToB = _mm_xor_si128(t.XPlusC, _mm_and_si128(_mm_add_epi16(X, B), byte));
  return t;
}

inline __m128i PaethStep(__m128i A, const TPaethTerms& T) {
  const __m128i as = _mm_xor_si128(A, T.Sign);
  const __m128i takeA = _mm_or_si128(_mm_cmpgt_epi16(as, T.AtLeastD), _mm_cmpgt_epi16(T.AtMost2D, as));
  const __m128i takeB = _mm_cmpgt_epi16(as, T.AboveHalf);
  const __m128i viaBC = _mm_xor_si128(T.XPlusC, _mm_and_si128(T.CToB, takeB));
  const __m128i viaA = _mm_and_si128(_mm_add_epi16(T.X, A), _mm_set1_epi16(0xFF));
  return _mm_or_si128(_mm_and_si128(takeA, viaA), _mm_andnot_si128(takeA, viaBC));
}

// Low 64 bits from Low, high 64 bits from High.
inline __m128i Halves(__m128i Low, __m128i High) {
  return _mm_castpd_si128(_mm_move_sd(_mm_castsi128_pd(High), _mm_castsi128_pd(Low)));
}

struct TPaethKernel {
  __m128i LastOut = _mm_setzero_si128();  // 16-bit lanes; the last pixel in the high half
  __m128i LastB = _mm_setzero_si128();    // the previous block of the row above

  __m128i Block(__m128i X, __m128i P) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i c = _mm_or_si128(_mm_slli_si128(P, 4), _mm_srli_si128(LastB, 12));
    LastB = P;
    const TPaethTerms lo =
        PaethTerms(_mm_unpacklo_epi8(X, zero), _mm_unpacklo_epi8(P, zero), _mm_unpacklo_epi8(c, zero));
    const TPaethTerms hi =
        PaethTerms(_mm_unpackhi_epi8(X, zero), _mm_unpackhi_epi8(P, zero), _mm_unpackhi_epi8(c, zero));
    // The left neighbour is copied into both halves before each step.
    const __m128i o0 = PaethStep(_mm_shuffle_epi32(LastOut, 0xEE), lo);
    const __m128i o1 = PaethStep(_mm_shuffle_epi32(o0, 0x44), lo);
    const __m128i o2 = PaethStep(_mm_shuffle_epi32(o1, 0xEE), hi);
    const __m128i o3 = PaethStep(_mm_shuffle_epi32(o2, 0x44), hi);
    LastOut = o3;
    return _mm_packus_epi16(Halves(o0, o1), Halves(o2, o3));
  }
};

template <class TKernel, size_t kBpp>
void UnfilterBlocks(uint8_t* Row, const uint8_t* Prev, size_t N) {
  constexpr size_t kStep = 4 * kBpp;
  TKernel kernel;
  size_t i = 0;
  for (; i + 16 <= N; i += kStep) Scatter<kBpp>(Row + i, kernel.Block(Gather<kBpp>(Row + i), Gather<kBpp>(Prev + i)));
  if (i == N) return;
  // The last pixels (under 16 bytes) go through a zero-padded copy, so no
  // block reads or writes past the row.
  alignas(16) uint8_t row[32] = {}, prev[32] = {};
  const size_t rest = N - i;
  std::memcpy(row, Row + i, rest);
  std::memcpy(prev, Prev + i, rest);
  for (size_t j = 0; j < rest; j += kStep)
    Scatter<kBpp>(row + j, kernel.Block(Gather<kBpp>(row + j), Gather<kBpp>(prev + j)));
  std::memcpy(Row + i, row, rest);
}

void UnfilterUp(uint8_t* Row, const uint8_t* Prev, size_t N) {
  size_t i = 0;
  for (; i + 16 <= N; i += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Row + i));
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Prev + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Row + i), _mm_add_epi8(x, p));
  }
  for (; i < N; ++i) Row[i] = uint8_t(Row[i] + Prev[i]);
}

template <size_t kBpp>
bool UnfilterPixels(uint8_t FilterType, uint8_t* Row, const uint8_t* Prev, size_t N) {
  switch (FilterType) {
    case 1:
      UnfilterBlocks<TSubKernel, kBpp>(Row, Prev, N);
      return true;
    case 3:
      UnfilterBlocks<TAverageKernel, kBpp>(Row, Prev, N);
      return true;
    case 4:
      UnfilterBlocks<TPaethKernel, kBpp>(Row, Prev, N);
      return true;
    default:
      return false;
  }
}

}  // namespace

bool UnfilterRowSse2(uint8_t FilterType, uint8_t* Row, const uint8_t* Prev, size_t N, size_t Bpp) {
  if (FilterType == 2) {
    UnfilterUp(Row, Prev, N);
    return true;
  }
  if (Bpp == 4 && N % 4 == 0) return UnfilterPixels<4>(FilterType, Row, Prev, N);
  if (Bpp == 3 && N % 3 == 0) return UnfilterPixels<3>(FilterType, Row, Prev, N);
  return false;
}

#else

bool UnfilterRowSse2(uint8_t, uint8_t*, const uint8_t*, size_t, size_t) { return false; }

#endif

}  // namespace vb
