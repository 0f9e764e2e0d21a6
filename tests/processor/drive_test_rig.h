#pragma once
// Shared pieces of the drive tests: a set of the drive's biquads tuned like
// the module's defaults, and test signals.

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

#include "dsp/basic_filters.h"
#include "dsp/butterworth_filter.h"
#include "dsp/up_down_sampling.h"
#include "processor/drive_chain.h"
#include "processor/drive_parameter_mapping.h"
#include "processor/drive_settings.h"
#include "processor/drive_voicing.h"
#include "processor/peak_meter.h"
#include "processor/stereo_resampler.h"

namespace vb::test {

// The biquads of both channels at their default tuning, at Rate Hz.
struct TDriveFilterSet {
  std::array<std::unique_ptr<TBasicHighpassFilter>, 2> HighPass;
  std::array<std::unique_ptr<TBasicLowShelfFilter>, 2> Low;
  std::array<std::unique_ptr<TBasicPeakFilter>, 2> Mid;
  std::array<std::unique_ptr<TBasicHighShelfFilter>, 2> High;
  std::array<std::unique_ptr<TBasicPeakFilter>, 2> Pres;

  explicit TDriveFilterSet(double Rate, double ToneGain = 0) {
    for (int c = 0; c < 2; ++c) {
      HighPass[c] = std::make_unique<TBasicHighpassFilter>();
      HighPass[c]->SetBandWidth(kDriveVoicing.HighPass.BandWidth);
      HighPass[c]->SetFrequency(kDriveVoicing.HighPass.Frequency);
      Low[c] = std::make_unique<TBasicLowShelfFilter>();
      Low[c]->SetFrequency(kDriveVoicing.Low.Frequency);
      Low[c]->SetBandWidth(kDriveVoicing.Low.BandWidth);
      Low[c]->SetGain(ToneGain);
      Mid[c] = std::make_unique<TBasicPeakFilter>();
      Mid[c]->SetFrequency(kDriveVoicing.Mid.Frequency);
      Mid[c]->SetBandWidth(kDriveVoicing.Mid.BandWidth);
      Mid[c]->SetGain(-ToneGain);
      High[c] = std::make_unique<TBasicHighShelfFilter>();
      High[c]->SetFrequency(kDriveVoicing.High.Frequency);
      High[c]->SetBandWidth(kDriveVoicing.High.BandWidth);
      High[c]->SetGain(ToneGain);
      Pres[c] = std::make_unique<TBasicPeakFilter>();
      Pres[c]->SetFrequency(PresencePeakFrequency(0));
      Pres[c]->SetBandWidth(kDriveVoicing.Pres.BandWidth);
      Pres[c]->SetGain(ToneGain / 2);
      for (TCustomFilter* F : std::initializer_list<TCustomFilter*>{HighPass[c].get(), Low[c].get(), Mid[c].get(),
                                                                    High[c].get(), Pres[c].get()})
        F->SetSampleRate(Rate);
    }
  }

  TDriveFilters View() const {
    TDriveFilters Result;
    for (int c = 0; c < 2; ++c)
      Result[c] = {HighPass[c].get(), Low[c].get(), Mid[c].get(), High[c].get(), Pres[c].get()};
    return Result;
  }
};

// A deterministic noisy test signal: two sines plus pseudo-random noise.
inline std::vector<double> TestSignal(std::size_t Length, double Amplitude, std::uint32_t Seed) {
  std::vector<double> Result(Length);
  std::uint32_t State = Seed * 2654435761u + 1;
  for (std::size_t i = 0; i < Length; ++i) {
    State = State * 1664525u + 1013904223u;
    const double Noise = (static_cast<double>(State >> 8) / 16777216.0) - 0.5;
    const double t = static_cast<double>(i);
    Result[i] = Amplitude * (0.6 * std::sin(2 * std::numbers::pi * t / 97.0 + Seed) +
                             0.3 * std::sin(2 * std::numbers::pi * t / 11.3) + 0.2 * Noise);
  }
  return Result;
}

// The signal flow written out sample by sample, with the filters' own
// ProcessSample64 and no shortcuts.
struct TReferenceChain {
  double s[2][5] = {};
  double LastL = 0;
  bool HasRun = false;

