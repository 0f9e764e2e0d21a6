// Replays every input that once crashed or hung the decoder (found by the
// fuzzer) and the seed corpus: each must end in a picture or an error.
#include <gtest/gtest.h>

#include <filesystem>

#include "png/png_test_util.h"
#include "png/portable_network_graphic_pixel32.h"

namespace vb {
namespace {

namespace fs = std::filesystem;

void ReplayFolder(const fs::path& Folder) {
  if (!fs::exists(Folder)) return;
  for (const auto& entry : fs::directory_iterator(Folder)) {
    if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
    SCOPED_TRACE(entry.path().filename().string());
    const test::TBytes file = test::ReadFile(entry.path().string());
    TPortableNetworkGraphicPixel32 png;
    TGuiPixelMapMemory map;
    try {
      png.LoadFromMemory(file.data(), file.size());
      png.AssignTo(map);
    } catch (const std::exception&) {
      continue;  // refused: fine
    }
    EXPECT_EQ(map.Width(), png.Width());
    EXPECT_EQ(map.Height(), png.Height());
  }
}

TEST(PngCrashers, EveryRecordedInputEndsInAPictureOrAnError) {
  ReplayFolder(fs::path(VB_TESTDATA_DIR) / "png-crashers");
  ReplayFolder(fs::path(VB_TESTDATA_DIR) / ".." / "png" / "fuzz" / "corpus");
}

TEST(PngCrashers, HostileHeadersAreRefusedBeforeAllocation) {
  // Declared sizes at the limits of the format, each with a tiny payload.
  const std::pair<uint32_t, uint32_t> sizes[] = {
      {0x7FFFFFFF, 0x7FFFFFFF}, {0x7FFFFFFF, 1}, {1, 0x7FFFFFFF}, {65536, 65536},
      {0xFFFFFFFF, 0xFFFFFFFF}, {1507360, 32},   {8000, 8000}};  // the last two fit the size limit but not the data
  for (auto [w, h] : sizes)
    for (uint8_t interlace : {0, 1}) {
      TGuiPixelMapMemory map;
      TPortableNetworkGraphicPixel32 png;
      const test::TBytes file = test::MakePng(test::IhdrData(w, h, 8, 6, interlace), test::TBytes(64, 0));
      png.LoadFromMemory(file.data(), file.size());
      EXPECT_ANY_THROW(png.AssignTo(map)) << w << "x" << h;
      EXPECT_EQ(map.DataSize(), 0);
    }
}

}  // namespace
}  // namespace vb
