#pragma once
// The window backend of the system the plug-in runs on: on Linux an X11
// window (platform/x11/x11_window.h) that opens its own display connection
// when it is embedded into the host's window. Callers stay free of any
// windowing header.

#include <memory>

#include "platform/platform_window.h"

namespace vb {

// A window that is not embedded yet (call Embed with the host's window id).
// User-interface thread only.
std::unique_ptr<TPlatformWindow> CreateNativeWindow();

}  // namespace vb
