#include "processor/process_module.h"

#include "processor/process_module_description.h"

namespace vb {

TProcessModule::TProcessModule(TComponent* AOwner) : TVSTModule(AOwner) {}

TProcessModule::~TProcessModule() = default;

const TVSTModuleDescription* TProcessModule::StoredDescription() const { return &kProcessModuleDescription; }

void TProcessModule::BindDescriptionEvents() {
  OnCreate = [this](TCustomVSTModule&) { VSTModuleCreate(); };
}

void TProcessModule::VSTModuleCreate() { SetFlags(static_cast<TEffFlags>(Flags() | EffFlagBit(effFlagsHasEditor))); }

}  // namespace vb
