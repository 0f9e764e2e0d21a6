#pragma once
// The drive's 17 parameters by index: the host's parameter numbers, the rows
// of the description table (process_module_description.cpp) and the keys
// of the editor's controls. Use these names, never bare numbers.

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

}  // namespace vb
