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
inline TLanes Abs(TLanes X) { return _mm_andnot_pd(_mm_set1_pd(-0.0), X); }
// Per lane: x < Limit ? Limit : x.
inline TLanes RaiseTo(TLanes X, TLanes Limit) {
  const TLanes below = _mm_cmplt_pd(X, Limit);
  return _mm_or_pd(_mm_and_pd(below, Limit), _mm_andnot_pd(below, X));
}
// Each lane rounded to Single and widened again.
inline TLanes RoundToSingle(TLanes X) { return _mm_cvtps_pd(_mm_cvtpd_ps(X)); }
// The lanes exchanged, and lane 0 in both.
inline TLanes Swap(TLanes X) { return _mm_shuffle_pd(X, X, 1); }
inline TLanes Lane0ToBoth(TLanes X) { return _mm_unpacklo_pd(X, X); }
inline double Lane0(TLanes X) { return _mm_cvtsd_f64(X); }
inline double Lane1(TLanes X) { return _mm_cvtsd_f64(_mm_unpackhi_pd(X, X)); }
inline void Store(TLanes X, double* Channel0, double* Channel1) {
  _mm_storel_pd(Channel0, X);
  _mm_storeh_pd(Channel1, X);
}
inline void Store(TLanes X, float* Channel0, float* Channel1) {
  *Channel0 = static_cast<float>(Lane0(X));
  *Channel1 = static_cast<float>(Lane1(X));
}
inline TLanes Load(const double* Channel0, const double* Channel1) {
  return _mm_loadh_pd(_mm_load_sd(Channel0), Channel1);
}
inline TLanes Load(const float* Channel0, const float* Channel1) {
  return Lanes(static_cast<double>(*Channel0), static_cast<double>(*Channel1));
}

}  // namespace vb
