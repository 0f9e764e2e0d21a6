// Windows publishes no X resources; the one setting the editor reads from
// them, the screen's density, is given in their form ("Xft.dpi: 192"), so
// the scale rule reads one source on every system.
#include <cstdio>

#include "platform/desktop_resources.h"
#include "platform/win32/win32_dpi.h"

namespace vb {

std::string NativeDesktopResources() {
  char line[32];
  std::snprintf(line, sizeof line, "Xft.dpi:\t%u\n", unsigned(SystemDpi()));
  return line;
}

}  // namespace vb
