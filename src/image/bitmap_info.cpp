#include "image/bitmap_info.h"

#include <cstring>

namespace vb {

namespace {

template <class T>
void Put(std::uint8_t*& p, T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i) *p++ = std::uint8_t(std::uint64_t(value) >> (8 * i));
}

template <class T>
T Get(const std::uint8_t*& p) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) v |= std::uint64_t(*p++) << (8 * i);
  return T(v);
}

}  // namespace

std::array<std::uint8_t, kBitmapInfoHeaderSize> EncodeBitmapInfoHeader(const TBitmapInfoHeader& h) {
  std::array<std::uint8_t, kBitmapInfoHeaderSize> bytes{};
  std::uint8_t* p = bytes.data();
  Put(p, h.biSize);
  Put(p, h.biWidth);
  Put(p, h.biHeight);
  Put(p, h.biPlanes);
  Put(p, h.biBitCount);
  Put(p, h.biCompression);
  Put(p, h.biSizeImage);
  Put(p, h.biXPelsPerMeter);
  Put(p, h.biYPelsPerMeter);
  Put(p, h.biClrUsed);
  Put(p, h.biClrImportant);
  return bytes;
}

TBitmapInfoHeader DecodeBitmapInfoHeader(const std::uint8_t* p) {
  TBitmapInfoHeader h;
  h.biSize = Get<std::uint32_t>(p);
  h.biWidth = Get<std::int32_t>(p);
  h.biHeight = Get<std::int32_t>(p);
  h.biPlanes = Get<std::uint16_t>(p);
  h.biBitCount = Get<std::uint16_t>(p);
  h.biCompression = Get<std::uint32_t>(p);
  h.biSizeImage = Get<std::uint32_t>(p);
  h.biXPelsPerMeter = Get<std::int32_t>(p);
  h.biYPelsPerMeter = Get<std::int32_t>(p);
  h.biClrUsed = Get<std::uint32_t>(p);
  h.biClrImportant = Get<std::uint32_t>(p);
  return h;
}

std::array<std::uint8_t, kBitmapFileHeaderSize> EncodeBitmapFileHeader(std::uint32_t fileSize,
                                                                       std::uint32_t pixelOffset) {
  std::array<std::uint8_t, kBitmapFileHeaderSize> bytes{};
  std::uint8_t* p = bytes.data();
  Put(p, std::uint16_t(0x4D42));  // "BM"
  Put(p, fileSize);
  Put(p, std::uint16_t(0));
  Put(p, std::uint16_t(0));
  Put(p, pixelOffset);
  return bytes;
}

}  // namespace vb
