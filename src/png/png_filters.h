#pragma once
// The five PNG row filters: undoing them when decoding and the adaptive
// per-row choice when encoding. Rows are the samples without the leading
// filter-type byte; Bpp is the distance in bytes to the left neighbour
// (1 for bit depths below 8). All arithmetic is modulo 256.
#include <cstddef>
#include <cstdint>

namespace vb {

enum TPngFilterType : uint8_t {
  pftNone = 0,
  pftSub = 1,
  pftUp = 2,
  pftAverage = 3,
  pftPaeth = 4,
};

// a = left, b = above, c = upper left; the predictor of the PNG format.
uint8_t PaethPredictor(uint8_t A, uint8_t B, uint8_t C);

// Reverses filter FilterType on Row (N bytes) in place against the previous
// unfiltered row Prev (zeros for the first row). A type above 4 raises the
// plain error "Unsupported Filter".
void UnfilterRow(uint8_t FilterType, uint8_t* Row, const uint8_t* Prev, size_t N, size_t Bpp);

// Writes filter FilterType of Row (against Prev) into Out (N bytes) and
// returns the cost: the sum of the output bytes as unsigned values.
uint64_t FilterRow(uint8_t FilterType, const uint8_t* Row, const uint8_t* Prev, uint8_t* Out, size_t N, size_t Bpp);

// Tries None, Sub, Up, Average and Paeth in that order and keeps the first
// of the cheapest. Out receives the filter-type byte and N filtered bytes
// (N + 1 in all); Work is scratch space of N bytes. Returns the type.
uint8_t ChooseRowFilter(const uint8_t* Row, const uint8_t* Prev, uint8_t* Out, uint8_t* Work, size_t N, size_t Bpp);

}  // namespace vb
