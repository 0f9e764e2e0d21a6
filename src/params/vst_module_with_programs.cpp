#include "params/vst_module_with_programs.h"

namespace vb {

TVSTModuleWithPrograms::TVSTModuleWithPrograms(TComponent* AOwner) : TVSTModuleWithMidi(AOwner) {}

TVSTModuleWithPrograms::~TVSTModuleWithPrograms() = default;

// No parameters exist yet: reads answer 0.0, writes are ignored.
float TVSTModuleWithPrograms::HostCallGetParameter(std::int32_t) { return 0.0f; }

void TVSTModuleWithPrograms::HostCallSetParameter(std::int32_t, float) {}

}  // namespace vb
