#include "processor/drive_parameter_mapping.h"

#include <algorithm>
#include <cmath>

#include "processor/one_pole_coefficient.h"

namespace vb {

namespace {

// ln(10) / 20: e^(dB * this) = 10^(dB / 20).
constexpr double kDecibelToNeper = 0.11512925464970228;
// Highest design frequency as a share of the filter's sample rate.
constexpr double kMaxDesignShare = 0.49;
// Limit of the asymmetric mode's negative half.
constexpr double kClip = 0.64;

// (Value > 0 ? Value * Up : Value * Down) / 15, rounded to Single.
double ToneGain(double Value, double Up, double Down) {
  const double gain = Value > 0 ? Value * Up / 15 : Value * Down / 15;
  return static_cast<float>(gain);
}

}  // namespace

double DecibelTenthsToGain(double Tenths) {
  const double decibel = Tenths / 10;
  return decibel > -1000 ? std::exp(decibel * kDecibelToNeper) : 0.0;
}

double DriveGain(double DrivePercent) { return std::pow(10.0, 0.03 * DrivePercent - 1); }

double TrimGain(double TrimPercent, double DrivePercent, bool Stereo) {
  const double t = TrimPercent * 0.01;
  const double u = 0.5 - 0.005 * DrivePercent;
  const double trim = t * (150 * ((u * u) * (u * u)) + 0.55);
  return Stereo ? 2 * trim : trim;
}

double LowShelfGain(double Value) { return ToneGain(Value, 11.9, 12.3); }

double MidPeakGain(double Value) { return ToneGain(Value, 11.42, 13.35); }

double MidPeakBandwidth(double Value) { return static_cast<float>(Value * 0.1 / 15 + 3.6); }

double HighShelfGain(double Value) { return ToneGain(Value, 15, 13.5); }

double HighShelfFrequency(double Value) { return static_cast<float>(4340 - Value * 300 / 15); }

double PresencePeakGain(double Value) { return ToneGain(Value, 11.46, 12.96); }

double PresencePeakFrequency(double Value) { return static_cast<float>(Value * 108 / 15 + 7278); }

float OversamplingKnobValue(float Value) { return (Value > 1 && Value < 16) ? 8.0f : Value; }

int OversamplingFactor(float KnobValue) {
  const float value = OversamplingKnobValue(KnobValue);
  // NaN and everything at or below 1 run without oversampling.
  if (!(value > 1)) return 1;
  return value >= 16 ? 16 : 8;
}

double DesignFrequency(double Frequency, double SampleRate) {
  return std::min(Frequency, kMaxDesignShare * SampleRate);
}

void MapDriveSettings(const TDriveControlValues& Now, const TDriveControlValues* Was, TDriveSettings& S) {
  auto changed = [&](TDriveParameter Index) { return !Was || Now[Index] != (*Was)[Index]; };
  const bool rate = !Was || Now.HostRate != Was->HostRate || changed(kParamOversampling);
  const int factor = OversamplingFactor(Now[kParamOversampling]);
  if (changed(kParamInput)) S.InputGain = DecibelTenthsToGain(Now[kParamInput]);
  if (changed(kParamOutput)) S.OutputGain = DecibelTenthsToGain(Now[kParamOutput]);
  if (changed(kParamDrive)) S.Drive = DriveGain(Now[kParamDrive]);
  if (changed(kParamTrim) || changed(kParamDrive) || !Was || Now.TrimStereo != Was->TrimStereo)
    S.Trim = TrimGain(Now[kParamTrim], Now[kParamDrive], Now.TrimStereo);
  if (changed(kParamCurveForm)) S.CurveForm = Now[kParamCurveForm] * 0.01;
  if (changed(kParamDryWet)) S.DryWet = Now[kParamDryWet] * 0.01;
  if (rate || changed(kParamHiPass)) S.HPF = OnePoleCoefficient(Now[kParamHiPass], Now.HostRate, factor);
  if (rate || changed(kParamLoPass)) S.LPF = OnePoleCoefficient(Now[kParamLoPass], Now.HostRate, factor);
  S.Stereo = Now[kParamStereo] > 0.5f;
  S.Asymmetric = Now[kParamAsymmetric] > 0.5f;
  S.Clip = kClip;
}

TDriveSettings MapDriveSettings(const TDriveControlValues& Now) {
  TDriveSettings settings;
  MapDriveSettings(Now, nullptr, settings);
  return settings;
}

}  // namespace vb
