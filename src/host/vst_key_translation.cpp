#include "host/vst_key_translation.h"

namespace vb {

namespace {
// Indexed by the host's virtual key, 0..57. Keys 15 and 16 (page up and
// page down in the host's numbering) deliberately map to the up- and
// down-arrow codes.
constexpr std::int32_t kVirtualKeyCodes[58] = {
    0,   8,   9,   12,  13,  19,  27,  32,  34,  35,   // 0..9
    36,  37,  38,  39,  40,  38,  40,  41,  42,  13,   // 10..19
    44,  45,  46,  47,  48,  49,  50,  51,  52,  53,   // 20..29
    54,  55,  56,  57,  106, 107, 108, 109, 110, 111,  // 30..39
    112, 113, 114, 115, 116, 117, 118, 119, 120, 121,  // 40..49
    122, 123, 144, 145, 16,  17,  18,  93,             // 50..57
};
}  // namespace

std::int32_t TranslateVirtualKey(std::uint8_t Virt) {
  if (Virt >= sizeof(kVirtualKeyCodes) / sizeof(kVirtualKeyCodes[0])) return 0;
  return kVirtualKeyCodes[Virt];
}

std::int32_t TranslateKeyCode(const TVstKeyCode& Key) {
  if (Key.Character != 0) return (Key.Modifier & mkShift) ? Key.Character - 32 : Key.Character;
  return TranslateVirtualKey(Key.Virt);
}

}  // namespace vb
