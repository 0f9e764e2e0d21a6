// Guards against drawing or decoding before the blending routines are bound
// and the PNG codec is started: the units start once, in their order.
#include <gtest/gtest.h>

#include "cpu/cpu_unit.h"
#include "image/image_unit.h"
#include "png/png_startup.h"

namespace {

class TArtworkEnvironment final : public ::testing::Environment {
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

[[maybe_unused]] ::testing::Environment* const kArtworkEnvironment =
    ::testing::AddGlobalTestEnvironment(new TArtworkEnvironment);

}  // namespace
