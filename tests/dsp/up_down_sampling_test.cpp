// Guards the oversampling resampler: retune rules, levels through up- and
// downsampling, and how much of the images and aliases the filters leave.
#include "dsp/up_down_sampling.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <complex>
#include <numbers>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "dsp/basic_filters.h"
#include "dsp/filter_measurement.h"

namespace vb {
namespace {

constexpr double kHostRate = 44100;

// A resampler set up as the drive effect sets it up.
struct TEffectResampler {
  TZarnUpDownsampling R;
  int Changes = 0;
  explicit TEffectResampler(int Factor) {
    R.SetTransitionBandwidth(0.99);
    R.SetFactor(Factor);
    R.SetOrder(4);
    R.SetSampleRate(kHostRate * Factor);
    R.SetOnChange([this](TNotifiablePersistent*) { ++Changes; });
  }
  double Through(double X) {
    double Buffer[16];
    R.Upsample64(X, Buffer);
    return R.Downsample64(Buffer);
  }
};

// |H|^2 of a bilinear order-N Butterworth low-pass, from its definition.
double BilinearButterworth(double Frequency, double Cutoff, double SampleRate, int Order) {
  const double Ratio =
      std::tan(std::numbers::pi * Frequency / SampleRate) / std::tan(std::numbers::pi * Cutoff / SampleRate);
  return 1 / (1 + std::pow(Ratio, 2 * Order));
}

bool StatesAreZero(const TZarnUpDownsampling& R) {
  for (int i = 0; i < 2; ++i) {
    const auto& F = static_cast<const TCustomButterworthFilter&>(R.Filter(i));
    for (unsigned s = 0; s < 4; ++s)
      if (F.State(s) != 0.0) return false;
  }
  return true;
}

TEST(UpDownSampling, StartsAtFactorOneOrderTwoWithButterworthLowPasses) {
  TZarnUpDownsampling R;
  EXPECT_EQ(R.Factor(), 1);
  EXPECT_EQ(R.Order(), 2);
  EXPECT_EQ(R.SampleRate(), 44100.0);
  EXPECT_EQ(R.TransitionBandwidth(), 0.99);
  EXPECT_EQ(R.FilterClass(), &TButterworthLowPassFilter::Class());
  for (int i = 0; i < 2; ++i) {
    EXPECT_STREQ(R.Filter(i).ClassName(), "TButterworthLowPassFilter");
    EXPECT_EQ(R.Filter(i).Order(), 2u);
    EXPECT_EQ(R.Filter(i).Frequency(), 21829.5);
  }
}

TEST(UpDownSampling, FactorBelowOneIsRefused) {
  TEffectResampler E(8);
  E.R.SetFactor(0);
  E.R.SetFactor(-4);
  EXPECT_EQ(E.R.Factor(), 8);
  EXPECT_EQ(E.Changes, 0);
  EXPECT_NEAR(E.Through(1), E.Through(1), 1);  // still runs
}

TEST(UpDownSampling, EveryRetuneClearsTheFiltersAndNotifiesOnce) {
  TEffectResampler E(1);
  auto Dirty = [&] {
    for (int n = 0; n < 10; ++n) E.Through(0.5);
    ASSERT_FALSE(StatesAreZero(E.R));
  };
  Dirty();
  E.R.SetFactor(8);  // still at the old rate: tuned to 0.99 * 0.5 * 44100 / 8
  EXPECT_TRUE(StatesAreZero(E.R));
  EXPECT_DOUBLE_EQ(E.R.Filter(0).Frequency(), 0.99 * 0.5 * 44100 / 8);
  Dirty();
  E.R.SetSampleRate(kHostRate * 8);
  EXPECT_TRUE(StatesAreZero(E.R));
  EXPECT_EQ(E.R.Filter(1).SampleRate(), kHostRate * 8);
  EXPECT_DOUBLE_EQ(E.R.Filter(1).Frequency(), 21829.5);
  Dirty();
  E.R.SetOrder(6);
  E.R.SetOrder(6);
  EXPECT_TRUE(StatesAreZero(E.R));
  EXPECT_EQ(E.R.Filter(0).Order(), 6u);
  Dirty();
  E.R.SetTransitionBandwidth(0.5);
  EXPECT_TRUE(StatesAreZero(E.R));
  EXPECT_DOUBLE_EQ(E.R.Filter(0).Frequency(), 0.5 * 0.5 * 44100);
  EXPECT_EQ(E.Changes, 4);
}

TEST(UpDownSampling, ConstantPassesAtUnityAtFactorOne) {
  TEffectResampler E(1);
  double Y = 0;
  for (int n = 0; n < 2000; ++n) Y = E.Through(0.25);
  EXPECT_NEAR(Y, 0.25, 1e-9);
  float Out = 0, Y32 = 0;
  for (int n = 0; n < 2000; ++n) {
    E.R.Upsample32(0.25f, &Out);
    Y32 = E.R.Downsample32(&Out);
  }
  EXPECT_NEAR(Y32, 0.25f, 1e-6f);
}

TEST(UpDownSampling, ConstantAtHighFactorsKeepsTheFoldedImagesOfBothFilters) {
  for (int Factor : {8, 16}) {
    TEffectResampler E(Factor);
    // The images at multiples of the host rate pass both low-passes a little
    // and fold back onto DC when the signal is decimated.
    std::complex<double> Folded = 0;
    for (int k = 0; k < Factor; ++k) {
      double Re = 0, Im = 0;
      E.R.Filter(0).Complex(k * kHostRate, Re, Im);
      Folded += std::complex<double>(Re, Im) * std::complex<double>(Re, Im);
    }
    EXPECT_NEAR(Folded.imag(), 0, 1e-12);
    double Y = 0, UpMean = 0;
    std::vector<double> Up(Factor);
    for (int n = 0; n < 20000; ++n) {
      E.R.Upsample64(0.5, Up.data());
      Y = E.R.Downsample64(Up.data());
    }
    for (double U : Up) UpMean += U / Factor;
    EXPECT_NEAR(UpMean, 0.5, 1e-9) << Factor;
    EXPECT_NEAR(Y, 0.5 * Folded.real(), 1e-12) << Factor;
    const double Shortfall = 1 - Folded.real();
    EXPECT_NEAR(Shortfall, Factor == 8 ? 0.0044 : 0.0059, 0.0003) << Factor;
  }
}

TEST(UpDownSampling, SinesBelowTheCutoffPassWithinATenthOfADecibel) {
  for (int Factor : {1, 8, 16}) {
    for (double F0 : {100.0, 1000.0, 5000.0, 10000.0}) {
      TEffectResampler E(Factor);
      const double Frequency = test::BinFrequency(F0, kHostRate, test::kMeasureLength);
      const auto Measured = test::MeasureResponse([&](double X) { return E.Through(X); }, Frequency, kHostRate);
      EXPECT_NEAR(10 * std::log10(std::norm(Measured)), 0, 0.1) << Factor << "x at " << Frequency;
      // Exactly: the sine and its images through both filters, folded back.
      std::complex<double> Predicted = 0;
      for (int k = 0; k < Factor; ++k) {
        double Re = 0, Im = 0;
        E.R.Filter(0).Complex(Frequency + k * kHostRate, Re, Im);
        Predicted += std::complex<double>(Re, Im) * std::complex<double>(Re, Im);
      }
      EXPECT_NEAR(std::abs(Measured - Predicted), 0, 1e-6) << Factor << "x at " << Frequency;
    }
  }
}

TEST(UpDownSampling, ImagesOfTheUpsampledSineAreAttenuatedAsTheOrder4DesignPredicts) {
  const int Factor = 8;
  TEffectResampler E(Factor);
  const std::size_t Length = 4410;  // 10 Hz bins at the host rate
  const double F0 = 5000, Image = kHostRate - F0, HighRate = kHostRate * Factor;
  std::vector<double> Up(Factor);
  std::complex<double> Sum = 0;
  const std::size_t Settle = 2000;
  for (std::size_t m = 0; m < Settle + Length; ++m) {
    E.R.Upsample64(std::sin(2 * std::numbers::pi * F0 * static_cast<double>(m) / kHostRate), Up.data());
    if (m < Settle) continue;
    for (int i = 0; i < Factor; ++i) {
      const double n = static_cast<double>((m - Settle) * Factor + i);
      Sum += Up[i] * std::polar(1.0, -2 * std::numbers::pi * Image * n / HighRate);
    }
  }
  const double Amplitude = 2 * std::abs(Sum) / static_cast<double>(Length * Factor);
  const double Predicted = std::sqrt(BilinearButterworth(Image, 21829.5, HighRate, 4));
  EXPECT_NEAR(Amplitude / Predicted, 1, 1e-4);
  EXPECT_LT(20 * std::log10(Amplitude), -1.0);  // just above the cut-off: only mildly attenuated
}

TEST(UpDownSampling, AliasesOfTheDownsampledSineAreAttenuatedAsTheOrder4DesignPredicts) {
  for (double Fa : {30000.0, 60000.0}) {
    const int Factor = 8;
    TEffectResampler E(Factor);
    const double HighRate = kHostRate * Factor;
    const double Alias = std::fabs(Fa - kHostRate * std::round(Fa / kHostRate));
    const std::size_t Length = 4410, Settle = 2000;
    std::vector<double> In(Factor);
    std::complex<double> Sum = 0;
    for (std::size_t m = 0; m < Settle + Length; ++m) {
      for (int i = 0; i < Factor; ++i)
        In[i] = std::sin(2 * std::numbers::pi * Fa * static_cast<double>(m * Factor + i) / HighRate);
      const double Y = E.R.Downsample64(In.data());
      if (m >= Settle) Sum += Y * std::polar(1.0, -2 * std::numbers::pi * Alias * static_cast<double>(m) / kHostRate);
    }
    const double Amplitude = 2 * std::abs(Sum) / static_cast<double>(Length);
    const double Predicted = std::sqrt(BilinearButterworth(Fa, 21829.5, HighRate, 4));
    EXPECT_NEAR(Amplitude / Predicted, 1, 1e-4) << Fa;
  }
}

// The Butterworth low-pass runs as one unrolled run per call; any other class
// goes sample by sample through virtual calls. Both must agree to the bit.
TEST(UpDownSampling, OtherFilterClassesRunThroughTheGeneralPathWithTheSameResult) {
  TEffectResampler Fast(16), General(16);
  General.R.SetFilterClass(&TButterworthLowPassFilterAutomatable::Class());
  EXPECT_STREQ(General.R.Filter(0).ClassName(), "TButterworthLowPassFilterAutomatable");
  EXPECT_EQ(General.R.Filter(0).Frequency(), Fast.R.Filter(0).Frequency());  // settings taken over
  EXPECT_EQ(General.R.Filter(0).Order(), 4u);
  for (int Order : {4, 5}) {
    Fast.R.SetOrder(Order);
    General.R.SetOrder(Order);
    for (int n = 0; n < 300; ++n) {
      const double X = std::sin(0.01 * n);
      ASSERT_EQ(General.Through(X), Fast.Through(X)) << Order;
      float A[16], B[16];
      General.R.Upsample32(static_cast<float>(X), A);
      Fast.R.Upsample32(static_cast<float>(X), B);
      ASSERT_EQ(General.R.Downsample32(A), Fast.R.Downsample32(B)) << Order;
    }
  }
  General.R.SetFilterClass(nullptr);
  EXPECT_EQ(General.R.FilterClass(), &TButterworthLowPassFilterAutomatable::Class());
}

// Parameter handlers retune the resampler and the tone-stack biquads on their
// own thread while the audio thread runs them (run under ThreadSanitizer too).
// The retunes come at a control rate, as from a user interface: a read that
// overlaps a write may see a mix of two coefficient sets for one run, which
// must not throw the filters off.
TEST(UpDownSampling, RetuningFromAnotherThreadWhileProcessingStaysFinite) {
  TEffectResampler E(8);
  TBasicPeakFilter Peak;
  std::atomic<bool> Done{false};
  std::thread Tuner([&] {
    for (int n = 0; !Done.load(); ++n) {
      const int Factor = n % 2 ? 16 : 8;
      E.R.SetFactor(Factor);
      E.R.SetSampleRate(kHostRate * Factor);
      Peak.SetGain(n % 31 - 15);
      Peak.SetFrequency(1000 + 37 * (n % 50));
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });
  bool Finite = true;
  double Buffer[16];
  for (int n = 0; n < 200000; ++n) {
    E.R.Upsample64(std::sin(0.05 * n), Buffer);
    Finite = Finite && std::isfinite(Peak.ProcessSample64(E.R.Downsample64(Buffer)));
  }
  Done.store(true);
  Tuner.join();
  EXPECT_TRUE(Finite);
}

TEST(UpDownSampling, AssignCopiesSettingsAndFilters) {
  TEffectResampler Source(16);
  Source.Through(1);
  TZarnUpDownsampling Dest;
  Dest.Assign(Source.R);
  EXPECT_EQ(Dest.Factor(), 16);
  EXPECT_EQ(Dest.Order(), 4);
  EXPECT_EQ(Dest.SampleRate(), kHostRate * 16);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Dest.Filter(i).Order(), 4u);
    EXPECT_EQ(Dest.Filter(i).SampleRate(), kHostRate * 16);
  }
  double A[16], B[16];
  Dest.Upsample64(0.3, A);
  Source.R.Upsample64(0.3, B);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(A[i], B[i]);
}

}  // namespace
}  // namespace vb
