// Guards against tests running before the blending routines are bound: the
// processor, binding and image units start once, in their required order.
#include <gtest/gtest.h>

#include "cpu/cpu_unit.h"
#include "image/image_unit.h"
#include "support/unit_environment.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kImageEnvironment = ::testing::AddGlobalTestEnvironment(
    new vb::test::TUnitEnvironment({{vb::CpuStartUp, vb::CpuShutDown}, {vb::ImageStartUp, vb::ImageShutDown}}));

}  // namespace
