// Test plug-in: one that crashes the moment a host creates it, as broken
// third-party plug-ins do; a scan must survive it.
#include <csignal>

#include "host/application.h"
#include "host/plugin_entry.h"

namespace vb {

TBasicVSTModule* CreatePluginModule() {
  std::raise(SIGSEGV);
  return nullptr;
}
void PluginLibraryStartUp() {}
void PluginLibraryShutDown() {}

}  // namespace vb
