#pragma once
// Two channels side by side in the lanes of one SSE2 register (lane 0 =
// channel 0). Every operation is the IEEE double operation of each lane, so
// a channel computed in a lane gets exactly the bits it would get alone.

#include <emmintrin.h>

namespace vb {

using TLanes = __m128d;

inline TLanes Lanes(double Channel0, double Channel1) { return _mm_set_pd(Channel1, Channel0); }
inline TLanes Broadcast(double Value) { return _mm_set1_pd(Value); }
// + - * / work lane by lane on this type (compiler vector extension).
// |x| by clearing the sign bits, as fabs does.
inline TLanes Abs(TLanes x) { return _mm_andnot_pd(_mm_set1_pd(-0.0), x); }
// Per lane: x < Limit ? Limit : x.
inline TLanes RaiseTo(TLanes x, TLanes Limit) {
  const TLanes Below = _mm_cmplt_pd(x, Limit);
  return _mm_or_pd(_mm_and_pd(Below, Limit), _mm_andnot_pd(Below, x));
}
// Each lane rounded to Single and widened again.
inline TLanes RoundToSingle(TLanes x) { return _mm_cvtps_pd(_mm_cvtpd_ps(x)); }
// The lanes exchanged, and lane 0 in both.
inline TLanes Swap(TLanes x) { return _mm_shuffle_pd(x, x, 1); }
inline TLanes Lane0ToBoth(TLanes x) { return _mm_unpacklo_pd(x, x); }
inline double Lane0(TLanes x) { return _mm_cvtsd_f64(x); }
inline double Lane1(TLanes x) { return _mm_cvtsd_f64(_mm_unpackhi_pd(x, x)); }
inline void Store(TLanes x, double* Channel0, double* Channel1) {
  _mm_storel_pd(Channel0, x);
  _mm_storeh_pd(Channel1, x);
}
inline void Store(TLanes x, float* Channel0, float* Channel1) {
  *Channel0 = static_cast<float>(Lane0(x));
  *Channel1 = static_cast<float>(Lane1(x));
}
inline TLanes Load(const double* Channel0, const double* Channel1) {
  return _mm_loadh_pd(_mm_load_sd(Channel0), Channel1);
}
inline TLanes Load(const float* Channel0, const float* Channel1) {
  return Lanes(static_cast<double>(*Channel0), static_cast<double>(*Channel1));
}

}  // namespace vb
