// The drive effect's stored description: identity, flags and capabilities,
// its 17 parameter descriptions, its parameter category and its program,
// and the module's parameter handlers and defaults by parameter index.
#pragma once

#include <array>
#include <cstdint>

#include "host/vst_module_description.h"
#include "params/parameters_description.h"
#include "processor/process_module.h"

namespace vb {

extern const TParametersDescription kProcessParametersDescription;
extern const TVSTModuleDescription kProcessModuleDescription;

using TProcessParameterHandler = void (TProcessModule::*)(TCustomVSTModule& Sender, std::int32_t Index, float& Value);

struct TProcessParameterBinding {
  TProcessParameterHandler Handler;
  float Default;  // stored by the create handler and by SetParamsToDefault
};

inline constexpr std::int32_t kProcessParameterCount = 17;
extern const std::array<TProcessParameterBinding, kProcessParameterCount> kProcessParameterBindings;

}  // namespace vb
