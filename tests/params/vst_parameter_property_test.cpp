// Guards the mapping between the host's normalised values and parameter
// units, the setter rules that keep names, labels and categories consistent,
// and copying of descriptions.
#include "params/vst_parameter_property.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/vst_abi.h"
#include "params/fake_parameter_owner.h"

namespace vb {
namespace {

using test::TFakeParameterOwner;

// A free-standing description over Min..Max with the given curve.
struct TParameterRange : TCustomVstParameterProperty {
  TParameterRange(float Min, float Max, TCurveType Curve) : TCustomVstParameterProperty(nullptr, "P") {
    SetMin(Min);
    SetMax(Max);
    SetCurve(Curve);
  }
};

TEST(ParameterMapping, LinearMapsTheRangeAndClamps) {
  TParameterRange p(-200, 200, ctLinear);
  EXPECT_EQ(p.VSTParameter2Parameter(0.0f), -200.0f);
  EXPECT_EQ(p.VSTParameter2Parameter(0.5f), 0.0f);
  EXPECT_EQ(p.VSTParameter2Parameter(1.0f), 200.0f);
  EXPECT_EQ(p.VSTParameter2Parameter(1.5f), 200.0f);
  EXPECT_EQ(p.VSTParameter2Parameter(-3.0f), -200.0f);
  EXPECT_EQ(p.VSTParameter2Parameter(0.75f), 100.0f);
  EXPECT_EQ(p.Parameter2VSTParameter(100.0f), 0.75f);
  EXPECT_EQ(p.Parameter2VSTParameter(300.0f), 1.0f);
  EXPECT_EQ(p.Parameter2VSTParameter(-300.0f), 0.0f);
}

TEST(ParameterMapping, NonFiniteInputsNeverGiveNaN) {
  for (TCurveType c : {ctLinear, ctLogarithmic, ctExponential, ctFrequencyScale}) {
    TParameterRange p(20, 20000, c);
    for (float x : {std::numeric_limits<float>::quiet_NaN(), INFINITY, -INFINITY}) {
      EXPECT_FALSE(std::isnan(p.VSTParameter2Parameter(x))) << c;
      float back = p.Parameter2VSTParameter(x);
      EXPECT_TRUE(back >= 0.0f && back <= 1.0f) << c << " " << x;
    }
  }
  TParameterRange bad(0, 10, ctExponential);  // a factor outside the curve's domain
  bad.SetCurveFactor(-4.0f);
  EXPECT_FALSE(std::isnan(bad.VSTParameter2Parameter(0.5f)));
  TParameterRange same(5, 5, ctLinear);  // Max = Min: no inverse exists
  float back = same.Parameter2VSTParameter(5.0f);
  EXPECT_TRUE(back >= 0.0f && back <= 1.0f);
}

// A NaN from the host counts as normalised 0: the parameter's minimum, not
// its maximum and not merely some value inside the range.
TEST(ParameterMapping, NaNMapsToTheMinimumInBothDirections) {
  const float naN = std::numeric_limits<float>::quiet_NaN();
  for (TCurveType c : {ctLinear, ctLogarithmic, ctExponential, ctFrequencyScale}) {
    TParameterRange p(20, 20000, c);
    EXPECT_EQ(p.VSTParameter2Parameter(naN), p.VSTParameter2Parameter(0.0f)) << c;
    EXPECT_NEAR(p.VSTParameter2Parameter(naN), 20.0f, 1e-3f) << c;
    EXPECT_EQ(p.Parameter2VSTParameter(naN), 0.0f) << c;
  }
}

TEST(ParameterMapping, EveryCurveRoundTripsWithinSinglePrecision) {
  struct TCase {
    TCurveType Curve;
    float Min, Max, Factor;
  };
  const TCase cases[] = {{ctLinear, -200, 200, 1},         {ctLinear, 1, 16, 1},
                         {ctLogarithmic, 20, 20000, 0},    {ctLogarithmic, 0, 10, 5},
                         {ctExponential, 0, 100, 10},      {ctExponential, -1, 1, 0.5f},
                         {ctFrequencyScale, 20, 20000, 1}, {ctFrequencyScale, -1000, -10, 1},
                         {ctFrequencyScale, 0, 500, 1}};
  for (const auto& c : cases) {
    TParameterRange p(c.Min, c.Max, c.Curve);
    if (c.Factor != 0) p.SetCurveFactor(c.Factor);
    for (int i = 0; i <= 100; ++i) {
      const float x = static_cast<float>(i) / 100.0f;
      const float v = p.VSTParameter2Parameter(x);
      EXPECT_GE(v, std::min(c.Min, c.Max) - 1e-3f);
      EXPECT_LE(v, std::max(c.Min, c.Max) + 1e-3f);
      EXPECT_NEAR(p.Parameter2VSTParameter(v), x, 2e-5f) << "curve " << c.Curve << " x " << x;
    }
  }
}

TEST(ParameterMapping, LogarithmicCurveTakesItsFactorFromTheRange) {
  TParameterRange p(20, 20000, ctLogarithmic);
  EXPECT_EQ(p.CurveFactor(), 1000.0f);
  EXPECT_EQ(p.InverseCurveFactor(), 0.001f);
  EXPECT_EQ(p.VSTParameter2Parameter(1.0f), 20000.0f);
  EXPECT_EQ(p.Parameter2VSTParameter(20000.0f), 1.0f);
  EXPECT_EQ(p.VSTParameter2Parameter(0.0f), 20.0f);
  // Monotonic and logarithmic: the midpoint lies far below the linear one.
  EXPECT_LT(p.VSTParameter2Parameter(0.5f), 1000.0f);
  // Far below Min the inverse has no real logarithm; it clamps to 0.
  EXPECT_EQ(p.Parameter2VSTParameter(-1e6f), 0.0f);
}

TEST(ParameterMapping, SmoothingFollowsThePreviousValue) {
  TParameterRange p(0, 10, ctLinear);
  p.SetSmoothingFactor(0.5f);
  EXPECT_EQ(p.VSTParameter2Parameter(1.0f), 5.0f);
  EXPECT_EQ(p.VSTParameter2Parameter(1.0f), 7.5f);
  p.SetSmoothingFactor(0.0f);
  EXPECT_EQ(p.VSTParameter2Parameter(0.2f), 2.0f);
  EXPECT_EQ(p.SmoothingState(), 2.0f);
}

TEST(ParameterMapping, SwitchesRoundHalvesToEven) {
  TParameterRange p(0, 1, ctLinear);
  p.SetFlags(1u << ppfParameterIsSwitch);
  EXPECT_EQ(p.VSTParameter2Parameter(0.49f), 0.0f);
  EXPECT_EQ(p.VSTParameter2Parameter(0.51f), 1.0f);
  EXPECT_EQ(p.VSTParameter2Parameter(0.5f), 0.0f);
  TParameterRange q(0, 3, ctLinear);
  q.SetFlags(1u << ppfParameterIsSwitch);
  EXPECT_EQ(q.VSTParameter2Parameter(0.5f), 2.0f);  // 1.5 -> 2
  EXPECT_EQ(q.Parameter2VSTParameter(1.5f), 0.5f);  // no rounding backwards
}

TEST(ParameterSetters, SmoothingFactorOutsideItsRangeIsRefused) {
  TCustomVstParameterProperty p(nullptr, "P");
  p.SetSmoothingFactor(0.3f);
  EXPECT_EQ(p.SmoothingFactor(), 0.3f);
  p.SetSmoothingFactor(1.0f);
  EXPECT_EQ(p.SmoothingFactor(), 0.0f);
  p.SetSmoothingFactor(0.3f);
  p.SetSmoothingFactor(-0.1f);
  EXPECT_EQ(p.SmoothingFactor(), 0.0f);
  p.SetSmoothingFactor(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(p.SmoothingFactor(), 0.0f);
}

TEST(ParameterSetters, NameSetsTheShortLabelOnlyWhileItMirrorsTheName) {
  TCustomVstParameterProperty p(nullptr, "Parameter 1");
  p.SetDisplayName("Oversampling");
  EXPECT_EQ(p.DisplayName(), "Oversampling");
  EXPECT_EQ(p.ShortLabel(), "Oversam");
  // The label no longer equals the name: renaming keeps it.
  p.SetDisplayName("Factor");
  EXPECT_EQ(p.ShortLabel(), "Oversam");

  TCustomVstParameterProperty q(nullptr, "Parameter 2");
  q.SetDisplayName("Drive");
  EXPECT_EQ(q.ShortLabel(), "Drive");
  q.SetDisplayName("Gain");  // label equalled the name, so it follows
  EXPECT_EQ(q.ShortLabel(), "Gain");
  q.SetShortLabel("LongLabelText");
  EXPECT_EQ(q.ShortLabel(), "LongLab");
}

TEST(ParameterSetters, TextsAreCutToTheirLimits) {
  TFakeParameterOwner owner;
  auto& p = owner.Properties.Add();
  p.SetDisplayName(std::string(80, 'n'));
  EXPECT_EQ(p.DisplayName().size(), 64u);
  p.SetCategory(std::string(30, 'c'));
  EXPECT_EQ(p.Category().size(), 23u);
}

TEST(ParameterSetters, CurveFactorKeepsItsInverse) {
  TCustomVstParameterProperty p(nullptr, "P");
  p.SetCurveFactor(4.0f);
  EXPECT_EQ(p.InverseCurveFactor(), 0.25f);
  p.SetMin(0);
  p.SetCurve(ctLogarithmic);  // Min = 0: the factor stays
  EXPECT_EQ(p.CurveFactor(), 4.0f);
}

TEST(ParameterList, NewDescriptionsAreNumberedAndCounted) {
  TFakeParameterOwner owner;
  owner.Properties.Add();
  auto& second = owner.Properties.Add();
  EXPECT_EQ(second.DisplayName(), "Parameter 2");
  EXPECT_EQ(second.ShortLabel(), "");
  EXPECT_EQ(owner.NumParams, 2);
  EXPECT_EQ(second.VSTModule(), &owner);
  owner.Properties.Delete(0);
  EXPECT_EQ(owner.NumParams, 1);
  owner.Properties.Delete(5);  // out of range: ignored
  EXPECT_EQ(owner.NumParams, 1);
  EXPECT_EQ(owner.Properties.IndexOfName("Parameter 2"), 0);
  EXPECT_EQ(owner.Properties.IndexOfName("parameter 2"), -1);
}

TEST(ParameterAssign, CopiesPublishedValuesButNotEventsOrCategory) {
  TFakeParameterOwner owner;
  auto& src = owner.Properties.Add();
  src.SetMin(-15);
  src.SetMax(15);
  src.SetCurveFactor(3);
  src.SetDisplayName("Mid");
  src.SetUnits("dB");
  src.SetFlags(0x0E);
  src.SetSmoothingFactor(0.25f);
  src.MinInteger = -15;
  src.LargeStepInteger = 2;
  src.CC = 7;
  src.CanBeAutomated = false;
  src.SetCategory("Tone");
  src.UseDefaultString2ParameterHandler = true;
  src.OnParameterChange = [](TCustomVSTModule&, std::int32_t, float&) {};
  src.VSTParameter2Parameter(1.0f);  // moves the smoothing state

  auto& dst = owner.Properties.Add();
  dst.Assign(src);
  EXPECT_EQ(dst.Min(), -15.0f);
  EXPECT_EQ(dst.Max(), 15.0f);
  EXPECT_EQ(dst.CurveFactor(), 3.0f);
  EXPECT_EQ(dst.InverseCurveFactor(), src.InverseCurveFactor());
  EXPECT_EQ(dst.DisplayName(), "Mid");
  EXPECT_EQ(dst.ShortLabel(), "Mid");
  EXPECT_EQ(dst.Units(), "dB");
  EXPECT_EQ(dst.Flags(), 0x0E);
  EXPECT_EQ(dst.SmoothingFactor(), 0.25f);
  EXPECT_EQ(dst.SmoothingState(), src.SmoothingState());
  EXPECT_EQ(dst.MinInteger, -15);
  EXPECT_EQ(dst.LargeStepInteger, 2);
  EXPECT_EQ(dst.CC, 7);
  EXPECT_FALSE(dst.CanBeAutomated);
  EXPECT_EQ(dst.Category(), "");
  EXPECT_FALSE(dst.UseDefaultString2ParameterHandler);
  EXPECT_FALSE(dst.OnParameterChange);
}

}  // namespace
}  // namespace vb
