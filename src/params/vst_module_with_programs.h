// Parameter descriptions, programs and categories of a module, and the
// module's parameter and program handling towards the host.
#pragma once

#include "host/vst_module_with_midi.h"

namespace vb {

class TVSTModuleWithPrograms : public TVSTModuleWithMidi {
 public:
  explicit TVSTModuleWithPrograms(TComponent* AOwner);
  ~TVSTModuleWithPrograms() override;

  // Host reads and writes of normalised (0..1) parameter values; any thread.
  float HostCallGetParameter(std::int32_t Index) override;
  void HostCallSetParameter(std::int32_t Index, float Value) override;
};

}  // namespace vb
