#include "signal_stats.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace vb {

void TSignalStats::Add(const double* Samples, std::int64_t Count) {
  for (std::int64_t i = 0; i < Count; ++i) {
    double a = std::fabs(Samples[i]);
    if (a > FPeak || std::isnan(a)) FPeak = a;  // a NaN stays visible in the report
    FSumSquares += Samples[i] * Samples[i];
  }
  FCount += Count;
}

void TSignalStats::Add(const float* Samples, std::int64_t Count) {
  for (std::int64_t i = 0; i < Count; ++i) {
    double s = Samples[i];
    Add(&s, 1);
  }
}

double TSignalStats::Rms() const { return FCount > 0 ? std::sqrt(FSumSquares / static_cast<double>(FCount)) : 0.0; }

double TSignalStats::ToDb(double Linear) {
  if (std::isnan(Linear)) return Linear;
  if (Linear <= 0.0) return -std::numeric_limits<double>::infinity();
  return 20.0 * std::log10(Linear);
}

std::string TSignalStats::FormatDb(double Linear) {
  double db = ToDb(Linear);
  if (std::isnan(db)) return "nan";
  if (std::isinf(db)) return db < 0 ? "-inf" : "inf";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", db);
  return buf;
}

}  // namespace vb
