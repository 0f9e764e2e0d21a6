// Guards the chunk CRC: the standard check value, and that short blocks
// (table) and long ones (vector routine) give one CRC however a block is
// split into updates.
#include "png/png_crc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace vb {
namespace {

TEST(PngCrc, MatchesTheStandardCheckValues) {
  const char* digits = "123456789";
  EXPECT_EQ(PngCrc32(reinterpret_cast<const uint8_t*>(digits), 9), 0xCBF43926u);
  const uint8_t iend[4] = {'I', 'E', 'N', 'D'};
  EXPECT_EQ(PngCrc32(iend, 4), 0xAE426082u);
  EXPECT_EQ(PngCrc32(nullptr, 0), 0u);
}

TEST(PngCrc, AgreesAcrossBlockSizesAndSplits) {
  std::vector<uint8_t> data(5000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t((i * 2654435761u) >> 13);
  for (size_t size : {1u, 7u, 63u, 64u, 65u, 200u, 4099u, 5000u}) {
    uint32_t bytewise = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) bytewise = UpdatePngCrc(bytewise, &data[i], 1);
    bytewise ^= 0xFFFFFFFFu;
    EXPECT_EQ(PngCrc32(data.data(), size), bytewise) << size;
    // A long block continued by a short one and the other way round.
    const size_t cut = size / 3;
    const uint32_t split = UpdatePngCrc(UpdatePngCrc(0xFFFFFFFFu, data.data(), cut), data.data() + cut, size - cut);
    EXPECT_EQ(split ^ 0xFFFFFFFFu, bytewise) << size;
  }
}

}  // namespace
}  // namespace vb
