#pragma once
// Translation of the host's key records into platform key codes for the
// editor (the platform's virtual-key numbering: 8 backspace, 13 return,
// 37..40 arrows, 48..57 digits, 112..123 F1..F12, ...).

#include <cstdint>

#include "host/vst_abi.h"

namespace vb {

// Platform key code of a host virtual key (0 for an unknown one).
std::int32_t TranslateVirtualKey(std::uint8_t Virt);
// A non-zero Character is used unchanged (minus 32 with Shift held);
// otherwise the virtual key is translated.
std::int32_t TranslateKeyCode(const TVstKeyCode& Key);

}  // namespace vb
