// The module's parameter handlers and defaults, by parameter index, as data
// next to the stored description.
#pragma once

#include <array>
#include <cstdint>

#include "processor/process_module.h"

namespace vb {

using TProcessParameterHandler = void (TProcessModule::*)(TCustomVSTModule& Sender, std::int32_t Index,
                                                          float& Value);

struct TProcessParameterBinding {
  TProcessParameterHandler Handler;
  float Default;  // stored by the create handler and by SetParamsToDefault
};

inline constexpr std::int32_t kProcessParameterCount = 17;
extern const std::array<TProcessParameterBinding, kProcessParameterCount> kProcessParameterBindings;

}  // namespace vb
