#include "processor/drive_chain.h"

#include <cmath>

#include "processor/stereo_biquad.h"
#include "processor/stereo_lanes.h"

namespace vb {

namespace {

enum : int { kHighPass = 0, kPres = 1, kHigh = 2, kMid = 3, kLow = 4 };

bool AllFinite(const double* s, int Count) {
  for (int i = 0; i < Count; ++i)
    if (!std::isfinite(s[i])) return false;
  return true;
}

}  // namespace

void TDriveChain::Process(const TDriveSettings& Settings, const TDriveFilters& Filters, const double* const* In,
                          double* const* Out, std::size_t Samples, bool TakeTuning) {
  Run(Settings, Filters, In, Out, Samples, TakeTuning);
}

void TDriveChain::Process(const TDriveSettings& Settings, const TDriveFilters& Filters, const float* const* In,
                          float* const* Out, std::size_t Samples, bool TakeTuning) {
  Run(Settings, Filters, In, Out, Samples, TakeTuning);
}

void TDriveChain::TakeCoefficients(const TDriveFilters& F) {
  FCoefficients[kHighPass].Take(*F[0].HighPass, *F[1].HighPass);
  FCoefficients[kPres].Take(*F[0].Pres, *F[1].Pres);
  FCoefficients[kHigh].Take(*F[0].High, *F[1].High);
  FCoefficients[kMid].Take(*F[0].Mid, *F[1].Mid);
  FCoefficients[kLow].Take(*F[0].Low, *F[1].Low);
}

std::array<double, 5> TDriveChain::BiquadCoefficients(int Filter, int Channel) const {
  const TStereoBiquadCoefficients& C = FCoefficients[Filter];
  auto Lane = [Channel](TLanes x) { return Channel == 0 ? Lane0(x) : Lane1(x); };
  return {Lane(C.b0), Lane(C.b1), Lane(C.b2), Lane(C.a1), Lane(C.a2)};
}

template <class T>
void TDriveChain::Run(const TDriveSettings& S, const TDriveFilters& F, const T* const* In, T* const* Out,
                      std::size_t Samples, bool TakeTuning) {
  if (TakeTuning) TakeCoefficients(F);
  double s[2 * kStages];
  for (int i = 0; i < 2 * kStages; ++i) s[i] = FFilterState[i];
  RescaleForLowPass(S.FLPF, s);
  const bool Stereo = S.FStereo;
  if (Stereo)
    Kernel<true>(S, F, In, Out, Samples, s);
  else
    Kernel<false>(S, F, In, Out, Samples, s);
  StoreStates(s, Stereo);
}

// Per sample and channel: high-pass of the driven input, clipper
// a = x / (c + |x|) (limited to -clip in the asymmetric mode), smoother
// stages s0..s3 and follower s4, wet y = s3 - s4, mix with the undriven
// input, then presence, high shelf, mid and low shelf. Mono drives channel
// 0's path with the sum of both inputs and feeds its wet signal to both
// channels' mixes; channel 1's high-pass is left alone.
template <bool Stereo, class T>
void TDriveChain::Kernel(const TDriveSettings& S, const TDriveFilters& F, const T* const* In, T* const* Out,
                         std::size_t Samples, double* States) {
  const double L = S.FLPF;
  const double u = 1 - L;
  const TLanes VL = Broadcast(L);
  const TLanes VH = Broadcast(S.FHPF);
  const double D = S.FDrive;
  const TLanes VD = Broadcast(D);
  const TLanes VT = Broadcast(S.FTrim * ((u * u) * (u * u)));

  TStereoBiquad HighPass, Pres, High, Mid, Low;
  HighPass.Load(FCoefficients[kHighPass], FBiquadState[kHighPass]);
  Pres.Load(FCoefficients[kPres], FBiquadState[kPres]);
  High.Load(FCoefficients[kHigh], FBiquadState[kHigh]);
  Mid.Load(FCoefficients[kMid], FBiquadState[kMid]);
  Low.Load(FCoefficients[kLow], FBiquadState[kLow]);
  const double HighPassChannel1[2] = {FBiquadState[kHighPass][0][1], FBiquadState[kHighPass][1][1]};

  TLanes s0 = Lanes(States[0], States[kStages + 0]);
  TLanes s1 = Lanes(States[1], States[kStages + 1]);
  TLanes s2 = Lanes(States[2], States[kStages + 2]);
  TLanes s3 = Lanes(States[3], States[kStages + 3]);
  TLanes s4 = Lanes(States[4], States[kStages + 4]);

  const T* In0 = In[0];
  const T* In1 = In[1];
  T* Out0 = Out[0];
  T* Out1 = Out[1];
  for (std::size_t i = 0; i < Samples; ++i) {
    const TLanes Dry = Load(In0 + i, In1 + i);
    TLanes Driven;
    if constexpr (Stereo)
      Driven = VD * Dry;
    else
      Driven = Broadcast(D * (Lane0(Dry) + Lane1(Dry)));
    const TLanes x = HighPass.Tick(Driven);
    TLanes a = x / (Broadcast(S.FCurveForm) + Abs(x));
    if (S.FAsymmetric) a = RaiseTo(a, Broadcast(-S.FClip));
    s0 = VL * s0 + VT * a;
    s1 = VL * s1 + s0;
    s2 = VL * s2 + s1;
    s3 = VL * s3 + s2;
    s4 = s3 + VH * (s4 - s3);
    TLanes y = s3 - s4;
    if constexpr (!Stereo) y = _mm_unpacklo_pd(y, y);
    const double Wet = S.FDryWet;
    const TLanes m = y * Broadcast(Wet) + Dry * Broadcast(1 - Wet);
    Store(Low.Tick(Mid.Tick(High.Tick(Pres.Tick(m)))), Out0 + i, Out1 + i);
  }

  const TLanes Smoother[kStages] = {s0, s1, s2, s3, s4};
  for (int k = 0; k < kStages; ++k) {
    States[k] = Lane0(Smoother[k]);
    States[kStages + k] = Lane1(Smoother[k]);
  }
  HighPass.Save(FBiquadState[kHighPass]);
  if constexpr (!Stereo) {
    FBiquadState[kHighPass][0][1] = HighPassChannel1[0];
    FBiquadState[kHighPass][1][1] = HighPassChannel1[1];
  }
  Pres.Save(FBiquadState[kPres]);
  High.Save(FBiquadState[kHigh]);
  Mid.Save(FBiquadState[kMid]);
  Low.Save(FBiquadState[kLow]);
}

// The smoother stages hold states scaled for the pole they ran with: in
// steady state s_k = Trim * a * (1 - L)^(3 - k). A block starting with a new
// pole rescales s0..s2 to the new pole, so that moving "LoPass", switching
// oversampling or changing the sample rate releases no burst.
void TDriveChain::RescaleForLowPass(double LowPass, double* s) {
  if (FHasRun && LowPass != FLastLPF && FLastLPF != 1) {
    const double r = (1 - LowPass) / (1 - FLastLPF);
    const double r2 = r * r;
    const double r3 = r2 * r;
    for (int c = 0; c < 2; ++c) {
      s[c * kStages + 0] *= r3;
      s[c * kStages + 1] *= r2;
      s[c * kStages + 2] *= r;
    }
  }
  FLastLPF = LowPass;
  FHasRun = true;
}

// A channel is cleared when its first stage fell below the flush threshold,
// when it holds NaN or infinity (so that one bad block does not silence the
// effect for good), and channel 1 also when the block ran in mono.
void TDriveChain::StoreStates(const double* s, bool Stereo) {
  for (int c = 0; c < 2; ++c) {
    const double* Channel = s + c * kStages;
    const bool Clear = (c == 1 && !Stereo) || std::fabs(Channel[0]) < kFlushThreshold || !AllFinite(Channel, kStages);
    for (int k = 0; k < kStages; ++k) FFilterState[c * kStages + k] = Clear ? 0.0 : Channel[k];
  }
}

void TDriveChain::ClearStates() {
  for (auto& State : FFilterState) State = 0.0;
}

}  // namespace vb
