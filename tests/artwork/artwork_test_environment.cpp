// Guards against drawing or decoding before the blending routines are bound
// and the PNG codec is started: the units start once, in their order.
#include <gtest/gtest.h>

#include "artwork_fonts.h"
#include "cpu/cpu_unit.h"
#include "image/image_unit.h"
#include "png/png_startup.h"
#include "support/unit_environment.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kArtworkEnvironment =
    ::testing::AddGlobalTestEnvironment(new vb::test::TUnitEnvironment(
        {{vb::CpuStartUp, vb::CpuShutDown},
         {vb::ImageStartUp, vb::ImageShutDown},
         {vb::PngStartUp, vb::PngShutDown},
         {vb::artwork::UseRepositoryFonts, [] {}}}));

}  // namespace
