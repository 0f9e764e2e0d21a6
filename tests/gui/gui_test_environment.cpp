// Guards against GUI tests running before the blending routines are bound:
// the processor, binding, image and PNG units start once, in their order.
#include <gtest/gtest.h>

#include "cpu/cpu_unit.h"
#include "image/image_unit.h"
#include "png/png_startup.h"

namespace {

class TGuiEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    vb::CpuStartUp();
    vb::ImageStartUp();
    vb::PngStartUp();
  }
  void TearDown() override {
    vb::PngShutDown();
    vb::ImageShutDown();
    vb::CpuShutDown();
  }
};

[[maybe_unused]] ::testing::Environment* const kGuiEnvironment =
    ::testing::AddGlobalTestEnvironment(new TGuiEnvironment);

}  // namespace
