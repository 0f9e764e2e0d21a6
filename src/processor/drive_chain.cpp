#include "processor/drive_chain.h"

#include <cmath>

#include "processor/drive_chain_pass.h"
#include "processor/stereo_biquad.h"
#include "processor/stereo_lanes.h"

namespace vb {

namespace {

bool AllFinite(const double* s, int Count) {
  for (int i = 0; i < Count; ++i)
    if (!std::isfinite(s[i])) return false;
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
  const TStereoBiquadCoefficients& C = FCoefficients[Filter];
  auto Lane = [Channel](TLanes x) { return Channel == 0 ? Lane0(x) : Lane1(x); };
  return {Lane(C.b0), Lane(C.b1), Lane(C.b2), Lane(C.a1), Lane(C.a2)};
}

template <class T>
void TDriveChain::Run(const TDriveSettings& S, const T* const* In, T* const* Out, std::size_t Samples) {
  if (S.FStereo)
    Kernel<true>(S, In, Out, Samples);
  else
    Kernel<false>(S, In, Out, Samples);
}

template <bool Stereo, class T>
void TDriveChain::Kernel(const TDriveSettings& S, const T* const* In, T* const* Out, std::size_t Samples) {
  TDriveChainPass<Stereo> Pass(*this, S);
  const T* In0 = In[0];
  const T* In1 = In[1];
  T* Out0 = Out[0];
  T* Out1 = Out[1];
  for (std::size_t i = 0; i < Samples; ++i) Store(Pass.Tick(Load(In0 + i, In1 + i)), Out0 + i, Out1 + i);
  Pass.End();
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
