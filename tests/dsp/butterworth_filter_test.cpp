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
  std::vector<double> S;
  for (unsigned i = 0; i < TCustomButterworthFilter::kMaximumOrder; ++i) S.push_back(F.State(i));
  return S;
}

TEST(ButterworthDesign, OrderFourHasTwoSectionsAtPiOver8And3PiOver8) {
  TButterworthLowPassFilter F(4);
  const double K = std::tan(0.5 * 1000 * 2 * std::numbers::pi / 44100);
  EXPECT_NEAR(F.TanW0(), K, 1e-15);
  const double T1 = 2 * K * std::sin(std::numbers::pi / 8);
  const double T2 = 2 * K * std::sin(3 * std::numbers::pi / 8);
  const double D1 = 1 / (K * K + T1 + 1), D2 = 1 / (K * K + T2 + 1);
  EXPECT_NEAR(F.FilterGain(), std::pow(K, 4) * D1 * D2, 1e-18);
  EXPECT_NEAR(F.Coefficient(0), 2 * (1 - K * K) * D1, 1e-14);
  EXPECT_NEAR(F.Coefficient(1), (T1 - K * K - 1) * D1, 1e-14);
  EXPECT_NEAR(F.Coefficient(2), 2 * (1 - K * K) * D2, 1e-14);
  EXPECT_NEAR(F.Coefficient(3), (T2 - K * K - 1) * D2, 1e-14);
  double Y = 0;
  for (int n = 0; n < 20000; ++n) Y = F.ProcessSample64(1);
  EXPECT_NEAR(Y, 1, 1e-12);
}

TEST(ButterworthDesign, OddOrderEndsWithAFirstOrderSection) {
  TButterworthLowPassFilter F(3);
  const double K = F.TanW0();
  EXPECT_NEAR(F.Coefficient(2), (1 - K) / (1 + K), 1e-15);
  F.ProcessSample64(1);
  EXPECT_NE(F.State(2), 0.0);
  EXPECT_EQ(F.State(3), 0.0);
}

TEST(ButterworthDesign, OrderIsLimitedTo64AndNotifiesOncePerChange) {
  TButterworthHighPassFilter F(2);
  int Changes = 0;
  F.SetOnChange([&](TNotifiablePersistent*) { ++Changes; });
  F.SetOrder(100);
  EXPECT_EQ(F.Order(), 64u);
  F.SetOrder(64);
  EXPECT_EQ(Changes, 1);
  TButterworthLowPassFilter Created(1000);
  EXPECT_EQ(Created.Order(), 64u);
}

TEST(ButterworthDesign, OrderZeroPassesTheInputTimesTheGainFactor) {
  TButterworthLowPassFilter F(0);
  EXPECT_EQ(F.ProcessSample64(0.7), 0.7);
  TButterworthLowPassFilter G(4);
  G.SetGain(6);
  G.SetOrder(0);
  EXPECT_EQ(G.ProcessSample64(1), G.GainFactor());
}

TEST(ButterworthResponse, MagnitudeIsHalfPowerAtTheDesignFrequencyForEveryOrder) {
  for (unsigned N = 1; N <= 64; ++N) {
    TButterworthLowPassFilter Low(N);
    TButterworthHighPassFilter High(N);
    for (auto* F : {static_cast<TCustomButterworthFilter*>(&Low), static_cast<TCustomButterworthFilter*>(&High)}) {
      F->SetSampleRate(48000);
      F->SetFrequency(3000);
      EXPECT_NEAR(F->MagnitudeSquared(3000), 0.5, 1e-9) << F->ClassName() << " order " << N;
      EXPECT_NEAR(F->MagnitudeLog10(3000), -3.0103, 1e-4);
    }
    EXPECT_NEAR(Low.MagnitudeSquared(0), 1, 1e-9) << N;
    EXPECT_NEAR(High.MagnitudeSquared(24000), 1, 1e-9) << N;
    EXPECT_LT(Low.MagnitudeSquared(24000), 1e-20);
  }
}

