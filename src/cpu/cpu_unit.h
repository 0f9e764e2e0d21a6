#pragma once
// Start-up and shut-down of the processor-feature and binding units, called
// once by the plug-in library (and by test environments) on the thread that
// loads it, before any unit that registers bindings (ImageStartUp).

namespace vb {

// Identifies the processor, derives the feature set, registers the block
// arithmetic bindings. A second call without CpuShutDown does nothing.
void CpuStartUp();
// Deletes every binding still alive and frees the processor information.
void CpuShutDown();

}  // namespace vb
