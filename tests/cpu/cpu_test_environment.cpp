// Guards against tests running before the processor information and the
// bindings exist: the unit is started once for the whole test program.
#include <gtest/gtest.h>

#include "cpu/cpu_unit.h"

namespace {

class TCpuEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override { vb::CpuStartUp(); }
  void TearDown() override { vb::CpuShutDown(); }
};

[[maybe_unused]] ::testing::Environment* const kCpuEnvironment =
    ::testing::AddGlobalTestEnvironment(new TCpuEnvironment);

}  // namespace
