// Guards the knob-to-state formulas: a slip in a constant or in the rounding
// to Single would detune the tone stack or mis-scale gains.
#include "processor/drive_parameter_mapping.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace vb {
namespace {

TEST(DriveParameterMapping, DecibelTenthsGiveTheLinearGain) {
  EXPECT_DOUBLE_EQ(DecibelTenthsToGain(0), 1.0);
  EXPECT_NEAR(DecibelTenthsToGain(200), 10.0, 1e-12);
  EXPECT_NEAR(DecibelTenthsToGain(-200), 0.1, 1e-13);
  EXPECT_NEAR(DecibelTenthsToGain(100), 3.1622776601683795, 1e-12);
  EXPECT_EQ(DecibelTenthsToGain(-10000), 0.0);  // -1000 dB and below: silence
  EXPECT_GT(DecibelTenthsToGain(-9999), 0.0);
}

TEST(DriveParameterMapping, DriveSpansFourDecades) {
  EXPECT_NEAR(DriveGain(0), 0.1, 1e-15);
  EXPECT_NEAR(DriveGain(100), 100.0, 1e-12);
  EXPECT_NEAR(DriveGain(50), std::pow(10.0, 0.5), 1e-12);
}

TEST(DriveParameterMapping, TrimFallsWithDriveAndDoublesInStereo) {
  EXPECT_DOUBLE_EQ(TrimGain(45, 0, false), 4.46625);
  EXPECT_DOUBLE_EQ(TrimGain(45, 100, false), 0.2475);
  EXPECT_DOUBLE_EQ(TrimGain(45, 50, false), 0.511171875);
  EXPECT_DOUBLE_EQ(TrimGain(45, 0, true), 2 * 4.46625);
  EXPECT_EQ(TrimGain(0, 30, true), 0.0);
}

TEST(DriveParameterMapping, ToneStackReachesItsLimitsAtPlusMinus15) {
  EXPECT_EQ(LowShelfGain(15), static_cast<float>(11.9));
  EXPECT_EQ(LowShelfGain(-15), static_cast<float>(-12.3));
  EXPECT_EQ(MidPeakGain(15), static_cast<float>(11.42));
  EXPECT_EQ(MidPeakGain(-15), static_cast<float>(-13.35));
  EXPECT_EQ(MidPeakBandwidth(15), static_cast<float>(3.7));
  EXPECT_EQ(MidPeakBandwidth(-15), static_cast<float>(3.5));
  EXPECT_EQ(HighShelfGain(15), 15.0);
  EXPECT_EQ(HighShelfGain(-15), static_cast<float>(-13.5));
  EXPECT_EQ(HighShelfFrequency(15), 4040.0);
  EXPECT_EQ(HighShelfFrequency(-15), 4640.0);
  EXPECT_EQ(PresencePeakGain(15), static_cast<float>(11.46));
  EXPECT_EQ(PresencePeakGain(-15), static_cast<float>(-12.96));
  EXPECT_EQ(PresencePeakFrequency(15), 7386.0);
  EXPECT_EQ(PresencePeakFrequency(-15), 7170.0);
  EXPECT_EQ(PresencePeakFrequency(0), 7278.0);
}

TEST(DriveParameterMapping, ToneValuesAreRoundedToSingle) {
  for (double value : {-14.0, -7.0, -1.0, 1.0, 3.0, 13.0}) {
    for (double g : {LowShelfGain(value), MidPeakGain(value), MidPeakBandwidth(value), HighShelfGain(value),
                     HighShelfFrequency(value), PresencePeakGain(value), PresencePeakFrequency(value)})
      EXPECT_EQ(g, static_cast<double>(static_cast<float>(g))) << value;
  }
  EXPECT_EQ(MidPeakGain(1), static_cast<float>(11.42 / 15));
}

TEST(DriveParameterMapping, OversamplingKnobStoresEightBetweenItsEnds) {
  EXPECT_EQ(OversamplingKnobValue(1), 1.0f);
  EXPECT_EQ(OversamplingKnobValue(16), 16.0f);
  for (float v : {1.01f, 2.0f, 8.0f, 15.0f, 15.99f}) EXPECT_EQ(OversamplingKnobValue(v), 8.0f) << v;
  EXPECT_EQ(OversamplingFactor(1), 1);
  EXPECT_EQ(OversamplingFactor(2), 8);
  EXPECT_EQ(OversamplingFactor(15), 8);
  EXPECT_EQ(OversamplingFactor(16), 16);
}

TEST(DriveParameterMapping, OversamplingFactorStaysWithinTheBuffersForAnyValue) {
  // The work buffers hold 16 samples per frame: no value may ask for more,
  // and none may stop the resamplers (factor 0).
  for (float v : {-5.0f, 0.0f, 0.4f, 17.0f, 1e9f, std::numeric_limits<float>::infinity(),
                  -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
    const int f = OversamplingFactor(v);
    EXPECT_TRUE(f == 1 || f == 8 || f == 16) << v;
  }
}

}  // namespace
}  // namespace vb
