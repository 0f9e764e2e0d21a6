#include "png/png_filters.h"

#include <cstdlib>
#include <cstring>

#include "error/error.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vb {
namespace {

void UnfilterSub(uint8_t* x, size_t n, size_t bpp) {
  for (size_t i = bpp; i < n; ++i) x[i] = uint8_t(x[i] + x[i - bpp]);
}

void UnfilterUp(uint8_t* x, const uint8_t* p, size_t n) {
  for (size_t i = 0; i < n; ++i) x[i] = uint8_t(x[i] + p[i]);
}

void UnfilterAverage(uint8_t* x, const uint8_t* p, size_t n, size_t bpp) {
  const size_t head = bpp < n ? bpp : n;
  for (size_t i = 0; i < head; ++i) x[i] = uint8_t(x[i] + (p[i] >> 1));
  for (size_t i = bpp; i < n; ++i) x[i] = uint8_t(x[i] + ((unsigned(x[i - bpp]) + p[i]) >> 1));
}

void UnfilterPaethScalar(uint8_t* x, const uint8_t* p, size_t n, size_t bpp) {
  const size_t head = bpp < n ? bpp : n;
  for (size_t i = 0; i < head; ++i) x[i] = uint8_t(x[i] + p[i]);
  for (size_t i = bpp; i < n; ++i) x[i] = uint8_t(x[i] + PaethPredictor(x[i - bpp], p[i], p[i - bpp]));
}

#if defined(__SSE2__)
// One pixel of 3 or 4 bytes per step, with a, b, c widened to 16 bits, so
// the three distances and the choice are computed for all channels at once.
inline __m128i Load4(const uint8_t* p) {
  int v;
  std::memcpy(&v, p, 4);
  return _mm_cvtsi32_si128(v);
}
// Three bytes assembled in a register: a 3-byte copy through memory would
// stall store forwarding on every pixel.
inline __m128i Load3(const uint8_t* p) {
  return _mm_cvtsi32_si128(int(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16));
}
inline void Store4(uint8_t* p, __m128i v) {
  const int w = _mm_cvtsi128_si32(v);
  std::memcpy(p, &w, 4);
}
inline void Store3(uint8_t* p, __m128i v) {
  const uint32_t w = uint32_t(_mm_cvtsi128_si32(v));
  p[0] = uint8_t(w);
  p[1] = uint8_t(w >> 8);
  p[2] = uint8_t(w >> 16);
}
inline __m128i Abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }
inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
  return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

template <size_t kBpp>
void UnfilterPaethSse2(uint8_t* x, const uint8_t* p, size_t n) {
  const __m128i zero = _mm_setzero_si128();
  __m128i a = zero, c = zero;
  for (size_t i = 0; i + kBpp <= n; i += kBpp) {
    const __m128i b = _mm_unpacklo_epi8(kBpp == 4 ? Load4(p + i) : Load3(p + i), zero);
    const __m128i d = kBpp == 4 ? Load4(x + i) : Load3(x + i);
    __m128i pa = _mm_sub_epi16(b, c);
    __m128i pb = _mm_sub_epi16(a, c);
    __m128i pc = _mm_add_epi16(pa, pb);
    pa = Abs16(pa);
    pb = Abs16(pb);
    pc = Abs16(pc);
    const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
    const __m128i pred = Select(_mm_cmpeq_epi16(smallest, pa), a, Select(_mm_cmpeq_epi16(smallest, pb), b, c));
    const __m128i out = _mm_add_epi8(d, _mm_packus_epi16(pred, pred));
    if (kBpp == 4)
      Store4(x + i, out);
    else
      Store3(x + i, out);
    a = _mm_unpacklo_epi8(out, zero);
    c = b;
  }
}
#endif

#if defined(__SSE2__)
// Sub and Average carry a dependency from pixel to pixel; one pixel per step
// in a register still beats the byte loop several times over.
template <size_t kBpp>
void UnfilterSubSse2(uint8_t* x, size_t n) {
  __m128i a = _mm_setzero_si128();
  for (size_t i = 0; i + kBpp <= n; i += kBpp) {
    a = _mm_add_epi8(a, kBpp == 4 ? Load4(x + i) : Load3(x + i));
    if (kBpp == 4)
      Store4(x + i, a);
    else
      Store3(x + i, a);
  }
}

