#include "png/png_test_util.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "image/file_format_registry.h"
#include "png/png_crc.h"
#include "png/png_startup.h"
#include "png/portable_network_graphic_pixel32.h"
#include "png/zlib_block.h"

namespace vb::test {
namespace {

void Put32(TBytes& B, uint32_t V) {
  for (int s = 24; s >= 0; s -= 8) B.push_back(uint8_t(V >> s));
}

// The codec's process-wide start-up, as the library does it on load.
class TPngEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { PngStartUp(); }
  void TearDown() override {
    PngShutDown();
    ClearFileFormatRegistry();
  }
};

const auto* const GEnvironment = ::testing::AddGlobalTestEnvironment(new TPngEnvironment);

}  // namespace

TBytes PngChunk(const char* Type, const TBytes& Data) {
  TBytes b;
  b.reserve(Data.size() + 12);
  Put32(b, uint32_t(Data.size()));
  b.insert(b.end(), Type, Type + 4);
  b.insert(b.end(), Data.begin(), Data.end());
  Put32(b, PngCrc32(b.data() + 4, Data.size() + 4));
  return b;
}

TBytes IhdrData(uint32_t Width, uint32_t Height, uint8_t BitDepth, uint8_t ColorType, uint8_t Interlace) {
  TBytes d;
  Put32(d, Width);
  Put32(d, Height);
  d.insert(d.end(), {BitDepth, ColorType, 0, 0, Interlace});
  return d;
}

TBytes Deflate(const TBytes& Raw) {
  TBytes out;
  CompressData(Raw.data(), Raw.size(), out, 9);
  return out;
}

TBytes MakePng(const TBytes& Ihdr, const TBytes& Raw, const TBytes& MiddleChunks) {
  TBytes f = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  const TBytes ihdr = PngChunk("IHDR", Ihdr), idat = PngChunk("IDAT", Deflate(Raw)), iend = PngChunk("IEND", {});
  f.insert(f.end(), ihdr.begin(), ihdr.end());
  f.insert(f.end(), MiddleChunks.begin(), MiddleChunks.end());
  f.insert(f.end(), idat.begin(), idat.end());
  f.insert(f.end(), iend.begin(), iend.end());
  return f;
}

TBytes ReadFile(const std::string& Path) {
  std::ifstream file(Path, std::ios::binary);
  return TBytes(std::istreambuf_iterator<char>(file), {});
}

void DecodePng(const TBytes& File, TGuiPixelMapMemory& Map) {
  TPortableNetworkGraphicPixel32 png;
  png.LoadFromMemory(File.data(), File.size());
  png.AssignTo(Map);
}

TBytes EncodePng(const TGuiCustomPixelMap& Map) {
  TPortableNetworkGraphicPixel32 png;
  png.Assign(Map);
  TPngMemoryStream out;
  png.SaveToMemory(out);
  return out.Bytes();
}

}  // namespace vb::test
