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
  const auto B = F.Nominator();
  const auto A = F.Denominator();
  const std::complex<double> Z1 = std::polar(1.0, -2 * std::numbers::pi * Frequency / F.SampleRate());
  return (B[0] + B[1] * Z1 + B[2] * Z1 * Z1) / (1.0 + A[0] * Z1 + A[1] * Z1 * Z1);
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
  const TTuning Tunings[] = {{44100, 1000, 6, 1}, {48000, 250, -9, 2.5}, {96000, 7280, 12, 0.7}};
  const double Probes[] = {0.01, 0.1, 0.3, 1, 2.5, 8};  // multiples of the design frequency
  for (const TDesign& D : AllDesigns()) {
    for (const TTuning& T : Tunings) {
      auto F = D.Create();
      F->SetSampleRate(T.SampleRate);
      F->SetFrequency(T.Frequency);
      F->SetGain(T.Gain);
      F->SetBandWidth(T.BandWidth);
      for (double P : Probes) {
        const double Frequency = test::BinFrequency(P * T.Frequency, T.SampleRate, test::kMeasureLength);
        if (Frequency <= 0 || Frequency >= T.SampleRate / 2) continue;
        F->ResetStates();
        const double Measured =
            test::MeasureGainSquared([&](double X) { return F->ProcessSample64(X); }, Frequency, T.SampleRate);
        const double Closed = F->MagnitudeSquared(Frequency);
        EXPECT_NEAR(Measured, Closed, 1e-7 + 1e-7 * Closed)
            << D.Name << " at " << Frequency << " Hz, fs " << T.SampleRate;
        EXPECT_NEAR(F->MagnitudeLog10(Frequency), 10 * std::log10(Closed), 1e-12);
        const auto H = DirectResponse(*F, Frequency);
        double Re = 0, Im = 0;
        F->Complex(Frequency, Re, Im);
        // The closed forms cancel at low frequencies; 1e-7 still catches any
        // wrong term.
        EXPECT_NEAR(Re, H.real(), 1e-7) << D.Name << " at " << Frequency;
        EXPECT_NEAR(Im, -H.imag(), 1e-7) << D.Name << " at " << Frequency;
        EXPECT_NEAR(F->Phase(Frequency), std::atan2(-H.imag(), H.real()), 1e-7);
      }
    }
  }
}

TEST(BiquadResponse, DesignsBehaveAsNamedAtDcNyquistAndTheDesignFrequency) {
  const double Fs = 44100, Nyq = 22050, F0 = 2000;
  const double G12 = std::pow(10.0, 12.0 / 20);  // +12 dB as a linear amplitude
  auto Tune = [&](TCustomBiquadIIRFilter& F, double Gain) {
    F.SetFrequency(F0);
    F.SetGain(Gain);
  };
  TBasicLowShelfFilter Low;
  Tune(Low, 12);
  EXPECT_NEAR(Low.MagnitudeSquared(0), G12 * G12, 1e-9);
  EXPECT_NEAR(Low.MagnitudeSquared(Nyq), 1, 1e-9);
  TBasicHighShelfFilter High;
  Tune(High, 12);
  EXPECT_NEAR(High.MagnitudeSquared(Nyq), G12 * G12, 1e-9);
  EXPECT_NEAR(High.MagnitudeSquared(0), 1, 1e-9);
  TBasicPeakFilter Peak;
  Tune(Peak, 12);
  EXPECT_NEAR(Peak.MagnitudeSquared(F0), G12 * G12, 1e-9);
  EXPECT_NEAR(Peak.MagnitudeSquared(0), 1, 1e-9);
  TBasicNotchFilter Notch;
  Tune(Notch, 0);
  EXPECT_NEAR(Notch.MagnitudeSquared(F0), 0, 1e-12);
  TBasicBandpassFilter Band;
  Tune(Band, 0);
  EXPECT_NEAR(Band.MagnitudeSquared(F0), 1, 1e-9);
  TBasicHighcutFilter Cut;
  Tune(Cut, 0);
  EXPECT_NEAR(Cut.MagnitudeSquared(0), 1, 1e-12);
  EXPECT_NEAR(Cut.MagnitudeSquared(Nyq), 0, 1e-12);
  TBasicAllpassFilter All;
  Tune(All, 6);
  for (double F : {0.0, 500.0, F0, 10000.0}) EXPECT_NEAR(All.MagnitudeSquared(F), std::pow(10.0, 6.0 / 10), 1e-9);
  (void)Fs;
}

TEST(BiquadResponse, HighpassOfTheDriveStageBlocksDcAndPassesNyquist) {
  TBasicHighpassFilter F;
  F.SetBandWidth(2);
  F.SetFrequency(275);
  EXPECT_NEAR(F.MagnitudeSquared(0), 0, 1e-15);
  EXPECT_NEAR(F.MagnitudeSquared(22050), 1, 1e-12);
  EXPECT_STREQ(F.ClassName(), "TBasicHighpassFilter");
}

