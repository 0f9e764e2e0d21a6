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
    double buffer[16];
    R.Upsample64(X, buffer);
    return R.Downsample64(buffer);
  }
};

// |H|^2 of a bilinear order-N Butterworth low-pass, from its definition.
double BilinearButterworth(double Frequency, double Cutoff, double SampleRate, int Order) {
  const double ratio =
      std::tan(std::numbers::pi * Frequency / SampleRate) / std::tan(std::numbers::pi * Cutoff / SampleRate);
  return 1 / (1 + std::pow(ratio, 2 * Order));
}

bool StatesAreZero(const TZarnUpDownsampling& R) {
  for (int i = 0; i < 2; ++i) {
    const auto& f = static_cast<const TCustomButterworthFilter&>(R.Filter(i));
    for (unsigned s = 0; s < 4; ++s)
      if (f.State(s) != 0.0) return false;
  }
  return true;
}

TEST(UpDownSampling, StartsAtFactorOneOrderTwoWithButterworthLowPasses) {
  TZarnUpDownsampling r;
  EXPECT_EQ(r.Factor(), 1);
  EXPECT_EQ(r.Order(), 2);
  EXPECT_EQ(r.SampleRate(), 44100.0);
  EXPECT_EQ(r.TransitionBandwidth(), 0.99);
  EXPECT_EQ(r.FilterClass(), &TButterworthLowPassFilter::Class());
  for (int i = 0; i < 2; ++i) {
    EXPECT_STREQ(r.Filter(i).ClassName(), "TButterworthLowPassFilter");
    EXPECT_EQ(r.Filter(i).Order(), 2u);
    EXPECT_EQ(r.Filter(i).Frequency(), 21829.5);
  }
}

TEST(UpDownSampling, FactorBelowOneIsRefused) {
  TEffectResampler e(8);
  e.R.SetFactor(0);
  e.R.SetFactor(-4);
  EXPECT_EQ(e.R.Factor(), 8);
  EXPECT_EQ(e.Changes, 0);
  EXPECT_NEAR(e.Through(1), e.Through(1), 1);  // still runs
}

TEST(UpDownSampling, EveryRetuneClearsTheFiltersAndNotifiesOnce) {
  TEffectResampler e(1);
  auto dirty = [&] {
    for (int n = 0; n < 10; ++n) e.Through(0.5);
    ASSERT_FALSE(StatesAreZero(e.R));
  };
  dirty();
  e.R.SetFactor(8);  // still at the old rate: tuned to 0.99 * 0.5 * 44100 / 8
  EXPECT_TRUE(StatesAreZero(e.R));
  EXPECT_DOUBLE_EQ(e.R.Filter(0).Frequency(), 0.99 * 0.5 * 44100 / 8);
  dirty();
  e.R.SetSampleRate(kHostRate * 8);
  EXPECT_TRUE(StatesAreZero(e.R));
  EXPECT_EQ(e.R.Filter(1).SampleRate(), kHostRate * 8);
  EXPECT_DOUBLE_EQ(e.R.Filter(1).Frequency(), 21829.5);
  dirty();
  e.R.SetOrder(6);
  e.R.SetOrder(6);
  EXPECT_TRUE(StatesAreZero(e.R));
  EXPECT_EQ(e.R.Filter(0).Order(), 6u);
  dirty();
  e.R.SetTransitionBandwidth(0.5);
  EXPECT_TRUE(StatesAreZero(e.R));
  EXPECT_DOUBLE_EQ(e.R.Filter(0).Frequency(), 0.5 * 0.5 * 44100);
  EXPECT_EQ(e.Changes, 4);
}

TEST(UpDownSampling, ConstantPassesAtUnityAtFactorOne) {
  TEffectResampler e(1);
  double y = 0;
  for (int n = 0; n < 2000; ++n) y = e.Through(0.25);
  EXPECT_NEAR(y, 0.25, 1e-9);
  float out = 0, y32 = 0;
  for (int n = 0; n < 2000; ++n) {
    e.R.Upsample32(0.25f, &out);
    y32 = e.R.Downsample32(&out);
  }
  EXPECT_NEAR(y32, 0.25f, 1e-6f);
}

