#pragma once
// The drive's block routine implementations the tests force in turn
// through their bindings: SSE2 always, AVX2 where this processor and its
// operating system can run it.

#include <string>
#include <vector>

#include "cpu/function_binding.h"
#include "processor/drive_block.h"

namespace vb::test {

struct TRoutineSet {
  std::string Name;
  TProcessorFeatures Features;  // what Rebind gets to pick this set
};

inline std::vector<TRoutineSet> RoutineSets() {
  std::vector<TRoutineSet> result{{"sse2", {}}};
  if (ProcessorFeatures().Contains(TProcessorFeature::pfAVX2))
    result.push_back({"avx2", TProcessorFeatures{TProcessorFeature::pfAVX2}});
  return result;
}

// Binds one set for its lifetime, then the processor's own again.
class TBoundRoutines {
 public:
  explicit TBoundRoutines(const TRoutineSet& Set) { DriveBlockFunctionBindings()->Rebind(Set.Features); }
  ~TBoundRoutines() { DriveBlockFunctionBindings()->RebindProcessorSpecific(); }
  TBoundRoutines(const TBoundRoutines&) = delete;
  TBoundRoutines& operator=(const TBoundRoutines&) = delete;
};

}  // namespace vb::test
