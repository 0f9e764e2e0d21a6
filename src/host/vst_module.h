#pragma once
// The published module: applies the concrete class's stored description
// after construction and then runs the class's create handler.

#include <memory>

#include "host/dsp_vst_module.h"
#include "host/vst_module_description.h"

namespace vb {

class TVSTModule : public TDspVSTModule {
 public:
  explicit TVSTModule(TComponent* AOwner);
  ~TVSTModule() override;

  // Reads the stored description, runs OnInitialize, then the create
  // handler (OnCreate). Without a stored description the module keeps the
  // framework defaults and the create handler does not run. Called once,
  // right after construction (see CreateVSTModule).
  void LoadStoredDescription();

  // The create handler, bound by BindDescriptionEvents.
  TModuleNotifyEvent OnCreate;

 protected:
  // The concrete class's stored description, or null when it has none.
  virtual const TVSTModuleDescription* StoredDescription() const;
  // Binds the class's event handlers (the description's event bindings).
  virtual void BindDescriptionEvents();
};

// Builds a module of class T owned by Owner and applies its description.
// On failure the half-built module is destroyed and the failure rethrown.
template <typename T>
T* CreateVSTModule(TComponent* Owner) {
  std::unique_ptr<T> module(new T(Owner));
  module->LoadStoredDescription();
  return module.release();
}

}  // namespace vb
