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
inline __m128i ScaleLanes(__m128i X, __m128i W) {
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(X, W), _mm_set1_epi16(128)), 8);
}

// Each pixel's alpha copied into its four 16-bit lanes.
inline __m128i AlphaLanes(__m128i Unpacked) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(Unpacked, 0xFF), 0xFF); }

// Blends four foreground pixels over four background pixels, as the
// portable BlendPixel does for each.
inline __m128i Blend4(__m128i F, __m128i B) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(255);
  const __m128i fLo = _mm_unpacklo_epi8(F, zero);
  const __m128i fHi = _mm_unpackhi_epi8(F, zero);
  const __m128i aLo = AlphaLanes(fLo);
  const __m128i aHi = AlphaLanes(fHi);
  const __m128i lo =
      _mm_add_epi16(ScaleLanes(fLo, aLo), ScaleLanes(_mm_unpacklo_epi8(B, zero), _mm_sub_epi16(full, aLo)));
  const __m128i hi =
      _mm_add_epi16(ScaleLanes(fHi, aHi), ScaleLanes(_mm_unpackhi_epi8(B, zero), _mm_sub_epi16(full, aHi)));
  __m128i mixed = _mm_or_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(std::int32_t(0xFF000000u)));
  // Alpha 0 keeps the background, alpha 255 takes the foreground.
  const __m128i alpha = _mm_srli_epi32(F, 24);
  const __m128i transparent = _mm_cmpeq_epi32(alpha, _mm_setzero_si128());
  const __m128i opaque = _mm_cmpeq_epi32(alpha, _mm_set1_epi32(255));
  mixed = _mm_or_si128(_mm_andnot_si128(transparent, mixed), _mm_and_si128(transparent, B));
  return _mm_or_si128(_mm_andnot_si128(opaque, mixed), _mm_and_si128(opaque, F));
}

inline __m128i Load(const TPixel32* P) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(P)); }
inline void Store(TPixel32* P, __m128i V) { _mm_storeu_si128(reinterpret_cast<__m128i*>(P), V); }

}  // namespace

namespace blend_sse2 {

bool Available() { return true; }

void BlendRow(const TPixel32* Source, TPixel32* Destination, std::int32_t Count) {
  std::int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    const __m128i f = Load(Source + i);
    // Fully transparent groups leave the destination unwritten.
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(f, 24), _mm_setzero_si128())) == 0xFFFF) continue;
    Store(Destination + i, Blend4(f, Load(Destination + i)));
  }
  for (; i < Count; ++i) blend_portable::BlendPixelTo(Source[i], Destination[i]);
}

void BlendColorRun(TPixel32 Foreground, TPixel32* Destination, std::int32_t Count) {
  if (Foreground.A == 0) return;
  const __m128i f = _mm_set1_epi32(std::int32_t(Foreground.ARGB()));
  std::int32_t i = 0;
  for (; i + 4 <= Count; i += 4) Store(Destination + i, Blend4(f, Load(Destination + i)));
  for (; i < Count; ++i) blend_portable::BlendPixelTo(Foreground, Destination[i]);
}

void MixRow(const TPixel32* Source, TPixel32* Destination, std::int32_t Count, std::uint32_t Weight) {
  if (Weight == 0 || Count <= 0) return;
  if (Weight >= 255) {
    for (std::int32_t i = 0; i < Count; ++i) Destination[i] = Source[i];
    return;
  }
  const __m128i zero = _mm_setzero_si128();
  const __m128i w = _mm_set1_epi16(std::int16_t(Weight));
  const __m128i inv = _mm_set1_epi16(std::int16_t(255 - Weight));
  std::int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    const __m128i f = Load(Source + i);
    const __m128i b = Load(Destination + i);
    const __m128i lo =
        _mm_add_epi16(ScaleLanes(_mm_unpacklo_epi8(f, zero), w), ScaleLanes(_mm_unpacklo_epi8(b, zero), inv));
    const __m128i hi =
        _mm_add_epi16(ScaleLanes(_mm_unpackhi_epi8(f, zero), w), ScaleLanes(_mm_unpackhi_epi8(b, zero), inv));
    Store(Destination + i, _mm_packus_epi16(lo, hi));
  }
  for (; i < Count; ++i) blend_portable::MixPixelTo(Source[i], Destination[i], Weight);
}

}  // namespace blend_sse2

void RegisterSse2BlendRoutines(TFunctionBinding& BlendColorRun, TFunctionBinding& BlendRow, TFunctionBinding& MixRow) {
  const TProcessorFeatures sse2{TProcessorFeature::pfSSE2};
  BlendColorRun.Add(&blend_sse2::BlendColorRun, sse2, 1);
  BlendRow.Add(&blend_sse2::BlendRow, sse2, 1);
  MixRow.Add(&blend_sse2::MixRow, sse2, 1);
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
