#pragma once
// The drive's 17 parameters by index: the host's parameter numbers, the rows
// of the description table (process_module_description.cpp) and the keys
// of the editor's controls. Use these names, never bare numbers.

#include <array>
#include <cstdint>

namespace vb {

enum TDriveParameter : std::int32_t {
  kParamInput,         // dB * 0.1, -200..200
  kParamDrive,         // %, 0..100
  kParamTrim,          // %, 0..100
  kParamCurveForm,     // %, 1..200 (knee of the clipper)
  kParamHiPass,        // Hz, 0..500 (corner of the one-pole follower)
  kParamFreq,          // Hz, 0..1000 (the high-pass biquad in front of the clipper)
  kParamLoPass,        // Hz, 500..5000 (corner of the one-pole smoothers)
  kParamLow,           // dB, -15..15
  kParamMid,           // dB, -15..15
  kParamHigh,          // dB, -15..15
  kParamPres,          // dB, -15..15
  kParamDryWet,        // %, 0..100
  kParamOutput,        // dB * 0.1, -100..100
  kParamPower,         // switch
  kParamStereo,        // switch
  kParamAsymmetric,    // switch
  kParamOversampling,  // 1, 8 or 16
  kParamCount
};

// Each parameter's range and default in its own unit: the one place they
// are stated. The description table reports them to the host, the editor's
// dials span them and the artwork draws the dials at their defaults.
struct TDriveParameterRange {
  float Min;
  float Max;
  float Default;
};

inline constexpr std::array<TDriveParameterRange, kParamCount> kDriveParameterRanges = {{
    {-200, 200, 0},     // Input
    {0, 100, 0},        // Drive
    {0, 100, 45},       // Trim
    {1, 200, 80},       // CurveForm
    {0, 500, 20},       // HiPass
    {0, 1000, 275},     // Freq
    {500, 5000, 3000},  // LoPass
    {-15, 15, 0},       // Low
    {-15, 15, 0},       // Mid
    {-15, 15, 0},       // High
    {-15, 15, 0},       // Pres
    {0, 100, 100},      // DryWet
    {-100, 100, 0},     // Output
    {0, 1, 1},          // Power
    {0, 1, 0},          // Stereo
    {0, 1, 0},          // Asymmetric
    {1, 16, 1},         // Oversampling
}};

constexpr const TDriveParameterRange& ParameterRange(TDriveParameter Parameter) {
  return kDriveParameterRanges[std::size_t(Parameter)];
}

}  // namespace vb
