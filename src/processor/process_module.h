// The drive effect module.
#pragma once

#include "host/vst_module.h"

namespace vb {

class TProcessModule : public TVSTModule {
 public:
  explicit TProcessModule(TComponent* AOwner);
  ~TProcessModule() override;

 protected:
  const TVSTModuleDescription* StoredDescription() const override;
  void BindDescriptionEvents() override;

 private:
  // Create handler: runs once after the description has been applied.
  void VSTModuleCreate();
};

}  // namespace vb
