#pragma once
// The per-sample arithmetic of the second-order sections, written once for
// the filter objects (T = double) and for code that runs two channels side
// by side in the lanes of one SIMD register (T = two doubles with lane-wise
// + - *). Both get the same operations in the same order, so each channel
// gets the same bits either way.
//
// Always inlined, at every optimisation level: routines compiled for a
// wider instruction set (AVX2) instantiate them for 256-bit registers, and
// an out-of-line copy, compiled for the baseline, would take those
// registers under another calling convention.

namespace vb {

// A biquad in the transposed two-state form:
//   y = b0 x + s0;  s0 = b1 x - a1 y + s1;  s1 = b2 x - a2 y.
template <class T>
[[gnu::always_inline]] inline T BiquadSection(T X, T B0, T B1, T B2, T A1, T A2, T& S0, T& S1) {
  const T y = B0 * X + S0;
  S0 = B1 * X - A1 * y + S1;
  S1 = B2 * X - A2 * y;
  return y;
}

// One section of a Butterworth cascade (numerator 1 +- 2z^-1 + z^-2, the
// gain applied before the first section); Sign is +1 for the low-pass and
// -1 for the high-pass:
//   y = x + s0;  s0 = +-2x + c0 y + s1;  s1 = x + c1 y.
// 2x is written x + x, which is exact and the same bits; the high-pass adds
// its -2x as a subtraction, the same bits by commutativity.
template <int Sign, class T>
[[gnu::always_inline]] inline T ButterworthSection(T X, T C0, T C1, T& S0, T& S1) {
  const T y = X + S0;
  if constexpr (Sign > 0)
    S0 = (X + X) + C0 * y + S1;
  else
    S0 = C0 * y - (X + X) + S1;
  S1 = X + C1 * y;
  return y;
}

template <class T>
[[gnu::always_inline]] inline T ButterworthLowPassSection(T X, T C0, T C1, T& S0, T& S1) {
  return ButterworthSection<1>(X, C0, C1, S0, S1);
}

}  // namespace vb
