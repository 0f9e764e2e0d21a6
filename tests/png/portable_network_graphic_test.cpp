// Guards loading and saving of PNG files: signature, chunk order, CRCs,
// declared lengths, duplicate chunks, the fixed write order, compression
// level, colour analysis on encoding and the size limits of decoding.
#include "png/portable_network_graphic_pixel32.h"

#include <gtest/gtest.h>

#include "image/file_format_registry.h"
#include "png/png_chunk_layouts.h"
#include "png/png_chunks_text.h"
#include "png/png_error.h"
#include "png/png_test_util.h"

namespace vb {
namespace {

using test::TBytes;

const TBytes kGrey2x1 = {0, 10, 20};

TBytes Concat(std::initializer_list<TBytes> Parts) {
  TBytes all;
  for (const auto& p : Parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

std::string LoadError(const TBytes& File) {
  TPortableNetworkGraphicPixel32 png;
  try {
    png.LoadFromMemory(File.data(), File.size());
    TGuiPixelMapMemory map;
    png.AssignTo(map);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

std::vector<std::string> ChunkTypes(const TBytes& File) {
  std::vector<std::string> types;
  for (size_t pos = 8; pos + 12 <= File.size();) {
    const uint32_t length = LoadBigEndian32(File.data() + pos);
    types.emplace_back(reinterpret_cast<const char*>(File.data() + pos + 4), 4);
    pos += length + 12;
  }
  return types;
}

TEST(PngLoad, RefusesBadSignaturesAndAFirstChunkOtherThanTheHeader) {
  const TBytes good = test::MakePng(test::IhdrData(2, 1, 8, 0), kGrey2x1);
  EXPECT_EQ(LoadError(good), "");
  EXPECT_EQ(LoadError(TBytes(good.begin(), good.begin() + 7)), "Not a valid PNG file");
  EXPECT_EQ(LoadError(TBytes(good.begin(), good.begin() + 8)), "Not a valid PNG file");  // the signature alone
  TBytes wrongFirst = good;
  wrongFirst[0] = 0x88;
  EXPECT_EQ(LoadError(wrongFirst), "Not a valid PNG file");
  const TBytes gammaFirst =
      Concat({TBytes(good.begin(), good.begin() + 8), test::PngChunk("gAMA", {0, 1, 0x86, 0xA0})});
  EXPECT_EQ(LoadError(gammaFirst), "Not a valid PNG file");
}

TEST(PngLoad, ChecksTheCrcOfEveryChunk) {
  const TBytes good = test::MakePng(test::IhdrData(2, 1, 8, 0), kGrey2x1);
  TBytes badHeader = good;
  badHeader[8 + 8 + 13] ^= 1;
  EXPECT_EQ(LoadError(badHeader), "CRC Error");
  TPortableNetworkGraphicPixel32 headerOnly;  // as strip pieces are read
  EXPECT_THROW(headerOnly.LoadHeaderFromMemory(badHeader.data(), badHeader.size()), EPngError);
  TBytes badEnd = good;
  badEnd.back() ^= 1;
  EXPECT_EQ(LoadError(badEnd), "CRC Error");
  TBytes badData = good;
  badData[badData.size() - 12 - 1] ^= 1;  // the IDAT CRC
  EXPECT_EQ(LoadError(badData), "CRC Error");
}

TEST(PngLoad, RefusesLengthsBeyondTheFile) {
  TBytes good = test::MakePng(test::IhdrData(2, 1, 8, 0), kGrey2x1);
  TBytes huge = good;
  huge[33] = 0x7F;  // the IDAT length
  EXPECT_EQ(LoadError(huge), "Not a valid PNG file");
  const TBytes cutCrc(good.begin(), good.end() - 14);  // IDAT without its CRC
  EXPECT_EQ(LoadError(cutCrc), "Not a valid PNG file");
  // Cut 10 bytes into the next chunk: fewer than its length, type and CRC take.
  EXPECT_EQ(LoadError(TBytes(good.begin(), good.begin() + 33 + 10)), "Not a valid PNG file");
}

TEST(PngLoad, AcceptsAMissingEndAndIgnoresBytesAfterIt) {
  const TBytes good = test::MakePng(test::IhdrData(2, 1, 8, 0), kGrey2x1);
  EXPECT_EQ(LoadError(TBytes(good.begin(), good.end() - 12)), "");
  EXPECT_EQ(LoadError(Concat({good, TBytes{1, 2, 3}})), "");
}

TEST(PngLoad, RefusesDuplicatesOfSingleChunks) {
  const TBytes gamma = test::PngChunk("gAMA", {0, 0, 0xB1, 0x8F});
  EXPECT_EQ(LoadError(test::MakePng(test::IhdrData(2, 1, 8, 0), kGrey2x1, Concat({gamma, gamma}))),
            "Gamma chunk defined twice!");
  const TBytes plte = test::PngChunk("PLTE", {1, 2, 3});
  EXPECT_EQ(LoadError(test::MakePng(test::IhdrData(2, 1, 8, 3), kGrey2x1, Concat({plte, plte}))),
            "Palette chunk defined twice!");
  const TBytes text = test::PngChunk("tEXt", {'a', 0, 'b'});
  TPortableNetworkGraphic png;
  const TBytes twoTexts = test::MakePng(test::IhdrData(2, 1, 8, 0), kGrey2x1, Concat({text, text}));
  png.LoadFromMemory(twoTexts.data(), twoTexts.size());
  EXPECT_EQ(png.AdditionalChunkList().Count(), 2);
  const TBytes again =
      test::MakePng(test::IhdrData(2, 1, 8, 0), kGrey2x1, test::PngChunk("IHDR", test::IhdrData(1, 1, 8, 0)));
  EXPECT_EQ(LoadError(again), "Not a valid PNG file");
}

TEST(PngSave, KeepsUnknownChunksAndWritesInTheFixedOrder) {
  const TBytes middle = Concat(
      {test::PngChunk("gAMA", {0, 0, 0xB1, 0x8F}), test::PngChunk("pHYs", {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x13, 1}),
       test::PngChunk("sRGB", {0}), test::PngChunk("abCd", {9, 8, 7}), test::PngChunk("ABCD", {})});
  const TBytes file = test::MakePng(test::IhdrData(2, 1, 8, 0), kGrey2x1, middle);
  TPortableNetworkGraphic png;
  png.LoadFromMemory(file.data(), file.size());
  TPngMemoryStream out;
  png.SaveToMemory(out);
  EXPECT_EQ(ChunkTypes(out.Bytes()),
            (std::vector<std::string>{"IHDR", "pHYs", "gAMA", "sRGB", "abCd", "ABCD", "IDAT", "IEND"}));
  // Every chunk, the raw ones and the image data included, is unchanged.
  TPortableNetworkGraphic back;
  back.LoadFromMemory(out.Memory(), out.Size());
  TPngMemoryStream again;
  back.SaveToMemory(again);
  EXPECT_EQ(again.Bytes(), out.Bytes());
  EXPECT_EQ(out.Size(), file.size());
}

TEST(PngSave, WritesColourSpaceChunksBeforeThePalette) {
  const TBytes middle =
      Concat({test::PngChunk("PLTE", {1, 2, 3, 4, 5, 6}), test::PngChunk("tRNS", {0}), test::PngChunk("sRGB", {0})});
  const TBytes file = test::MakePng(test::IhdrData(2, 1, 8, 3), {0, 0, 1}, middle);
  TPortableNetworkGraphic png;
  png.LoadFromMemory(file.data(), file.size());
  TPngMemoryStream out;
  png.SaveToMemory(out);
  EXPECT_EQ(ChunkTypes(out.Bytes()), (std::vector<std::string>{"IHDR", "sRGB", "PLTE", "tRNS", "IDAT", "IEND"}));
}

TEST(PngLoad, RefusesUnknownChunksWithNonLetterTypes) {
  const TBytes odd = test::PngChunk("\xC1xyz", {});
  EXPECT_EQ(LoadError(test::MakePng(test::IhdrData(2, 1, 8, 0), kGrey2x1, odd)),
            "Unknown chunk is marked as ancillary");
}

TEST(PngImage, ValidatesItsProperties) {
  TPortableNetworkGraphicPixel32 png;
  EXPECT_THROW(png.SetCompressionLevel(0), EPngError);
  EXPECT_THROW(png.SetCompressionLevel(10), EPngError);
  EXPECT_THROW(png.SetWidth(3), EPngError);
  EXPECT_THROW(png.SetPixelsPerUnitX(0), EPngError);
  EXPECT_THROW(png.SetPixelUnit(2), EPngError);
  EXPECT_FLOAT_EQ(png.Gamma(), 1.0f);
  EXPECT_EQ(png.PixelsPerUnitX(), 1u);
  png.SetPixelsPerUnitY(2835);
  EXPECT_TRUE(png.HasPhysicalPixelDimensionsInformation());
  EXPECT_EQ(png.PixelsPerUnitY(), 2835u);
  EXPECT_THROW(png.PaletteEntry(0), EPngError);
}

TEST(PngImage, RecompressesOnlyWhenTheLevelChanges) {
  TGuiPixelMapMemory map;
  map.SetSize(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) map.ScanLine(y)[x] = Pixel32(255, uint8_t(x * 3), uint8_t(y * 5), uint8_t(x ^ y));
  TPortableNetworkGraphicPixel32 png;
  png.Assign(map);
  const auto& data = [&]() -> const TChunkPngImageData& {
    return static_cast<const TChunkPngImageData&>(png.DataChunkList()[0]);
  };
  const size_t atNine = data().Data().Size();
  png.SetCompressionLevel(9);
  EXPECT_EQ(data().Data().Size(), atNine);
  png.SetCompressionLevel(1);
  EXPECT_NE(data().Data().Size(), atNine);
  TGuiPixelMapMemory back;
  png.AssignTo(back);
  EXPECT_TRUE(back.Equals(map));
}

TEST(PngEncode, ChoosesColourTypeAndDepthFromTheColours) {
  const TPixel32 red = Pixel32(0xFFFF0000), green = Pixel32(0xFF00FF00), blue = Pixel32(0xFF0000FF);
  auto encode = [](std::vector<TPixel32> Pixels, int W, int H) {
    TGuiPixelMapMemory map;
    map.SetSize(W, H);
    std::copy(Pixels.begin(), Pixels.end(), map.DataPointer());
    auto png = std::make_unique<TPortableNetworkGraphicPixel32>();
    png->Assign(map);
    return png;
  };
  auto rgb = encode({red, green, blue, red}, 2, 2);
  EXPECT_EQ(rgb->ImageHeader().ColorType(), 3);
  EXPECT_EQ(rgb->BitDepth(), 2);
  EXPECT_EQ(rgb->PaletteEntryCount(), 3);
  EXPECT_EQ(rgb->TransparencyChunk(), nullptr);

  auto translucent = encode({red, Pixel32(0x8000FF00), blue, red}, 2, 2);
  EXPECT_EQ(translucent->ImageHeader().ColorType(), 3);
  EXPECT_EQ(translucent->BitDepth(), 2);
  EXPECT_EQ(translucent->PaletteEntryCount(), 3);
  ASSERT_NE(translucent->TransparencyChunk(), nullptr);
  EXPECT_EQ(translucent->TransparencyChunk()->TransparencyAt(1), 0x80);

  auto greys = encode({Pixel32(0x80404040), Pixel32(0x40808080)}, 1, 2);
  EXPECT_EQ(greys->ImageHeader().ColorType(), 4);
  EXPECT_EQ(greys->BitDepth(), 8);

  std::vector<TPixel32> many;
  for (uint32_t i = 0; i < 257; ++i) many.push_back(Pixel32(0xFF000000 | (i * 0x10101 + 7)));
  auto rich = encode(many, 257, 1);
  EXPECT_EQ(rich->ImageHeader().ColorType(), 2);
  EXPECT_EQ(rich->BitDepth(), 8);
  EXPECT_FALSE(rich->HasGammaInformation());
}

TEST(PngDecode, RefusesSizesTheFileCannotJustify) {
  // 20000 x 20000 RGBA would need 1.6 GB: refused before allocation.
  EXPECT_EQ(LoadError(test::MakePng(test::IhdrData(20000, 20000, 8, 6), {0})), "Image is too large");
  // 10000 x 10000 pixels are 400 MB at four bytes each.
  EXPECT_EQ(LoadError(test::MakePng(test::IhdrData(10000, 10000, 8, 6), {0})), "Image is too large");
  // 8000 x 8000 fits the limit, but a few bytes of data cannot fill it.
  EXPECT_EQ(LoadError(test::MakePng(test::IhdrData(8000, 8000, 8, 6), {0, 1, 2, 3, 4})), "Data not complete");
  EXPECT_EQ(LoadError(test::MakePng(test::IhdrData(0x80000000u, 1, 8, 6), {0})), "Image size is not valid");
  // A complete zlib stream that inflates to two of the header's four rows.
  EXPECT_EQ(LoadError(test::MakePng(test::IhdrData(4, 4, 8, 0), {0, 1, 2, 3, 4, 0, 5, 6, 7, 8})), "Data not complete");
}

TEST(PngFormat, IsRegisteredForPngFilesAndStreams) {
  EXPECT_NE(FindFileFormatByExtension(".png"), nullptr);
  EXPECT_EQ(FindFileFormatByExtension(".bmp"), nullptr);
  const TBytes file = test::MakePng(test::IhdrData(2, 1, 8, 0), kGrey2x1);
  TMemoryStream stream(file.data(), int64_t(file.size()));
  stream.SetPosition(0);
  EXPECT_NE(FindFileFormatByStream(stream), nullptr);
  EXPECT_EQ(stream.Position(), 0);
  TMemoryStream bitmap("BM123456", 8);
  bitmap.SetPosition(0);
  EXPECT_EQ(FindFileFormatByStream(bitmap), nullptr);

  // A pixel map loads a PNG through the registry.
  TGuiPixelMapMemory map;
  map.LoadFromStream(stream);
  EXPECT_EQ(map.Width(), 2);
  EXPECT_EQ(map.GetPixel(1, 0).ARGB(), 0xFF141414u);
}

}  // namespace
}  // namespace vb

namespace vb {
namespace {

TEST(PngFormat, SavesAndLoadsPixelMapFilesByExtension) {
  TGuiPixelMapMemory map;
  map.SetSize(5, 3);
  for (int i = 0; i < 15; ++i) map.DataPointer()[i] = Pixel32(uint32_t(i) * 0x11223344u);
  const std::string path = std::string(VB_BINARY_DIR) + "/png_format_test.png";
  map.SaveToFile(path);
  const test::TBytes written = test::ReadFile(path);
  ASSERT_GE(written.size(), 8u);
  EXPECT_EQ(written[1], 'P');
  TGuiPixelMapMemory back;
  back.LoadFromFile(path);
  EXPECT_TRUE(back.Equals(map));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace vb
