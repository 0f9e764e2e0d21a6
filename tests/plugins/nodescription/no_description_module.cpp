// Test plug-in: a module class without a stored description. It must come
// up with the framework's defaults, and its create handler must not run.
#include "host/application.h"
#include "host/plugin_entry.h"
#include "host/vst_module.h"

namespace vb {

namespace {

class TNoDescriptionModule : public TVSTModule {
 public:
  explicit TNoDescriptionModule(TComponent* AOwner) : TVSTModule(AOwner) {}

 protected:
  void BindDescriptionEvents() override {
    OnCreate = [](TCustomVSTModule& Sender) { Sender.SetEffectName("create handler ran"); };
  }
};

}  // namespace

TBasicVSTModule* CreatePluginModule() { return CreateVSTModule<TNoDescriptionModule>(&TApplication::Instance()); }
void PluginLibraryStartUp() {}
void PluginLibraryShutDown() {}

}  // namespace vb
