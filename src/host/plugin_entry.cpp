// The exported entry point of a plug-in library (compiled into each plug-in,
// not into the framework library). The version script (Linux) or the
// module-definition file (Windows) exports exactly VSTPluginMain and main.
#include "host/plugin_entry.h"

#include <cstdlib>
#include <mutex>

#include "host/application.h"
#include "host/basic_vst_module.h"
#include "host/failure_trace.h"
#include "platform/module_file.h"

#if defined(_WIN32)
// A DLL's atexit list is its own: it runs when the DLL is unloaded (or the
// process ends), never after.
#define VB_EXPORT
#else
// Registration of a function to run when this library is unloaded (or the
// process ends), tied to this library through its DSO handle. Plain atexit
// is not used: sanitizer runtimes replace it with a process-wide list that
// would call into the library after it has been unmapped.
extern "C" int __cxa_atexit(void (*Function)(void*), void* Argument, void* Dso);
extern "C" void* __dso_handle;
#define VB_EXPORT __attribute__((visibility("default")))
#endif

namespace {

std::once_flag GStartUpDone;

// Runs when the library is unloaded (or the process ends): first the
// modules the host never closed, then the subsystems.
void LibraryShutDown() {
  try {
    vb::TApplication::Finalize();
    vb::PluginLibraryShutDown();
  } catch (...) {
    vb::LibraryFailureTrace().Report("unloading");
  }
}

// Failure lines name this library's file, so a user of a host that loads
// many plug-ins can tell which one failed.
void NameFailureTrace() {
  const std::string path = vb::ModuleFileName(reinterpret_cast<const void*>(&NameFailureTrace));
  if (!path.empty()) vb::LibraryFailureTrace().SetOwner(vb::ModuleBaseName(path).c_str());
}

void RegisterShutDown() {
#if defined(_WIN32)
  std::atexit(&LibraryShutDown);
#else
  __cxa_atexit([](void*) { LibraryShutDown(); }, nullptr, &__dso_handle);
#endif
}

// Start-up runs on the first entry call, once every static object of the
// library exists. The shut-down is registered afterwards, so it runs before
// those objects are destroyed, at unload as well as at process exit.
void StartUpOnce() {
  std::call_once(GStartUpDone, [] {
    NameFailureTrace();
    vb::PluginLibraryStartUp();
    RegisterShutDown();
  });
}

vb::TVSTEffect* CreateEffect(vb::TAudioMasterCallbackFunc AudioMaster) noexcept {
  vb::TBasicVSTModule* module = nullptr;
  try {
    StartUpOnce();
    module = vb::CreatePluginModule();
    if (!module) return nullptr;
    module->SetAudioMaster(AudioMaster);
    return module->Effect();
  } catch (...) {
    vb::LibraryFailureTrace().Report("VSTPluginMain");
    delete module;  // the half-built module is not handed to the host
    return nullptr;
  }
}

}  // namespace

extern "C" {

VB_EXPORT vb::TVSTEffect* VSTPluginMain(vb::TAudioMasterCallbackFunc AudioMaster) { return CreateEffect(AudioMaster); }

// The same entry under its older name. Declared through an asm label because
// a function named main has special meaning in C++.
VB_EXPORT vb::TVSTEffect* VSTPluginMainLegacy(vb::TAudioMasterCallbackFunc AudioMaster) __asm__("main");
vb::TVSTEffect* VSTPluginMainLegacy(vb::TAudioMasterCallbackFunc AudioMaster) { return CreateEffect(AudioMaster); }

}  // extern "C"
