// Guards the Butterworth cascade: section layout, gains, responses against
// measured ones, the Nyquist limit, and the state stack.
#include "dsp/butterworth_filter.h"

#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "dsp/filter_measurement.h"

namespace vb {
namespace {

std::vector<double> AllStates(const TCustomButterworthFilter& F) {
  std::vector<double> s;
  for (unsigned i = 0; i < TCustomButterworthFilter::kMaximumOrder; ++i) s.push_back(F.State(i));
  return s;
}

TEST(ButterworthDesign, OrderFourHasTwoSectionsAtPiOver8And3PiOver8) {
  TButterworthLowPassFilter f(4);
  const double k = std::tan(0.5 * 1000 * 2 * std::numbers::pi / 44100);
  EXPECT_NEAR(f.TanW0(), k, 1e-15);
  const double t1 = 2 * k * std::sin(std::numbers::pi / 8);
  const double t2 = 2 * k * std::sin(3 * std::numbers::pi / 8);
  const double d1 = 1 / (k * k + t1 + 1), d2 = 1 / (k * k + t2 + 1);
  EXPECT_NEAR(f.FilterGain(), std::pow(k, 4) * d1 * d2, 1e-18);
  EXPECT_NEAR(f.Coefficient(0), 2 * (1 - k * k) * d1, 1e-14);
  EXPECT_NEAR(f.Coefficient(1), (t1 - k * k - 1) * d1, 1e-14);
  EXPECT_NEAR(f.Coefficient(2), 2 * (1 - k * k) * d2, 1e-14);
  EXPECT_NEAR(f.Coefficient(3), (t2 - k * k - 1) * d2, 1e-14);
  double y = 0;
  for (int n = 0; n < 20000; ++n) y = f.ProcessSample64(1);
  EXPECT_NEAR(y, 1, 1e-12);
}

TEST(ButterworthDesign, OddOrderEndsWithAFirstOrderSection) {
  TButterworthLowPassFilter f(3);
  const double k = f.TanW0();
  EXPECT_NEAR(f.Coefficient(2), (1 - k) / (1 + k), 1e-15);
  f.ProcessSample64(1);
  EXPECT_NE(f.State(2), 0.0);
  EXPECT_EQ(f.State(3), 0.0);
}

TEST(ButterworthDesign, OrderIsLimitedTo64AndNotifiesOncePerChange) {
  TButterworthHighPassFilter f(2);
  int changes = 0;
  f.SetOnChange([&](TNotifiablePersistent*) { ++changes; });
  f.SetOrder(100);
  EXPECT_EQ(f.Order(), 64u);
  f.SetOrder(64);
  EXPECT_EQ(changes, 1);
  TButterworthLowPassFilter created(1000);
  EXPECT_EQ(created.Order(), 64u);
}

TEST(ButterworthDesign, OrderZeroPassesTheInputTimesTheGainFactor) {
  TButterworthLowPassFilter f(0);
  EXPECT_EQ(f.ProcessSample64(0.7), 0.7);
  TButterworthLowPassFilter g(4);
  g.SetGain(6);
  g.SetOrder(0);
  EXPECT_EQ(g.ProcessSample64(1), g.GainFactor());
}

TEST(ButterworthResponse, MagnitudeIsHalfPowerAtTheDesignFrequencyForEveryOrder) {
  for (unsigned n = 1; n <= 64; ++n) {
    TButterworthLowPassFilter low(n);
    TButterworthHighPassFilter high(n);
    for (auto* f : {static_cast<TCustomButterworthFilter*>(&low), static_cast<TCustomButterworthFilter*>(&high)}) {
      f->SetSampleRate(48000);
      f->SetFrequency(3000);
      EXPECT_NEAR(f->MagnitudeSquared(3000), 0.5, 1e-9) << f->ClassName() << " order " << n;
      EXPECT_NEAR(f->MagnitudeLog10(3000), -3.0103, 1e-4);
    }
    EXPECT_NEAR(low.MagnitudeSquared(0), 1, 1e-9) << n;
    EXPECT_NEAR(high.MagnitudeSquared(24000), 1, 1e-9) << n;
    EXPECT_LT(low.MagnitudeSquared(24000), 1e-20);
  }
}

TEST(ButterworthResponse, ClosedFormMatchesTheMeasuredSineResponse) {
  struct TCase {
    unsigned Order;
    double SampleRate, Frequency, Gain;
  };
  const TCase cases[] = {
      {1, 44100, 1000, 0}, {2, 48000, 5000, 6}, {4, 352800, 21829.5, 0}, {5, 96000, 300, -6}, {8, 705600, 21829.5, 0}};
  for (const TCase& c : cases) {
    std::unique_ptr<TCustomButterworthFilter> filters[] = {std::make_unique<TButterworthLowPassFilter>(c.Order),
                                                           std::make_unique<TButterworthHighPassFilter>(c.Order)};
    for (auto& f : filters) {
      f->SetSampleRate(c.SampleRate);
      f->SetFrequency(c.Frequency);
      f->SetGain(c.Gain);
      for (double p : {0.1, 0.5, 0.9, 1.0, 1.5, 4.0}) {
        const double frequency = test::BinFrequency(p * c.Frequency, c.SampleRate, test::kMeasureLength);
        if (frequency <= 0 || frequency >= c.SampleRate / 2) continue;
        f->ResetStates();
        const auto measured =
            test::MeasureResponse([&](double X) { return f->ProcessSample64(X); }, frequency, c.SampleRate);
        const double closed = f->MagnitudeSquared(frequency);
        EXPECT_NEAR(std::norm(measured), closed, 1e-9 + 1e-7 * closed)
            << f->ClassName() << " order " << c.Order << " at " << frequency;
        double re = 0, im = 0;
        f->Complex(frequency, re, im);
        EXPECT_NEAR(re, measured.real(), 1e-6) << f->ClassName() << " order " << c.Order << " at " << frequency;
        EXPECT_NEAR(im, measured.imag(), 1e-6);
        EXPECT_NEAR(f->Phase(frequency), std::atan2(im, re), 1e-12);
      }
    }
  }
}

TEST(ButterworthResponse, GainScalesThePassBand) {
  TButterworthLowPassFilter f(4);
  f.SetGain(6);
  EXPECT_NEAR(f.MagnitudeSquared(0), std::pow(10.0, 6.0 / 10), 1e-9);
  f.Reset();
  EXPECT_EQ(f.Gain(), 0.0);
  EXPECT_NEAR(f.MagnitudeSquared(0), 1, 1e-12);
}

TEST(ButterworthStability, DesignFrequencyAtOrAboveNyquistStaysStable) {
  for (double frequency : {22050.0, 30000.0, 1e6}) {
    TButterworthLowPassFilter f(4);
    f.SetFrequency(frequency);
    EXPECT_GT(f.TanW0(), 0);
    EXPECT_TRUE(std::isfinite(f.TanW0()));
    double peak = 0;
    for (int n = 0; n < 100000; ++n) peak = std::max(peak, std::fabs(f.ProcessSample64(n % 2 ? 1.0 : -1.0)));
    EXPECT_LT(peak, 4) << frequency;
    EXPECT_NEAR(f.MagnitudeSquared(0), 1, 1e-6) << frequency;
  }
}

TEST(ButterworthTuning, DownsampleAmountScalesTheDesignFrequencyWithoutRecalculating) {
  TButterworthLowPassFilter f(2);
  const double coefficient = f.Coefficient(0);
  f.SetDownsampleAmount(-3);
  EXPECT_EQ(f.DownsampleAmount(), 0);
  f.SetDownsampleAmount(2);
  EXPECT_EQ(f.DownsampleFaktor(), 4);
  EXPECT_NEAR(f.TanW0(), std::tan(0.5 * 4000 * 2 * std::numbers::pi / 44100), 1e-15);
  EXPECT_EQ(f.Coefficient(0), coefficient);
  f.SetDownsampleAmount(99);  // limited so that the factor stays an Integer
  EXPECT_EQ(f.DownsampleFaktor(), 1 << 30);
}

TEST(ButterworthTuning, SetFilterValuesStoresWithoutTheUsualReactions) {
  TButterworthLowPassFilter f(2);
  int changes = 0;
  f.SetOnChange([&](TNotifiablePersistent*) { ++changes; });
  const double gain = f.FilterGain();
  f.SetFilterValues(2000, 6);
  EXPECT_EQ(f.Frequency(), 2000.0);
  EXPECT_EQ(f.Gain(), 6.0);
  EXPECT_NEAR(f.GainFactor(), std::pow(10.0, 6.0 / 40), 1e-15);
  EXPECT_EQ(f.GainFactorSquared(), 1.0);
  EXPECT_NEAR(f.TanW0(), std::tan(0.5 * 2000 * 2 * std::numbers::pi / 44100), 1e-15);
  EXPECT_EQ(f.FilterGain(), gain);
  EXPECT_EQ(changes, 0);
}

// A gain stored by SetFilterValues must reach the pass band at the next
// recalculation in both variants; the low-pass once kept the stale squared
// factor and stayed at the old gain.
TEST(ButterworthTuning, GainStoredWithoutReactionsAppliesAtTheNextRecalculation) {
  TButterworthLowPassFilter low(3);
  TButterworthHighPassFilter high(3);
  for (TCustomButterworthFilter* f :
       {static_cast<TCustomButterworthFilter*>(&low), static_cast<TCustomButterworthFilter*>(&high)}) {
    f->SetFilterValues(2000, 6);
    f->SetSampleRate(48000);  // recalculates the coefficients
  }
  const double expected = std::pow(10.0, 6.0 / 10);
  EXPECT_NEAR(low.MagnitudeSquared(0), expected, 1e-9);
  EXPECT_NEAR(high.MagnitudeSquared(24000), expected, 1e-9);
  // The running filters agree with the closed form: DC through the low-pass,
  // the alternating sequence through the high-pass.
  double yLow = 0, yHigh = 0;
  for (int n = 0; n < 4000; ++n) {
    yLow = low.ProcessSample64(1);
    yHigh = high.ProcessSample64(n % 2 ? -1.0 : 1.0);
  }
  EXPECT_NEAR(yLow * yLow, expected, 1e-9);
  EXPECT_NEAR(yHigh * yHigh, expected, 1e-9);
}

TEST(ButterworthStates, ResetClearsExactlyOrderStatesAndPushPopRestoresAll) {
  TButterworthLowPassFilter f(5);
  for (int n = 0; n < 10; ++n) f.ProcessSample64(1);
  f.SetOrder(7);
  f.ProcessSample64(1);  // states 0..6 now non-zero
  f.SetOrder(5);
  f.ResetStates();
  for (unsigned i = 0; i < 5; ++i) EXPECT_EQ(f.State(i), 0.0) << i;
  EXPECT_NE(f.State(5), 0.0);

  for (int n = 0; n < 10; ++n) f.ProcessSample64(0.3);
  const auto before = AllStates(f);
  f.PushStates();
  f.ProcessSample64(5);
  f.PopStates();
  EXPECT_EQ(AllStates(f), before);
  std::vector<double> ir(32);
  f.GetIR(ir);
  EXPECT_EQ(AllStates(f), before);
}

TEST(ButterworthStates, SinglePathTracksTheDoublePath) {
  TButterworthHighPassFilter a(3), b(3);
  for (int n = 0; n < 200; ++n) {
    const float x = static_cast<float>(std::sin(0.05 * n));
    EXPECT_NEAR(a.ProcessSample32(x), b.ProcessSample64(x), 1e-5);
  }
}

TEST(ButterworthAssign, CopiesDesignStatesAndOrder) {
  TButterworthLowPassFilter source(6);
  source.SetSampleRate(96000);
  source.SetFrequency(5000);
  source.ProcessSample64(1);
  TButterworthLowPassFilter dest(2);
  dest.Assign(source);
  EXPECT_EQ(dest.Order(), 6u);
  EXPECT_EQ(dest.FilterGain(), source.FilterGain());
  EXPECT_EQ(AllStates(dest), AllStates(source));
  EXPECT_EQ(dest.ProcessSample64(0.5), source.ProcessSample64(0.5));
}

}  // namespace
}  // namespace vb
