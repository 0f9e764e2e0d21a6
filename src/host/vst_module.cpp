#include "host/vst_module.h"

namespace vb {

TVSTModule::TVSTModule(TComponent* AOwner) : TDspVSTModule(AOwner) {}

TVSTModule::~TVSTModule() = default;

const TVSTModuleDescription* TVSTModule::StoredDescription() const { return nullptr; }

void TVSTModule::BindDescriptionEvents() {}

void TVSTModule::LoadStoredDescription() {
  BeforeReadDescription();
  const TVSTModuleDescription* description = StoredDescription();
  if (!description) return;
  ReadDescription(*description);
  BindDescriptionEvents();
  if (OnInitialize) OnInitialize(*this);
  AfterReadDescription();
  if (OnCreate) OnCreate(*this);
}

}  // namespace vb
