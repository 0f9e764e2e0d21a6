// Guards against start-up and shut-down that leave bindings, lists or
// formats behind (a plug-in unloaded and loaded again by its host) or that
// bind the routines only on the first start.
#include "image/image_unit.h"

#include <gtest/gtest.h>

#include "cpu/block_arithmetic.h"
#include "cpu/cpu_unit.h"
#include "cpu/function_binding.h"
#include "cpu/processor_info.h"
#include "image/file_format_registry.h"
#include "image/gui_pixel_map_memory.h"
#include "image/pixel_blend.h"
#include "platform/memory_canvas.h"

namespace vb {
namespace {

TEST(ImageUnit, ShutDownFreesEverythingAndAStartBindsAgain) {
  // 20 block-arithmetic bindings and 12 blending bindings, one list.
  EXPECT_EQ(AllFunctionBindings().size(), 32u);
  EXPECT_EQ(AllFunctionBindingLists().size(), 1u);

  ImageShutDown();
  EXPECT_EQ(BlendFunctionBindings(), nullptr);
  EXPECT_EQ(FileFormatCount(), 0u);
  EXPECT_TRUE(AllFunctionBindingLists().empty());
  CpuShutDown();
  EXPECT_TRUE(AllFunctionBindings().empty());
  EXPECT_EQ(ProcessorInfo(), nullptr);

  CpuStartUp();
  ImageStartUp();
  EXPECT_EQ(AllFunctionBindings().size(), 32u);
  ASSERT_NE(BlendFunctionBindings(), nullptr);
  EXPECT_EQ(BlendPixel(Pixel32(0x80000000u), Pixel32(0xFFFFFFFFu)), Pixel32(0xFF7F7F7Fu));
  double block[2] = {1.0, 2.0};
  BlockScale64(block, 3.0, 2);
  EXPECT_EQ(block[1], 6.0);
}

TEST(HeadlessCanvas, PaintsIntoAPixelMap) {
  // A pixel map can be the screen: its storage is what the canvas draws on.
  TGuiPixelMapMemory screen, control;
  screen.SetSize(4, 3);
  control.SetSize(2, 2);
  control.Clear(Pixel32(0xFF0000FFu));
  TMemoryCanvas canvas(screen.RasterView());
  control.PaintTo(canvas, 2, 1);
  EXPECT_EQ(screen.GetPixel(3, 2), Pixel32(0xFF0000FFu));
  EXPECT_EQ(screen.GetPixel(1, 1), TPixel32{});
}

}  // namespace
}  // namespace vb
