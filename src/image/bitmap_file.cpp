#include "image/bitmap_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "error/error.h"

namespace vb {

namespace {

constexpr std::uint32_t kCompressionRGB = 0;
constexpr std::uint32_t kCompressionBitFields = 3;

std::uint32_t GetLE32(const std::uint8_t* P) {
  return std::uint32_t(P[0]) | (std::uint32_t(P[1]) << 8) | (std::uint32_t(P[2]) << 16) | (std::uint32_t(P[3]) << 24);
}

[[noreturn]] void Unsupported() { throw EGuiError(TErrorCode::ecUnsupportedBitmap); }

std::uint8_t Luma(std::uint32_t Argb) {
  const std::uint32_t r = (Argb >> 16) & 0xFF, g = (Argb >> 8) & 0xFF, b = Argb & 0xFF;
  return std::uint8_t((306u * r + 601u * g + 117u * b + 512u) >> 10);
}

}  // namespace

void CheckBitmapSize(std::int32_t Width, std::int32_t Height) {
  if (Width > kMaxBitmapDimension || Height > kMaxBitmapDimension ||
      std::int64_t(Width) * std::int64_t(Height) > kMaxBitmapPixels)
    throw EGuiError(TErrorCode::ecBitmapTooLarge);
}

void WriteBitmapFile(TStream& Stream, const TBitmapInfoHeader& Header, const std::uint8_t* ColorTable,
                     std::int32_t ColorTableBytes, const std::uint8_t* Pixels, std::int32_t RowBytes,
                     std::int32_t Rows) {
  const std::int32_t paddedRow = (RowBytes + 3) & ~3;
  const std::uint32_t offset = std::uint32_t(kBitmapFileHeaderSize + kBitmapInfoHeaderSize + ColorTableBytes);
  const std::uint32_t fileSize = offset + std::uint32_t(paddedRow) * std::uint32_t(Rows);
  const auto fileHeader = EncodeBitmapFileHeader(fileSize, offset);
  const auto infoHeader = EncodeBitmapInfoHeader(Header);
  Stream.WriteBuffer(fileHeader.data(), fileHeader.size());
  Stream.WriteBuffer(infoHeader.data(), infoHeader.size());
  Stream.WriteBuffer(ColorTable, ColorTableBytes);
  const std::uint8_t padding[3] = {};
  for (std::int32_t y = 0; y < Rows; ++y) {
    Stream.WriteBuffer(Pixels + std::int64_t(y) * RowBytes, RowBytes);
    Stream.WriteBuffer(padding, paddedRow - RowBytes);
  }
}

void WriteBitmapFile(TStream& Stream, const TBitmapInfoHeader& Header, const TPixel32* Pixels, std::int32_t DataSize) {
  const std::uint8_t colorEntry[4] = {};
  const std::int32_t width = Header.biWidth;
  const std::int32_t rows = width > 0 ? DataSize / (4 * width) : 0;
  WriteBitmapFile(Stream, Header, colorEntry, 4, reinterpret_cast<const std::uint8_t*>(Pixels), width * 4, rows);
}

// ---------------------------------------------------------------------------

TBitmapFileReader::TBitmapFileReader(TStream& Stream) {
  const std::int64_t start = Stream.Position();
  std::uint8_t fileHeader[kBitmapFileHeaderSize];
  if (Stream.Size() - start < kBitmapFileHeaderSize) throw EGuiError(TErrorCode::ecInvalidBitmapHeader);
  Stream.ReadBuffer(fileHeader, sizeof fileHeader);
  if (fileHeader[0] != 'B' || fileHeader[1] != 'M') throw EGuiError(TErrorCode::ecInvalidBitmapHeader);
  const std::uint32_t pixelOffset = GetLE32(fileHeader + 10);

  std::uint8_t info[124] = {};
  Stream.ReadBuffer(info, 4);
  const std::uint32_t infoSize = GetLE32(info);
  if (infoSize < kBitmapInfoHeaderSize || infoSize > sizeof info) Unsupported();
  Stream.ReadBuffer(info + 4, infoSize - 4);
  const TBitmapInfoHeader h = DecodeBitmapInfoHeader(info);

  if (h.biWidth < 0 || h.biHeight == std::numeric_limits<std::int32_t>::min()) Unsupported();
  FWidth = h.biWidth;
  FHeight = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  FTopDown = h.biHeight < 0;
  FBitCount = h.biBitCount;
  CheckBitmapSize(FWidth, FHeight);
  const bool indexed = FBitCount == 1 || FBitCount == 2 || FBitCount == 4 || FBitCount == 8;
  if (h.biPlanes != 1 || !(indexed || FBitCount == 24 || FBitCount == 32)) Unsupported();
  if (h.biCompression == kCompressionBitFields && FBitCount == 32) {
    FBitFields = true;
    // The masks follow a 40-byte header, or are part of a longer one.
    std::uint8_t masks[16] = {};
    if (infoSize > kBitmapInfoHeaderSize) {
      std::memcpy(masks, info + 40, std::min<std::size_t>(16, infoSize - kBitmapInfoHeaderSize));
    } else {
      Stream.ReadBuffer(masks, 12);
    }
    for (int i = 0; i < 4; ++i) {
      const std::uint32_t mask = GetLE32(masks + 4 * i);
      // Only whole-byte channels are supported.
      if (mask != 0 && (std::popcount(mask) != 8 || (mask >> std::countr_zero(mask)) != 0xFF)) Unsupported();
      FMasks[i] = TMask{mask, mask ? std::countr_zero(mask) : 0};
    }
  } else if (h.biCompression != kCompressionRGB) {
    Unsupported();
  }
  if (indexed) {
    const std::uint32_t maxColours = 1u << FBitCount;
    const std::uint32_t colours = h.biClrUsed == 0 ? maxColours : h.biClrUsed;
    if (colours > maxColours) Unsupported();
    std::vector<std::uint8_t> table(colours * 4);
    Stream.ReadBuffer(table.data(), std::int64_t(table.size()));
    FPalette.assign(256, 0);
    for (std::uint32_t i = 0; i < colours; ++i) FPalette[i] = GetLE32(&table[4 * i]) & 0xFFFFFFu;
  }

  FRowBytes = std::int32_t(((std::int64_t(FWidth) * FBitCount + 31) / 32) * 4);
  const std::int64_t total = std::int64_t(FRowBytes) * FHeight;
  Stream.SetPosition(start + pixelOffset);
  if (Stream.Size() - Stream.Position() < total) throw EReadError();
  FPixels.resize(std::size_t(total));
  Stream.ReadBuffer(FPixels.data(), total);
}

const std::uint8_t* TBitmapFileReader::FileRow(std::int32_t Y) const {
  const std::int32_t fileRow = FTopDown ? Y : FHeight - 1 - Y;
  return FPixels.data() + std::int64_t(fileRow) * FRowBytes;
}

std::uint32_t TBitmapFileReader::PixelARGB(const std::uint8_t* Row, std::int32_t X) const {
  switch (FBitCount) {
    case 1:
    case 2:
    case 4: {
      // Packed indices, the leftmost pixel in the high bits of each byte.
      const std::int64_t bit = std::int64_t(X) * FBitCount;
      const unsigned shift = 8 - FBitCount - unsigned(bit % 8);
      const std::uint32_t index = (Row[bit / 8] >> shift) & ((1u << FBitCount) - 1);
      return 0xFF000000u | FPalette[index];
    }
    case 8:
      return 0xFF000000u | FPalette[Row[X]];
    case 24: {
      const std::uint8_t* p = Row + 3 * std::int64_t(X);
      return 0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
    }
    default: {
      const std::uint32_t v = GetLE32(Row + 4 * std::int64_t(X));
      if (!FBitFields) return v;
      auto channel = [&](int I) { return (v & FMasks[I].Mask) >> FMasks[I].Shift; };
      const std::uint32_t alpha = FMasks[3].Mask ? channel(3) : 0xFF;
      return (alpha << 24) | (channel(0) << 16) | (channel(1) << 8) | channel(2);
    }
  }
}

void TBitmapFileReader::ReadRowBGRA(std::int32_t Y, TPixel32* Row) const {
  const std::uint8_t* fileRow = FileRow(Y);
  for (std::int32_t x = 0; x < FWidth; ++x) Row[x] = Pixel32(PixelARGB(fileRow, x));
}

void TBitmapFileReader::ReadRowGrey(std::int32_t Y, std::uint8_t* Row) const {
  const std::uint8_t* fileRow = FileRow(Y);
  for (std::int32_t x = 0; x < FWidth; ++x) Row[x] = Luma(PixelARGB(fileRow, x));
}

}  // namespace vb
