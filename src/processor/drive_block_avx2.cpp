// The block routines compiled for AVX2. Only these two functions carry the
// instruction set (per-function target, everything they call inlined into
// them), so no shared inline function is ever emitted with AVX2
// instructions for other callers. No fused multiply-add: the target does
// not include it, and -ffp-contract=off stands.
#include "processor/drive_block.h"
#include "processor/drive_block_kernel.h"

namespace vb {

__attribute__((target("avx2"), flatten)) void ProcessDriveBlock32Avx2(TDriveBlockJob<float>& Job) {
  drive_block::Run(Job);
}

__attribute__((target("avx2"), flatten)) void ProcessDriveBlock64Avx2(TDriveBlockJob<double>& Job) {
  drive_block::Run(Job);
}

}  // namespace vb
