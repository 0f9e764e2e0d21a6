#include "signal_stats.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace vb {

void TSignalStats::Add(const double* samples, std::int64_t count) {
  for (std::int64_t i = 0; i < count; ++i) {
    double a = std::fabs(samples[i]);
    if (a > FPeak || std::isnan(a)) FPeak = a;  // a NaN stays visible in the report
    FSumSquares += samples[i] * samples[i];
  }
  FCount += count;
}

void TSignalStats::Add(const float* samples, std::int64_t count) {
  for (std::int64_t i = 0; i < count; ++i) {
    double s = samples[i];
    Add(&s, 1);
  }
}

double TSignalStats::Rms() const { return FCount > 0 ? std::sqrt(FSumSquares / static_cast<double>(FCount)) : 0.0; }

double TSignalStats::ToDb(double linear) {
  if (std::isnan(linear)) return linear;
  if (linear <= 0.0) return -std::numeric_limits<double>::infinity();
  return 20.0 * std::log10(linear);
}

std::string TSignalStats::FormatDb(double linear) {
  double db = ToDb(linear);
  if (std::isnan(db)) return "nan";
  if (std::isinf(db)) return db < 0 ? "-inf" : "inf";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", db);
  return buf;
}

}  // namespace vb
