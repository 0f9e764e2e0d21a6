#include "processor/stereo_resampler.h"

#include <cmath>

#include "dsp/dsp_constants.h"

namespace vb {

namespace {

double Coefficient(const TCustomOrderFilter& Filter, unsigned Index) {
  return static_cast<const TCustomButterworthFilter&>(Filter).Coefficient(Index);
}

double Gain(const TCustomOrderFilter& Filter) {
  return static_cast<const TCustomButterworthFilter&>(Filter).FilterGain();
}

}  // namespace

void TStereoResampler::LoadCoefficients(TCoefficients& Target, const TCustomOrderFilter& Channel0,
                                        const TCustomOrderFilter& Channel1) {
  Target.Gain = Lanes(Gain(Channel0), Gain(Channel1));
  for (unsigned k = 0; k < kOrder; ++k) Target.c[k] = Lanes(Coefficient(Channel0, k), Coefficient(Channel1, k));
}

void TStereoResampler::Fetch(const TZarnUpDownsampling& Channel0, const TZarnUpDownsampling& Channel1) {
  LoadCoefficients(FFetchedUp, Channel0.Filter(0), Channel1.Filter(0));
  LoadCoefficients(FFetchedDown, Channel0.Filter(1), Channel1.Filter(1));
}

void TStereoResampler::Commit() {
  if (FChanged.exchange(false, std::memory_order_relaxed)) {
    for (unsigned k = 0; k < kOrder; ++k) FUp.s[k] = FDown.s[k] = Broadcast(0.0);
  }
  static_cast<TCoefficients&>(FUp) = FFetchedUp;
  static_cast<TCoefficients&>(FDown) = FFetchedDown;
}

void TStereoResampler::KeepFinite(TFilter& Filter) {
  bool Finite[2] = {true, true};
  for (const TLanes& s : Filter.s) {
    Finite[0] = Finite[0] && std::isfinite(Lane0(s));
    Finite[1] = Finite[1] && std::isfinite(Lane1(s));
  }
  if (Finite[0] && Finite[1]) return;
  for (TLanes& s : Filter.s) s = Lanes(Finite[0] ? Lane0(s) : 0.0, Finite[1] ? Lane1(s) : 0.0);
}

void TStereoResampler::End() {
  KeepFinite(FUp);
  KeepFinite(FDown);
}

void TStereoResampler::Upsample(TLanes v, int Factor, double* Out0, double* Out1) {
  Store(FUp.Tick(Broadcast(Factor) * v + Broadcast(kDenorm64)), Out0, Out1);
  const TLanes Rest = Broadcast(-kDenorm64);
  for (int i = 1; i < Factor; ++i) Store(FUp.Tick(Rest), Out0 + i, Out1 + i);
}

void TStereoResampler::Upsample(TLanes v, int Factor, float* Out0, float* Out1) {
  // v is already rounded to Single.
  Store(FUp.Tick(Broadcast(Factor) * v + Broadcast(kDenorm32)), Out0, Out1);
  const TLanes Rest = Broadcast(-kDenorm32);
  for (int i = 1; i < Factor; ++i) Store(FUp.Tick(Rest), Out0 + i, Out1 + i);
}

TLanes TStereoResampler::Downsample(const double* In0, const double* In1, int Factor) {
  const TLanes Result = FDown.Tick(Load(In0, In1) + Broadcast(kDenorm64));
  const TLanes Offset = Broadcast(-kDenorm64);
  for (int i = 1; i < Factor; ++i) FDown.Tick(Load(In0 + i, In1 + i) + Offset);
  return Result;
}

TLanes TStereoResampler::Downsample(const float* In0, const float* In1, int Factor) {
  const TLanes Result = FDown.Tick(Load(In0, In1) + Broadcast(kDenorm32));
  // -0.0 leaves every other input exactly as it is.
  const TLanes Offset = Broadcast(-0.0);
  for (int i = 1; i < Factor; ++i) FDown.Tick(Load(In0 + i, In1 + i) + Offset);
  return Result;
}

}  // namespace vb
