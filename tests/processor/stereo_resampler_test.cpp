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
    for (auto& Each : Channel) {
      Each.SetFilterClass(Class);
      Each.SetOrder(Order);
    }
  }
};

TEST(StereoResampler, RunsFourthOrderButterworthLowPassesOnly) {
  TStereoResampler Resampler;
  TResamplerPair Runnable(TStereoResampler::kOrder);
  EXPECT_NO_THROW(Resampler.Bind(Runnable.Channel[0], Runnable.Channel[1]));
  for (int c = 0; c < 2; ++c)
    for (int Direction = 0; Direction < 2; ++Direction) {
      const auto& Filter = static_cast<const TCustomButterworthFilter&>(Runnable.Channel[c].Filter(Direction));
      const auto InUse = Resampler.Coefficients(Direction, c);
      EXPECT_EQ(InUse[0], Filter.FilterGain());
      for (unsigned k = 0; k < TStereoResampler::kOrder; ++k) EXPECT_EQ(InUse[k + 1], Filter.Coefficient(k));
    }
  TResamplerPair OtherOrder(2);
  EXPECT_THROW(Resampler.Bind(OtherOrder.Channel[0], OtherOrder.Channel[1]), EAssertionFailed);
  TResamplerPair HighPass(TStereoResampler::kOrder, &TButterworthHighPassFilter::Class());
  EXPECT_THROW(Resampler.Bind(Runnable.Channel[0], HighPass.Channel[1]), EAssertionFailed);
}

}  // namespace
}  // namespace vb
