#include "image/gui_pixel_map_memory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "error/error.h"
#include "image/pixel_storage.h"
#include "platform/memory_canvas.h"

namespace vb {

namespace {

constexpr const char* kUnit = "gui_pixel_map_memory";

// 4 * Width * Height as a checked 32-bit byte count.
std::int32_t StorageBytes(std::int32_t Width, std::int32_t Height) {
  const std::int64_t bytes = 4 * std::int64_t(Width) * std::int64_t(Height);
  Assert(bytes >= 0 && bytes <= 0x7FFFFFFF, kUnit, "Invalid storage size");
  return std::int32_t(bytes);
}

// Cleared: areas a resize does not copy into read as transparent black
// rather than as whatever the memory held.
TPixel32* AllocatePixels(std::int32_t Bytes) {
  return static_cast<TPixel32*>(AllocatePixelStorage(std::size_t(Bytes)));
}

void FreePixels(TPixel32* Block, std::int32_t Bytes) { FreePixelStorage(Block, std::size_t(Bytes)); }

}  // namespace

TGuiPixelMapMemory::~TGuiPixelMapMemory() { FreePixels(FDataPointer, FDataSize); }

void TGuiPixelMapMemory::SizeChanged(std::int32_t Width, std::int32_t Height) {
  TGuiCustomPixelMap::SizeChanged(Width, Height);
  AllocateStorage();
}

void TGuiPixelMapMemory::HeightChanged(bool UpdateBitmap) {
  TGuiCustomPixelMap::HeightChanged(UpdateBitmap);
  if (!UpdateBitmap) return;
  Resized();
  AllocateStorage();
}

void TGuiPixelMapMemory::WidthChanged(bool UpdateBitmap) {
  TGuiCustomPixelMap::WidthChanged(UpdateBitmap);
  if (!UpdateBitmap) return;
  Resized();
  AllocateStorage();
}

void TGuiPixelMapMemory::AllocateStorage() {
  const std::int32_t newSize = StorageBytes(FWidth, FHeight);
  if (newSize == FDataSize) return;  // the old bytes stay, even with width and height exchanged
  TPixel32* block = nullptr;
  try {
    block = AllocatePixels(newSize);
  } catch (const std::bad_alloc&) {
    // Out of memory: become an empty map rather than one whose size does
    // not match its storage.
    FreePixels(FDataPointer, FDataSize);
    FDataPointer = nullptr;
    FDataSize = 0;
    FWidth = 0;
    FHeight = 0;
    WidthChanged(false);
    HeightChanged(false);
    throw;
  }
  // The new storage starts cleared; the old bytes are not kept.
  FreePixels(FDataPointer, FDataSize);
  FDataPointer = block;
  FDataSize = newSize;
}

void TGuiPixelMapMemory::Resize(std::int32_t Width, std::int32_t Height) {
  if (Width < 0) throw EGuiError(TErrorCode::ecWidthNegative);
  if (Height < 0) throw EGuiError(TErrorCode::ecHeightNegative);
  if (Width == FWidth && Height == FHeight) return;
  const std::int32_t newSize = StorageBytes(Width, Height);
  TPixel32* block = AllocatePixels(newSize);
  const std::int32_t columns = std::min(Width, FWidth);
  const std::int32_t rows = FDataPointer ? std::min(Height, FHeight) : 0;
  for (std::int32_t y = 0; y < rows; ++y)
    std::memcpy(block + std::int64_t(y) * Width, FDataPointer + std::int64_t(y) * FWidth, std::size_t(columns) * 4);
  FreePixels(FDataPointer, FDataSize);
  FDataPointer = block;
  FWidth = Width;
  FHeight = Height;
  FBitmapInfo.biWidth = Width;
  FBitmapInfo.biHeight = -Height;
  FDataSize = newSize;
}

void TGuiPixelMapMemory::Turn(bool CounterClockwise) {
  const std::int32_t oldWidth = FWidth;
  const std::int32_t oldHeight = FHeight;
  if (FDataPointer != nullptr) {
    TPixel32* block = AllocatePixels(FDataSize);
    // The new map is OldHeight wide.
    for (std::int32_t y = 0; y < oldHeight; ++y) {
      const TPixel32* row = FDataPointer + std::int64_t(y) * oldWidth;
      for (std::int32_t x = 0; x < oldWidth; ++x) {
        const std::int32_t nx = CounterClockwise ? y : oldHeight - 1 - y;
        const std::int32_t ny = CounterClockwise ? oldWidth - 1 - x : x;
        block[nx + std::int64_t(ny) * oldHeight] = row[x];
      }
    }
    FreePixels(FDataPointer, FDataSize);
    FDataPointer = block;
  }
  FWidth = oldHeight;
  FHeight = oldWidth;
  FBitmapInfo.biWidth = FWidth;
  FBitmapInfo.biHeight = -FHeight;
}

void TGuiPixelMapMemory::Draw(const TRasterView& Bitmap, std::int32_t X, std::int32_t Y) {
  if (Bitmap.Height <= 0 || Bitmap.Bits == nullptr || FDataPointer == nullptr) return;
  // Kept inside the map: a bitmap reaching outside must not write beyond
  // the storage.
  const TRect area = ClipPlacement(X, Y, Bitmap.Width, Bitmap.Height);
  if (area.IsEmpty()) return;
  for (std::int32_t row = area.Top; row < area.Bottom; ++row) {
    const std::uint8_t* source = Bitmap.Row(row - Y);
    TPixel32* dest = GetScanLine(row) + area.Left;
    const std::int32_t first = area.Left - X;
    switch (Bitmap.Format) {
      case TRasterFormat::rfBGRA32:
        std::memcpy(dest, source + std::int64_t(first) * 4, std::size_t(area.Width()) * 4);
        break;
      case TRasterFormat::rfBGR24:
        for (std::int32_t i = 0; i < area.Width(); ++i) {
          const std::uint8_t* p = source + std::int64_t(first + i) * 3;
          dest[i] = TPixel32{p[0], p[1], p[2], 0xFF};
        }
        break;
      case TRasterFormat::rfGrey8:
      case TRasterFormat::rfIndexed8:
        for (std::int32_t i = 0; i < area.Width(); ++i) dest[i] = Pixel32(ReadRasterPixel(Bitmap, first + i, row - Y));
        break;
      default:
        throw EGuiError(TErrorCode::ecUnsupportedRasterFormat);
    }
  }
}

void TGuiPixelMapMemory::PaintTo(TCanvas& Canvas, std::int32_t X, std::int32_t Y) {
  PaintTo(Canvas, TRect{0, 0, FWidth, FHeight}, X, Y);
}

void TGuiPixelMapMemory::PaintTo(TCanvas& Canvas, const TRect& Rect, std::int32_t X, std::int32_t Y) {
  if (FDataPointer == nullptr) return;
  const std::int32_t width = std::min(FWidth, Rect.Width());
  const std::int32_t height = std::min(FHeight, Rect.Height());
  if (width <= 0 || height <= 0) return;
  if (Canvas.DrawRaster(RasterView(), Rect.Left, Rect.Top, width, height, X, Y)) return;
  // The platform refused our memory: hand it a copy in a bitmap of its own
  // making; when that is refused too, the canvas stays unpainted.
  TMemoryBitmap copy(FWidth, FHeight, TRasterFormat::rfBGRA32);
  std::memcpy(copy.Bits(), FDataPointer, std::size_t(FDataSize));
  Canvas.DrawRaster(copy.View(), Rect.Left, Rect.Top, width, height, X, Y);
}

}  // namespace vb