TEST(BiquadDesigns, ToneStackDesignsAreTransparentAt0dB) {
  std::vector<std::unique_ptr<TCustomBiquadIIRFilter>> Filters;
  Filters.push_back(std::make_unique<TBasicPeakFilter>());
  Filters.push_back(std::make_unique<TBasicLowShelfFilter>());
  Filters.push_back(std::make_unique<TBasicHighShelfFilter>());
  for (auto& F : Filters) {
    F->SetFrequency(777);
    F->SetBandWidth(3.2);
    for (int n = 0; n < 200; ++n) {
      const double X = std::sin(0.37 * n) + 0.25 * std::cos(2.1 * n);
      EXPECT_NEAR(F->ProcessSample64(X), X, 1e-12) << F->ClassName();
    }
  }
  TBasicPeakFilter Peak;
  EXPECT_EQ(Peak.Nominator()[1], Peak.Denominator()[0]);
  EXPECT_NEAR(Peak.Nominator()[0], 1, 1e-15);
  EXPECT_NEAR(Peak.Nominator()[2], Peak.Denominator()[1], 1e-15);
}

TEST(BiquadProcessing, ImpulseResponseFollowsTheTransposedRecursion) {
  TBasicPeakFilter F;
  F.SetGain(9);
  F.SetFrequency(3000);
  const auto B = F.Nominator();
  const auto A = F.Denominator();
  const double Y0 = F.ProcessSample64(1);
  const double Y1 = F.ProcessSample64(0);
  const double Y2 = F.ProcessSample64(0);
  EXPECT_EQ(Y0, B[0]);
  EXPECT_EQ(Y1, B[1] - A[0] * B[0]);
  EXPECT_DOUBLE_EQ(Y2, B[2] - A[0] * Y1 - A[1] * B[0]);
}

TEST(BiquadProcessing, BlockProcessingMatchesSampleProcessingForEveryDesign) {
  for (const TDesign& D : AllDesigns()) {
    if (std::string(D.Name) == "Highcut") continue;  // its block form runs in Single precision on purpose (below)
    auto Blocked = D.Create(), Single = D.Create();
    for (auto* F : {Blocked.get(), Single.get()}) {
      F->SetGain(-4.5);
      F->SetFrequency(3210);
    }
    std::vector<double> Block(300);
    for (std::size_t i = 0; i < Block.size(); ++i) Block[i] = std::sin(0.2 * static_cast<double>(i)) - 0.1;
    for (int Part : {0, 100, 200}) {
      Blocked->ProcessBlock64(Block.data() + Part, 100);
      for (int i = Part; i < Part + 100; ++i)
        ASSERT_EQ(Block[static_cast<std::size_t>(i)], Single->ProcessSample64(std::sin(0.2 * i) - 0.1))
            << D.Name << " sample " << i;
    }
  }
}

TEST(BiquadProcessing, SinglePathRoundsTheOutputBeforeItEntersTheState) {
  TBasicPeakFilter F64, F32;
  for (auto* F : {&F64, &F32}) {
    F->SetGain(5);
    F->SetFrequency(1234);
  }
  for (int n = 0; n < 50; ++n) {
    const float X = static_cast<float>(std::sin(0.1 * n));
    const float Y32 = F32.ProcessSample32(X);
    const double Y64 = F64.ProcessSample64(X);
    EXPECT_NEAR(Y32, Y64, 1e-6);
  }
  std::vector<float> Block(64, 0.5f);
  TBasicPeakFilter Blocked, Single;
  Blocked.SetGain(5);
  Single.SetGain(5);
  Blocked.ProcessBlock32(Block.data(), static_cast<int>(Block.size()));
  for (float Y : Block) EXPECT_EQ(Y, Single.ProcessSample32(0.5f));
}

TEST(BiquadProcessing, HighcutBlock64RunsInSinglePrecision) {
  TBasicHighcutFilter Blocked, Single;
  std::vector<double> Block(32);
  for (std::size_t i = 0; i < Block.size(); ++i) Block[i] = std::sin(0.3 * static_cast<double>(i)) / 3;
  const std::vector<double> Input = Block;
  Blocked.ProcessBlock64(Block.data(), static_cast<int>(Block.size()));
  for (std::size_t i = 0; i < Block.size(); ++i)
    EXPECT_EQ(Block[i], static_cast<double>(Single.ProcessSample32(static_cast<float>(Input[i]))));
}

TEST(BiquadProcessing, GainFilterScalesByTheLinearGain) {
  TBasicGainFilter F;
  F.SetGain(20);
  EXPECT_NEAR(F.ProcessSample64(0.5), 5.0, 1e-12);
  F.Reset();
  EXPECT_EQ(F.Gain(), 0.0);
  EXPECT_EQ(F.ProcessSample64(0.5), 0.5);
}

