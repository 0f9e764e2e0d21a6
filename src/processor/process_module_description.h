#pragma once
// The drive effect's stored description: identity, flags and capabilities,
// its parameter category and its program, and the one table of its 17
// parameters (description, change handler, default), indexed by
// TDriveParameter.

#include <array>
#include <cstdint>

#include "host/vst_module_description.h"
#include "params/parameters_description.h"
#include "processor/drive_parameter.h"
#include "processor/process_module.h"

namespace vb {

extern const TParametersDescription kProcessParametersDescription;
extern const TVSTModuleDescription kProcessModuleDescription;

using TProcessParameterHandler = void (TProcessModule::*)(TCustomVSTModule& Sender, std::int32_t Index, float& Value);

struct TProcessParameter {
  TDriveParameter Parameter;  // the row's own index
  TParameterPropertyDescription Description;
  TProcessParameterHandler Handler;
  float Default;  // stored by the create handler and by SetParamsToDefault
};

extern const std::array<TProcessParameter, kParamCount> kProcessParameters;

}  // namespace vb
