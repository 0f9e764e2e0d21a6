#pragma once
// The desktop's X resources (the RESOURCE_MANAGER string of the root
// window: "name:\tvalue" lines, as xrdb loads them), where the desktop
// publishes settings such as Xft.dpi.
//
// Both readers have the shape of the editor's resource reader
// (editor/editor_scale.h). User-interface thread.

#include <string>

namespace vb {

// Opens a private connection to $DISPLAY, reads the first screen's root
// window property and closes the connection again: no connection is kept or
// shared. Empty when there is no server or no property.
std::string NativeDesktopResources();

// The headless twin: there is no desktop, so there are no resources.
std::string HeadlessDesktopResources();

}  // namespace vb
