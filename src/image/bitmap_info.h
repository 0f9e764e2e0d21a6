#pragma once
// The device-independent bitmap description that pixel maps and byte maps
// keep in step with their size: a 40-byte BITMAPINFOHEADER followed by a
// colour table. It is written verbatim into bitmap files.

#include <array>
#include <cstdint>

namespace vb {

struct TBitmapInfoHeader {
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;  // negative: rows stored top-down
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 32;
  std::uint32_t biCompression = 0;  // uncompressed RGB
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

constexpr std::int32_t kBitmapFileHeaderSize = 14;
constexpr std::int32_t kBitmapInfoHeaderSize = 40;

// Little-endian bytes of a header, and a header from such bytes.
std::array<std::uint8_t, kBitmapInfoHeaderSize> EncodeBitmapInfoHeader(const TBitmapInfoHeader& Header);
TBitmapInfoHeader DecodeBitmapInfoHeader(const std::uint8_t* Bytes);

// The 14-byte file header "BM", file size, two reserved words 0, offset of
// the pixels.
std::array<std::uint8_t, kBitmapFileHeaderSize> EncodeBitmapFileHeader(std::uint32_t FileSize,
                                                                       std::uint32_t PixelOffset);

}  // namespace vb
