#pragma once
// zlib compression and decompression of whole memory blocks (zlib stream
// format, 32 KiB window, default memory level and strategy). Image data is
// inflated by libdeflate's whole-block decompressor when the stream is
// sound, by zlib otherwise.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vb {

// Appends the zlib stream of Size bytes at Data to Output. Level 0..9.
// Raises EPngError "Error during compression" when zlib cannot start.
void CompressData(const void* Data, size_t Size, std::vector<uint8_t>& Output, int Level);

// Appends the inflated bytes of the zlib stream at Data to Output. Stops
// with an EPngError when zlib reports corrupt data, when the input ends
// before the stream does (no progress possible), or when more than
// MaxOutput bytes would be produced, so no input can make it loop or
// allocate without bound.
void DecompressData(const void* Data, size_t Size, std::vector<uint8_t>& Output, size_t MaxOutput = SIZE_MAX);

// Inflates into a caller-owned block of Capacity bytes and returns how many
// bytes were written. Output beyond Capacity is ignored; a stream that ends
// early returns fewer bytes (the caller decides whether that is an error).
// Corrupt data raises EPngError. This is the image-data path: one call, no
// intermediate copies. A stream that libdeflate inflates completely (checksum
// included) into Capacity bytes is taken from it; for every other stream
// zlib's stream inflate gives the answer, so damaged data is met exactly as
// zlib meets it.
size_t DecompressInto(const void* Data, size_t Size, uint8_t* Output, size_t Capacity);

}  // namespace vb
