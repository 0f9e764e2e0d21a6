#include "processor/drive_chain.h"

#include <cmath>

namespace vb {

namespace {

// Presence first, then high shelf, mid, low shelf.
inline double ToneStack(const TDriveChannelFilters& F, double Input) {
  return F.Low->ProcessSample64(F.Mid->ProcessSample64(F.High->ProcessSample64(F.Pres->ProcessSample64(Input))));
}

// Clipper and smoother stages of one channel; returns the wet signal.
inline double DriveStages(const TDriveSettings& S, double x, double L, double H, double T, double* s) {
  double a = x / (S.FCurveForm.Load() + std::fabs(x));
  if (S.FAsymmetric.Load()) {
    const double Clip = S.FClip.Load();
    if (a < -Clip) a = -Clip;
  }
  s[0] = L * s[0] + T * a;
  s[1] = L * s[1] + s[0];
  s[2] = L * s[2] + s[1];
  s[3] = L * s[3] + s[2];
  s[4] = s[3] + H * (s[4] - s[3]);
  return s[3] - s[4];
}

bool AllFinite(const double* s, int Count) {
  for (int i = 0; i < Count; ++i)
    if (!std::isfinite(s[i])) return false;
  return true;
}

template <class TFilter>
void RecoverFilter(TFilter* Filter) {
  if (!Filter) return;
  const auto States = Filter->States();
  if (!std::isfinite(States[0]) || !std::isfinite(States[1])) Filter->ResetStates();
}

}  // namespace

void TDriveChain::Process(const TDriveSettings& Settings, const TDriveFilters& Filters, const double* const* In,
                          double* const* Out, std::size_t Samples) {
  Run(Settings, Filters, In, Out, Samples);
}

void TDriveChain::Process(const TDriveSettings& Settings, const TDriveFilters& Filters, const float* const* In,
                          float* const* Out, std::size_t Samples) {
  Run(Settings, Filters, In, Out, Samples);
}

template <class T>
void TDriveChain::Run(const TDriveSettings& S, const TDriveFilters& F, const T* const* In, T* const* Out,
                      std::size_t Samples) {
  const double L = S.FLPF.Load();
  const double H = S.FHPF.Load();
  const double D = S.FDrive.Load();
  const bool Stereo = S.FStereo.Load();
  const double u = 1 - L;
  const double Trim = S.FTrim.Load() * ((u * u) * (u * u));

  double s[2 * kStages];
  for (int i = 0; i < 2 * kStages; ++i) s[i] = FFilterState[i];
  RescaleForLowPass(L, s);

  const T* In0 = In[0];
  const T* In1 = In[1];
  T* Out0 = Out[0];
  T* Out1 = Out[1];
  if (Stereo) {
    for (std::size_t i = 0; i < Samples; ++i) {
      const double Dry0 = In0[i], Dry1 = In1[i];
      const double y0 = DriveStages(S, F[0].HighPass->ProcessSample64(D * Dry0), L, H, Trim, s);
      const double y1 = DriveStages(S, F[1].HighPass->ProcessSample64(D * Dry1), L, H, Trim, s + kStages);
      const double Wet = S.FDryWet.Load();
      Out0[i] = static_cast<T>(ToneStack(F[0], y0 * Wet + Dry0 * (1 - Wet)));
      Out1[i] = static_cast<T>(ToneStack(F[1], y1 * Wet + Dry1 * (1 - Wet)));
    }
  } else {
    for (std::size_t i = 0; i < Samples; ++i) {
      const double Dry0 = In0[i], Dry1 = In1[i];
      const double y = DriveStages(S, F[0].HighPass->ProcessSample64(D * (Dry0 + Dry1)), L, H, Trim, s);
      const double Wet = S.FDryWet.Load();
      Out0[i] = static_cast<T>(ToneStack(F[0], y * Wet + Dry0 * (1 - Wet)));
      Out1[i] = static_cast<T>(ToneStack(F[1], y * Wet + Dry1 * (1 - Wet)));
    }
  }
  StoreStates(s, Stereo);
  RecoverNonFiniteStates(F);
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
    const bool Clear = (c == 1 && !Stereo) || std::fabs(Channel[0]) < kFlushThreshold ||
                       !AllFinite(Channel, kStages);
    for (int k = 0; k < kStages; ++k) FFilterState[c * kStages + k] = Clear ? 0.0 : Channel[k];
  }
}

void TDriveChain::ClearStates() {
  for (auto& State : FFilterState) State = 0.0;
}

void RecoverNonFiniteStates(const TDriveFilters& Filters) {
  for (const TDriveChannelFilters& F : Filters) {
    RecoverFilter(F.HighPass);
    RecoverFilter(F.Pres);
    RecoverFilter(F.High);
    RecoverFilter(F.Mid);
    RecoverFilter(F.Low);
  }
}

}  // namespace vb
