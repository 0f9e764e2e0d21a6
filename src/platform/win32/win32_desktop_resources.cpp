// Windows publishes no X resources; the one setting the editor reads from
// them, the screen's density, is given in their form ("Xft.dpi: 192"), so
// the scale rule reads one source on every system.
#include <cstdio>

#include "platform/desktop_resources.h"
#include "platform/win32/win32_dpi.h"

namespace vb {

namespace {

std::string DpiResource(std::uint32_t Dpi) {
  char line[32];
  std::snprintf(line, sizeof line, "Xft.dpi:\t%u\n", unsigned(Dpi));
  return line;
}

}  // namespace

std::string NativeDesktopResources() { return DpiResource(SystemDpi()); }

std::string NativeDesktopResourcesOf(std::uintptr_t Window) {
  HWND handle = reinterpret_cast<HWND>(Window);
  return Window != 0 && IsWindow(handle) ? DpiResource(WindowDpi(handle)) : NativeDesktopResources();
}

}  // namespace vb
