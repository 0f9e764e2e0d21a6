#pragma once

#include <cmath>

namespace vb {

// A complex number of two 64-bit floats. Every operation is written out term
// by term so that results are reproducible to the last bit (no library
// complex type with its own evaluation order).
struct TComplex64 {
  double Re = 0.0;
  double Im = 0.0;

  // (cos x, sin x) of one angle x in radians.
  static TComplex64 FromAngle(double Angle) noexcept { return {std::cos(Angle), std::sin(Angle)}; }
  static constexpr TComplex64 Zero() noexcept { return {0.0, 0.0}; }

  double Magnitude() const noexcept { return std::sqrt(Re * Re + Im * Im); }

  // z := z * w
  void MultiplyBy(const TComplex64& W) noexcept {
    const double r = Re * W.Re - Im * W.Im;
    Im = Re * W.Im + Im * W.Re;
    Re = r;
  }

  // z := z * w^2, with w^2 formed as (Re^2 - Im^2) + i * 2 * Re * Im.
  void MultiplyBySquare(const TComplex64& W) noexcept {
    MultiplyBy(TComplex64{W.Re * W.Re - W.Im * W.Im, 2 * W.Re * W.Im});
  }
};

inline TComplex64 operator+(const TComplex64& A, const TComplex64& B) noexcept { return {A.Re + B.Re, A.Im + B.Im}; }

inline TComplex64 operator-(const TComplex64& A, const TComplex64& B) noexcept { return {A.Re - B.Re, A.Im - B.Im}; }

inline TComplex64 operator*(const TComplex64& A, const TComplex64& B) noexcept {
  return {A.Re * B.Re - A.Im * B.Im, A.Re * B.Im + A.Im * B.Re};
}

// Division by the squared magnitude of the divisor.
inline TComplex64 operator/(const TComplex64& A, const TComplex64& B) noexcept {
  const double q = 1 / (B.Re * B.Re + B.Im * B.Im);
  return {(A.Re * B.Re + A.Im * B.Im) * q, (A.Im * B.Re - A.Re * B.Im) * q};
}

// Both parts compared exactly.
inline bool operator==(const TComplex64& A, const TComplex64& B) noexcept { return A.Re == B.Re && A.Im == B.Im; }

inline bool operator!=(const TComplex64& A, const TComplex64& B) noexcept { return !(A == B); }

}  // namespace vb
