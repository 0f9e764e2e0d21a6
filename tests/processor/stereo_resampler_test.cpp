// Guards the stereo resampler's contract with the resampler objects: it
// runs only the filters whose arithmetic it copies, and refuses others at
// set-up instead of running them with the wrong sections.
#include "processor/stereo_resampler.h"

#include <gtest/gtest.h>

#include "dsp/dsp_errors.h"

namespace vb {
namespace {

struct TResamplerPair {
  TZarnUpDownsampling Channel[2];
  explicit TResamplerPair(int Order, TOrderFilterClass Class = &TButterworthLowPassFilter::Class()) {
    for (auto& each : Channel) {
      each.SetFilterClass(Class);
      each.SetOrder(Order);
    }
  }
};

TEST(StereoResampler, RunsFourthOrderButterworthLowPassesOnly) {
  TStereoResampler resampler;
  TResamplerPair runnable(TStereoResampler::kOrder);
  EXPECT_NO_THROW(resampler.Bind(runnable.Channel[0], runnable.Channel[1]));
  for (int c = 0; c < 2; ++c)
    for (int direction = 0; direction < 2; ++direction) {
      const auto& filter = static_cast<const TCustomButterworthFilter&>(runnable.Channel[c].Filter(direction));
      const auto inUse = resampler.Coefficients(direction, c);
      EXPECT_EQ(inUse[0], filter.FilterGain());
      for (unsigned k = 0; k < TStereoResampler::kOrder; ++k) EXPECT_EQ(inUse[k + 1], filter.Coefficient(k));
    }
  TResamplerPair otherOrder(2);
  EXPECT_THROW(resampler.Bind(otherOrder.Channel[0], otherOrder.Channel[1]), EAssertionFailed);
  TResamplerPair highPass(TStereoResampler::kOrder, &TButterworthHighPassFilter::Class());
  EXPECT_THROW(resampler.Bind(runnable.Channel[0], highPass.Channel[1]), EAssertionFailed);
}

}  // namespace
}  // namespace vb
