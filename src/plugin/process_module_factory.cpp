// The plug-in library's module factory and process-wide start-up/shut-down.
#include "cpu/cpu_unit.h"
#include "dsp/processor_registry.h"
#include "editor/wnd_gui.h"
#include "host/application.h"
#include "host/plugin_entry.h"
#include "image/image_unit.h"
#include "png/png_startup.h"
#include "processor/drive_block.h"
#include "processor/process_module.h"

namespace vb {

TBasicVSTModule* CreatePluginModule() { return CreateVSTModule<TProcessModule>(&TApplication::Instance()); }

// Runs once, before the first module is built, on the thread of the host's
// first entry call. Each step relies on the ones before it: the routine
// bindings need the processor's features, the blending routines register
// through the bindings, and the PNG format registers in the image format
// registry. Unloading undoes the same steps in reverse order.
void PluginLibraryStartUp() {
  CpuStartUp();            // processor features, block-arithmetic bindings
  ImageStartUp();          // pixel blending bindings, image format registry
  PngStartUp();            // CRC table, PNG chunk classes, the ".png" format
  DspRegistriesStartUp();  // DSP processor registries
  DriveBlockStartUp();     // the drive's block routines, bound like the rest
  // Last: the editor decodes its pictures with the PNG codec and draws
  // with the blending routines, so every module may open it from now on.
  TProcessModule::SetDefaultEditorClass(TWndGUI::Class());
}

void PluginLibraryShutDown() {
  TProcessModule::SetDefaultEditorClass({});
  DriveBlockShutDown();
  DspRegistriesShutDown();
  PngShutDown();
  ImageShutDown();
  CpuShutDown();
}

}  // namespace vb
