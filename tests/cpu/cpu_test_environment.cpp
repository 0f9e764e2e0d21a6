// Guards against tests running before the processor information and the
// bindings exist: the unit is started once for the whole test program.
#include <gtest/gtest.h>

#include "cpu/cpu_unit.h"
#include "support/unit_environment.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kCpuEnvironment =
    ::testing::AddGlobalTestEnvironment(new vb::test::TUnitEnvironment({{vb::CpuStartUp, vb::CpuShutDown}}));

}  // namespace
