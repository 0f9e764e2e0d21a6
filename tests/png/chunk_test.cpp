// Guards the chunk header layouts, raw chunk I/O and the zlib block helpers
// (including their refusal to loop or grow on corrupt input).
#include "png/chunk.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "png/png_error.h"
#include "png/zlib_block.h"

namespace vb {
namespace {

using TBytes = std::vector<uint8_t>;

TEST(ChunkHeader, WritesAndReadsTheLayoutItsFlagsDescribe) {
  TUnknownChunk big;
  big.SetChunkFlags(cfSizeFirst | cfReversedByteOrder);
  big.SetChunkName("IEND");
  TPngMemoryStream out;
  big.SaveToStream(out);
  EXPECT_EQ(out.Bytes(), (TBytes{0, 0, 0, 0, 0x49, 0x45, 0x4E, 0x44}));

  TPngMemoryStream in(TBytes{0x41, 0x42, 0x43, 0x44, 5, 0, 0, 0, 1, 2, 3, 4, 5});
  TUnknownChunk little;
  little.LoadFromStream(in);
  EXPECT_EQ(little.GetChunkName(), "ABCD");
  EXPECT_EQ(little.GetChunkSize(), 5u);
  EXPECT_EQ(little.GetData(4), 5);
  EXPECT_EQ(in.Remaining(), 0u);
}

TEST(ChunkHeader, PadsOddDataAndSkipsThePadWhenReading) {
  TUnknownChunk chunk;
  chunk.SetChunkFlags(cfPadSize);
  chunk.SetChunkName("DATA");
  chunk.DataStream().Write("abc", 3);
  TPngMemoryStream out;
  chunk.SaveToStream(out);
  EXPECT_EQ(out.Size(), 8u + 3u + 1u);
  out.WriteByte(0x77);  // the next chunk's first byte
  out.SetPosition(0);
  TUnknownChunk back;
  back.SetChunkFlags(cfPadSize);
  back.LoadFromStream(out);
  EXPECT_EQ(back.GetChunkSize(), 3u);
  EXPECT_EQ(out.ReadByte(), 0x77);
}

TEST(ChunkHeader, RefusesDeclaredSizesBeyondTheData) {
  TPngMemoryStream in(TBytes{'A', 'B', 'C', 'D', 0xFF, 0xFF, 0xFF, 0x7F, 1, 2});
  TUnknownChunk chunk;
  EXPECT_THROW(chunk.LoadFromStream(in), EPngError);
  TPngMemoryStream shortHeader(TBytes{'A', 'B'});
  EXPECT_THROW(chunk.LoadFromStream(shortHeader), EPngError);
}

TEST(ChunkName, ShortValuesOverwriteOnlyTheirCharacters) {
  TUnknownChunk chunk;
  chunk.SetChunkName("WXYZ");
  chunk.SetChunkName("AB");
  EXPECT_EQ(chunk.GetChunkName(), "ABYZ");
}

TEST(UnknownChunk, ReportsBadIndicesWithTheIndex) {
  TUnknownChunk chunk;
  chunk.DataStream().Write("xy", 2);
  EXPECT_EQ(chunk.GetData(1), 'y');
  try {
    chunk.GetData(2);
    FAIL();
  } catch (const EPngError& e) {
    EXPECT_STREQ(e.what(), "Index out of bounds (2)");
  }
  EXPECT_THROW(chunk.SetData(-1, 0), EPngError);
}

TEST(ZlibBlock, RoundTripsEmptyAndLargeBlocks) {
  TBytes packed;
  CompressData(nullptr, 0, packed, 9);
  ASSERT_FALSE(packed.empty());
  TBytes unpacked;
  DecompressData(packed.data(), packed.size(), unpacked);
  EXPECT_TRUE(unpacked.empty());

  TBytes big(200000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t((i * 7919) >> 5);
  packed.clear();
  CompressData(big.data(), big.size(), packed, 6);
  DecompressData(packed.data(), packed.size(), unpacked);
  EXPECT_EQ(unpacked, big);
}

TEST(ZlibBlock, StopsOnCorruptTruncatedOrOversizedStreams) {
  TBytes big(100000, 0x41);
  TBytes packed;
  CompressData(big.data(), big.size(), packed, 9);
  TBytes out;
  const TBytes truncated(packed.begin(), packed.begin() + long(packed.size() / 2));
  EXPECT_THROW(DecompressData(truncated.data(), truncated.size(), out), EPngError);
  TBytes corrupt = packed;
  corrupt[0] = 0x00;  // not a zlib header
  EXPECT_THROW(DecompressData(corrupt.data(), corrupt.size(), out), EPngError);
  EXPECT_THROW(DecompressData(packed.data(), packed.size(), out, 1000), EPngError);

  // The capped variant stops at its capacity and reports short streams.
  TBytes block(50);
  EXPECT_EQ(DecompressInto(packed.data(), packed.size(), block.data(), block.size()), 50u);
  TBytes whole(200000);
  EXPECT_LT(DecompressInto(truncated.data(), truncated.size(), whole.data(), whole.size()), big.size());
}

TEST(ZlibBlock, InflatesIntoAnExactBlockAndKeepsItsAnswersForDamagedStreams) {
  TBytes big(300000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t((i * 2654435761u) >> 20);
  TBytes packed;
  CompressData(big.data(), big.size(), packed, 9);
  TBytes block(big.size());
  ASSERT_EQ(DecompressInto(packed.data(), packed.size(), block.data(), block.size()), big.size());
  EXPECT_EQ(block, big);

  // Bytes after the end of the stream are not looked at.
  TBytes trailing = packed;
  trailing.insert(trailing.end(), {1, 2, 3, 4, 5});
  std::fill(block.begin(), block.end(), 0);
  EXPECT_EQ(DecompressInto(trailing.data(), trailing.size(), block.data(), block.size()), big.size());
  EXPECT_EQ(block, big);

  // A stream longer than the block fills it with its first bytes.
  TBytes shorter(big.size() - 1000);
  EXPECT_EQ(DecompressInto(packed.data(), packed.size(), shorter.data(), shorter.size()), shorter.size());
  EXPECT_TRUE(std::equal(shorter.begin(), shorter.end(), big.begin()));

  // A stream cut short delivers what it holds, each byte right.
  const TBytes cut(packed.begin(), packed.begin() + long(packed.size() / 2));
  std::fill(block.begin(), block.end(), 0);
  const size_t got = DecompressInto(cut.data(), cut.size(), block.data(), block.size());
  EXPECT_GT(got, 0u);
  EXPECT_LT(got, big.size());
  EXPECT_TRUE(std::equal(block.begin(), block.begin() + long(got), big.begin()));

  // A wrong checksum or damaged data is refused.
  TBytes badSum = packed;
  badSum.back() ^= 0x01;
  EXPECT_THROW(DecompressInto(badSum.data(), badSum.size(), block.data(), block.size()), EPngError);
  TBytes badHeader = packed;
  badHeader[1] ^= 0x01;  // the header check bits no longer add up
  EXPECT_THROW(DecompressInto(badHeader.data(), badHeader.size(), block.data(), block.size()), EPngError);
}

}  // namespace
}  // namespace vb
