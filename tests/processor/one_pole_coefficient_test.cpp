// Guards the smoother pole: the constants and the order of the arithmetic
// set the sound of the "HiPass" and "LoPass" knobs at every factor.
#include "processor/one_pole_coefficient.h"

#include <gtest/gtest.h>

namespace vb {
namespace {

TEST(OnePoleCoefficient, MatchesTheKnownPolesAt44100Hz) {
  EXPECT_NEAR(OnePoleCoefficient(20, 44100, 1), 0.993465, 5e-7);
  EXPECT_NEAR(OnePoleCoefficient(20, 44100, 8), 0.999181, 5e-7);
  EXPECT_NEAR(OnePoleCoefficient(20, 44100, 16), 0.999590, 5e-7);
  EXPECT_NEAR(OnePoleCoefficient(3000, 44100, 1), 0.387704, 5e-7);
  EXPECT_NEAR(OnePoleCoefficient(3000, 44100, 8), 0.884394, 5e-7);
  EXPECT_NEAR(OnePoleCoefficient(3000, 44100, 16), 0.940395, 5e-7);
  EXPECT_NEAR(OnePoleCoefficient(500, 44100, 1), 0.848977, 5e-7);
  EXPECT_NEAR(OnePoleCoefficient(5000, 44100, 1), 0.224157, 5e-7);
}

TEST(OnePoleCoefficient, IsExactlyOneAtZeroHertz) {
  EXPECT_EQ(OnePoleCoefficient(0, 44100, 1), 1.0);
  EXPECT_EQ(OnePoleCoefficient(0, 96000, 16), 1.0);
}

TEST(OnePoleCoefficient, FallsAsTheFrequencyRisesAndDependsOnlyOnTheRatio) {
  double previous = 1.0;
  for (double f = 100; f <= 5000; f += 100) {
    const double p = OnePoleCoefficient(f, 44100, 1);
    EXPECT_LT(p, previous) << f;
    EXPECT_GT(p, 0.0) << f;
    previous = p;
  }
  EXPECT_EQ(OnePoleCoefficient(3000, 44100, 8), OnePoleCoefficient(3000, 352800, 1));
}

}  // namespace
}  // namespace vb
