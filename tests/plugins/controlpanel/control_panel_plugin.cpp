// The library side of the "Control Panel" test plug-in: its module factory
// and the start-up its editor needs (blending routines, the PNG codec).
#include "control_panel_module.h"
#include "cpu/cpu_unit.h"
#include "host/application.h"
#include "host/plugin_entry.h"
#include "image/image_unit.h"
#include "png/png_startup.h"

namespace vb {

TBasicVSTModule* CreatePluginModule() { return CreateVSTModule<test::TControlPanelModule>(&TApplication::Instance()); }

void PluginLibraryStartUp() {
  CpuStartUp();
  ImageStartUp();
  PngStartUp();
}

void PluginLibraryShutDown() {
  PngShutDown();
  ImageShutDown();
  CpuShutDown();
}

}  // namespace vb
