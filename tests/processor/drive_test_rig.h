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
      for (TCustomFilter* f : std::initializer_list<TCustomFilter*>{HighPass[c].get(), Low[c].get(), Mid[c].get(),
                                                                    High[c].get(), Pres[c].get()})
        f->SetSampleRate(Rate);
    }
  }

  TDriveFilters View() const {
    TDriveFilters result;
    for (int c = 0; c < 2; ++c)
      result[c] = {HighPass[c].get(), Low[c].get(), Mid[c].get(), High[c].get(), Pres[c].get()};
    return result;
  }
};

// A deterministic noisy test signal: two sines plus pseudo-random noise.
inline std::vector<double> TestSignal(std::size_t Length, double Amplitude, std::uint32_t Seed) {
  std::vector<double> result(Length);
  std::uint32_t state = Seed * 2654435761u + 1;
  for (std::size_t i = 0; i < Length; ++i) {
    state = state * 1664525u + 1013904223u;
    const double noise = (static_cast<double>(state >> 8) / 16777216.0) - 0.5;
    const double t = static_cast<double>(i);
    result[i] = Amplitude * (0.6 * std::sin(2 * std::numbers::pi * t / 97.0 + Seed) +
                             0.3 * std::sin(2 * std::numbers::pi * t / 11.3) + 0.2 * noise);
  }
  return result;
}

// The signal flow written out sample by sample, with the filters' own
// ProcessSample64 and no shortcuts.
struct TReferenceChain {
  double s[2][5] = {};
  double LastL = 0;
  bool HasRun = false;

  void Run(const TDriveSettings& S, const TDriveFilterSet& F, const std::vector<double>* In, std::vector<double>* Out) {
    const double l = S.LPF, h = S.HPF, d = S.Drive;
    const bool stereo = S.Stereo;
    if (HasRun && l != LastL) {
      const double r = (1 - l) / (1 - LastL);
      for (auto& channel : s) {
        channel[0] *= r * r * r;
        channel[1] *= r * r;
        channel[2] *= r;
      }
    }
    LastL = l;
    HasRun = true;
    const double u = 1 - l;
    const double t = S.Trim * ((u * u) * (u * u));
    auto stage = [&](int C, double X) {
      double a = X / (S.CurveForm + std::fabs(X));
      if (S.Asymmetric && a < -S.Clip) a = -S.Clip;
      s[C][0] = l * s[C][0] + t * a;
      s[C][1] = l * s[C][1] + s[C][0];
      s[C][2] = l * s[C][2] + s[C][1];
      s[C][3] = l * s[C][3] + s[C][2];
      s[C][4] = s[C][3] + h * (s[C][4] - s[C][3]);
      return s[C][3] - s[C][4];
    };
    auto tone = [&](int C, double M) {
      return F.Low[C]->ProcessSample64(
          F.Mid[C]->ProcessSample64(F.High[C]->ProcessSample64(F.Pres[C]->ProcessSample64(M))));
    };
    const std::size_t n = In[0].size();
    for (int c = 0; c < 2; ++c) Out[c].resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      double y[2];
      if (stereo) {
        for (int c = 0; c < 2; ++c) y[c] = stage(c, F.HighPass[c]->ProcessSample64(d * In[c][i]));
      } else {
        y[0] = y[1] = stage(0, F.HighPass[0]->ProcessSample64(d * (In[0][i] + In[1][i])));
      }
      for (int c = 0; c < 2; ++c) Out[c][i] = tone(c, y[c] * S.DryWet + In[c][i] * (1 - S.DryWet));
    }
    for (int c = 0; c < 2; ++c)
      if (std::fabs(s[c][0]) < 1e-10 || (c == 1 && !stereo))
        for (double& state : s[c]) state = 0;
  }
};

// A resampler object as the module sets it up, at Factor and the
// oversampled Rate (Hz).
inline std::unique_ptr<TZarnUpDownsampling> NewResampler(int Factor, double Rate) {
  auto result = std::make_unique<TZarnUpDownsampling>();
  result->SetFilterClass(&TButterworthLowPassFilter::Class());
  result->SetTransitionBandwidth(TStereoResampler::kTransitionBandwidth);
  result->SetOrder(TStereoResampler::kOrder);
  result->SetFactor(Factor);
  result->SetSampleRate(Rate);
  return result;
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
    const int f = Resampler[0]->Factor();
    const std::size_t n = In[0].size();
    std::vector<double> up[2], down[2];
    std::vector<T> buffer(n * f);
    for (int c = 0; c < 2; ++c) {
      for (std::size_t j = 0; j < n; ++j) {
        const double v = S.InputGain * In[c][j];
        Peaks[c][0] = TPeakFollower::Next(Peaks[c][0], std::fabs(v));
        if constexpr (sizeof(T) == 4)
          Resampler[c]->Upsample32(static_cast<float>(v), buffer.data() + j * f);
        else
          Resampler[c]->Upsample64(v, buffer.data() + j * f);
      }
      up[c].assign(buffer.begin(), buffer.end());
    }
    Chain.Run(S, Filters, up, down);
    std::vector<std::vector<T>> out(2, std::vector<T>(n));
    for (int c = 0; c < 2; ++c) {
      std::vector<T> rounded(down[c].begin(), down[c].end());  // the chain's output in the path's precision
      for (std::size_t j = 0; j < n; ++j) {
        if constexpr (sizeof(T) == 4)
          out[c][j] = static_cast<float>(S.OutputGain * Resampler[c]->Downsample32(rounded.data() + j * f));
        else
          out[c][j] = S.OutputGain * Resampler[c]->Downsample64(rounded.data() + j * f);
        Peaks[c][1] = TPeakFollower::Next(Peaks[c][1], std::fabs(static_cast<double>(out[c][j])));
      }
    }
    return out;
  }
};

inline double PeakOf(const std::vector<double>& Signal, std::size_t From, std::size_t To) {
  double peak = 0;
  for (std::size_t i = From; i < To && i < Signal.size(); ++i) peak = std::max(peak, std::fabs(Signal[i]));
  return peak;
}

}  // namespace vb::test
