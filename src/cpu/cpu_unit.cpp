#include "cpu/cpu_unit.h"

#include "cpu/block_arithmetic.h"
#include "cpu/cpuid_source.h"
#include "cpu/function_binding.h"
#include "cpu/processor_info.h"

namespace vb {

namespace {
constinit bool GCpuStarted = false;
}

void CpuStartUp() {
  if (GCpuStarted) return;
  CreateProcessorInfo(TMachineCpuid());
  BindingsStartUp();
  BlockArithmeticStartUp();
  GCpuStarted = true;
}

void CpuShutDown() {
  // Also deletes bindings that units created without CpuStartUp.
  BindingsShutDown();
  FreeProcessorInfo();
  GCpuStarted = false;
}

}  // namespace vb
