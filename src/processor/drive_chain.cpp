#include "processor/drive_chain.h"

#include <cmath>

#include "processor/drive_chain_pass.h"
#include "processor/stereo_biquad.h"
#include "processor/stereo_lanes.h"

namespace vb {

namespace {

bool AllFinite(const double* S, int Count) {
  for (int i = 0; i < Count; ++i)
    if (!std::isfinite(S[i])) return false;
  return true;
}

}  // namespace

void TDriveChain::Process(const TDriveSettings& Settings, const TDriveFilters& Filters, const double* const* In,
                          double* const* Out, std::size_t Samples, bool TakeTuning) {
  if (TakeTuning) TakeCoefficients(Filters);
  Run(Settings, In, Out, Samples);
}

void TDriveChain::Process(const TDriveSettings& Settings, const TDriveFilters& Filters, const float* const* In,
                          float* const* Out, std::size_t Samples, bool TakeTuning) {
  if (TakeTuning) TakeCoefficients(Filters);
  Run(Settings, In, Out, Samples);
}

void TDriveChain::TakeCoefficients(const TDriveFilters& F) {
  FCoefficients[kHighPass].Take(*F[0].HighPass, *F[1].HighPass);
  FCoefficients[kPres].Take(*F[0].Pres, *F[1].Pres);
  FCoefficients[kHigh].Take(*F[0].High, *F[1].High);
  FCoefficients[kMid].Take(*F[0].Mid, *F[1].Mid);
  FCoefficients[kLow].Take(*F[0].Low, *F[1].Low);
}

std::array<double, 5> TDriveChain::BiquadCoefficients(int Filter, int Channel) const {
  const TStereoBiquadCoefficients& c = FCoefficients[Filter];
  auto lane = [Channel](TLanes X) { return Channel == 0 ? Lane0(X) : Lane1(X); };
  return {lane(c.b0), lane(c.b1), lane(c.b2), lane(c.a1), lane(c.a2)};
}

template <class T>
void TDriveChain::Run(const TDriveSettings& S, const T* const* In, T* const* Out, std::size_t Samples) {
  if (S.Stereo)
    Kernel<true>(S, In, Out, Samples);
  else
    Kernel<false>(S, In, Out, Samples);
}

template <bool Stereo, class T>
void TDriveChain::Kernel(const TDriveSettings& S, const T* const* In, T* const* Out, std::size_t Samples) {
  TDriveChainPass<Stereo> pass(*this, S);
  const T* in0 = In[0];
  const T* in1 = In[1];
  T* out0 = Out[0];
  T* out1 = Out[1];
  for (std::size_t i = 0; i < Samples; ++i) Store(pass.Tick(Load(in0 + i, in1 + i)), out0 + i, out1 + i);
  pass.End();
}

void TDriveChain::BeginPass(double LowPass, double (&Smoother)[2 * kStages]) {
  for (int i = 0; i < 2 * kStages; ++i) Smoother[i] = FFilterState[i];
  RescaleForLowPass(LowPass, Smoother);
}

void TDriveChain::EndPass(const double (&Smoother)[2 * kStages], bool Stereo) { StoreStates(Smoother, Stereo); }

// The smoother stages hold states scaled for the pole they ran with: in
// steady state s_k = Trim * a * (1 - L)^(3 - k). A block starting with a new
// pole rescales s0..s2 to the new pole, so that moving "LoPass", switching
// oversampling or changing the sample rate releases no burst.
void TDriveChain::RescaleForLowPass(double LowPass, double* S) {
  if (FHasRun && LowPass != FLastLPF && FLastLPF != 1) {
    const double r = (1 - LowPass) / (1 - FLastLPF);
    const double r2 = r * r;
    const double r3 = r2 * r;
    for (int c = 0; c < 2; ++c) {
      S[c * kStages + 0] *= r3;
      S[c * kStages + 1] *= r2;
      S[c * kStages + 2] *= r;
    }
  }
  FLastLPF = LowPass;
  FHasRun = true;
}

// A channel is cleared when its first stage fell below the flush threshold,
// when it holds NaN or infinity (so that one bad block does not silence the
// effect for good), and channel 1 also when the block ran in mono.
void TDriveChain::StoreStates(const double* S, bool Stereo) {
  for (int c = 0; c < 2; ++c) {
    const double* channel = S + c * kStages;
    const bool clear = (c == 1 && !Stereo) || std::fabs(channel[0]) < kFlushThreshold || !AllFinite(channel, kStages);
    for (int k = 0; k < kStages; ++k) FFilterState[c * kStages + k] = clear ? 0.0 : channel[k];
  }
}

void TDriveChain::ClearStates() {
  for (auto& state : FFilterState) state = 0.0;
}

}  // namespace vb