TEST(ButterworthResponse, ClosedFormMatchesTheMeasuredSineResponse) {
  struct TCase {
    unsigned Order;
    double SampleRate, Frequency, Gain;
  };
  const TCase Cases[] = {
      {1, 44100, 1000, 0}, {2, 48000, 5000, 6}, {4, 352800, 21829.5, 0}, {5, 96000, 300, -6}, {8, 705600, 21829.5, 0}};
  for (const TCase& C : Cases) {
    std::unique_ptr<TCustomButterworthFilter> Filters[] = {std::make_unique<TButterworthLowPassFilter>(C.Order),
                                                           std::make_unique<TButterworthHighPassFilter>(C.Order)};
    for (auto& F : Filters) {
      F->SetSampleRate(C.SampleRate);
      F->SetFrequency(C.Frequency);
      F->SetGain(C.Gain);
      for (double P : {0.1, 0.5, 0.9, 1.0, 1.5, 4.0}) {
        const double Frequency = test::BinFrequency(P * C.Frequency, C.SampleRate, test::kMeasureLength);
        if (Frequency <= 0 || Frequency >= C.SampleRate / 2) continue;
        F->ResetStates();
        const auto Measured =
            test::MeasureResponse([&](double X) { return F->ProcessSample64(X); }, Frequency, C.SampleRate);
        const double Closed = F->MagnitudeSquared(Frequency);
        EXPECT_NEAR(std::norm(Measured), Closed, 1e-9 + 1e-7 * Closed)
            << F->ClassName() << " order " << C.Order << " at " << Frequency;
        double Re = 0, Im = 0;
        F->Complex(Frequency, Re, Im);
        EXPECT_NEAR(Re, Measured.real(), 1e-6) << F->ClassName() << " order " << C.Order << " at " << Frequency;
        EXPECT_NEAR(Im, Measured.imag(), 1e-6);
        EXPECT_NEAR(F->Phase(Frequency), std::atan2(Im, Re), 1e-12);
      }
    }
  }
}

TEST(ButterworthResponse, GainScalesThePassBand) {
  TButterworthLowPassFilter F(4);
  F.SetGain(6);
  EXPECT_NEAR(F.MagnitudeSquared(0), std::pow(10.0, 6.0 / 10), 1e-9);
  F.Reset();
  EXPECT_EQ(F.Gain(), 0.0);
  EXPECT_NEAR(F.MagnitudeSquared(0), 1, 1e-12);
}

TEST(ButterworthStability, DesignFrequencyAtOrAboveNyquistStaysStable) {
  for (double Frequency : {22050.0, 30000.0, 1e6}) {
    TButterworthLowPassFilter F(4);
    F.SetFrequency(Frequency);
    EXPECT_GT(F.TanW0(), 0);
    EXPECT_TRUE(std::isfinite(F.TanW0()));
    double Peak = 0;
    for (int n = 0; n < 100000; ++n) Peak = std::max(Peak, std::fabs(F.ProcessSample64(n % 2 ? 1.0 : -1.0)));
    EXPECT_LT(Peak, 4) << Frequency;
    EXPECT_NEAR(F.MagnitudeSquared(0), 1, 1e-6) << Frequency;
  }
}

TEST(ButterworthTuning, DownsampleAmountScalesTheDesignFrequencyWithoutRecalculating) {
  TButterworthLowPassFilter F(2);
  const double Coefficient = F.Coefficient(0);
  F.SetDownsampleAmount(-3);
  EXPECT_EQ(F.DownsampleAmount(), 0);
  F.SetDownsampleAmount(2);
  EXPECT_EQ(F.DownsampleFaktor(), 4);
  EXPECT_NEAR(F.TanW0(), std::tan(0.5 * 4000 * 2 * std::numbers::pi / 44100), 1e-15);
  EXPECT_EQ(F.Coefficient(0), Coefficient);
  F.SetDownsampleAmount(99);  // limited so that the factor stays an Integer
  EXPECT_EQ(F.DownsampleFaktor(), 1 << 30);
}

