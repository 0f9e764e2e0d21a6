// Guards against a registry that answers the wrong format, moves the
// stream it inspects, accepts a format twice, or is bypassed by the maps'
// loading and saving.
#include "image/file_format_registry.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <string>

#include "image/gui_pixel_map_memory.h"
#include "image/image_errors.h"

namespace vb {
namespace {

// A toy format: "TOY" followed by one pixel value, always a 1 x 1 image.
class TToyFormat final : public TGuiCustomFileFormat {
 public:
  static inline int Saves = 0;

  static bool CanLoad(const std::string& FileName) {
    TFileStream stream(FileName, TFileMode::fmOpenRead);
    return CanLoad(stream);
  }
  static bool CanLoad(TStream& Stream) {
    char magic[3] = {};
    const bool ok = Stream.Read(magic, 3) == 3 && std::string(magic, 3) == "TOY";
    // Deliberately does not restore the position: the registry must.
    return ok;
  }
  static bool CanHandleExtension(std::string_view Ext) { return Ext == ".toy"; }

  std::int32_t GetWidth() const override { return 1; }
  std::int32_t GetHeight() const override { return 1; }
  void SetWidth(std::int32_t) override {}
  void SetHeight(std::int32_t) override {}
  void LoadFromStream(TStream& Stream) override {
    char magic[3];
    Stream.ReadBuffer(magic, 3);
    Stream.ReadBuffer(&FPixel, 4);
  }
  void SaveToStream(TStream& Stream) override {
    ++Saves;
    Stream.WriteBuffer("TOY", 3);
    Stream.WriteBuffer(&FPixel, 4);
  }
  void Assign(const TGuiCustomMap& Source) override {
    const auto& map = dynamic_cast<const TGuiCustomPixelMap&>(Source);
    FPixel = map.GetPixel(0, 0);
  }
  void AssignTo(TGuiCustomMap& Dest) const override {
    auto& map = dynamic_cast<TGuiCustomPixelMap&>(Dest);
    map.SetSize(1, 1);
    *map.GetPixelPointer(0, 0) = FPixel;
  }

 private:
  TPixel32 FPixel{};
};

class TFileFormatRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearFileFormatRegistry();
    RegisterFileFormat(FileFormatClassOf<TToyFormat>("toy"));
  }
  void TearDown() override { ClearFileFormatRegistry(); }
};

TEST_F(TFileFormatRegistry, FindsFormatsByExtension) {
  EXPECT_EQ(FindFileFormatByExtension(".toy"), FileFormatClassOf<TToyFormat>("toy"));
  EXPECT_EQ(FindFileFormatByExtension(".bmp"), nullptr);
  EXPECT_EQ(FindFileFormatByExtension(""), nullptr);
}

TEST_F(TFileFormatRegistry, FindsFormatsByContentAndRestoresThePosition) {
  TMemoryStream toy("xxTOY\x01\x02\x03\x04", 9);
  toy.SetPosition(2);
  EXPECT_EQ(FindFileFormatByStream(toy), FileFormatClassOf<TToyFormat>("toy"));
  EXPECT_EQ(toy.Position(), 2);
  TMemoryStream bitmap("BM", 2);
  EXPECT_EQ(FindFileFormatByStream(bitmap), nullptr);
  EXPECT_EQ(bitmap.Position(), 0);
}

TEST_F(TFileFormatRegistry, RegisteringTwiceIsAnAssertionError) {
  EXPECT_THROW(RegisterFileFormat(FileFormatClassOf<TToyFormat>("toy")), EAssertionFailed);
  EXPECT_EQ(FileFormatCount(), 1u);
}

TEST_F(TFileFormatRegistry, PixelMapsLoadThroughARegisteredFormat) {
  TMemoryStream toy("TOY\x11\x22\x33\x44", 7);
  TGuiPixelMapMemory map;
  map.LoadFromStream(toy);
  ASSERT_EQ(map.Width(), 1);
  EXPECT_EQ(map.GetPixel(0, 0), Pixel32(0x44332211u));
}

TEST_F(TFileFormatRegistry, PixelMapsSaveThroughTheFormatOfTheExtension) {
  const std::string base =
      (std::filesystem::temp_directory_path() / ("vb_image_" + std::to_string(::getpid()))).string();
  TGuiPixelMapMemory map, loaded;
  map.SetSize(1, 1);
  map.Clear(Pixel32(0xFF102030u));
  const int saves = TToyFormat::Saves;
  map.SaveToFile(base + ".toy");
  EXPECT_EQ(TToyFormat::Saves, saves + 1);
  EXPECT_TRUE(TToyFormat::CanLoad(base + ".toy"));
  loaded.LoadFromFile(base + ".toy");
  EXPECT_TRUE(loaded.Equals(map));
  // Unknown extensions get a bitmap file.
  map.SaveToFile(base + ".bmp");
  EXPECT_EQ(std::filesystem::file_size(base + ".bmp"), 62u);
  std::filesystem::remove(base + ".toy");
  std::filesystem::remove(base + ".bmp");
}

TEST(FileFormatBase, RefusesToAssignByDefault) {
  class TBare final : public TGuiCustomFileFormat {
   public:
    std::int32_t GetWidth() const override { return 0; }
    std::int32_t GetHeight() const override { return 0; }
    void SetWidth(std::int32_t) override {}
    void SetHeight(std::int32_t) override {}
    void LoadFromStream(TStream&) override {}
    void SaveToStream(TStream&) override {}
  } bare;
  TGuiPixelMapMemory map;
  EXPECT_THROW(bare.Assign(map), EGuiError);
  EXPECT_THROW(bare.AssignTo(map), EGuiError);
}

TEST(Streams, ReadBufferRaisesWhenTheStreamEndsEarly) {
  TMemoryStream stream("abc", 3);
  char buffer[4];
  EXPECT_THROW(stream.ReadBuffer(buffer, 4), EReadError);
  stream.SetPosition(0);
  EXPECT_EQ(stream.Read(buffer, 4), 3);
  EXPECT_THROW(stream.Seek(-1, TSeekOrigin::soBeginning), EStreamError);
  stream.Seek(5, TSeekOrigin::soBeginning);  // beyond the end: writing fills the gap
  stream.WriteBuffer("z", 1);
  EXPECT_EQ(stream.Size(), 6);
  EXPECT_EQ(stream.Memory()[3], 0);
  TMemoryStream copy;
  EXPECT_EQ(copy.CopyFrom(stream, 0), 6);
  EXPECT_EQ(copy.Bytes(), stream.Bytes());
  EXPECT_THROW(TFileStream("/nonexistent/dir/file", TFileMode::fmOpenRead), EFOpenError);
}

}  // namespace
}  // namespace vb
