#include "dsp/up_down_sampling.h"

#include <typeinfo>

#include "dsp/dsp_constants.h"
#include "error/error.h"

namespace vb {

namespace {

// The sample loops for any order filter (virtual calls).
template <class TFilter, class TSample>
void Upsample(TFilter& Up, int F, double First, double Rest, TSample* Output) {
  Output[0] = static_cast<TSample>(Up.ProcessSample64(First));
  for (int i = 1; i < F; ++i) Output[i] = static_cast<TSample>(Up.ProcessSample64(Rest));
}

template <class TFilter, class TSample>
double Downsample(TFilter& Down, int F, const TSample* Input, double FirstOffset, double RestOffset) {
  const double result = Down.ProcessSample64(static_cast<double>(Input[0]) + FirstOffset);
  for (int i = 1; i < F; ++i) Down.ProcessSample64(static_cast<double>(Input[i]) + RestOffset);
  return result;
}

// The same for the Butterworth low-pass, as one run per call so that its
// states stay in registers across the Factor samples.
template <class TSample>
void Upsample(TButterworthLowPassFilter& Up, int F, double First, double Rest, TSample* Output) {
  Up.ProcessRun64(
      F, [&](int I) { return I == 0 ? First : Rest; }, [&](int I, double Y) { Output[I] = static_cast<TSample>(Y); });
}

template <class TSample>
double Downsample(TButterworthLowPassFilter& Down, int F, const TSample* Input, double FirstOffset, double RestOffset) {
  double result = 0;
  Down.ProcessRun64(
      F, [&](int I) { return static_cast<double>(Input[I]) + (I == 0 ? FirstOffset : RestOffset); },
      [&](int I, double Y) {
        if (I == 0) result = Y;
      });
  return result;
}

}  // namespace

// ---- TZarnResampling ----

const char* TZarnResampling::ClassName() const { return "TZarnResampling"; }

void TZarnResampling::AssignTo(TNotifiablePersistent& Dest) const {
  TDspSampleRatePersistent::AssignTo(Dest);
  if (auto* target = dynamic_cast<TZarnResampling*>(&Dest)) {
    target->FFactor = FFactor.Load();
    target->FOrder = FOrder;
    target->FTransitionBandwidth = FTransitionBandwidth;
  }
}

void TZarnResampling::SetFactor(int Value) {
  // A factor of 0 would divide by zero when the filters are tuned and a
  // negative one would make the sample operations write nothing.
  if (Value < 1) return;
  if (Value != FFactor) {
    FFactor = Value;
    FactorChanged();
  }
}

void TZarnResampling::SetFilterClass(TOrderFilterClass Value) {
  // Without a class there would be no filters to run.
  if (Value && Value != FFilterClass) {
    FFilterClass = Value;
    FilterClassChanged();
  }
}

void TZarnResampling::SetOrder(int Value) {
  if (Value != FOrder) {
    FOrder = Value;
    OrderChanged();
  }
}

void TZarnResampling::SetTransitionBandwidth(double Value) {
  if (Value != FTransitionBandwidth) {
    FTransitionBandwidth = Value;
    TransitionBandwidthChanged();
  }
}

void TZarnResampling::SampleRateChanged() {
  UpdateFilter();
  Changed();
}

void TZarnResampling::FactorChanged() {
  UpdateFilter();
  Changed();
}

void TZarnResampling::OrderChanged() {
  UpdateFilter();
  Changed();
}

void TZarnResampling::TransitionBandwidthChanged() {
  UpdateFilter();
  Changed();
}

// ---- TZarnUpDownsampling ----

TZarnUpDownsampling::TZarnUpDownsampling() {
  SetFilterClass(&TButterworthLowPassFilter::Class());
  SetOrder(2);
}

const char* TZarnUpDownsampling::ClassName() const { return "TZarnUpDownsampling"; }

void TZarnUpDownsampling::AssignTo(TNotifiablePersistent& Dest) const {
  TZarnResampling::AssignTo(Dest);
  if (auto* target = dynamic_cast<TZarnUpDownsampling*>(&Dest)) {
    for (int i = 0; i < 2; ++i) target->FFilter[i]->Assign(*FFilter[i]);
  }
}

void TZarnUpDownsampling::FilterClassChanged() {
  for (int i = 0; i < 2; ++i) {
    std::unique_ptr<TCustomOrderFilter> old = std::move(FFilter[i]);
    // A negative order reads as a huge unsigned one, which the filter limits.
    std::unique_ptr<TCustomOrderFilter> fresh = FFilterClass->Create(static_cast<unsigned>(FOrder));
    if (old) fresh->Assign(*old);
    const TCustomOrderFilter& created = *fresh;
    FLowPass[i] = typeid(created) == typeid(TButterworthLowPassFilter)
                      ? static_cast<TButterworthLowPassFilter*>(fresh.get())
                      : nullptr;
    FFilter[i] = std::move(fresh);
  }
  Changed();
}

void TZarnUpDownsampling::OrderChanged() {
  for (auto& f : FFilter) f->SetOrder(static_cast<unsigned>(FOrder));
  for (auto& f : FFilter) f->ResetStates();
  UpdateFilter();
  Changed();
}

void TZarnUpDownsampling::SampleRateChanged() {
  for (auto& f : FFilter) f->SetSampleRate(FSampleRate);
  UpdateFilter();
  Changed();
}

void TZarnUpDownsampling::UpdateFilter() {
  const double frequency = FTransitionBandwidth * 0.5 * FSampleRate / FFactor;
  Assert(FFilter[0] && FFilter[1], "up_down_sampling", "Resampling filter missing");
  for (auto& f : FFilter) f->SetFrequency(frequency);
  for (auto& f : FFilter) f->ResetStates();
}

void TZarnUpDownsampling::ResetStates() {
  for (auto& f : FFilter) f->ResetStates();
}

void TZarnUpDownsampling::Upsample32(float Input, float* Output) {
  const int f = FFactor;  // read once: a concurrent change applies from the next call
  const double first = f * static_cast<double>(Input) + kDenorm32;
  if (FLowPass[0])
    Upsample(*FLowPass[0], f, first, -kDenorm32, Output);
  else
    Upsample(*FFilter[0], f, first, -kDenorm32, Output);
}

void TZarnUpDownsampling::Upsample64(double Input, double* Output) {
  const int f = FFactor;
  const double first = f * Input + kDenorm64;
  if (FLowPass[0])
    Upsample(*FLowPass[0], f, first, -kDenorm64, Output);
  else
    Upsample(*FFilter[0], f, first, -kDenorm64, Output);
}

float TZarnUpDownsampling::Downsample32(const float* Input) {
  // The offset goes onto the first sample only; adding -0.0 leaves the
  // others exactly as they are.
  if (FLowPass[1]) return static_cast<float>(Downsample(*FLowPass[1], FFactor, Input, kDenorm32, -0.0));
  return static_cast<float>(Downsample(*FFilter[1], FFactor, Input, kDenorm32, -0.0));
}

double TZarnUpDownsampling::Downsample64(const double* Input) {
  if (FLowPass[1]) return Downsample(*FLowPass[1], FFactor, Input, kDenorm64, -kDenorm64);
  return Downsample(*FFilter[1], FFactor, Input, kDenorm64, -kDenorm64);
}

}  // namespace vb
