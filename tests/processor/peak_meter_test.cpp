// Guards the meters: the follower's attack/decay law and the decibel
// read-out that the editor turns into meter frames.
#include "processor/peak_meter.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace vb {
namespace {

TEST(PeakToDecibel, ReadsTheKnownLevels) {
  EXPECT_NEAR(PeakToDecibel(1.0f), 0.0f, 1e-6f);
  EXPECT_NEAR(PeakToDecibel(0.5f), -6.0205f, 1e-4f);
  EXPECT_NEAR(PeakToDecibel(2.0f), 6.0205f, 1e-4f);
  EXPECT_NEAR(PeakToDecibel(0.1f), -20.0003f, 1e-3f);
  EXPECT_NEAR(PeakToDecibel(0.0f), -764.6f, 0.1f);
  EXPECT_NEAR(PeakToDecibel(-100.0f), -66.73f, 0.01f);
}

TEST(PeakToDecibel, StaysCloseToTwentyLog10AcrossTheMeterRange) {
  // Polynomial error (about 0.0007 dB) plus the scale 6.0204878 being a
  // little under 20 log10(2) (0.00011 dB per octave below 0 dB).
  for (float p = 0.001f; p <= 2.0f; p *= 1.07f) EXPECT_NEAR(PeakToDecibel(p), 20 * std::log10(p), 0.0019) << p;
}

TEST(PeakFollower, TakesANewMaximumAtOnceAndDecaysOtherwise) {
  TPeakFollower peak;
  peak.Update(1.0);
  EXPECT_EQ(peak.Peak(), static_cast<float>(0.99999f * 1.0));
  EXPECT_NEAR(PeakToDecibel(peak.Peak()), -0.0001f, 2e-5f);
  const float first = peak.Peak();
  peak.Update(0.25);
  EXPECT_EQ(peak.Peak(), static_cast<float>(static_cast<double>(0.99999f) * first));
  // About 3.84 dB per second at 44100 frames per second.
  for (int i = 1; i < 44100; ++i) peak.Update(0.0);
  EXPECT_NEAR(PeakToDecibel(peak.Peak()) - PeakToDecibel(first), -3.84f, 0.02f);
}

TEST(PeakFollower, AResetValueIsReplacedByTheNextMagnitude) {
  TPeakFollower peak;
  peak.SetPeak(-100.0f);
  peak.Update(0.5);
  EXPECT_EQ(peak.Peak(), static_cast<float>(static_cast<double>(0.99999f) * 0.5));
}

TEST(PeakFollower, DropsNonFinitePeaksButKeepsFiniteOnes) {
  TPeakFollower peak;
  peak.Update(std::numeric_limits<double>::quiet_NaN());
  peak.DropNonFinite();
  EXPECT_EQ(peak.Peak(), 0.0f);
  peak.Update(std::numeric_limits<double>::infinity());
  peak.DropNonFinite();
  EXPECT_EQ(peak.Peak(), 0.0f);
  peak.Update(0.3);
  const float finite = peak.Peak();
  peak.DropNonFinite();
  EXPECT_EQ(peak.Peak(), finite);
}

}  // namespace
}  // namespace vb
