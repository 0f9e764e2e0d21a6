// Guards against GUI tests running before the blending routines are bound:
// the processor, binding, image and PNG units start once, in their order.
#include <gtest/gtest.h>

#include "cpu/cpu_unit.h"
#include "image/image_unit.h"
#include "png/png_startup.h"
#include "support/unit_environment.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kGuiEnvironment =
    ::testing::AddGlobalTestEnvironment(new vb::test::TUnitEnvironment(
        {{vb::CpuStartUp, vb::CpuShutDown}, {vb::ImageStartUp, vb::ImageShutDown}, {vb::PngStartUp, vb::PngShutDown}}));

}  // namespace