// The integer path rounds every product to the nearest integer; truncation
// would lose up to one step per product and bias the output towards zero.
TEST(BiquadProcessing, IntegerPathRoundsProductsToTheNearestInteger) {
  TBasicGainFilter F;
  F.SetGain(-6);  // b0 = 0.50119
  F.ResetStatesInt64();
  EXPECT_EQ(F.ProcessSampleInt64(1), 1);  // 0.501
  EXPECT_EQ(F.ProcessSampleInt64(3), 2);  // 1.504
  EXPECT_EQ(F.ProcessSampleInt64(-3), -2);
  EXPECT_EQ(F.ProcessSampleInt64(5), 3);  // 2.506
  EXPECT_EQ(F.ProcessSampleInt64(1000), 501);
}

TEST(BiquadStates, PushProcessPopRestoresExactlyAndGetIRLeavesStatesAlone) {
  TBasicLowShelfFilter F;
  F.SetGain(7);
  for (int n = 0; n < 10; ++n) F.ProcessSample64(std::cos(n * 0.7));
  const auto Before = F.States();
  F.PushStates();
  F.PushStates();
  F.ProcessSample64(1);
  F.PopStates();
  EXPECT_EQ(F.States(), Before);
  F.ProcessSample64(-1);
  F.PopStates();
  EXPECT_EQ(F.States(), Before);
  F.PopStates();  // empty stack: nothing
  EXPECT_EQ(F.States(), Before);

  std::vector<double> IR(16);
  F.GetIR(IR);
  EXPECT_EQ(F.States(), Before);
  TBasicLowShelfFilter Fresh;
  Fresh.SetGain(7);
  EXPECT_EQ(IR[0], Fresh.ProcessSample64(1) + Before[0]);
  std::vector<float> IR32(4);
  F.GetIR(IR32);
  EXPECT_EQ(IR32[0], static_cast<float>(IR[0]));
  F.GetIR(std::span<double>());
  EXPECT_EQ(F.States(), Before);
}

TEST(BiquadStates, ResetStatesClearsAndRetuningDoesNot) {
  TBasicPeakFilter F;
  F.SetGain(3);
  F.ProcessSample64(1);
  F.ProcessSample64(0.5);
  const auto Before = F.States();
  F.SetGain(-3);
  EXPECT_EQ(F.States(), Before);
  F.ResetStates();
  EXPECT_EQ(F.States(), (std::array<double, 2>{0, 0}));
}

TEST(BiquadOrder, OrderIsTwoAndCannotBeWritten) {
  TBasicNotchFilter F;
  EXPECT_EQ(F.Order(), 2u);
  for (unsigned V : {0u, 2u, 5u}) {
    try {
      F.SetOrder(V);
      FAIL() << "no error for " << V;
    } catch (const EDspError& E) {
      EXPECT_STREQ(E.what(), "Order is fixed!");
    }
  }
}

TEST(BiquadPolesZeros, AreTheRootsOfTheCreationCoefficients) {
  TBasicNotchFilter Notch;  // zeros on the unit circle at the design angle, poles inside
  const double W = 2 * std::numbers::pi * 1000 / 44100;
  EXPECT_NEAR(Notch.Zeros()[0].Re, std::cos(W), 1e-6);
  EXPECT_NEAR(Notch.Zeros()[0].Im, std::sin(W), 1e-6);
  EXPECT_NEAR(Notch.Zeros()[1].Im, -std::sin(W), 1e-6);
  const double Radius = std::hypot(Notch.Poles()[0].Re, Notch.Poles()[0].Im);
  EXPECT_NEAR(Radius * Radius, Notch.Denominator()[1], 1e-6);
  // Poles are not recomputed after creation.
  const auto Poles = Notch.Poles();
  Notch.SetFrequency(5000);
  EXPECT_EQ(Notch.Poles()[0].Re, Poles[0].Re);
  TBasicGainFilter Gain;  // b1 = b2 = 0: a double real zero at 0
  EXPECT_EQ(Gain.Zeros()[0].Re, 0.0f);
  EXPECT_EQ(Gain.Zeros()[0].Im, 0.0f);
}

// Also guards alpha: with equal bandwidths Dest's alpha must still follow the
// copied angle.
TEST(BiquadAssign, SameClassCopiesStatesOtherClassRecalculates) {
  TBasicPeakFilter Source;
  Source.SetGain(4);
  Source.SetFrequency(2500);
  Source.ProcessSample64(1);
  Source.PushStates();
  TBasicPeakFilter Same;
  Same.Assign(Source);
  EXPECT_EQ(Same.Nominator(), Source.Nominator());
  EXPECT_EQ(Same.States(), Source.States());
  Same.ProcessSample64(3);
  Same.PopStates();
  EXPECT_EQ(Same.States(), Source.States());

  TBasicLowShelfFilter Other;
  Other.Assign(Source);
  EXPECT_EQ(Other.States(), (std::array<double, 2>{0, 0}));
  TBasicLowShelfFilter Expected;
  Expected.SetGain(4);
  Expected.SetFrequency(2500);
  EXPECT_EQ(Other.Nominator(), Expected.Nominator());
  EXPECT_EQ(Other.Denominator(), Expected.Denominator());
}

}  // namespace
}  // namespace vb
