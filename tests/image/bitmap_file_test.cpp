// Guards against bitmap files that other readers reject or misread, against
// accepting malformed or oversized headers, and against maps that lose
// their pixels on a save/load round trip.
#include "image/bitmap_file.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "image/gui_byte_map_memory.h"
#include "image/gui_pixel_map_memory.h"
#include "image/image_errors.h"

namespace vb {
namespace {

std::uint32_t LE32(const std::uint8_t* P) { return P[0] | (P[1] << 8) | (P[2] << 16) | (std::uint32_t(P[3]) << 24); }

void FillPattern(TGuiPixelMapMemory& Map) {
  for (int y = 0; y < Map.Height(); ++y)
    for (int x = 0; x < Map.Width(); ++x)
      *Map.GetPixelPointer(x, y) =
          Pixel32(0xFF000000u | std::uint32_t(x * 40) << 16 | std::uint32_t(y * 60) << 8 | 0x1F);
}

std::string ErrorText(const std::function<void()>& Call) {
  try {
    Call();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no error";
}

TEST(BitmapFile, TwoByTwoMapWritesA74ByteFile) {
  TGuiPixelMapMemory map;
  map.SetSize(2, 2);
  map.Clear(Pixel32(0x80112233u));
  TMemoryStream stream;
  map.SaveToStream(stream);
  ASSERT_EQ(stream.Size(), 74);
  const std::uint8_t* b = stream.Memory();
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(LE32(b + 2), 74u);
  EXPECT_EQ(LE32(b + 6), 0u);
  EXPECT_EQ(LE32(b + 10), 58u);
  EXPECT_EQ(LE32(b + 14), 40u);
  EXPECT_EQ(std::int32_t(LE32(b + 18)), 2);
  EXPECT_EQ(std::int32_t(LE32(b + 22)), -2);  // top-down rows
  EXPECT_EQ(b[28], 32);
  EXPECT_EQ(LE32(b + 54), 0u);  // the zero colour entry
  EXPECT_EQ(LE32(b + 58), 0x80112233u);
}

TEST(BitmapFile, StreamsThatAreNotBitmapsAreRejected) {
  TGuiPixelMapMemory map;
  std::vector<std::uint8_t> bytes(80, 0);
  bytes[0] = 'B';
  bytes[1] = 'X';
  TMemoryStream bx(bytes.data(), std::int64_t(bytes.size()));
  EXPECT_EQ(ErrorText([&] { map.LoadFromStream(bx); }), "Invalid bitmap header found!");
  TMemoryStream shortStream("BM0123456789", 12);
  EXPECT_EQ(ErrorText([&] { map.LoadFromStream(shortStream); }), "Invalid bitmap header found!");
}

TEST(BitmapFile, SavedMapsLoadBackWithTheirPixels) {
  TGuiPixelMapMemory map, loaded;
  map.SetSize(5, 3);
  FillPattern(map);
  *map.GetPixelPointer(4, 2) = Pixel32(0x00ABCDEFu);  // alpha survives too
  TMemoryStream stream;
  map.SaveToStream(stream);
  stream.SetPosition(0);
  int changes = 0;
  loaded.SetOnChange([&](TGuiCustomMap&) { ++changes; });
  loaded.LoadFromStream(stream);
  EXPECT_TRUE(loaded.Equals(map));
  EXPECT_GE(changes, 1);
}

TEST(BitmapFile, MalformedHeadersAreRefusedBeforeAnythingIsAllocated) {
  TGuiPixelMapMemory source;
  source.SetSize(2, 2);
  TMemoryStream good;
  source.SaveToStream(good);
  auto patched = [&](std::size_t Offset, std::uint32_t Value) {
    std::vector<std::uint8_t> bytes = good.Bytes();
    for (int i = 0; i < 4; ++i) bytes[Offset + i] = std::uint8_t(Value >> (8 * i));
    return bytes;
  };
  TGuiPixelMapMemory map;
  const struct {
    std::size_t Offset;
    std::uint32_t Value;
    const char* Error;
  } cases[] = {
      {18, 100000u, "Bitmap too large"},  // width beyond the limit
      {22, std::uint32_t(-40000), "Bitmap too large"},
      {18, std::uint32_t(-2), "Unsupported bitmap format"},
      {30, 1u, "Unsupported bitmap format"},   // run-length compressed
      {14, 12u, "Unsupported bitmap format"},  // old core header
      {18, 3u, "Stream read error"},           // pixels cut off
  };
  for (const auto& c : cases) {
    const std::vector<std::uint8_t> bytes = patched(c.Offset, c.Value);
    TMemoryStream stream(bytes.data(), std::int64_t(bytes.size()));
    EXPECT_EQ(ErrorText([&] { map.LoadFromStream(stream); }), c.Error) << "offset " << c.Offset;
  }
}

TEST(BitmapFile, StreamedDataRoundTripsAndNotifiesEvenWhenCutShort) {
  TGuiPixelMapMemory map, copy;
  map.SetSize(3, 2);
  FillPattern(map);
  TMemoryStream data;
  map.WriteData(data);
  EXPECT_EQ(data.Size(), 8 + 24);
  data.SetPosition(0);
  copy.ReadData(data);
  EXPECT_TRUE(copy.Equals(map));
  EXPECT_FALSE(copy.ShouldStoreData(&map));
  EXPECT_TRUE(copy.ShouldStoreData(nullptr));

  TMemoryStream cut(data.Memory(), 20);
  int changes = 0;
  TGuiPixelMapMemory target;
  target.SetOnChange([&](TGuiCustomMap&) { ++changes; });
  EXPECT_THROW(target.ReadData(cut), EReadError);
  EXPECT_GE(changes, 1);
}

TEST(BitmapFile, ByteMapsSaveAGreyBitmapThatLoadsBack) {
  TGuiByteMapMemory map, loaded;
  map.SetSize(3, 2);  // rows padded to 4 bytes in the file
  for (int i = 0; i < 6; ++i) map.DataPointer()[i] = std::uint8_t(40 * i + 3);
  TMemoryStream stream;
  map.SaveToStream(stream);
  EXPECT_EQ(stream.Size(), 14 + 40 + 1024 + 8);
  stream.SetPosition(0);
  loaded.LoadFromStream(stream);
  EXPECT_TRUE(loaded.Equals(map));
}

// --- an independent reader and writer -------------------------------------------

bool HaveConvert() { return std::system("command -v convert >/dev/null 2>&1") == 0; }

// A file name in the temporary folder, removed again when the test ends.
struct TTempFile {
  explicit TTempFile(const std::string& Name)
      : Path(std::filesystem::temp_directory_path() / ("vb_image_" + std::to_string(::getpid()) + "_" + Name)) {}
  ~TTempFile() { std::filesystem::remove(Path); }
  std::string String() const { return Path.string(); }
  std::filesystem::path Path;
};

TEST(BitmapFileInterop, ImageMagickReadsTheSavedPixels) {
  if (!HaveConvert()) GTEST_SKIP() << "ImageMagick convert is not installed";
  TGuiPixelMapMemory map;
  map.SetSize(4, 3);
  FillPattern(map);
  const TTempFile bmp("out.bmp");
  const TTempFile txt("out.rgba");
  map.SaveToFile(bmp.String());
  const std::string command = "convert '" + bmp.String() + "' -depth 8 rgba:'" + txt.String() + "' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(txt.Path, std::ios::binary);
  std::vector<std::uint8_t> rgba((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(rgba.size(), 4u * 12);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      const TPixel32 p = map.GetPixel(x, y);
      const std::uint8_t* q = &rgba[4 * (x + 4 * y)];
      EXPECT_EQ(q[0], p.R) << x << "," << y;
      EXPECT_EQ(q[1], p.G) << x << "," << y;
      EXPECT_EQ(q[2], p.B) << x << "," << y;
    }
}

TEST(BitmapFileInterop, BitmapsWrittenByImageMagickLoad) {
  if (!HaveConvert()) GTEST_SKIP() << "ImageMagick convert is not installed";
  TGuiPixelMapMemory source;
  source.SetSize(5, 3);
  FillPattern(source);
  const TTempFile ours("src.bmp");
  source.SaveToFile(ours.String());
  for (const char* type : {"truecolor", "palette"}) {
    const TTempFile theirs(std::string(type) + ".bmp");
    const std::string command =
        "convert '" + ours.String() + "' -alpha off -type " + type + " BMP3:'" + theirs.String() + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << type;
    TGuiPixelMapMemory loaded;
    loaded.LoadFromFile(theirs.String());
    EXPECT_TRUE(loaded.Equals(source)) << type;  // bottom-up rows, 24 or 4 bits
  }
}

}  // namespace
}  // namespace vb