template <size_t kBpp>
void UnfilterAverageSse2(uint8_t* x, const uint8_t* p, size_t n) {
  const __m128i zero = _mm_setzero_si128();
  __m128i a = zero;
  for (size_t i = 0; i + kBpp <= n; i += kBpp) {
    const __m128i b = _mm_unpacklo_epi8(kBpp == 4 ? Load4(p + i) : Load3(p + i), zero);
    const __m128i avg = _mm_srli_epi16(_mm_add_epi16(a, b), 1);
    const __m128i d = kBpp == 4 ? Load4(x + i) : Load3(x + i);
    const __m128i out = _mm_add_epi8(d, _mm_packus_epi16(avg, avg));
    if (kBpp == 4)
      Store4(x + i, out);
    else
      Store3(x + i, out);
    a = _mm_unpacklo_epi8(out, zero);
  }
}
#endif

void UnfilterPaeth(uint8_t* x, const uint8_t* p, size_t n, size_t bpp) {
#if defined(__SSE2__)
  if (bpp == 4 && n % 4 == 0) return UnfilterPaethSse2<4>(x, p, n);
  if (bpp == 3 && n % 3 == 0) return UnfilterPaethSse2<3>(x, p, n);
#endif
  UnfilterPaethScalar(x, p, n, bpp);
}

uint64_t Cost(const uint8_t* y, size_t n) {
  uint64_t sum = 0;
  for (size_t i = 0; i < n; ++i) sum += y[i];
  return sum;
}

}  // namespace

uint8_t PaethPredictor(uint8_t A, uint8_t B, uint8_t C) {
  const int pa = std::abs(int(B) - int(C));
  const int pb = std::abs(int(A) - int(C));
  const int pc = std::abs(int(A) + int(B) - 2 * int(C));
  if (pa <= pb && pa <= pc) return A;
  return pb <= pc ? B : C;
}

void UnfilterRow(uint8_t FilterType, uint8_t* Row, const uint8_t* Prev, size_t N, size_t Bpp) {
#if defined(__SSE2__)
  if ((Bpp == 4 && N % 4 == 0) || (Bpp == 3 && N % 3 == 0)) {
    if (FilterType == pftSub) return Bpp == 4 ? UnfilterSubSse2<4>(Row, N) : UnfilterSubSse2<3>(Row, N);
    if (FilterType == pftAverage)
      return Bpp == 4 ? UnfilterAverageSse2<4>(Row, Prev, N) : UnfilterAverageSse2<3>(Row, Prev, N);
  }
#endif
  switch (FilterType) {
    case pftNone:
      return;
    case pftSub:
      return UnfilterSub(Row, N, Bpp);
    case pftUp:
      return UnfilterUp(Row, Prev, N);
    case pftAverage:
      return UnfilterAverage(Row, Prev, N, Bpp);
    case pftPaeth:
      return UnfilterPaeth(Row, Prev, N, Bpp);
    default:
      throw EPngError(TErrorCode::ecUnsupportedFilter);
  }
}

uint64_t FilterRow(uint8_t FilterType, const uint8_t* x, const uint8_t* p, uint8_t* y, size_t n, size_t bpp) {
  const size_t head = bpp < n ? bpp : n;
  switch (FilterType) {
    case pftNone:
      std::memcpy(y, x, n);
      break;
    case pftSub:
      std::memcpy(y, x, head);
      for (size_t i = bpp; i < n; ++i) y[i] = uint8_t(x[i] - x[i - bpp]);
      break;
    case pftUp:
      for (size_t i = 0; i < n; ++i) y[i] = uint8_t(x[i] - p[i]);
      break;
    case pftAverage:
      for (size_t i = 0; i < head; ++i) y[i] = uint8_t(x[i] - (p[i] >> 1));
      for (size_t i = bpp; i < n; ++i) y[i] = uint8_t(x[i] - ((unsigned(x[i - bpp]) + p[i]) >> 1));
      break;
    case pftPaeth:
      for (size_t i = 0; i < head; ++i) y[i] = uint8_t(x[i] - p[i]);
      for (size_t i = bpp; i < n; ++i) y[i] = uint8_t(x[i] - PaethPredictor(x[i - bpp], p[i], p[i - bpp]));
      break;
    default:
      throw EPngError(TErrorCode::ecUnsupportedFilter);
  }
  return Cost(y, n);
}

uint8_t ChooseRowFilter(const uint8_t* Row, const uint8_t* Prev, uint8_t* Out, uint8_t* Work, size_t N, size_t Bpp) {
  Out[0] = pftNone;
  std::memcpy(Out + 1, Row, N);
  uint64_t best = Cost(Row, N);
  for (uint8_t type = pftSub; type <= pftPaeth; ++type) {
    const uint64_t cost = FilterRow(type, Row, Prev, Work, N, Bpp);
    if (cost < best) {  // a tie keeps the earlier candidate
      best = cost;
      Out[0] = type;
      std::memcpy(Out + 1, Work, N);
    }
  }
  return Out[0];
}

}  // namespace vb
