// Guards the derived values of the filter base (angle, gain factors, alpha)
// and that every real change recalculates them once, in order, before notifying.
#include "dsp/bandwidth_iir_filter.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dsp/basic_filters.h"
#include "dsp/dsp_errors.h"

namespace vb {
namespace {

// A biquad that logs every coefficient calculation together with the derived
// values it saw, and every change notification.
class TRecordingFilter : public TBiquadIIRFilter {
 public:
  struct TSnapshot {
    double SRR, W0, Alpha, GainFactor;
  };
  std::vector<std::string> Log;
  std::vector<TSnapshot> Snapshots;

  TRecordingFilter() {
    InitializeBiquad();
    Log.clear();
    Snapshots.clear();
    SetOnChange([this](TNotifiablePersistent*) { Log.push_back("changed"); });
  }

 protected:
  void CalculateCoefficients() override {
    Log.push_back("coefficients");
    Snapshots.push_back({FSRR, FW0, FAlpha, FGainFactor});
    FNumerator[0] = 1.0;
  }
};

// The alpha term written out independently of the class.
double ExpectedAlpha(double Frequency, double SampleRate, double BandWidth) {
  const double w = 2 * std::numbers::pi * Frequency / SampleRate;
  const double s = std::sin(w);
  return s * std::sinh(std::log(2.0) / 2 * std::sqrt((std::cos(w) + 1) / 2) * BandWidth * std::min(w, 3.141) / s);
}

TEST(GainFrequencyFilter, StartsAt1kHz0dBOneOctave44100) {
  TBasicPeakFilter f;
  EXPECT_EQ(f.SampleRate(), 44100.0);
  EXPECT_EQ(f.Frequency(), 1000.0);
  EXPECT_EQ(f.Gain(), 0.0);
  EXPECT_EQ(f.BandWidth(), 1.0);
  EXPECT_EQ(f.GainFactor(), 1.0);
  EXPECT_DOUBLE_EQ(f.SRR(), 1 / 44100.0);
  EXPECT_NEAR(f.Alpha(), ExpectedAlpha(1000, 44100, 1), 1e-15);
}

TEST(GainFrequencyFilter, GainFactorsFollowTheDecibelValue) {
  TBasicPeakFilter f;
  f.SetGain(6);
  EXPECT_NEAR(f.GainFactor(), std::pow(10.0, 6.0 / 40), 1e-15);
  EXPECT_NEAR(f.GainFactor(), 1.41254, 1e-5);
  EXPECT_NEAR(f.GainFactorSquared(), 1.99526, 1e-5);
  EXPECT_EQ(f.GainFactorSquared(), f.GainFactor() * f.GainFactor());
  f.SetGain(-2001);  // below -2000 dB the factor is exactly 0
  EXPECT_EQ(f.GainFactor(), 0.0);
}

TEST(GainFrequencyFilter, AngleIsLimitedBelowPiWhileCosineAndSineUseTheTrueAngle) {
  TBasicPeakFilter f;
  f.SetFrequency(30000);
  const double w = 30000 * 2 * std::numbers::pi / 44100;
  EXPECT_NEAR(w, 4.2743, 1e-4);
  EXPECT_EQ(f.W0(), 3.141);
  EXPECT_NEAR(f.ExpW0().Re, std::cos(w), 1e-15);
  EXPECT_NEAR(f.ExpW0().Im, std::sin(w), 1e-15);
}

TEST(GainFrequencyFilter, FrequencyAndBandwidthHaveFloors) {
  TBasicPeakFilter f;
  f.SetFrequency(-5);
  EXPECT_EQ(f.Frequency(), 1e-10);
  f.SetBandWidth(0);
  EXPECT_EQ(f.BandWidth(), 0.001);
  f.SetBandWidth(0.0005);
  EXPECT_EQ(f.BandWidth(), 0.001);
}

TEST(GainFrequencyFilter, EachRealChangeRecalculatesOnceThenNotifies) {
  TRecordingFilter f;
  f.SetFrequency(2000);
  f.SetFrequency(2000);
  f.SetGain(3);
  f.SetGain(3);
  f.SetBandWidth(2);
  f.SetBandWidth(2);
  f.SetSampleRate(48000);
  f.SetSampleRate(48000);
  ASSERT_EQ(f.Log.size(), 8u);
  for (std::size_t i = 0; i < 8; i += 2) {
    EXPECT_EQ(f.Log[i], "coefficients");
    EXPECT_EQ(f.Log[i + 1], "changed");
  }
}

TEST(GainFrequencyFilter, CoefficientsSeeUpToDateDerivedValues) {
  TRecordingFilter f;
  f.SetFrequency(2000);
  EXPECT_NEAR(f.Snapshots.back().W0, 2 * std::numbers::pi * 2000 / 44100, 1e-15);
  EXPECT_NEAR(f.Snapshots.back().Alpha, ExpectedAlpha(2000, 44100, 1), 1e-15);
  f.SetGain(6);
  EXPECT_NEAR(f.Snapshots.back().GainFactor, 1.41254, 1e-5);
  f.SetBandWidth(3);
  EXPECT_NEAR(f.Snapshots.back().Alpha, ExpectedAlpha(2000, 44100, 3), 1e-15);
  // A new rate reaches the reciprocal, the angle and alpha before the
  // coefficients are computed.
  f.SetSampleRate(96000);
  EXPECT_EQ(f.Snapshots.back().SRR, 1 / 96000.0);
  EXPECT_NEAR(f.Snapshots.back().W0, 2 * std::numbers::pi * 2000 / 96000, 1e-15);
  EXPECT_NEAR(f.Snapshots.back().Alpha, ExpectedAlpha(2000, 96000, 3), 1e-15);
}

TEST(GainFrequencyFilter, ChangesInsideAnUpdateRecalculateButDoNotNotify) {
  TRecordingFilter f;
  f.BeginUpdate();
  f.SetFrequency(500);
  f.SetGain(-3);
  f.EndUpdate();
  EXPECT_EQ(f.Log, (std::vector<std::string>{"coefficients", "coefficients"}));
}

TEST(GainFrequencyFilter, RetuningKeepsTheStates) {
  TBasicPeakFilter f;
  f.SetGain(6);
  f.ProcessSample64(1);
  const auto before = f.States();
  f.SetFrequency(3000);
  f.SetSampleRate(48000);
  EXPECT_EQ(f.States(), before);
}

TEST(GainFrequencyFilter, AssignCopiesTuningAndDestRecalculatesForItsBandwidth) {
  TBasicPeakFilter source;
  source.SetSampleRate(48000);
  source.SetFrequency(3000);
  source.SetGain(6);
  source.SetBandWidth(2.5);
  TRecordingFilter dest;
  dest.Assign(source);
  EXPECT_EQ(dest.SampleRate(), 48000.0);
  EXPECT_EQ(dest.SRR(), source.SRR());
  EXPECT_EQ(dest.Frequency(), 3000.0);
  EXPECT_EQ(dest.GainFactor(), source.GainFactor());
  EXPECT_EQ(dest.W0(), source.W0());
  EXPECT_EQ(dest.BandWidth(), 2.5);
  EXPECT_EQ(dest.Alpha(), source.Alpha());
  // Other class: the bandwidth write recalculates, then the biquad step
  // recalculates again; the handler copied from Source is not Dest's logger.
  EXPECT_EQ(dest.Log, (std::vector<std::string>{"coefficients", "coefficients"}));
}

}  // namespace
}  // namespace vb
