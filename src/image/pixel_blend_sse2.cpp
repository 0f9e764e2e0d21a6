#include "image/pixel_blend_sse2.h"

#include "cpu/function_binding.h"
#include "image/pixel_blend.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define VB_BLEND_SSE2 1
#else
#define VB_BLEND_SSE2 0
#endif

namespace vb {

#if VB_BLEND_SSE2

namespace {

// floor((x * w + 128) / 256) in every 16-bit lane; x, w <= 255.
inline __m128i ScaleLanes(__m128i x, __m128i w) {
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(x, w), _mm_set1_epi16(128)), 8);
}

// Each pixel's alpha copied into its four 16-bit lanes.
inline __m128i AlphaLanes(__m128i unpacked) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(unpacked, 0xFF), 0xFF); }

// Blends four foreground pixels over four background pixels, as the
// portable BlendPixel does for each.
inline __m128i Blend4(__m128i f, __m128i b) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(255);
  const __m128i fLo = _mm_unpacklo_epi8(f, zero);
  const __m128i fHi = _mm_unpackhi_epi8(f, zero);
  const __m128i aLo = AlphaLanes(fLo);
  const __m128i aHi = AlphaLanes(fHi);
  const __m128i lo =
      _mm_add_epi16(ScaleLanes(fLo, aLo), ScaleLanes(_mm_unpacklo_epi8(b, zero), _mm_sub_epi16(full, aLo)));
  const __m128i hi =
      _mm_add_epi16(ScaleLanes(fHi, aHi), ScaleLanes(_mm_unpackhi_epi8(b, zero), _mm_sub_epi16(full, aHi)));
  __m128i mixed = _mm_or_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(std::int32_t(0xFF000000u)));
  // Alpha 0 keeps the background, alpha 255 takes the foreground.
  const __m128i alpha = _mm_srli_epi32(f, 24);
  const __m128i transparent = _mm_cmpeq_epi32(alpha, _mm_setzero_si128());
  const __m128i opaque = _mm_cmpeq_epi32(alpha, _mm_set1_epi32(255));
  mixed = _mm_or_si128(_mm_andnot_si128(transparent, mixed), _mm_and_si128(transparent, b));
  return _mm_or_si128(_mm_andnot_si128(opaque, mixed), _mm_and_si128(opaque, f));
}

inline __m128i Load(const TPixel32* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(TPixel32* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

}  // namespace

namespace blend_sse2 {

bool Available() { return true; }

void BlendRow(const TPixel32* source, TPixel32* destination, std::int32_t count) {
  std::int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i f = Load(source + i);
    // Fully transparent groups leave the destination unwritten.
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(f, 24), _mm_setzero_si128())) == 0xFFFF) continue;
    Store(destination + i, Blend4(f, Load(destination + i)));
  }
  for (; i < count; ++i) blend_portable::BlendPixelTo(source[i], destination[i]);
}

void BlendColorRun(TPixel32 foreground, TPixel32* destination, std::int32_t count) {
  if (foreground.A == 0) return;
  const __m128i f = _mm_set1_epi32(std::int32_t(foreground.ARGB()));
  std::int32_t i = 0;
  for (; i + 4 <= count; i += 4) Store(destination + i, Blend4(f, Load(destination + i)));
  for (; i < count; ++i) blend_portable::BlendPixelTo(foreground, destination[i]);
}

void MixRow(const TPixel32* source, TPixel32* destination, std::int32_t count, std::uint32_t weight) {
  if (weight == 0 || count <= 0) return;
  if (weight >= 255) {
    for (std::int32_t i = 0; i < count; ++i) destination[i] = source[i];
    return;
  }
  const __m128i zero = _mm_setzero_si128();
  const __m128i w = _mm_set1_epi16(std::int16_t(weight));
  const __m128i inv = _mm_set1_epi16(std::int16_t(255 - weight));
  std::int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i f = Load(source + i);
    const __m128i b = Load(destination + i);
    const __m128i lo =
        _mm_add_epi16(ScaleLanes(_mm_unpacklo_epi8(f, zero), w), ScaleLanes(_mm_unpacklo_epi8(b, zero), inv));
    const __m128i hi =
        _mm_add_epi16(ScaleLanes(_mm_unpackhi_epi8(f, zero), w), ScaleLanes(_mm_unpackhi_epi8(b, zero), inv));
    Store(destination + i, _mm_packus_epi16(lo, hi));
  }
  for (; i < count; ++i) blend_portable::MixPixelTo(source[i], destination[i], weight);
}

}  // namespace blend_sse2

void RegisterSse2BlendRoutines(TFunctionBinding& blendColorRun, TFunctionBinding& blendRow, TFunctionBinding& mixRow) {
  const TProcessorFeatures sse2{TProcessorFeature::pfSSE2};
  blendColorRun.Add(&blend_sse2::BlendColorRun, sse2, 1);
  blendRow.Add(&blend_sse2::BlendRow, sse2, 1);
  mixRow.Add(&blend_sse2::MixRow, sse2, 1);
}

#else

namespace blend_sse2 {
bool Available() { return false; }
void BlendColorRun(TPixel32 foreground, TPixel32* destination, std::int32_t count) {
  blend_portable::BlendColorRun(foreground, destination, count);
}
void BlendRow(const TPixel32* source, TPixel32* destination, std::int32_t count) {
  blend_portable::BlendRow(source, destination, count);
}
void MixRow(const TPixel32* source, TPixel32* destination, std::int32_t count, std::uint32_t weight) {
  blend_portable::MixRow(source, destination, count, weight);
}
}  // namespace blend_sse2

void RegisterSse2BlendRoutines(TFunctionBinding&, TFunctionBinding&, TFunctionBinding&) {}

#endif

}  // namespace vb
