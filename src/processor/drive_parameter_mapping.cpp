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
  const double Gain = Value > 0 ? Value * Up / 15 : Value * Down / 15;
  return static_cast<float>(Gain);
}

}  // namespace

double DecibelTenthsToGain(double Tenths) {
  const double Decibel = Tenths / 10;
  return Decibel > -1000 ? std::exp(Decibel * kDecibelToNeper) : 0.0;
}

double DriveGain(double DrivePercent) { return std::pow(10.0, 0.03 * DrivePercent - 1); }

double TrimGain(double TrimPercent, double DrivePercent, bool Stereo) {
  const double t = TrimPercent * 0.01;
  const double u = 0.5 - 0.005 * DrivePercent;
  const double Trim = t * (150 * ((u * u) * (u * u)) + 0.55);
  return Stereo ? 2 * Trim : Trim;
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
  const float Value = OversamplingKnobValue(KnobValue);
  // NaN and everything at or below 1 run without oversampling.
  if (!(Value > 1)) return 1;
  return Value >= 16 ? 16 : 8;
}

double DesignFrequency(double Frequency, double SampleRate) {
  return std::min(Frequency, kMaxDesignShare * SampleRate);
}

void MapDriveSettings(const TDriveControlValues& Now, const TDriveControlValues* Was, TDriveSettings& S) {
  auto Changed = [&](TDriveParameter Index) { return !Was || Now[Index] != (*Was)[Index]; };
  const bool Rate = !Was || Now.HostRate != Was->HostRate || Changed(kParamOversampling);
  const int Factor = OversamplingFactor(Now[kParamOversampling]);
  if (Changed(kParamInput)) S.FInputGain = DecibelTenthsToGain(Now[kParamInput]);
  if (Changed(kParamOutput)) S.FOutputGain = DecibelTenthsToGain(Now[kParamOutput]);
  if (Changed(kParamDrive)) S.FDrive = DriveGain(Now[kParamDrive]);
  if (Changed(kParamTrim) || Changed(kParamDrive) || !Was || Now.TrimStereo != Was->TrimStereo)
    S.FTrim = TrimGain(Now[kParamTrim], Now[kParamDrive], Now.TrimStereo);
  if (Changed(kParamCurveForm)) S.FCurveForm = Now[kParamCurveForm] * 0.01;
  if (Changed(kParamDryWet)) S.FDryWet = Now[kParamDryWet] * 0.01;
  if (Rate || Changed(kParamHiPass)) S.FHPF = OnePoleCoefficient(Now[kParamHiPass], Now.HostRate, Factor);
  if (Rate || Changed(kParamLoPass)) S.FLPF = OnePoleCoefficient(Now[kParamLoPass], Now.HostRate, Factor);
  S.FStereo = Now[kParamStereo] > 0.5f;
  S.FAsymmetric = Now[kParamAsymmetric] > 0.5f;
  S.FClip = kClip;
}

TDriveSettings MapDriveSettings(const TDriveControlValues& Now) {
  TDriveSettings Settings;
  MapDriveSettings(Now, nullptr, Settings);
  return Settings;
}

}  // namespace vb
