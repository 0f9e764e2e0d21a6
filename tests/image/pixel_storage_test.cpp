// Guards against pixel storage that hands out uncleared or too short
// blocks, frees a block the wrong way at the line between heap blocks and
// mapped ones, or keeps mappings after they are freed; and against large
// pixel maps that lose pixels when they resize or turn.
#include "image/pixel_storage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "image/gui_pixel_map_memory.h"

namespace vb {
namespace {

TEST(PixelStorage, BlocksOfEverySizeAreClearedWholeAndGiveTheirMappingsBack) {
  const std::size_t mappedBefore = PixelStorageMappedBytes();
  constexpr std::size_t kHuge = std::size_t(2) << 20;
  for (const std::size_t bytes : {std::size_t(16), kPixelStorageMappedMinimum - 1, kPixelStorageMappedMinimum,
                                  kPixelStorageMappedMinimum + 1, kHuge - 4, kHuge, kHuge + 4, 5 * kHuge + 12}) {
    auto* block = static_cast<std::uint8_t*>(AllocatePixelStorage(bytes));
    ASSERT_NE(block, nullptr) << bytes;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u) << bytes;
    EXPECT_TRUE(std::all_of(block, block + bytes, [](std::uint8_t b) { return b == 0; })) << bytes;
    if (kPixelStorageMapsLargeBlocks && bytes >= kPixelStorageMappedMinimum) {
      EXPECT_GE(PixelStorageMappedBytes() - mappedBefore, bytes) << bytes;
    } else {
      EXPECT_EQ(PixelStorageMappedBytes(), mappedBefore) << bytes;
    }
    std::memset(block, 0xA5, bytes);  // the whole block is writable
    FreePixelStorage(block, bytes);
    EXPECT_EQ(PixelStorageMappedBytes(), mappedBefore) << bytes;
  }
  EXPECT_EQ(AllocatePixelStorage(0), nullptr);
  FreePixelStorage(nullptr, 0);
  FreePixelStorage(nullptr, kHuge);
}

TEST(PixelStorage, LargeMapsKeepTheirPixelsAcrossResizeTurnAndNewSizes) {
  const std::size_t mappedBefore = PixelStorageMappedBytes();
  {
    // 60 x 6000: one control strip, 1.4 MB.
    TGuiPixelMapMemory map;
    map.SetSize(60, 6000);
    if (kPixelStorageMapsLargeBlocks) {
      EXPECT_GT(PixelStorageMappedBytes(), mappedBefore);
    }
    *map.GetPixelPointer(0, 0) = Pixel32(0xFF112233u);
    *map.GetPixelPointer(59, 5999) = Pixel32(0xFF445566u);
    map.Turn();
    EXPECT_EQ(map.Width(), 6000);
    EXPECT_EQ(map.GetPixel(5999, 0), Pixel32(0xFF112233u));
    EXPECT_EQ(map.GetPixel(0, 59), Pixel32(0xFF445566u));
    // Down to a heap block and back up: the top-left survives the first step.
    map.Resize(100, 50);
    EXPECT_EQ(map.GetPixel(99, 0), TPixel32{});
    *map.GetPixelPointer(3, 3) = Pixel32(0xFF778899u);
    map.Resize(800, 800);
    EXPECT_EQ(map.GetPixel(3, 3), Pixel32(0xFF778899u));
    EXPECT_EQ(map.GetPixel(799, 799), TPixel32{});
    // A new byte count starts cleared.
    map.SetSize(700, 700);
    EXPECT_EQ(map.GetPixel(3, 3), TPixel32{});
  }
  EXPECT_EQ(PixelStorageMappedBytes(), mappedBefore) << "a destroyed map gives its mapping back";
}

}  // namespace
}  // namespace vb
