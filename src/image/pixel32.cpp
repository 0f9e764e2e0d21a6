#include "image/pixel32.h"

#include "platform/system_colors.h"

namespace vb {

TPixel32 ColorToPixel(TColor Color) {
  if (Color < 0) Color = GetSysColor(Color & 0xFF);
  const std::uint32_t c = std::uint32_t(Color);
  return TPixel32{std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c), 0xFF};
}

}  // namespace vb
