#pragma once
// The desktop's X resources (the RESOURCE_MANAGER string of the root
// window: "name:\tvalue" lines, as xrdb loads them), where the desktop
// publishes settings such as Xft.dpi.
//
// Both readers have the shape of the editor's resource reader
// (editor/editor_scale.h). User-interface thread.

#include <cstdint>
#include <string>

namespace vb {

// Opens a private connection to $DISPLAY, reads the first screen's root
// window property and closes the connection again: no connection is kept or
// shared. Empty when there is no server or no property.
std::string NativeDesktopResources();

// The resources as the screen under Window (a native window id; 0: none)
// sees them. X11: the display's, as above. Windows: the density of that
// window's monitor for its DPI awareness (GetDpiForWindow), as "Xft.dpi";
// without a window, the system's.
std::string NativeDesktopResourcesOf(std::uintptr_t Window);

// The headless twin: there is no desktop, so there are no resources.
std::string HeadlessDesktopResources();

}  // namespace vb
