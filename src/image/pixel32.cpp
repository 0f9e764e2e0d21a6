#include "image/pixel32.h"

#include "platform/system_colors.h"

namespace vb {

TPixel32 ColorToPixel(TColor color) {
  if (color < 0) color = GetSysColor(color & 0xFF);
  const std::uint32_t c = std::uint32_t(color);
  return TPixel32{std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c), 0xFF};
}

}  // namespace vb
