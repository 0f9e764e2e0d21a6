// Guards against tests running before the blending routines are bound: the
// processor, binding and image units start once, in their required order.
#include <gtest/gtest.h>

#include "cpu/cpu_unit.h"
#include "image/image_unit.h"

namespace {

class TImageEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    vb::CpuStartUp();
    vb::ImageStartUp();
  }
  void TearDown() override {
    vb::ImageShutDown();
    vb::CpuShutDown();
  }
};

[[maybe_unused]] ::testing::Environment* const kImageEnvironment =
    ::testing::AddGlobalTestEnvironment(new TImageEnvironment);

}  // namespace
