// Peak and RMS of a rendered signal, summed over every channel.
#pragma once

#include <cstdint>
#include <string>

namespace vb {

class TSignalStats {
 public:
  // Adds `count` samples (any channel layout; all channels count alike).
  void Add(const double* Samples, std::int64_t Count);
  void Add(const float* Samples, std::int64_t Count);

  double Peak() const { return FPeak; }  // linear, full scale 1.0
  double Rms() const;                    // linear
  std::int64_t Count() const { return FCount; }

  // Linear level in dB relative to full scale; -inf for silence.
  static double ToDb(double Linear);
  // "-3.1" or "-inf", one decimal.
  static std::string FormatDb(double Linear);

 private:
  double FPeak = 0.0;
  double FSumSquares = 0.0;
  std::int64_t FCount = 0;
};

}  // namespace vb
