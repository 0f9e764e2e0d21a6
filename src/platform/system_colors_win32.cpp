#include <windows.h>

#include "platform/system_colors.h"

namespace vb {

// The user's scheme, as the window manager keeps it (0x00BBGGRR, as TColor).
TColor GetSysColor(std::int32_t index) {
  if (index < 0 || index > scMenuBar || index == 25) return 0;
  return TColor(::GetSysColor(index));
}

}  // namespace vb