TEST(UpDownSampling, ConstantAtHighFactorsKeepsTheFoldedImagesOfBothFilters) {
  for (int factor : {8, 16}) {
    TEffectResampler e(factor);
    // The images at multiples of the host rate pass both low-passes a little
    // and fold back onto DC when the signal is decimated.
    std::complex<double> folded = 0;
    for (int k = 0; k < factor; ++k) {
      double re = 0, im = 0;
      e.R.Filter(0).Complex(k * kHostRate, re, im);
      folded += std::complex<double>(re, im) * std::complex<double>(re, im);
    }
    EXPECT_NEAR(folded.imag(), 0, 1e-12);
    double y = 0, upMean = 0;
    std::vector<double> up(factor);
    for (int n = 0; n < 20000; ++n) {
      e.R.Upsample64(0.5, up.data());
      y = e.R.Downsample64(up.data());
    }
    for (double u : up) upMean += u / factor;
    EXPECT_NEAR(upMean, 0.5, 1e-9) << factor;
    EXPECT_NEAR(y, 0.5 * folded.real(), 1e-12) << factor;
    const double shortfall = 1 - folded.real();
    EXPECT_NEAR(shortfall, factor == 8 ? 0.0044 : 0.0059, 0.0003) << factor;
  }
}

TEST(UpDownSampling, SinesBelowTheCutoffPassWithinATenthOfADecibel) {
  for (int factor : {1, 8, 16}) {
    for (double f0 : {100.0, 1000.0, 5000.0, 10000.0}) {
      TEffectResampler e(factor);
      const double frequency = test::BinFrequency(f0, kHostRate, test::kMeasureLength);
      const auto measured = test::MeasureResponse([&](double X) { return e.Through(X); }, frequency, kHostRate);
      EXPECT_NEAR(10 * std::log10(std::norm(measured)), 0, 0.1) << factor << "x at " << frequency;
      // Exactly: the sine and its images through both filters, folded back.
      std::complex<double> predicted = 0;
      for (int k = 0; k < factor; ++k) {
        double re = 0, im = 0;
        e.R.Filter(0).Complex(frequency + k * kHostRate, re, im);
        predicted += std::complex<double>(re, im) * std::complex<double>(re, im);
      }
      EXPECT_NEAR(std::abs(measured - predicted), 0, 1e-6) << factor << "x at " << frequency;
    }
  }
}

TEST(UpDownSampling, ImagesOfTheUpsampledSineAreAttenuatedAsTheOrder4DesignPredicts) {
  const int factor = 8;
  TEffectResampler e(factor);
  const std::size_t length = 4410;  // 10 Hz bins at the host rate
  const double f0 = 5000, image = kHostRate - f0, highRate = kHostRate * factor;
  std::vector<double> up(factor);
  std::complex<double> sum = 0;
  const std::size_t settle = 2000;
  for (std::size_t m = 0; m < settle + length; ++m) {
    e.R.Upsample64(std::sin(2 * std::numbers::pi * f0 * static_cast<double>(m) / kHostRate), up.data());
    if (m < settle) continue;
    for (int i = 0; i < factor; ++i) {
      const double n = static_cast<double>((m - settle) * factor + i);
      sum += up[i] * std::polar(1.0, -2 * std::numbers::pi * image * n / highRate);
    }
  }
  const double amplitude = 2 * std::abs(sum) / static_cast<double>(length * factor);
  const double predicted = std::sqrt(BilinearButterworth(image, 21829.5, highRate, 4));
  EXPECT_NEAR(amplitude / predicted, 1, 1e-4);
  EXPECT_LT(20 * std::log10(amplitude), -1.0);  // just above the cut-off: only mildly attenuated
}

