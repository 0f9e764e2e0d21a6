#pragma once
// Reading and writing of uncompressed bitmap files ("BM"). Maps write
// top-down rows with the description they keep; the reader accepts
// uncompressed top-down and bottom-up files of 1, 2, 4, 8 (palette), 24 and
// 32 bits per pixel (32 also with byte-wide bit-field masks),
// within hard size limits, and converts rows for pixel maps and byte maps.

#include <cstdint>
#include <vector>

#include "image/bitmap_info.h"
#include "image/pixel32.h"
#include "image/stream.h"

namespace vb {

// Largest width or height accepted from a stream, and largest pixel count.
constexpr std::int32_t kMaxBitmapDimension = 32768;
constexpr std::int64_t kMaxBitmapPixels = std::int64_t(1) << 26;

// Raises EGuiError "Bitmap too large" when a size read from a stream is
// beyond the limits (negative sizes are left to SetSize, which names them).
void CheckBitmapSize(std::int32_t Width, std::int32_t Height);

// Writes file header, Header, ColorTable and Rows rows of RowBytes bytes
// each (padded with zeros to a multiple of 4 bytes). The file size and the
// pixel offset are computed.
void WriteBitmapFile(TStream& Stream, const TBitmapInfoHeader& Header, const std::uint8_t* ColorTable,
                     std::int32_t ColorTableBytes, const std::uint8_t* Pixels, std::int32_t RowBytes,
                     std::int32_t Rows);
// A 32-bit pixel-map file: the description, one zero colour entry, pixels.
void WriteBitmapFile(TStream& Stream, const TBitmapInfoHeader& Header, const TPixel32* Pixels, std::int32_t DataSize);

class TBitmapFileReader {
 public:
  // Reads the headers and the pixel block from the stream's position.
  // Raises EGuiError "Invalid bitmap header found!" when fewer than 14 bytes
  // remain or they do not start with "BM", EGuiError "Unsupported bitmap
  // format" for compressed files or other depths, EReadError when the
  // stream ends early.
  explicit TBitmapFileReader(TStream& Stream);

  std::int32_t Width() const { return FWidth; }
  std::int32_t Height() const { return FHeight; }
  std::uint16_t BitCount() const { return FBitCount; }

  // Row Y counted from the top, as pixels (alpha 255 where the file has
  // none) or as grey levels.
  void ReadRowBGRA(std::int32_t Y, TPixel32* Row) const;
  void ReadRowGrey(std::int32_t Y, std::uint8_t* Row) const;

 private:
  struct TMask {
    std::uint32_t Mask = 0;
    int Shift = 0;
  };
  std::uint32_t PixelARGB(const std::uint8_t* Row, std::int32_t X) const;
  const std::uint8_t* FileRow(std::int32_t Y) const;

  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  bool FTopDown = false;
  std::uint16_t FBitCount = 0;
  std::int32_t FRowBytes = 0;
  bool FBitFields = false;
  TMask FMasks[4];                      // red, green, blue, alpha
  std::vector<std::uint32_t> FPalette;  // 0x00RRGGBB
  std::vector<std::uint8_t> FPixels;
};

}  // namespace vb
