#pragma once
// The stored description of a concrete module class: the fixed property
// values applied after the constructors and before the create handler.
// Identity, flags and capabilities live here; the parameter layer supplies
// the parameter descriptions, categories and programs through Parameters.

#include <cstdint>

#include "host/vst_abi.h"
#include "host/vst_can_do.h"

namespace vb {

// Parameter descriptions, categories and programs of a module class; defined
// by the parameter layer (src/params).
struct TParametersDescription;

struct TVSTModuleDescription {
  const char* EffectName = "";
  const char* ProductName = "";
  const char* VendorName = "";
  const char* VersionText = "1.0";
  std::int32_t VersionMajor = 1;
  std::int32_t VersionMinor = 0;
  std::int32_t VersionRelease = 0;
  char UniqueID[4] = {'N', 'o', 'E', 'f'};
  TVstPluginCategory PlugCategory = vpcUnknown;
  TVstCanDos CanDos = CanDoBit(vcdPlugAsChannelInsert) | CanDoBit(vcdPlugAsSend) | CanDoBit(vcd2in2out);
  TEffFlags Flags = EffFlagBit(effFlagsCanReplacing);
  std::int32_t numInputs = 2;
  std::int32_t numOutputs = 2;
  std::int32_t InitialDelay = 0;  // samples
  float IORatio = 1.0f;
  std::int32_t RealQualities = 0;
  std::int32_t OffQualities = 0;
  std::int32_t TailSize = 0;  // samples
  bool KeysRequired = false;
  TProcessPrecision ProcessPrecisition = pp32;
  bool TruncateStrings = false;
  std::int32_t numCategories = 1;
  const TParametersDescription* Parameters = nullptr;
};

}  // namespace vb
