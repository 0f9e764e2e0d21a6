// Guards against the bitmap reader touching memory outside its buffers or
// failing with anything but its own errors when headers and sizes are
// corrupted (run it under AddressSanitizer to see overreads).
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "image/bitmap_file.h"
#include "image/gui_byte_map_memory.h"
#include "image/gui_pixel_map_memory.h"
#include "image/image_errors.h"

namespace vb {
namespace {

std::vector<std::uint8_t> SavedPixelMap() {
  TGuiPixelMapMemory map;
  map.SetSize(7, 5);
  map.Clear(Pixel32(0x80402010u));
  TMemoryStream stream;
  map.SaveToStream(stream);
  return stream.Bytes();
}

std::vector<std::uint8_t> SavedByteMap() {
  TGuiByteMapMemory map;
  map.SetSize(5, 3);
  map.Clear(99);
  TMemoryStream stream;
  map.SaveToStream(stream);
  return stream.Bytes();
}

// Loads Bytes into both kinds of map; only the reader's own errors may
// escape. Returns whether the pixel map accepted the data.
bool LoadsCleanly(const std::vector<std::uint8_t>& Bytes) {
  bool loaded = false;
  try {
    TMemoryStream stream(Bytes.data(), std::int64_t(Bytes.size()));
    TGuiPixelMapMemory map;
    map.LoadFromStream(stream);
    loaded = true;
    EXPECT_EQ(map.DataSize(), 4 * map.Width() * map.Height());
  } catch (const EGuiError&) {
  } catch (const EStreamError&) {
  }
  try {
    TMemoryStream stream(Bytes.data(), std::int64_t(Bytes.size()));
    TGuiByteMapMemory map;
    map.LoadFromStream(stream);
  } catch (const EGuiError&) {
  } catch (const EStreamError&) {
  }
  return loaded;
}

TEST(BitmapFileMutation, CorruptedHeadersFailWithTheReadersOwnErrors) {
  std::mt19937 random(20261209);
  for (const std::vector<std::uint8_t>& original : {SavedPixelMap(), SavedByteMap()}) {
    ASSERT_TRUE(LoadsCleanly(original));
    for (int round = 0; round < 3000; ++round) {
      std::vector<std::uint8_t> bytes = original;
      const int edits = 1 + int(random() % 4);
      for (int e = 0; e < edits; ++e) {
        // Mostly the 54 header bytes, where sizes and depths live.
        const std::size_t at = random() % 4 ? random() % 54 : random() % bytes.size();
        bytes[at] = std::uint8_t(random() % 3 ? random() : (random() % 2 ? 0xFF : 0x00));
      }
      if (random() % 5 == 0) bytes.resize(random() % bytes.size());
      LoadsCleanly(bytes);
    }
  }
}

TEST(BitmapFileMutation, StreamedDataWithHostileSizesIsRefused) {
  const std::int32_t sizes[][2] = {{-1, 1}, {1, -1}, {100000, 1}, {40000, 40000}, {65536, 65536}, {3, 3}};
  for (const auto& size : sizes) {
    TMemoryStream stream;
    WriteInt32LE(stream, size[0]);
    WriteInt32LE(stream, size[1]);
    stream.SetPosition(0);
    TGuiPixelMapMemory pixels;
    EXPECT_ANY_THROW(pixels.ReadData(stream)) << size[0] << "x" << size[1];
    stream.SetPosition(0);
    TGuiByteMapMemory bytes;
    EXPECT_ANY_THROW(bytes.ReadData(stream)) << size[0] << "x" << size[1];
    EXPECT_LE(pixels.DataSize(), 36);
  }
}

}  // namespace
}  // namespace vb