TEST(UpDownSampling, AliasesOfTheDownsampledSineAreAttenuatedAsTheOrder4DesignPredicts) {
  for (double fa : {30000.0, 60000.0}) {
    const int factor = 8;
    TEffectResampler e(factor);
    const double highRate = kHostRate * factor;
    const double alias = std::fabs(fa - kHostRate * std::round(fa / kHostRate));
    const std::size_t length = 4410, settle = 2000;
    std::vector<double> in(factor);
    std::complex<double> sum = 0;
    for (std::size_t m = 0; m < settle + length; ++m) {
      for (int i = 0; i < factor; ++i)
        in[i] = std::sin(2 * std::numbers::pi * fa * static_cast<double>(m * factor + i) / highRate);
      const double y = e.R.Downsample64(in.data());
      if (m >= settle) sum += y * std::polar(1.0, -2 * std::numbers::pi * alias * static_cast<double>(m) / kHostRate);
    }
    const double amplitude = 2 * std::abs(sum) / static_cast<double>(length);
    const double predicted = std::sqrt(BilinearButterworth(fa, 21829.5, highRate, 4));
    EXPECT_NEAR(amplitude / predicted, 1, 1e-4) << fa;
  }
}

// The Butterworth low-pass runs as one unrolled run per call; any other class
// goes sample by sample through virtual calls. Both must agree to the bit.
TEST(UpDownSampling, OtherFilterClassesRunThroughTheGeneralPathWithTheSameResult) {
  TEffectResampler fast(16), general(16);
  general.R.SetFilterClass(&TButterworthLowPassFilterAutomatable::Class());
  EXPECT_STREQ(general.R.Filter(0).ClassName(), "TButterworthLowPassFilterAutomatable");
  EXPECT_EQ(general.R.Filter(0).Frequency(), fast.R.Filter(0).Frequency());  // settings taken over
  EXPECT_EQ(general.R.Filter(0).Order(), 4u);
  for (int order : {4, 5}) {
    fast.R.SetOrder(order);
    general.R.SetOrder(order);
    for (int n = 0; n < 300; ++n) {
      const double x = std::sin(0.01 * n);
      ASSERT_EQ(general.Through(x), fast.Through(x)) << order;
      float a[16], b[16];
      general.R.Upsample32(static_cast<float>(x), a);
      fast.R.Upsample32(static_cast<float>(x), b);
      ASSERT_EQ(general.R.Downsample32(a), fast.R.Downsample32(b)) << order;
    }
  }
  general.R.SetFilterClass(nullptr);
  EXPECT_EQ(general.R.FilterClass(), &TButterworthLowPassFilterAutomatable::Class());
}

// Parameter handlers retune the resampler and the tone-stack biquads on their
// own thread while the audio thread runs them (run under ThreadSanitizer too).
// The retunes come at a control rate, as from a user interface: a read that
// overlaps a write may see a mix of two coefficient sets for one run, which
// must not throw the filters off.
TEST(UpDownSampling, RetuningFromAnotherThreadWhileProcessingStaysFinite) {
  TEffectResampler e(8);
  TBasicPeakFilter peak;
  std::atomic<bool> done{false};
  std::thread tuner([&] {
    for (int n = 0; !done.load(); ++n) {
      const int factor = n % 2 ? 16 : 8;
      e.R.SetFactor(factor);
      e.R.SetSampleRate(kHostRate * factor);
      peak.SetGain(n % 31 - 15);
      peak.SetFrequency(1000 + 37 * (n % 50));
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });
  bool finite = true;
  double buffer[16];
  for (int n = 0; n < 200000; ++n) {
    e.R.Upsample64(std::sin(0.05 * n), buffer);
    finite = finite && std::isfinite(peak.ProcessSample64(e.R.Downsample64(buffer)));
  }
  done.store(true);
  tuner.join();
  EXPECT_TRUE(finite);
}

TEST(UpDownSampling, AssignCopiesSettingsAndFilters) {
  TEffectResampler source(16);
  source.Through(1);
  TZarnUpDownsampling dest;
  dest.Assign(source.R);
  EXPECT_EQ(dest.Factor(), 16);
  EXPECT_EQ(dest.Order(), 4);
  EXPECT_EQ(dest.SampleRate(), kHostRate * 16);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(dest.Filter(i).Order(), 4u);
    EXPECT_EQ(dest.Filter(i).SampleRate(), kHostRate * 16);
  }
  double a[16], b[16];
  dest.Upsample64(0.3, a);
  source.R.Upsample64(0.3, b);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(a[i], b[i]);
}

}  // namespace
}  // namespace vb
