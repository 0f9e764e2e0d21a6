// Guards against editor tests running before the blending routines, the PNG
// codec, the DSP registries and the block routines are started: the units
// start once, in the plug-in library's order.
#include <gtest/gtest.h>

#include "cpu/cpu_unit.h"
#include "dsp/processor_registry.h"
#include "image/image_unit.h"
#include "png/png_startup.h"
#include "processor/drive_block.h"
#include "support/unit_environment.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kEditorEnvironment = ::testing::AddGlobalTestEnvironment(
    new vb::test::TUnitEnvironment({{vb::CpuStartUp, vb::CpuShutDown},
                                    {vb::ImageStartUp, vb::ImageShutDown},
                                    {vb::PngStartUp, vb::PngShutDown},
                                    {vb::DspRegistriesStartUp, vb::DspRegistriesShutDown},
                                    {vb::DriveBlockStartUp, vb::DriveBlockShutDown}}));

}  // namespace
