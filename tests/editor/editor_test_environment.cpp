// Guards against editor tests running before the blending routines, the PNG
// codec and the DSP registries are started: the units start once, in the
// plug-in library's order.
#include <gtest/gtest.h>

#include "cpu/cpu_unit.h"
#include "dsp/processor_registry.h"
#include "image/image_unit.h"
#include "png/png_startup.h"

namespace {

class TEditorEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    vb::CpuStartUp();
    vb::ImageStartUp();
    vb::PngStartUp();
    vb::DspRegistriesStartUp();
  }
  void TearDown() override {
    vb::DspRegistriesShutDown();
    vb::PngShutDown();
    vb::ImageShutDown();
    vb::CpuShutDown();
  }
};

[[maybe_unused]] ::testing::Environment* const kEditorEnvironment =
    ::testing::AddGlobalTestEnvironment(new TEditorEnvironment);

}  // namespace
