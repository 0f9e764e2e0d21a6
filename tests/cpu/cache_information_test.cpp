// Guards the decoding of the deterministic cache parameters (CPUID leaf 4)
// against a misread field: every field is stored minus one, and a size that
// forgets one of the "+ 1"s comes out zero or a fraction of the cache.
#include "cpu/cache_information.h"

#include <gtest/gtest.h>

namespace vb {
namespace {

// Leaf 4 registers of one cache: EAX type and level, EBX ways, partitions
// and line size, ECX sets; each count stored minus one.
TCpuidRegisters Leaf4(std::uint32_t Type, std::uint32_t Level, std::uint32_t Ways, std::uint32_t Partitions,
                      std::uint32_t Line, std::uint32_t Sets) {
  return {Type | (Level << 5) | 0x100u, ((Ways - 1) << 22) | ((Partitions - 1) << 12) | (Line - 1), Sets - 1, 0};
}

TEST(IntelCacheInformation, SizesFromLeaf4MultiplyWaysPartitionsLinesAndSets) {
  TRecordedCpuid cpuid;
  // The caches of a recent desktop processor, with an L3 reported in two
  // partitions so that the partition count takes part.
  cpuid.Set(4, Leaf4(1, 1, 12, 1, 64, 64), 0);     // 48 KB data
  cpuid.Set(4, Leaf4(2, 1, 8, 1, 64, 64), 1);      // 32 KB instructions
  cpuid.Set(4, Leaf4(3, 2, 10, 1, 64, 2048), 2);   // 1280 KB unified
  cpuid.Set(4, Leaf4(3, 3, 12, 2, 64, 16384), 3);  // 24576 KB unified
  const TIntelCacheInformation info(cpuid, 0x20);

  EXPECT_EQ(info.L1DataCache().Size, 48u);
  EXPECT_EQ(info.L1DataCache().Associativity, 12);
  EXPECT_EQ(info.L1DataCache().LineSize, 64);
  EXPECT_EQ(info.L1InstructionCache().Size, 32u);
  EXPECT_EQ(info.L2Cache().Size, 1280u);
  EXPECT_EQ(info.L2Cache().Associativity, 10);
  EXPECT_EQ(info.L3Cache().Size, 24576u);
}

}  // namespace
}  // namespace vb
