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
    FNominator[0] = 1.0;
  }
};

// The alpha term written out independently of the class.
double ExpectedAlpha(double Frequency, double SampleRate, double BandWidth) {
  const double W = 2 * std::numbers::pi * Frequency / SampleRate;
  const double S = std::sin(W);
  return S * std::sinh(std::log(2.0) / 2 * std::sqrt((std::cos(W) + 1) / 2) * BandWidth * std::min(W, 3.141) / S);
}

TEST(GainFrequencyFilter, StartsAt1kHz0dBOneOctave44100) {
  TBasicPeakFilter F;
  EXPECT_EQ(F.SampleRate(), 44100.0);
  EXPECT_EQ(F.Frequency(), 1000.0);
  EXPECT_EQ(F.Gain(), 0.0);
  EXPECT_EQ(F.BandWidth(), 1.0);
  EXPECT_EQ(F.GainFactor(), 1.0);
  EXPECT_DOUBLE_EQ(F.SRR(), 1 / 44100.0);
  EXPECT_NEAR(F.Alpha(), ExpectedAlpha(1000, 44100, 1), 1e-15);
}

TEST(GainFrequencyFilter, GainFactorsFollowTheDecibelValue) {
  TBasicPeakFilter F;
  F.SetGain(6);
  EXPECT_NEAR(F.GainFactor(), std::pow(10.0, 6.0 / 40), 1e-15);
  EXPECT_NEAR(F.GainFactor(), 1.41254, 1e-5);
  EXPECT_NEAR(F.GainFactorSquared(), 1.99526, 1e-5);
  EXPECT_EQ(F.GainFactorSquared(), F.GainFactor() * F.GainFactor());
  F.SetGain(-2001);  // below -2000 dB the factor is exactly 0
  EXPECT_EQ(F.GainFactor(), 0.0);
}

TEST(GainFrequencyFilter, AngleIsLimitedBelowPiWhileCosineAndSineUseTheTrueAngle) {
  TBasicPeakFilter F;
  F.SetFrequency(30000);
  const double W = 30000 * 2 * std::numbers::pi / 44100;
  EXPECT_NEAR(W, 4.2743, 1e-4);
  EXPECT_EQ(F.W0(), 3.141);
  EXPECT_NEAR(F.ExpW0().Re, std::cos(W), 1e-15);
  EXPECT_NEAR(F.ExpW0().Im, std::sin(W), 1e-15);
}

TEST(GainFrequencyFilter, FrequencyAndBandwidthHaveFloors) {
  TBasicPeakFilter F;
  F.SetFrequency(-5);
  EXPECT_EQ(F.Frequency(), 1e-10);
  F.SetBandWidth(0);
  EXPECT_EQ(F.BandWidth(), 0.001);
  F.SetBandWidth(0.0005);
  EXPECT_EQ(F.BandWidth(), 0.001);
}

TEST(GainFrequencyFilter, EachRealChangeRecalculatesOnceThenNotifies) {
  TRecordingFilter F;
  F.SetFrequency(2000);
  F.SetFrequency(2000);
  F.SetGain(3);
  F.SetGain(3);
  F.SetBandWidth(2);
  F.SetBandWidth(2);
  F.SetSampleRate(48000);
  F.SetSampleRate(48000);
  ASSERT_EQ(F.Log.size(), 8u);
  for (std::size_t i = 0; i < 8; i += 2) {
    EXPECT_EQ(F.Log[i], "coefficients");
    EXPECT_EQ(F.Log[i + 1], "changed");
  }
}

TEST(GainFrequencyFilter, CoefficientsSeeUpToDateDerivedValues) {
  TRecordingFilter F;
  F.SetFrequency(2000);
  EXPECT_NEAR(F.Snapshots.back().W0, 2 * std::numbers::pi * 2000 / 44100, 1e-15);
  EXPECT_NEAR(F.Snapshots.back().Alpha, ExpectedAlpha(2000, 44100, 1), 1e-15);
  F.SetGain(6);
  EXPECT_NEAR(F.Snapshots.back().GainFactor, 1.41254, 1e-5);
  F.SetBandWidth(3);
  EXPECT_NEAR(F.Snapshots.back().Alpha, ExpectedAlpha(2000, 44100, 3), 1e-15);
  // A new rate reaches the reciprocal, the angle and alpha before the
  // coefficients are computed.
  F.SetSampleRate(96000);
  EXPECT_EQ(F.Snapshots.back().SRR, 1 / 96000.0);
  EXPECT_NEAR(F.Snapshots.back().W0, 2 * std::numbers::pi * 2000 / 96000, 1e-15);
  EXPECT_NEAR(F.Snapshots.back().Alpha, ExpectedAlpha(2000, 96000, 3), 1e-15);
}

TEST(GainFrequencyFilter, ChangesInsideAnUpdateRecalculateButDoNotNotify) {
  TRecordingFilter F;
  F.BeginUpdate();
  F.SetFrequency(500);
  F.SetGain(-3);
  F.EndUpdate();
  EXPECT_EQ(F.Log, (std::vector<std::string>{"coefficients", "coefficients"}));
}

TEST(GainFrequencyFilter, RetuningKeepsTheStates) {
  TBasicPeakFilter F;
  F.SetGain(6);
  F.ProcessSample64(1);
  const auto Before = F.States();
  F.SetFrequency(3000);
  F.SetSampleRate(48000);
  EXPECT_EQ(F.States(), Before);
}

TEST(GainFrequencyFilter, AssignCopiesTuningAndDestRecalculatesForItsBandwidth) {
  TBasicPeakFilter Source;
  Source.SetSampleRate(48000);
  Source.SetFrequency(3000);
  Source.SetGain(6);
  Source.SetBandWidth(2.5);
  TRecordingFilter Dest;
  Dest.Assign(Source);
  EXPECT_EQ(Dest.SampleRate(), 48000.0);
  EXPECT_EQ(Dest.SRR(), Source.SRR());
  EXPECT_EQ(Dest.Frequency(), 3000.0);
  EXPECT_EQ(Dest.GainFactor(), Source.GainFactor());
  EXPECT_EQ(Dest.W0(), Source.W0());
  EXPECT_EQ(Dest.BandWidth(), 2.5);
  EXPECT_EQ(Dest.Alpha(), Source.Alpha());
  // Other class: the bandwidth write recalculates, then the biquad step
  // recalculates again; the handler copied from Source is not Dest's logger.
  EXPECT_EQ(Dest.Log, (std::vector<std::string>{"coefficients", "coefficients"}));
}

}  // namespace
}  // namespace vb
