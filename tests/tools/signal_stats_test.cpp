// Guards the render summary's levels: peak and RMS over all channels in dBFS, silence and NaN shown as such.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "signal_stats.h"

namespace vb {
namespace {

TEST(SignalStats, MeasuresPeakAndRmsOverEverySample) {
  TSignalStats s;
  const double a[] = {0.5, -1.0, 0.5, 0.0};
  const float b[] = {0.25f, -0.25f, 0.25f, -0.25f};
  s.Add(a, 4);
  s.Add(b, 4);
  EXPECT_EQ(s.Count(), 8);
  EXPECT_EQ(s.Peak(), 1.0);
  EXPECT_DOUBLE_EQ(s.Rms(), std::sqrt((0.25 + 1 + 0.25 + 4 * 0.0625) / 8));
  EXPECT_EQ(TSignalStats::FormatDb(s.Peak()), "0.0");
  EXPECT_EQ(TSignalStats::FormatDb(0.5), "-6.0");
  EXPECT_EQ(TSignalStats::FormatDb(2.0), "6.0");
}

TEST(SignalStats, ShowsSilenceAsMinusInfinityAndKeepsANanVisible) {
  TSignalStats silent;
  EXPECT_EQ(TSignalStats::FormatDb(silent.Peak()), "-inf");
  EXPECT_EQ(TSignalStats::FormatDb(silent.Rms()), "-inf");
  const double zeros[3] = {0, 0, 0};
  silent.Add(zeros, 3);
  EXPECT_EQ(TSignalStats::FormatDb(silent.Rms()), "-inf");

  TSignalStats broken;
  const double withNan[] = {0.1, std::numeric_limits<double>::quiet_NaN(), 0.2};
  broken.Add(withNan, 3);
  EXPECT_EQ(TSignalStats::FormatDb(broken.Peak()), "nan");
  EXPECT_EQ(TSignalStats::FormatDb(broken.Rms()), "nan");
}

}  // namespace
}  // namespace vb
