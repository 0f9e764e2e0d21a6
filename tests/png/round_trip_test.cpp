// Guards that every pixel map survives encoding and decoding unchanged,
// whatever colour type the analysis picks, and that the files written are
// valid for an independent decoder and checker.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

#include "png/png_test_util.h"
#include "png/portable_network_graphic_pixel32.h"
#include "png/reference_decoder.h"

namespace vb {
namespace {

enum class TKind { Opaque, Translucent, Grey, GreyAlpha, FewColours, OneTranslucentAlpha, ManyColours };

void Fill(TGuiPixelMapMemory& Map, TKind Kind, std::mt19937& Rng) {
  std::vector<TPixel32> palette;
  for (int i = 0; i < 13; ++i) palette.push_back(Pixel32(0xFF000000u | (Rng() & 0xFFFFFF)));
  for (int y = 0; y < Map.Height(); ++y)
    for (int x = 0; x < Map.Width(); ++x) {
      const uint32_t r = Rng();
      const uint8_t g = uint8_t(r >> 8);
      TPixel32 p;
      switch (Kind) {
        case TKind::Opaque:
          p = Pixel32(0xFF000000u | (r & 0xFFFFFF));
          break;
        case TKind::Translucent:
          p = Pixel32(r);
          break;
        case TKind::Grey:
          p = Pixel32(255, g, g, g);
          break;
        case TKind::GreyAlpha:
          p = Pixel32(uint8_t(r), g, g, g);
          break;
        case TKind::FewColours:
          p = palette[r % 5];
          break;
        case TKind::OneTranslucentAlpha:
          p = palette[r % 13];
          if (r & 0x100000) p.A = 0;
          break;
        case TKind::ManyColours:
          p = Pixel32(0xFF000000u | (uint32_t(x * 37 + y * 11) & 0xFFFFFF));
          break;
      }
      Map.ScanLine(y)[x] = p;
    }
}

bool PngcheckAccepts(const test::TBytes& File, std::string& Output) {
  static const bool available = std::system("command -v pngcheck >/dev/null 2>&1") == 0;
  if (!available) return true;
  const std::string path = std::string(VB_BINARY_DIR) + "/png_round_trip.png";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(File.data()), std::streamsize(File.size()));
  FILE* pipe = popen(("pngcheck -q " + path + " 2>&1").c_str(), "r");
  char buffer[512];
  while (pipe && fgets(buffer, sizeof buffer, pipe)) Output += buffer;
  const int status = pipe ? pclose(pipe) : -1;
  std::remove(path.c_str());
  return status == 0;
}

TEST(PngRoundTrip, ReproducesEveryKindOfPixelMap) {
  std::mt19937 rng(2026);
  const std::pair<int, int> sizes[] = {{1, 1}, {3, 2}, {17, 5}, {64, 33}, {1, 40}};
  for (TKind kind : {TKind::Opaque, TKind::Translucent, TKind::Grey, TKind::GreyAlpha, TKind::FewColours,
                     TKind::OneTranslucentAlpha, TKind::ManyColours}) {
    for (auto [w, h] : sizes) {
      SCOPED_TRACE(testing::Message() << "kind " << int(kind) << " size " << w << "x" << h);
      TGuiPixelMapMemory map;
      map.SetSize(w, h);
      Fill(map, kind, rng);
      const test::TBytes file = test::EncodePng(map);
      TGuiPixelMapMemory back;
      test::DecodePng(file, back);
      ASSERT_TRUE(back.Equals(map));

      std::string output;
      EXPECT_TRUE(PngcheckAccepts(file, output)) << output;
      if (test::ReferenceDecoderAvailable()) {
        test::TReferenceImage ref;
        std::string error;
        ASSERT_TRUE(test::ReferenceDecode(file, ref, error)) << error;
        for (int i = 0; i < w * h; ++i) {
          const TPixel32 p = map.DataPointer()[i];
          const uint8_t* r = &ref.Rgba[size_t(i) * 4];
          ASSERT_EQ(Pixel32(r[3], r[0], r[1], r[2]), p) << "pixel " << i;
        }
      }
    }
  }
}

TEST(PngRoundTrip, KeepsTheChosenStorageFormat) {
  std::mt19937 rng(5);
  TGuiPixelMapMemory map;
  map.SetSize(9, 7);
  Fill(map, TKind::Grey, rng);
  for (auto [format, type] : {std::pair{psfGrayscale, 0}, {psfPalette, 3}, {psfRGB, 2}, {psfRGBA, 6}}) {
    TPortableNetworkGraphicPixel32 png;
    png.SetStorageFormat(format);
    png.Assign(map);
    EXPECT_EQ(png.ImageHeader().ColorType(), type);
    TGuiPixelMapMemory back;
    png.AssignTo(back);
    EXPECT_TRUE(back.Equals(map)) << "format " << int(format);
  }
}

}  // namespace
}  // namespace vb
