// Guards the biquad designs: coefficients, the sample recursion, the closed-form
// responses against measured ones, and the state stack.
#include "dsp/basic_filters.h"

#include <cmath>
#include <complex>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dsp/dsp_errors.h"
#include "dsp/filter_measurement.h"

namespace vb {
namespace {

// H(e^jw) straight from the coefficients.
std::complex<double> DirectResponse(const TCustomBiquadIIRFilter& F, double Frequency) {
  const auto b = F.Numerator();
  const auto a = F.Denominator();
  const std::complex<double> z1 = std::polar(1.0, -2 * std::numbers::pi * Frequency / F.SampleRate());
  return (b[0] + b[1] * z1 + b[2] * z1 * z1) / (1.0 + a[0] * z1 + a[1] * z1 * z1);
}

struct TDesign {
  const char* Name;
  std::function<std::unique_ptr<TCustomBiquadIIRFilter>()> Create;
};

std::vector<TDesign> AllDesigns() {
  return {
      {"Gain", [] { return std::make_unique<TBasicGainFilter>(); }},
      {"Peak", [] { return std::make_unique<TBasicPeakFilter>(); }},
      {"Allpass", [] { return std::make_unique<TBasicAllpassFilter>(); }},
      {"LowShelf", [] { return std::make_unique<TBasicLowShelfFilter>(); }},
      {"LowShelfA", [] { return std::make_unique<TBasicLowShelfAFilter>(); }},
      {"LowShelfB", [] { return std::make_unique<TBasicLowShelfBFilter>(); }},
      {"HighShelf", [] { return std::make_unique<TBasicHighShelfFilter>(); }},
      {"HighShelfA", [] { return std::make_unique<TBasicHighShelfAFilter>(); }},
      {"HighShelfB", [] { return std::make_unique<TBasicHighShelfBFilter>(); }},
      {"Highcut", [] { return std::make_unique<TBasicHighcutFilter>(); }},
      {"Highpass", [] { return std::make_unique<TBasicHighpassFilter>(); }},
      {"Bandpass", [] { return std::make_unique<TBasicBandpassFilter>(); }},
      {"Notch", [] { return std::make_unique<TBasicNotchFilter>(); }},
  };
}

TEST(BiquadResponse, ClosedFormMatchesTheMeasuredSineResponseForEveryDesign) {
  struct TTuning {
    double SampleRate, Frequency, Gain, BandWidth;
  };
  const TTuning tunings[] = {{44100, 1000, 6, 1}, {48000, 250, -9, 2.5}, {96000, 7280, 12, 0.7}};
  const double probes[] = {0.01, 0.1, 0.3, 1, 2.5, 8};  // multiples of the design frequency
  for (const TDesign& d : AllDesigns()) {
    for (const TTuning& t : tunings) {
      auto f = d.Create();
      f->SetSampleRate(t.SampleRate);
      f->SetFrequency(t.Frequency);
      f->SetGain(t.Gain);
      f->SetBandWidth(t.BandWidth);
      for (double p : probes) {
        const double frequency = test::BinFrequency(p * t.Frequency, t.SampleRate, test::kMeasureLength);
        if (frequency <= 0 || frequency >= t.SampleRate / 2) continue;
        f->ResetStates();
        const double measured =
            test::MeasureGainSquared([&](double X) { return f->ProcessSample64(X); }, frequency, t.SampleRate);
        const double closed = f->MagnitudeSquared(frequency);
        EXPECT_NEAR(measured, closed, 1e-7 + 1e-7 * closed)
            << d.Name << " at " << frequency << " Hz, fs " << t.SampleRate;
        EXPECT_NEAR(f->MagnitudeLog10(frequency), 10 * std::log10(closed), 1e-12);
        const auto h = DirectResponse(*f, frequency);
        double re = 0, im = 0;
        f->Complex(frequency, re, im);
        // The closed forms cancel at low frequencies; 1e-7 still catches any
        // wrong term.
        EXPECT_NEAR(re, h.real(), 1e-7) << d.Name << " at " << frequency;
        EXPECT_NEAR(im, -h.imag(), 1e-7) << d.Name << " at " << frequency;
        EXPECT_NEAR(f->Phase(frequency), std::atan2(-h.imag(), h.real()), 1e-7);
      }
    }
  }
}

TEST(BiquadResponse, DesignsBehaveAsNamedAtDcNyquistAndTheDesignFrequency) {
  const double fs = 44100, nyq = 22050, f0 = 2000;
  const double g12 = std::pow(10.0, 12.0 / 20);  // +12 dB as a linear amplitude
  auto tune = [&](TCustomBiquadIIRFilter& F, double Gain) {
    F.SetFrequency(f0);
    F.SetGain(Gain);
  };
  TBasicLowShelfFilter low;
  tune(low, 12);
  EXPECT_NEAR(low.MagnitudeSquared(0), g12 * g12, 1e-9);
  EXPECT_NEAR(low.MagnitudeSquared(nyq), 1, 1e-9);
  TBasicHighShelfFilter high;
  tune(high, 12);
  EXPECT_NEAR(high.MagnitudeSquared(nyq), g12 * g12, 1e-9);
  EXPECT_NEAR(high.MagnitudeSquared(0), 1, 1e-9);
  TBasicPeakFilter peak;
  tune(peak, 12);
  EXPECT_NEAR(peak.MagnitudeSquared(f0), g12 * g12, 1e-9);
  EXPECT_NEAR(peak.MagnitudeSquared(0), 1, 1e-9);
  TBasicNotchFilter notch;
  tune(notch, 0);
  EXPECT_NEAR(notch.MagnitudeSquared(f0), 0, 1e-12);
  TBasicBandpassFilter band;
  tune(band, 0);
  EXPECT_NEAR(band.MagnitudeSquared(f0), 1, 1e-9);
  TBasicHighcutFilter cut;
  tune(cut, 0);
  EXPECT_NEAR(cut.MagnitudeSquared(0), 1, 1e-12);
  EXPECT_NEAR(cut.MagnitudeSquared(nyq), 0, 1e-12);
  TBasicAllpassFilter all;
  tune(all, 6);
  for (double f : {0.0, 500.0, f0, 10000.0}) EXPECT_NEAR(all.MagnitudeSquared(f), std::pow(10.0, 6.0 / 10), 1e-9);
  (void)fs;
}

TEST(BiquadResponse, HighpassOfTheDriveStageBlocksDcAndPassesNyquist) {
  TBasicHighpassFilter f;
  f.SetBandWidth(2);
  f.SetFrequency(275);
  EXPECT_NEAR(f.MagnitudeSquared(0), 0, 1e-15);
  EXPECT_NEAR(f.MagnitudeSquared(22050), 1, 1e-12);
  EXPECT_STREQ(f.ClassName(), "TBasicHighpassFilter");
}

TEST(BiquadDesigns, ToneStackDesignsAreTransparentAt0dB) {
  std::vector<std::unique_ptr<TCustomBiquadIIRFilter>> filters;
  filters.push_back(std::make_unique<TBasicPeakFilter>());
  filters.push_back(std::make_unique<TBasicLowShelfFilter>());
  filters.push_back(std::make_unique<TBasicHighShelfFilter>());
  for (auto& f : filters) {
    f->SetFrequency(777);
    f->SetBandWidth(3.2);
    for (int n = 0; n < 200; ++n) {
      const double x = std::sin(0.37 * n) + 0.25 * std::cos(2.1 * n);
      EXPECT_NEAR(f->ProcessSample64(x), x, 1e-12) << f->ClassName();
    }
  }
  TBasicPeakFilter peak;
  EXPECT_EQ(peak.Numerator()[1], peak.Denominator()[0]);
  EXPECT_NEAR(peak.Numerator()[0], 1, 1e-15);
  EXPECT_NEAR(peak.Numerator()[2], peak.Denominator()[1], 1e-15);
}

TEST(BiquadProcessing, ImpulseResponseFollowsTheTransposedRecursion) {
  TBasicPeakFilter f;
  f.SetGain(9);
  f.SetFrequency(3000);
  const auto b = f.Numerator();
  const auto a = f.Denominator();
  const double y0 = f.ProcessSample64(1);
  const double y1 = f.ProcessSample64(0);
  const double y2 = f.ProcessSample64(0);
  EXPECT_EQ(y0, b[0]);
  EXPECT_EQ(y1, b[1] - a[0] * b[0]);
  EXPECT_DOUBLE_EQ(y2, b[2] - a[0] * y1 - a[1] * b[0]);
}

TEST(BiquadProcessing, BlockProcessingMatchesSampleProcessingForEveryDesign) {
  for (const TDesign& d : AllDesigns()) {
    if (std::string(d.Name) == "Highcut") continue;  // its block form runs in Single precision on purpose (below)
    auto blocked = d.Create(), single = d.Create();
    for (auto* f : {blocked.get(), single.get()}) {
      f->SetGain(-4.5);
      f->SetFrequency(3210);
    }
    std::vector<double> block(300);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = std::sin(0.2 * static_cast<double>(i)) - 0.1;
    for (int part : {0, 100, 200}) {
      blocked->ProcessBlock64(block.data() + part, 100);
      for (int i = part; i < part + 100; ++i)
        ASSERT_EQ(block[static_cast<std::size_t>(i)], single->ProcessSample64(std::sin(0.2 * i) - 0.1))
            << d.Name << " sample " << i;
    }
  }
}

TEST(BiquadProcessing, SinglePathRoundsTheOutputBeforeItEntersTheState) {
  TBasicPeakFilter f64, f32;
  for (auto* f : {&f64, &f32}) {
    f->SetGain(5);
    f->SetFrequency(1234);
  }
  for (int n = 0; n < 50; ++n) {
    const float x = static_cast<float>(std::sin(0.1 * n));
    const float y32 = f32.ProcessSample32(x);
    const double y64 = f64.ProcessSample64(x);
    EXPECT_NEAR(y32, y64, 1e-6);
  }
  std::vector<float> block(64, 0.5f);
  TBasicPeakFilter blocked, single;
  blocked.SetGain(5);
  single.SetGain(5);
  blocked.ProcessBlock32(block.data(), static_cast<int>(block.size()));
  for (float y : block) EXPECT_EQ(y, single.ProcessSample32(0.5f));
}

TEST(BiquadProcessing, HighcutBlock64RunsInSinglePrecision) {
  TBasicHighcutFilter blocked, single;
  std::vector<double> block(32);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = std::sin(0.3 * static_cast<double>(i)) / 3;
  const std::vector<double> input = block;
  blocked.ProcessBlock64(block.data(), static_cast<int>(block.size()));
  for (std::size_t i = 0; i < block.size(); ++i)
    EXPECT_EQ(block[i], static_cast<double>(single.ProcessSample32(static_cast<float>(input[i]))));
}

TEST(BiquadProcessing, GainFilterScalesByTheLinearGain) {
  TBasicGainFilter f;
  f.SetGain(20);
  EXPECT_NEAR(f.ProcessSample64(0.5), 5.0, 1e-12);
  f.Reset();
  EXPECT_EQ(f.Gain(), 0.0);
  EXPECT_EQ(f.ProcessSample64(0.5), 0.5);
}

// The integer path rounds every product to the nearest integer; truncation
// would lose up to one step per product and bias the output towards zero.
TEST(BiquadProcessing, IntegerPathRoundsProductsToTheNearestInteger) {
  TBasicGainFilter f;
  f.SetGain(-6);  // b0 = 0.50119
  f.ResetStatesInt64();
  EXPECT_EQ(f.ProcessSampleInt64(1), 1);  // 0.501
  EXPECT_EQ(f.ProcessSampleInt64(3), 2);  // 1.504
  EXPECT_EQ(f.ProcessSampleInt64(-3), -2);
  EXPECT_EQ(f.ProcessSampleInt64(5), 3);  // 2.506
  EXPECT_EQ(f.ProcessSampleInt64(1000), 501);
}

TEST(BiquadStates, PushProcessPopRestoresExactlyAndGetIRLeavesStatesAlone) {
  TBasicLowShelfFilter f;
  f.SetGain(7);
  for (int n = 0; n < 10; ++n) f.ProcessSample64(std::cos(n * 0.7));
  const auto before = f.States();
  f.PushStates();
  f.PushStates();
  f.ProcessSample64(1);
  f.PopStates();
  EXPECT_EQ(f.States(), before);
  f.ProcessSample64(-1);
  f.PopStates();
  EXPECT_EQ(f.States(), before);
  f.PopStates();  // empty stack: nothing
  EXPECT_EQ(f.States(), before);

  std::vector<double> ir(16);
  f.GetIR(ir);
  EXPECT_EQ(f.States(), before);
  TBasicLowShelfFilter fresh;
  fresh.SetGain(7);
  EXPECT_EQ(ir[0], fresh.ProcessSample64(1) + before[0]);
  std::vector<float> iR32(4);
  f.GetIR(iR32);
  EXPECT_EQ(iR32[0], static_cast<float>(ir[0]));
  f.GetIR(std::span<double>());
  EXPECT_EQ(f.States(), before);
}

TEST(BiquadStates, ResetStatesClearsAndRetuningDoesNot) {
  TBasicPeakFilter f;
  f.SetGain(3);
  f.ProcessSample64(1);
  f.ProcessSample64(0.5);
  const auto before = f.States();
  f.SetGain(-3);
  EXPECT_EQ(f.States(), before);
  f.ResetStates();
  EXPECT_EQ(f.States(), (std::array<double, 2>{0, 0}));
}

TEST(BiquadOrder, OrderIsTwoAndCannotBeWritten) {
  TBasicNotchFilter f;
  EXPECT_EQ(f.Order(), 2u);
  for (unsigned v : {0u, 2u, 5u}) {
    try {
      f.SetOrder(v);
      FAIL() << "no error for " << v;
    } catch (const EDspError& e) {
      EXPECT_STREQ(e.what(), "Order is fixed!");
    }
  }
}

TEST(BiquadPolesZeros, AreTheRootsOfTheCreationCoefficients) {
  TBasicNotchFilter notch;  // zeros on the unit circle at the design angle, poles inside
  const double w = 2 * std::numbers::pi * 1000 / 44100;
  EXPECT_NEAR(notch.Zeros()[0].Re, std::cos(w), 1e-6);
  EXPECT_NEAR(notch.Zeros()[0].Im, std::sin(w), 1e-6);
  EXPECT_NEAR(notch.Zeros()[1].Im, -std::sin(w), 1e-6);
  const double radius = std::hypot(notch.Poles()[0].Re, notch.Poles()[0].Im);
  EXPECT_NEAR(radius * radius, notch.Denominator()[1], 1e-6);
  // Poles are not recomputed after creation.
  const auto poles = notch.Poles();
  notch.SetFrequency(5000);
  EXPECT_EQ(notch.Poles()[0].Re, poles[0].Re);
  TBasicGainFilter gain;  // b1 = b2 = 0: a double real zero at 0
  EXPECT_EQ(gain.Zeros()[0].Re, 0.0f);
  EXPECT_EQ(gain.Zeros()[0].Im, 0.0f);
}

// Also guards alpha: with equal bandwidths Dest's alpha must still follow the
// copied angle.
TEST(BiquadAssign, SameClassCopiesStatesOtherClassRecalculates) {
  TBasicPeakFilter source;
  source.SetGain(4);
  source.SetFrequency(2500);
  source.ProcessSample64(1);
  source.PushStates();
  TBasicPeakFilter same;
  same.Assign(source);
  EXPECT_EQ(same.Numerator(), source.Numerator());
  EXPECT_EQ(same.States(), source.States());
  same.ProcessSample64(3);
  same.PopStates();
  EXPECT_EQ(same.States(), source.States());

  TBasicLowShelfFilter other;
  other.Assign(source);
  EXPECT_EQ(other.States(), (std::array<double, 2>{0, 0}));
  TBasicLowShelfFilter expected;
  expected.SetGain(4);
  expected.SetFrequency(2500);
  EXPECT_EQ(other.Numerator(), expected.Numerator());
  EXPECT_EQ(other.Denominator(), expected.Denominator());
}

}  // namespace
}  // namespace vb
