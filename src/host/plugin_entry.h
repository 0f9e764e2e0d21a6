// The three functions every plug-in library defines for the entry point.
#pragma once

namespace vb {

class TBasicVSTModule;

// Builds the plug-in's concrete module, owned by the application object
// (TApplication::Instance()), with its stored description applied. May
// throw; the entry point then answers null.
TBasicVSTModule* CreatePluginModule();
// Process-wide start-up, run once when the library is loaded, before the
// first module is built. Subsystems start here, in order.
void PluginLibraryStartUp();
// Process-wide shut-down, run once when the library is unloaded, after the
// modules the host never closed have been destroyed.
void PluginLibraryShutDown();

}  // namespace vb
