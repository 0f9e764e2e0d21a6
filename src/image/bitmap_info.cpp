#include "image/bitmap_info.h"

#include <cstring>

namespace vb {

namespace {

template <class T>
void Put(std::uint8_t*& P, T Value) {
  for (std::size_t i = 0; i < sizeof(T); ++i) *P++ = std::uint8_t(std::uint64_t(Value) >> (8 * i));
}

template <class T>
T Get(const std::uint8_t*& P) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) v |= std::uint64_t(*P++) << (8 * i);
  return T(v);
}

}  // namespace

std::array<std::uint8_t, kBitmapInfoHeaderSize> EncodeBitmapInfoHeader(const TBitmapInfoHeader& H) {
  std::array<std::uint8_t, kBitmapInfoHeaderSize> bytes{};
  std::uint8_t* p = bytes.data();
  Put(p, H.biSize);
  Put(p, H.biWidth);
  Put(p, H.biHeight);
  Put(p, H.biPlanes);
  Put(p, H.biBitCount);
  Put(p, H.biCompression);
  Put(p, H.biSizeImage);
  Put(p, H.biXPelsPerMeter);
  Put(p, H.biYPelsPerMeter);
  Put(p, H.biClrUsed);
  Put(p, H.biClrImportant);
  return bytes;
}

TBitmapInfoHeader DecodeBitmapInfoHeader(const std::uint8_t* P) {
  TBitmapInfoHeader h;
  h.biSize = Get<std::uint32_t>(P);
  h.biWidth = Get<std::int32_t>(P);
  h.biHeight = Get<std::int32_t>(P);
  h.biPlanes = Get<std::uint16_t>(P);
  h.biBitCount = Get<std::uint16_t>(P);
  h.biCompression = Get<std::uint32_t>(P);
  h.biSizeImage = Get<std::uint32_t>(P);
  h.biXPelsPerMeter = Get<std::int32_t>(P);
  h.biYPelsPerMeter = Get<std::int32_t>(P);
  h.biClrUsed = Get<std::uint32_t>(P);
  h.biClrImportant = Get<std::uint32_t>(P);
  return h;
}

std::array<std::uint8_t, kBitmapFileHeaderSize> EncodeBitmapFileHeader(std::uint32_t FileSize,
                                                                       std::uint32_t PixelOffset) {
  std::array<std::uint8_t, kBitmapFileHeaderSize> bytes{};
  std::uint8_t* p = bytes.data();
  Put(p, std::uint16_t(0x4D42));  // "BM"
  Put(p, FileSize);
  Put(p, std::uint16_t(0));
  Put(p, std::uint16_t(0));
  Put(p, PixelOffset);
  return bytes;
}

}  // namespace vb
