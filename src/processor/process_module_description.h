// The drive effect's stored description: identity, flags and capabilities.
#pragma once

#include "host/vst_module_description.h"

namespace vb {

extern const TVSTModuleDescription kProcessModuleDescription;

}  // namespace vb
