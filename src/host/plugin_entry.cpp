// The exported entry point of a plug-in library (compiled into each plug-in,
// not into the framework library). The version script exports exactly
// VSTPluginMain and main.
#include "host/plugin_entry.h"

#include "host/application.h"
#include "host/basic_vst_module.h"

namespace {

// The host's library loader runs these once per load and unload.
__attribute__((constructor)) void LibraryLoaded() {
  try {
    vb::PluginLibraryStartUp();
  } catch (...) {
    // A failed start-up must not take the host down; module creation will
    // report the failure as a null record.
  }
}

__attribute__((destructor)) void LibraryUnloading() {
  try {
    vb::TApplication::Finalize();
    vb::PluginLibraryShutDown();
  } catch (...) {
  }
}

vb::TVSTEffect* CreateEffect(vb::TAudioMasterCallbackFunc AudioMaster) noexcept {
  vb::TBasicVSTModule* Module = nullptr;
  try {
    Module = vb::CreatePluginModule();
    if (!Module) return nullptr;
    Module->SetAudioMaster(AudioMaster);
    return Module->Effect();
  } catch (...) {
    delete Module;  // the half-built module is not handed to the host
    return nullptr;
  }
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) vb::TVSTEffect* VSTPluginMain(vb::TAudioMasterCallbackFunc AudioMaster) {
  return CreateEffect(AudioMaster);
}

// The same entry under its older name. Declared through an asm label because
// a function named main has special meaning in C++.
__attribute__((visibility("default"))) vb::TVSTEffect* VSTPluginMainLegacy(vb::TAudioMasterCallbackFunc AudioMaster)
    __asm__("main");
vb::TVSTEffect* VSTPluginMainLegacy(vb::TAudioMasterCallbackFunc AudioMaster) { return CreateEffect(AudioMaster); }

}  // extern "C"
