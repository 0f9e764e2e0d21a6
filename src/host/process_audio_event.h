#pragma once
// The processing handler types: a plain function taking the module, arrays
// of per-channel input and output sample pointers and the number of sample
// frames. Inputs and Outputs may point to the same memory. Handlers run on
// the host's audio thread; being plain function pointers, handler slots can
// be swapped from other threads with relaxed atomic stores.

#include <cstdint>

namespace vb {

class TCustomVSTModule;

using TProcessAudio32Event = void (*)(TCustomVSTModule& Sender, float** Inputs, float** Outputs,
                                      std::uint32_t SampleFrames);
using TProcessAudio64Event = void (*)(TCustomVSTModule& Sender, double** Inputs, double** Outputs,
                                      std::uint32_t SampleFrames);

}  // namespace vb
