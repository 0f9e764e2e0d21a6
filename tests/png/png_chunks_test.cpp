// Guards the PNG chunk layouts, their checks and messages, the chunk list
// and the chunk-class registry.
#include <gtest/gtest.h>

#include "png/png_chunk_layouts.h"
#include "png/png_chunk_list.h"
#include "png/png_chunk_registry.h"
#include "png/png_chunks_basic.h"
#include "png/png_chunks_text.h"
#include "png/png_error.h"
#include "png/png_test_util.h"

namespace vb {
namespace {

using test::TBytes;

// A stream holding exactly one chunk (header and data, no CRC).
TPngMemoryStream ChunkStream(const char* Type, const TBytes& Data) {
  TBytes b = test::PngChunk(Type, Data);
  b.resize(b.size() - 4);
  return TPngMemoryStream(b);
}

std::string ErrorOf(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

TEST(ImageHeaderChunk, ChecksBitDepthAndMethodsAsItReads) {
  TChunkPngImageHeader h;
  auto load = [&](TBytes Data) {
    return ErrorOf([&] {
      auto s = ChunkStream("IHDR", Data);
      h.LoadFromStream(s);
    });
  };
  EXPECT_EQ(load(test::IhdrData(1, 1, 4, 2)), "Wrong Bitdepth");
  EXPECT_EQ(load(test::IhdrData(1, 1, 16, 0)), "");
  EXPECT_EQ(load(test::IhdrData(1, 1, 8, 5)), "");
  EXPECT_EQ(ErrorOf([&] { h.BytesPerRow(); }), "Unknown color type!");
  EXPECT_EQ(load(test::IhdrData(7, 9, 8, 2, 2)), "Unsupported interlace method");
  EXPECT_EQ(h.Width(), 7);  // the fields before the failing byte are kept
  EXPECT_EQ(h.Height(), 9);
  TBytes badCompression = test::IhdrData(1, 1, 8, 2);
  badCompression[10] = 1;
  EXPECT_EQ(load(badCompression), "Unsupported compression method");
  TBytes badFilter = test::IhdrData(1, 1, 8, 2);
  badFilter[11] = 1;
  EXPECT_EQ(load(badFilter), "Unsupported filter method");
  EXPECT_EQ(load(TBytes(12)), "Chunk size too small!");
}

TEST(ImageHeaderChunk, DerivesRowAndPixelSizes) {
  TChunkPngImageHeader h;
  h.SetWidth(3);
  h.SetColorType(0);
  h.SetBitDepth(1);
  EXPECT_EQ(h.BytesPerRow(), 1);
  EXPECT_EQ(h.PixelByteSize(), 1);
  h.SetColorType(6);
  h.SetBitDepth(16);
  EXPECT_EQ(h.BytesPerRow(), 24);
  EXPECT_EQ(h.PixelByteSize(), 8);
  h.SetWidth(0x7FFFFFFF);  // no 32-bit wrap for hostile widths
  EXPECT_EQ(h.BytesPerRow(), int64_t(0x7FFFFFFF) * 8);
  TPngMemoryStream out;
  h.SaveToStream(out);
  EXPECT_EQ(out.Size(), 8u + 13u);
}

TEST(HeaderBoundChunks, RefuseANullHeader) {
  EXPECT_EQ(ErrorOf([] { TChunkPngGamma g(nullptr); }), "The provided header is not valid!");
}

TEST(PaletteChunk, ChecksItsSizeAndCount) {
  TChunkPngImageHeader h;
  TChunkPngPalette p(&h);
  auto s7 = ChunkStream("PLTE", TBytes(7));
  EXPECT_EQ(ErrorOf([&] { p.LoadFromStream(s7); }), "Palette is incomplete");
  auto s900 = ChunkStream("PLTE", TBytes(900, 3));
  p.LoadFromStream(s900);
  EXPECT_EQ(p.Count(), 300);
  EXPECT_EQ(ErrorOf([&] { p.SetCount(257); }), "Palette is limited to 256 entries");
  p.SetCount(2);
  EXPECT_EQ(ErrorOf([&] { p.PaletteEntry(2); }), "Index out of bounds (2)");
}

TEST(FixedChunks, RefuseShortDataAndConvertTheirValues) {
  TChunkPngImageHeader h;
  TChunkPngGamma g(&h);
  auto s3 = ChunkStream("gAMA", TBytes(3));
  EXPECT_EQ(ErrorOf([&] { g.LoadFromStream(s3); }), "Chunk size too small!");
  g.SetGamma(50000);
  EXPECT_FLOAT_EQ(g.GammaAsSingle(), 0.5f);
  g.SetGammaAsSingle(0.45455f);
  EXPECT_EQ(g.Gamma(), 45455u);

  TChunkPngPrimaryChromaticities c(&h);
  c.SetValue(TChunkPngPrimaryChromaticities::ciWhiteX, 31270);
  EXPECT_EQ(c.WhiteXAsSingle(), 0.3127f);
  auto s31 = ChunkStream("cHRM", TBytes(31));
  EXPECT_THROW(c.LoadFromStream(s31), EPngError);

  TChunkPngTime t(&h);
  auto st = ChunkStream("tIME", {0x07, 0xD0, 1, 2, 12, 0, 0});  // 2000-01-02 12:00
  t.LoadFromStream(st);
  EXPECT_DOUBLE_EQ(t.ModifiedDateTime(), 36527.5);
  t.SetModifiedDateTime(36527.5);
  EXPECT_EQ(t.Year(), 2000);
  EXPECT_EQ(t.Day(), 2);
  EXPECT_EQ(t.Hour(), 12);
  auto bad = ChunkStream("tIME", {0x07, 0xD0, 2, 30, 0, 0, 0});
  t.LoadFromStream(bad);
  EXPECT_THROW(t.ModifiedDateTime(), EPngError);
}

TEST(TransparencyChunk, FollowsTheColourTypeOfItsHeader) {
  TChunkPngImageHeader h;
  h.SetColorType(6);
  TChunkPngTransparency t(&h);
  auto s = ChunkStream("tRNS", {});
  t.LoadFromStream(s);
  TPngMemoryStream out;
  t.SaveToStream(out);
  EXPECT_EQ(out.Size(), 8u);  // size 0 and no data

  h.SetColorType(0);
  t.HeaderChanged();
  ASSERT_TRUE(std::holds_alternative<TPngTransparencyFormat0>(t.Transparency()));
  h.SetColorType(2);
  TPngMemoryStream refused;
  EXPECT_EQ(ErrorOf([&] { t.SaveToStream(refused); }), "Wrong transparency format");
  EXPECT_EQ(refused.Size(), 0u);

  h.SetColorType(3);
  TChunkPngTransparency palette(&h);
  auto ps = ChunkStream("tRNS", {0, 128, 255});
  palette.LoadFromStream(ps);
  EXPECT_EQ(palette.Count(), 3);
  EXPECT_EQ(palette.TransparencyAt(1), 128);
  EXPECT_EQ(ErrorOf([&] { palette.TransparencyAt(3); }), "Index out of bounds (3)");
}

TEST(LayoutChunks, ReadAndWriteTheirColourTypeLayouts) {
  TChunkPngImageHeader h;
  h.SetColorType(2);
  TChunkPngBackgroundColor b(&h);
  auto s = ChunkStream("bKGD", {0, 1, 0, 2, 0, 3});
  b.LoadFromStream(s);
  const auto& rgb = std::get<TPngBackgroundColorFormat26>(b.Background());
  EXPECT_EQ(rgb.FRedSampleValue, 1);
  EXPECT_EQ(rgb.FGreenSampleValue, 2);
  EXPECT_EQ(rgb.FBlueSampleValue, 3);
  TChunkPngSignificantBits sb(&h);
  auto shortBits = ChunkStream("sBIT", {8, 8});
  EXPECT_EQ(ErrorOf([&] { sb.LoadFromStream(shortBits); }), "Chunk size too small!");
  TPngMemoryStream out;
  b.SaveToStream(out);
  EXPECT_EQ(out.Size(), 8u + 6u);
}

TEST(TextChunks, ReadAndWriteKeywordAndText) {
  TChunkPngImageHeader h;
  TChunkPngTextChunk t(&h);
  t.SetKeyword("Title");
  t.SetText("Hello");
  TPngMemoryStream out;
  t.SaveToStream(out);
  const TBytes expected = {0, 0, 0, 11, 't', 'E', 'X', 't', 'T', 'i', 't', 'l', 'e', 0, 'H', 'e', 'l', 'l', 'o'};
  EXPECT_EQ(out.Bytes(), expected);

  TChunkPngCompressedTextChunk z(&h);
  z.SetKeyword("Comment");
  z.SetText(std::string(5000, 'z'));
  TPngMemoryStream zout;
  z.SaveToStream(zout);
  zout.SetPosition(0);
  TChunkPngCompressedTextChunk back(&h);
  back.LoadFromStream(zout);
  EXPECT_EQ(back.Keyword(), "Comment");
  EXPECT_EQ(back.Text(), std::string(5000, 'z'));
}

TEST(TextChunks, RefuseKeywordsWithoutTheirZeroByte) {
  TChunkPngImageHeader h;
  TChunkPngTextChunk t(&h);
  auto unterminated = ChunkStream("tEXt", TBytes(20, 'k'));
  EXPECT_THROW(t.LoadFromStream(unterminated), EPngError);
  TBytes tooLong(81, 'k');
  tooLong.push_back(0);
  auto longKeyword = ChunkStream("tEXt", tooLong);
  EXPECT_THROW(t.LoadFromStream(longKeyword), EPngError);
}

TEST(PixelCalibrationChunk, IsWrittenBackComplete) {
  TChunkPngImageHeader h;
  TBytes data = {'c', 'a', 'l', 0, 0, 0, 0, 1, 0, 0, 0, 9, 0, 1, 'm', 0, '1', '.', '5'};
  auto s = ChunkStream("pCAL", data);
  TChunkPngPixelCalibrator p(&h);
  p.LoadFromStream(s);
  EXPECT_EQ(p.CalibratorName(), "cal");
  EXPECT_EQ(p.OriginalZeroMax(), 9);
  EXPECT_EQ(p.UnitName(), "m");
  TPngMemoryStream out;
  p.SaveToStream(out);
  EXPECT_EQ(TBytes(out.Bytes().begin() + 8, out.Bytes().end()), data);
}

TEST(ChunkList, OwnsCopiesAndReportsBadIndices) {
  TChunkPngImageHeader h, other;
  TPngChunkList list;
  auto& text = static_cast<TChunkPngTextChunk&>(list.Add(std::make_unique<TChunkPngTextChunk>(&h)));
  text.SetKeyword("k");
  auto raw = std::make_unique<TUnknownPngChunk>();
  raw->SetChunkName("abCd");
  raw->DataStream().Write("xyz", 3);
  list.Add(std::move(raw));
  EXPECT_EQ(ErrorOf([&] { list.GetChunk(2); }), "Index out of bounds (2)");
  EXPECT_EQ(ErrorOf([&] { list.Delete(5); }), "Chunk list is empty");

  TPngChunkList copy;
  list.AssignTo(copy, other);
  ASSERT_EQ(copy.Count(), 2);
  auto& copiedText = dynamic_cast<TChunkPngTextChunk&>(copy[0]);
  EXPECT_EQ(copiedText.Keyword(), "k");
  EXPECT_EQ(&copiedText.Header(), &other);
  EXPECT_EQ(dynamic_cast<TUnknownPngChunk&>(copy[1]).DataStream().Size(), 3u);
  list.Remove(&list[0]);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.IndexOf(&copy[0]), -1);
}

TEST(ChunkRegistry, FindsRegisteredClassesButNotTheHeader) {
  EXPECT_EQ(FindPngChunkClassByName(MakeChunkName("IHDR")), nullptr);
  const auto* idat = FindPngChunkClassByName(MakeChunkName("IDAT"));
  ASSERT_NE(idat, nullptr);
  TChunkPngImageHeader h;
  EXPECT_NE(dynamic_cast<TChunkPngImageData*>(idat->Create(h).get()), nullptr);
  EXPECT_EQ(PngChunkClassCount(), 17);
  EXPECT_THROW(RegisterPngChunkClass(PngChunkClassOf<TChunkPngGamma>()), EPngError);
}

TEST(DefinedChunk, KeepsItsClassName) {
  TChunkPngImageHeader h;
  TChunkPngGamma g(&h);
  EXPECT_EQ(ErrorOf([&] { g.SetChunkName("gAMX"); }), "Chunk name must always be 'gAMA'");
  EXPECT_EQ(g.GetChunkName(), "gAMA");
  auto wrong = ChunkStream("sRGB", {0});
  EXPECT_THROW(g.LoadFromStream(wrong), EPngError);
}

}  // namespace
}  // namespace vb
