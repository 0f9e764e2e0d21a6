// Guards against tests running before the block routines are bound: the
// processor-feature, binding and drive units start once, in their required
// order, so in-process modules run the routines bound for this processor.
#include <gtest/gtest.h>

#include "cpu/cpu_unit.h"
#include "processor/drive_block.h"
#include "support/unit_environment.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kProcessorEnvironment =
    ::testing::AddGlobalTestEnvironment(new vb::test::TUnitEnvironment(
        {{vb::CpuStartUp, vb::CpuShutDown}, {vb::DriveBlockStartUp, vb::DriveBlockShutDown}}));

}  // namespace
