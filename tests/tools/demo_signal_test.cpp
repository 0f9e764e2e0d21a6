// Guards the built-in demo: fixed length, same samples on every run, sound throughout, no overload.
#include <gtest/gtest.h>

#include <cmath>

#include "demo_signal.h"

namespace vb {
namespace {

TEST(DemoSignal, LastsTenSecondsInStereoAtTheChosenRate) {
  for (double rate : {44100.0, 48000.0, 22050.0}) {
    TDemoSignal demo(rate);
    std::vector<double> s = demo.Render();
    EXPECT_EQ(demo.Frames(), static_cast<std::int64_t>(10 * rate));
    EXPECT_EQ(s.size(), static_cast<size_t>(demo.Frames()) * 2);
  }
}

TEST(DemoSignal, GivesTheSameSamplesOnEveryRun) {
  std::vector<double> a = TDemoSignal(44100).Render();
  std::vector<double> b = TDemoSignal(44100).Render();
  ASSERT_EQ(a.size(), b.size());
  EXPECT_TRUE(a == b);
}

TEST(DemoSignal, PeaksAtMinusSixDecibelsWithFiniteSamples) {
  std::vector<double> s = TDemoSignal(44100).Render();
  double peak = 0;
  for (double v : s) {
    ASSERT_TRUE(std::isfinite(v));
    peak = std::max(peak, std::fabs(v));
  }
  EXPECT_NEAR(peak, TDemoSignal::kPeak, 1e-12);
}

TEST(DemoSignal, SoundsInEverySecondOnBothChannelsAndFadesToSilence) {
  const double rate = 44100;
  std::vector<double> s = TDemoSignal(rate).Render();
  const size_t second = static_cast<size_t>(rate);
  for (size_t sec = 0; sec < 10; ++sec) {
    double sum[2] = {0, 0};
    for (size_t i = sec * second; i < (sec + 1) * second; ++i)
      for (int c = 0; c < 2; ++c) sum[c] += s[i * 2 + c] * s[i * 2 + c];
    for (int c = 0; c < 2; ++c) {
      double rmsDb = 10 * std::log10(sum[c] / second);
      // The last second holds the final chord dying away and the fade-out.
      EXPECT_GT(rmsDb, sec < 9 ? -40.0 : -60.0) << "second " << sec << " channel " << c;
    }
  }
  EXPECT_EQ(s[s.size() - 1], 0.0);
  EXPECT_EQ(s[s.size() - 2], 0.0);
  EXPECT_NE(s[0] + s[2] + s[4], 0.0);  // the first chord starts at once
}

TEST(DemoSignal, LeftAndRightDiffer) {
  std::vector<double> s = TDemoSignal(44100).Render();
  double diff = 0;
  for (size_t i = 0; i + 1 < s.size(); i += 2) diff = std::max(diff, std::fabs(s[i] - s[i + 1]));
  EXPECT_GT(diff, 0.01);
}

}  // namespace
}  // namespace vb
