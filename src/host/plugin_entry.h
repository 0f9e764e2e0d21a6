#pragma once
// The three functions every plug-in library defines for the entry point.

namespace vb {

class TBasicVSTModule;

// Builds the plug-in's concrete module, owned by the application object
// (TApplication::Instance()), with its stored description applied. May
// throw; the entry point then answers null.
TBasicVSTModule* CreatePluginModule();
// Process-wide start-up, run once before the first module is built (on the
// first entry call, after the library's static objects exist). Subsystems
// start here, in order. A failure makes that entry call answer null.
void PluginLibraryStartUp();
// Process-wide shut-down, run once when the library is unloaded or the
// process ends, after the modules the host never closed have been
// destroyed; only when the start-up ran.
void PluginLibraryShutDown();

}  // namespace vb
