#include "processor/stereo_resampler.h"

#include <cmath>
#include <typeinfo>

#include "dsp/dsp_constants.h"
#include "dsp/dsp_errors.h"

namespace vb {

namespace {

// The resampler's filter Index when it is one this class can run.
const TCustomButterworthFilter& RunnableFilter(const TZarnUpDownsampling& Resampler, int Index) {
  const TCustomOrderFilter& filter = Resampler.Filter(Index);
  if (typeid(filter) != typeid(TButterworthLowPassFilter) || filter.Order() != TStereoResampler::kOrder)
    throw EAssertionFailed(TErrorCode::ecAssertionFailed,
                           "Stereo resampling runs fourth-order Butterworth low-passes only", "stereo_resampler");
  return static_cast<const TCustomButterworthFilter&>(filter);
}

}  // namespace

void TStereoResampler::LoadCoefficients(TCoefficients& Target, const TCustomButterworthFilter& Channel0,
                                        const TCustomButterworthFilter& Channel1) {
  Target.Gain = Lanes(Channel0.FilterGain(), Channel1.FilterGain());
  for (unsigned k = 0; k < kOrder; ++k) Target.c[k] = Lanes(Channel0.Coefficient(k), Channel1.Coefficient(k));
}

void TStereoResampler::Bind(const TZarnUpDownsampling& Channel0, const TZarnUpDownsampling& Channel1) {
  const TCustomButterworthFilter* source[2][2] = {{&RunnableFilter(Channel0, 0), &RunnableFilter(Channel0, 1)},
                                                  {&RunnableFilter(Channel1, 0), &RunnableFilter(Channel1, 1)}};
  for (int c = 0; c < 2; ++c)
    for (int d = 0; d < 2; ++d) FSource[c][d] = source[c][d];
  Retune();
}

void TStereoResampler::Retune() {
  if (!FSource[0][0]) return;
  for (unsigned k = 0; k < kOrder; ++k) FUp.s[k] = FDown.s[k] = Broadcast(0.0);
  LoadCoefficients(FUp, *FSource[0][0], *FSource[1][0]);
  LoadCoefficients(FDown, *FSource[0][1], *FSource[1][1]);
}

std::array<double, TStereoResampler::kOrder + 1> TStereoResampler::Coefficients(int Direction, int Channel) const {
  const TCoefficients& c = Direction == 0 ? FUp : FDown;
  auto lane = [Channel](TLanes X) { return Channel == 0 ? Lane0(X) : Lane1(X); };
  std::array<double, kOrder + 1> result{lane(c.Gain)};
  for (unsigned k = 0; k < kOrder; ++k) result[k + 1] = lane(c.c[k]);
  return result;
}

void TStereoResampler::KeepFinite(TFilter& Filter) {
  bool finite[2] = {true, true};
  for (const TLanes& s : Filter.s) {
    finite[0] = finite[0] && std::isfinite(Lane0(s));
    finite[1] = finite[1] && std::isfinite(Lane1(s));
  }
  if (finite[0] && finite[1]) return;
  for (TLanes& s : Filter.s) s = Lanes(finite[0] ? Lane0(s) : 0.0, finite[1] ? Lane1(s) : 0.0);
}

void TStereoResampler::End() {
  KeepFinite(FUp);
  KeepFinite(FDown);
}

}  // namespace vb