TEST(ButterworthTuning, SetFilterValuesStoresWithoutTheUsualReactions) {
  TButterworthLowPassFilter F(2);
  int Changes = 0;
  F.SetOnChange([&](TNotifiablePersistent*) { ++Changes; });
  const double Gain = F.FilterGain();
  F.SetFilterValues(2000, 6);
  EXPECT_EQ(F.Frequency(), 2000.0);
  EXPECT_EQ(F.Gain(), 6.0);
  EXPECT_NEAR(F.GainFactor(), std::pow(10.0, 6.0 / 40), 1e-15);
  EXPECT_EQ(F.GainFactorSquared(), 1.0);
  EXPECT_NEAR(F.TanW0(), std::tan(0.5 * 2000 * 2 * std::numbers::pi / 44100), 1e-15);
  EXPECT_EQ(F.FilterGain(), Gain);
  EXPECT_EQ(Changes, 0);
}

// A gain stored by SetFilterValues must reach the pass band at the next
// recalculation in both variants; the low-pass once kept the stale squared
// factor and stayed at the old gain.
TEST(ButterworthTuning, GainStoredWithoutReactionsAppliesAtTheNextRecalculation) {
  TButterworthLowPassFilter Low(3);
  TButterworthHighPassFilter High(3);
  for (TCustomButterworthFilter* F :
       {static_cast<TCustomButterworthFilter*>(&Low), static_cast<TCustomButterworthFilter*>(&High)}) {
    F->SetFilterValues(2000, 6);
    F->SetSampleRate(48000);  // recalculates the coefficients
  }
  const double Expected = std::pow(10.0, 6.0 / 10);
  EXPECT_NEAR(Low.MagnitudeSquared(0), Expected, 1e-9);
  EXPECT_NEAR(High.MagnitudeSquared(24000), Expected, 1e-9);
  // The running filters agree with the closed form: DC through the low-pass,
  // the alternating sequence through the high-pass.
  double YLow = 0, YHigh = 0;
  for (int n = 0; n < 4000; ++n) {
    YLow = Low.ProcessSample64(1);
    YHigh = High.ProcessSample64(n % 2 ? -1.0 : 1.0);
  }
  EXPECT_NEAR(YLow * YLow, Expected, 1e-9);
  EXPECT_NEAR(YHigh * YHigh, Expected, 1e-9);
}

TEST(ButterworthStates, ResetClearsExactlyOrderStatesAndPushPopRestoresAll) {
  TButterworthLowPassFilter F(5);
  for (int n = 0; n < 10; ++n) F.ProcessSample64(1);
  F.SetOrder(7);
  F.ProcessSample64(1);  // states 0..6 now non-zero
  F.SetOrder(5);
  F.ResetStates();
  for (unsigned i = 0; i < 5; ++i) EXPECT_EQ(F.State(i), 0.0) << i;
  EXPECT_NE(F.State(5), 0.0);

  for (int n = 0; n < 10; ++n) F.ProcessSample64(0.3);
  const auto Before = AllStates(F);
  F.PushStates();
  F.ProcessSample64(5);
  F.PopStates();
  EXPECT_EQ(AllStates(F), Before);
  std::vector<double> IR(32);
  F.GetIR(IR);
  EXPECT_EQ(AllStates(F), Before);
}

TEST(ButterworthStates, SinglePathTracksTheDoublePath) {
  TButterworthHighPassFilter A(3), B(3);
  for (int n = 0; n < 200; ++n) {
    const float X = static_cast<float>(std::sin(0.05 * n));
    EXPECT_NEAR(A.ProcessSample32(X), B.ProcessSample64(X), 1e-5);
  }
}

TEST(ButterworthAssign, CopiesDesignStatesAndOrder) {
  TButterworthLowPassFilter Source(6);
  Source.SetSampleRate(96000);
  Source.SetFrequency(5000);
  Source.ProcessSample64(1);
  TButterworthLowPassFilter Dest(2);
  Dest.Assign(Source);
  EXPECT_EQ(Dest.Order(), 6u);
  EXPECT_EQ(Dest.FilterGain(), Source.FilterGain());
  EXPECT_EQ(AllStates(Dest), AllStates(Source));
  EXPECT_EQ(Dest.ProcessSample64(0.5), Source.ProcessSample64(0.5));
}

}  // namespace
}  // namespace vb
