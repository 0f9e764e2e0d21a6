// Guards against tests running before the block routines are bound: the
// processor-feature, binding and drive units start once, in their required
// order, so in-process modules run the routines bound for this processor.
#include <gtest/gtest.h>

#include "cpu/cpu_unit.h"
#include "processor/drive_block.h"

namespace {

class TProcessorEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    vb::CpuStartUp();
    vb::DriveBlockStartUp();
  }
  void TearDown() override {
    vb::DriveBlockShutDown();
    vb::CpuShutDown();
  }
};

[[maybe_unused]] ::testing::Environment* const kProcessorEnvironment =
    ::testing::AddGlobalTestEnvironment(new TProcessorEnvironment);

}  // namespace
