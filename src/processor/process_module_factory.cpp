// The plug-in library's module factory and process-wide start-up/shut-down.
#include "dsp/processor_registry.h"
#include "host/application.h"
#include "host/plugin_entry.h"
#include "processor/process_module.h"

namespace vb {

TBasicVSTModule* CreatePluginModule() { return CreateVSTModule<TProcessModule>(&TApplication::Instance()); }

// Runs once when the library is loaded, before any host call, on the loading
// thread. Order: processor features and routine bindings, then the image
// codecs and their registries, then the DSP registries. Unloading undoes the
// same steps in reverse order.
void PluginLibraryStartUp() {
  // 1. Processor features and block-arithmetic bindings (src/cpu).
  // 2. Pixel blending bindings (src/image).
  // 3. PNG CRC table, PNG image format and chunk classes (src/png).
  // 4. The editor window class (src/editor):
  //    TProcessModule::SetDefaultEditorFormClass(...).
  DspRegistriesStartUp();
}

void PluginLibraryShutDown() {
  DspRegistriesShutDown();
  // Then, in reverse order of start-up: PNG, image, processor bindings.
}

}  // namespace vb
