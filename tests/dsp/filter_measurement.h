#pragma once

// Measures a filter's response by running sines through it, independently of
// the closed-form response functions under test.

#include <cmath>
#include <complex>
#include <cstddef>
#include <numbers>

namespace vb::test {

// DFT length and settling time of a measurement, in samples.
inline constexpr std::size_t kMeasureLength = 4096;
inline constexpr std::size_t kMeasureSettle = 1 << 14;

// A frequency that falls exactly on a bin of an Length-point DFT, so that a
// steady-state sine is measured without leakage.
inline double BinFrequency(double Frequency, double SampleRate, std::size_t Length) {
  return std::round(Frequency * Length / SampleRate) * SampleRate / Length;
}

// Runs a unit sine at Frequency (Hz, should be a bin frequency) through
// Process, lets it settle for Settle samples and returns the complex gain
// (output phasor over input phasor) measured over Length samples.
template <class TProcess>
std::complex<double> MeasureResponse(TProcess&& Process, double Frequency, double SampleRate,
                                     std::size_t Length = kMeasureLength, std::size_t Settle = kMeasureSettle) {
  const double w = 2 * std::numbers::pi * Frequency / SampleRate;
  std::complex<double> sum = 0;
  for (std::size_t n = 0; n < Settle + Length; ++n) {
    const double phase = w * static_cast<double>(n);
    const double y = Process(std::sin(phase));
    if (n >= Settle) sum += y * std::polar(1.0, -phase);
  }
  // sin(phase) = (e^(j phase) - e^(-j phase)) / 2j, so the positive-frequency
  // phasor of the input is 1 / 2j.
  return sum / static_cast<double>(Length) * std::complex<double>(0, 2);
}

template <class TProcess>
double MeasureGainSquared(TProcess&& Process, double Frequency, double SampleRate) {
  return std::norm(MeasureResponse(Process, Frequency, SampleRate));
}

}  // namespace vb::test
