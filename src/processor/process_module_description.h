// The drive effect's stored description: identity, flags and capabilities,
// its 17 parameter descriptions, its parameter category and its program.
#pragma once

#include "host/vst_module_description.h"
#include "params/parameters_description.h"

namespace vb {

extern const TParametersDescription kProcessParametersDescription;
extern const TVSTModuleDescription kProcessModuleDescription;

}  // namespace vb
