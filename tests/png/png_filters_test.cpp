// Guards the row filters: the Paeth predictor, exact inversion of every
// filter for every pixel size (including the vectorised paths, over every
// neighbour combination for RGB and RGBA) and the tie rules of the per-row
// filter choice.
#include "png/png_filters.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "png/png_error.h"

namespace vb {
namespace {

using TBytes = std::vector<uint8_t>;

uint8_t ReferencePaeth(int A, int B, int C) {
  const int p = A + B - C;
  const int pa = std::abs(p - A), pb = std::abs(p - B), pc = std::abs(p - C);
  if (pa <= pb && pa <= pc) return uint8_t(A);
  return pb <= pc ? uint8_t(B) : uint8_t(C);
}

// Filters Out (N bytes, against Prev) into Row straight from the definition.
void ReferenceFilter(uint8_t Type, const TBytes& Out, const TBytes& Prev, TBytes& Row, size_t Bpp) {
  for (size_t i = 0; i < Out.size(); ++i) {
    const int a = i >= Bpp ? Out[i - Bpp] : 0, b = Prev[i], c = i >= Bpp ? Prev[i - Bpp] : 0;
    const int predicted = Type == 1 ? a : Type == 2 ? b : Type == 3 ? (a + b) / 2 : ReferencePaeth(a, b, c);
    Row[i] = uint8_t(Out[i] - predicted);
  }
}

// Every (left, above, upper-left) triple of Paeth, or every (left, above)
// pair of Average, reaches the unfilter of Bpp-byte pixels: in each pair of
// pixels the first pixel's output is the left neighbour and the row above
// supplies the other two. With Share below 1 a spread sample of that share
// is taken instead. Rows are allocated to their exact size and are no
// multiple of the 16-byte blocks, so reads past a row show under the
// address sanitizer.
void CheckNeighbourCombinations(uint8_t Type, size_t Bpp, double Share = 1.0) {
  constexpr size_t kPixels = 1022;
  const uint32_t combinations = Type == 4 ? 1u << 24 : 1u << 16;
  const uint32_t count = uint32_t(combinations * Share);
  const size_t n = kPixels * Bpp;
  TBytes out(n), prev(n), row(n);
  for (uint32_t next = 0; next < count;) {
    for (size_t pixel = 0; pixel < kPixels; pixel += 2)
      for (size_t ch = 0; ch < Bpp; ++ch, ++next) {
        // An odd multiplier walks all combinations in a scattered order.
        const uint32_t t = uint32_t(next * 2654435761u) % combinations;
        out[pixel * Bpp + ch] = uint8_t(t);                 // left
        prev[(pixel + 1) * Bpp + ch] = uint8_t(t >> 8);     // above
        prev[pixel * Bpp + ch] = uint8_t(t >> 16);          // upper left
        out[(pixel + 1) * Bpp + ch] = uint8_t(t * 7 + ch);  // anything
      }
    ReferenceFilter(Type, out, prev, row, Bpp);
    UnfilterRow(Type, row.data(), prev.data(), n, Bpp);
    ASSERT_EQ(row, out) << "type " << int(Type) << " bpp " << Bpp << " from combination " << next;
  }
}

TEST(RowFilters, PaethAndAverageAreExactForEveryNeighbourCombination) {
  CheckNeighbourCombinations(4, 4);
  CheckNeighbourCombinations(3, 4);
  // RGB runs the same arithmetic on differently packed blocks.
  CheckNeighbourCombinations(4, 3, 1.0 / 16);
  CheckNeighbourCombinations(3, 3);
}

TEST(RowFilters, UnfilterStaysInsideShortRows) {
  // Rows shorter than one 16-byte block and rows ending mid-block, each
  // allocated to its exact size, against the definition.
  std::mt19937 rng(11);
  for (size_t bpp : {3u, 4u})
    for (size_t pixels = 1; pixels <= 12; ++pixels)
      for (uint8_t type = 1; type <= 4; ++type) {
        const size_t n = pixels * bpp;
        TBytes out(n), prev(n), row(n);
        for (auto& v : out) v = uint8_t(rng());
        for (auto& v : prev) v = uint8_t(rng());
        ReferenceFilter(type, out, prev, row, bpp);
        UnfilterRow(type, row.data(), prev.data(), n, bpp);
        ASSERT_EQ(row, out) << "type " << int(type) << " bpp " << bpp << " pixels " << pixels;
      }
}

TEST(PaethPredictor, PrefersLeftThenAboveThenUpperLeft) {
  // a 10, b 20, c 15: |b-c| = |a-c| = 5 but |a+b-2c| = 0, so c is nearest.
  EXPECT_EQ(PaethPredictor(10, 20, 15), 15);
  EXPECT_EQ(PaethPredictor(10, 10, 20), 10);  // pa = pb = 10, pc = 20: left wins the tie
  EXPECT_EQ(PaethPredictor(20, 0, 30), 0);    // pb = 10 is smallest: above
  for (int a = 0; a < 256; a += 5)
    for (int b = 0; b < 256; b += 3)
      for (int c = 0; c < 256; c += 7)
        ASSERT_EQ(PaethPredictor(uint8_t(a), uint8_t(b), uint8_t(c)), ReferencePaeth(a, b, c));
}

TEST(RowFilters, UnfilterReversesEveryFilterForEveryPixelSize) {
  std::mt19937 rng(7);
  for (size_t bpp : {1u, 2u, 3u, 4u, 6u, 8u}) {
    for (size_t n : {bpp, bpp * 5, bpp * 64 + (bpp == 1 ? 3 : 0)}) {
      TBytes prev(n), row(n), filtered(n);
      for (auto& v : prev) v = uint8_t(rng());
      for (size_t i = 0; i < n; ++i) row[i] = uint8_t(prev[i] / 2 + (rng() % 40));  // smooth-ish
      for (uint8_t type = 0; type <= 4; ++type) {
        FilterRow(type, row.data(), prev.data(), filtered.data(), n, bpp);
        TBytes back = filtered;
        UnfilterRow(type, back.data(), prev.data(), n, bpp);
        ASSERT_EQ(back, row) << "type " << int(type) << " bpp " << bpp << " n " << n;
      }
    }
  }
}

TEST(RowFilters, UnfilterMatchesTheDefinitionOnAKnownRow) {
  // Colour type 6, two pixels, Sub: 10 20 30 40 | 5 5 5 5.
  TBytes row = {10, 20, 30, 40, 5, 5, 5, 5};
  const TBytes zero(8, 0);
  UnfilterRow(1, row.data(), zero.data(), 8, 4);
  EXPECT_EQ(row, (TBytes{10, 20, 30, 40, 15, 25, 35, 45}));
  // Average: the sum is taken before halving (no 8-bit overflow).
  const TBytes above = {255, 255};
  TBytes left = {200, 0};
  UnfilterRow(3, left.data(), above.data(), 2, 1);
  EXPECT_EQ(left[0], uint8_t(200 + 127));
  EXPECT_EQ(left[1], uint8_t((uint8_t(200 + 127) + 255) / 2));
}

TEST(RowFilters, RejectUnknownFilterTypes) {
  TBytes row(4), prev(4);
  try {
    UnfilterRow(5, row.data(), prev.data(), 4, 1);
    FAIL();
  } catch (const EPngError& e) {
    EXPECT_STREQ(e.what(), "Unsupported Filter");
  }
}

TEST(FilterChoice, KeepsTheEarlierFilterOnATie) {
  const TBytes first = {10, 20, 30, 40, 15, 25, 35, 45};
  const TBytes zero(8, 0);
  TBytes out(9), work(8);
  // None 220, Sub 120, Up 220, Average 170, Paeth 120: Sub is kept.
  EXPECT_EQ(ChooseRowFilter(first.data(), zero.data(), out.data(), work.data(), 8, 4), 1);
  EXPECT_EQ(out, (TBytes{1, 10, 20, 30, 40, 5, 5, 5, 5}));
  // The same row again: Up and Paeth both cost 0, Up comes first.
  EXPECT_EQ(ChooseRowFilter(first.data(), first.data(), out.data(), work.data(), 8, 4), 2);
  EXPECT_EQ(out, (TBytes{2, 0, 0, 0, 0, 0, 0, 0, 0}));
  // A zero row costs 0 unfiltered: None stays.
  EXPECT_EQ(ChooseRowFilter(zero.data(), first.data(), out.data(), work.data(), 8, 4), 0);
}

}  // namespace
}  // namespace vb
