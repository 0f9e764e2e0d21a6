// The plug-in library's module factory and process-wide start-up/shut-down.
#include "host/application.h"
#include "host/plugin_entry.h"
#include "processor/process_module.h"

namespace vb {

TBasicVSTModule* CreatePluginModule() { return CreateVSTModule<TProcessModule>(&TApplication::Instance()); }

// Subsystems that need process-wide set-up start here, in dependency order
// (processor features, routine bindings, codec tables and registries), and
// are shut down in reverse order below.
void PluginLibraryStartUp() {}

void PluginLibraryShutDown() {}

}  // namespace vb
