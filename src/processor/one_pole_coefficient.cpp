#include "processor/one_pole_coefficient.h"

#include <cmath>

namespace vb {

double OnePoleCoefficient(double Frequency, double HostRate, int Factor) {
  constexpr double c = 0.999;
  constexpr double k = 1 - c * c;
  const double w = Frequency * 0.647 / (HostRate * Factor);
  const double a = 2 - 2 * c * c * std::cos(w);
  return (a - std::sqrt(a * a - 4 * k * k)) / (2 * k);
}

}  // namespace vb
