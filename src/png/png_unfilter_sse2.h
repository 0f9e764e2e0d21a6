#pragma once
// SSE2 reversal of the PNG row filters for the formats the editor's images
// use: Up for any pixel size, Sub, Average and Paeth for 3- and 4-byte
// pixels (8-bit RGB and RGBA). Sub, Average and Paeth carry a dependency
// from each pixel to the next, so their cost per pixel is the length of
// that chain: these routines keep it short (Paeth 7 operations instead of
// about 14, Average 2) and read and write the row in 16-byte blocks.
// Any thread; no state between calls.
#include <cstddef>
#include <cstdint>

namespace vb {

// Reverses FilterType on Row (N bytes) against Prev (N bytes; zeros for the
// first row) and returns true, or returns false without touching Row when
// the filter type or pixel size is not one handled here. Every access stays
// inside the N bytes of Row and of Prev.
bool UnfilterRowSse2(uint8_t FilterType, uint8_t* Row, const uint8_t* Prev, size_t N, size_t Bpp);

}  // namespace vb
