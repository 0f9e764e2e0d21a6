#include <windows.h>

#include "platform/system_colors.h"

namespace vb {

// The user's scheme, as the window manager keeps it (0x00BBGGRR, as TColor).
TColor GetSysColor(std::int32_t Index) {
  if (Index < 0 || Index > scMenuBar || Index == 25) return 0;
  return TColor(::GetSysColor(Index));
}

}  // namespace vb