  void Run(const TDriveSettings& S, const TDriveFilterSet& F, const std::vector<double>* In, std::vector<double>* Out) {
    const double L = S.FLPF, H = S.FHPF, D = S.FDrive;
    const bool Stereo = S.FStereo;
    if (HasRun && L != LastL) {
      const double r = (1 - L) / (1 - LastL);
      for (auto& Channel : s) {
        Channel[0] *= r * r * r;
        Channel[1] *= r * r;
        Channel[2] *= r;
      }
    }
    LastL = L;
    HasRun = true;
    const double u = 1 - L;
    const double T = S.FTrim * ((u * u) * (u * u));
    auto Stage = [&](int c, double x) {
      double a = x / (S.FCurveForm + std::fabs(x));
      if (S.FAsymmetric && a < -S.FClip) a = -S.FClip;
      s[c][0] = L * s[c][0] + T * a;
      s[c][1] = L * s[c][1] + s[c][0];
      s[c][2] = L * s[c][2] + s[c][1];
      s[c][3] = L * s[c][3] + s[c][2];
      s[c][4] = s[c][3] + H * (s[c][4] - s[c][3]);
      return s[c][3] - s[c][4];
    };
    auto Tone = [&](int c, double m) {
      return F.Low[c]->ProcessSample64(
          F.Mid[c]->ProcessSample64(F.High[c]->ProcessSample64(F.Pres[c]->ProcessSample64(m))));
    };
    const std::size_t n = In[0].size();
    for (int c = 0; c < 2; ++c) Out[c].resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      double y[2];
      if (Stereo) {
        for (int c = 0; c < 2; ++c) y[c] = Stage(c, F.HighPass[c]->ProcessSample64(D * In[c][i]));
      } else {
        y[0] = y[1] = Stage(0, F.HighPass[0]->ProcessSample64(D * (In[0][i] + In[1][i])));
      }
      for (int c = 0; c < 2; ++c) Out[c][i] = Tone(c, y[c] * S.FDryWet + In[c][i] * (1 - S.FDryWet));
    }
    for (int c = 0; c < 2; ++c)
      if (std::fabs(s[c][0]) < 1e-10 || (c == 1 && !Stereo))
        for (double& State : s[c]) State = 0;
  }
};

// A resampler object as the module sets it up, at Factor and the
// oversampled Rate (Hz).
inline std::unique_ptr<TZarnUpDownsampling> NewResampler(int Factor, double Rate) {
  auto Result = std::make_unique<TZarnUpDownsampling>();
  Result->SetFilterClass(&TButterworthLowPassFilter::Class());
  Result->SetTransitionBandwidth(TStereoResampler::kTransitionBandwidth);
  Result->SetOrder(TStereoResampler::kOrder);
  Result->SetFactor(Factor);
  Result->SetSampleRate(Rate);
  return Result;
}

// The drive's host-rate path written plainly: input gain and meter, the
// resampler objects' own Upsample/Downsample calls around the scalar chain,
// output gain and meter, one channel after the other.
struct TReferenceDrive {
  std::unique_ptr<TZarnUpDownsampling> Resampler[2];
  TReferenceChain Chain;
  // [channel][0] input, [channel][1] output, as TPeakFollower keeps them.
  float Peaks[2][2] = {};

  template <class T>
  std::vector<std::vector<T>> Run(const TDriveSettings& S, const TDriveFilterSet& Filters,
                                  const std::vector<std::vector<T>>& In) {
    const int F = Resampler[0]->Factor();
    const std::size_t n = In[0].size();
    std::vector<double> Up[2], Down[2];
    std::vector<T> Buffer(n * F);
    for (int c = 0; c < 2; ++c) {
      for (std::size_t j = 0; j < n; ++j) {
        const double v = S.FInputGain * In[c][j];
        Peaks[c][0] = TPeakFollower::Next(Peaks[c][0], std::fabs(v));
        if constexpr (sizeof(T) == 4)
          Resampler[c]->Upsample32(static_cast<float>(v), Buffer.data() + j * F);
        else
          Resampler[c]->Upsample64(v, Buffer.data() + j * F);
      }
      Up[c].assign(Buffer.begin(), Buffer.end());
    }
    Chain.Run(S, Filters, Up, Down);
    std::vector<std::vector<T>> Out(2, std::vector<T>(n));
    for (int c = 0; c < 2; ++c) {
      std::vector<T> Rounded(Down[c].begin(), Down[c].end());  // the chain's output in the path's precision
      for (std::size_t j = 0; j < n; ++j) {
        if constexpr (sizeof(T) == 4)
          Out[c][j] = static_cast<float>(S.FOutputGain * Resampler[c]->Downsample32(Rounded.data() + j * F));
        else
          Out[c][j] = S.FOutputGain * Resampler[c]->Downsample64(Rounded.data() + j * F);
        Peaks[c][1] = TPeakFollower::Next(Peaks[c][1], std::fabs(static_cast<double>(Out[c][j])));
      }
    }
    return Out;
  }
};

inline double PeakOf(const std::vector<double>& Signal, std::size_t From, std::size_t To) {
  double Peak = 0;
  for (std::size_t i = From; i < To && i < Signal.size(); ++i) Peak = std::max(Peak, std::fabs(Signal[i]));
  return Peak;
}

}  // namespace vb::test
