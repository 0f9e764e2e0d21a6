// Guards against editor tests that render in-process before the blending
// routines and the PNG codec are started: they start once, in their order.
#include <gtest/gtest.h>

#include "cpu/cpu_unit.h"
#include "image/image_unit.h"
#include "png/png_startup.h"

namespace {

class TEditorEnvironment final : public ::testing::Environment {
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

[[maybe_unused]] ::testing::Environment* const kEditorEnvironment =
    ::testing::AddGlobalTestEnvironment(new TEditorEnvironment);

}  // namespace
