#include "image/gui_byte_map_memory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "error/error.h"
#include "platform/memory_canvas.h"

namespace vb {

namespace {

constexpr const char* kUnit = "gui_byte_map_memory";

std::int32_t StorageBytes(std::int32_t Width, std::int32_t Height) {
  const std::int64_t bytes = std::int64_t(Width) * std::int64_t(Height);
  Assert(bytes >= 0 && bytes <= 0x7FFFFFFF, kUnit, "Invalid storage size");
  return std::int32_t(bytes);
}

std::uint8_t* AllocateBytes(std::int32_t Bytes) {
  if (Bytes == 0) return nullptr;
  // Cleared: areas a resize does not copy into read as 0 rather than as
  // whatever the heap held.
  void* block = std::calloc(std::size_t(Bytes), 1);
  if (block == nullptr) throw std::bad_alloc();
  return static_cast<std::uint8_t*>(block);
}

std::uint8_t Luma(std::uint32_t Argb) {
  const std::uint32_t r = (Argb >> 16) & 0xFF, g = (Argb >> 8) & 0xFF, b = Argb & 0xFF;
  return std::uint8_t((306u * r + 601u * g + 117u * b + 512u) >> 10);
}

}  // namespace

TGuiByteMapMemory::~TGuiByteMapMemory() { std::free(FDataPointer); }

void TGuiByteMapMemory::SizeChanged(std::int32_t Width, std::int32_t Height) {
  TGuiCustomByteMap::SizeChanged(Width, Height);
  AllocateStorage();
}

void TGuiByteMapMemory::HeightChanged(bool UpdateBitmap) {
  TGuiCustomByteMap::HeightChanged(UpdateBitmap);
  if (!UpdateBitmap) return;
  Resized();
  AllocateStorage();
}

void TGuiByteMapMemory::WidthChanged(bool UpdateBitmap) {
  TGuiCustomByteMap::WidthChanged(UpdateBitmap);
  if (!UpdateBitmap) return;
  Resized();
  AllocateStorage();
}

void TGuiByteMapMemory::AllocateStorage() {
  const std::int32_t newSize = StorageBytes(FWidth, FHeight);
  if (newSize == FDataSize) return;
  if (newSize == 0) {
    std::free(FDataPointer);
    FDataPointer = nullptr;
    FDataSize = 0;
    return;
  }
  void* block = std::realloc(FDataPointer, std::size_t(newSize));
  if (block == nullptr) {
    // Out of memory: become an empty map rather than one whose size does
    // not match its storage.
    std::free(FDataPointer);
    FDataPointer = nullptr;
    FDataSize = 0;
    FWidth = 0;
    FHeight = 0;
    WidthChanged(false);
    HeightChanged(false);
    throw std::bad_alloc();
  }
  FDataPointer = static_cast<std::uint8_t*>(block);
  FDataSize = newSize;
  Clear();
}

void TGuiByteMapMemory::Draw(const TRasterView& Bitmap, std::int32_t, std::int32_t) {
  if (Bitmap.Height <= 0 || Bitmap.Bits == nullptr || FDataPointer == nullptr) return;
  const std::int32_t rows = std::min(Bitmap.Height, FHeight);
  const std::int32_t columns = std::min(Bitmap.Width, FWidth);
  for (std::int32_t y = 0; y < rows; ++y) {
    std::uint8_t* dest = GetScanLine(y);
    if (Bitmap.Format == TRasterFormat::rfGrey8) {
      std::memcpy(dest, Bitmap.Row(y), std::size_t(columns));
      continue;
    }
    for (std::int32_t x = 0; x < columns; ++x) dest[x] = Luma(ReadRasterPixel(Bitmap, x, y));
  }
}

void TGuiByteMapMemory::PaintTo(TCanvas& Canvas, std::int32_t X, std::int32_t Y) {
  PaintTo(Canvas, TRect{0, 0, FWidth, FHeight}, X, Y);
}

void TGuiByteMapMemory::PaintTo(TCanvas& Canvas, const TRect& Rect, std::int32_t X, std::int32_t Y) {
  if (FDataPointer == nullptr) return;
  const std::int32_t width = std::min(FWidth, Rect.Width());
  const std::int32_t height = std::min(FHeight, Rect.Height());
  if (width <= 0 || height <= 0) return;
  if (Canvas.DrawRaster(RasterView(), Rect.Left, Rect.Top, width, height, X, Y)) return;
  // Refused: retry once with a copy in a bitmap of the platform's layout.
  TMemoryBitmap copy(FWidth, FHeight, TRasterFormat::rfGrey8);
  for (std::int32_t row = 0; row < FHeight; ++row)
    std::memcpy(copy.Bits() + std::int64_t(row) * copy.RowBytes(), GetScanLine(row), std::size_t(FWidth));
  Canvas.DrawRaster(copy.View(), Rect.Left, Rect.Top, width, height, X, Y);
}

void TGuiByteMapMemory::Resize(std::int32_t Width, std::int32_t Height) {
  if (Width < 0) throw EGuiError(TErrorCode::ecWidthNegative);
  if (Height < 0) throw EGuiError(TErrorCode::ecHeightNegative);
  if (Width == FWidth && Height == FHeight) return;
  const std::int32_t newSize = StorageBytes(Width, Height);
  std::uint8_t* block = AllocateBytes(newSize);
  CopyTopLeft(FDataPointer, FWidth, FHeight, block, Width, Height);
  std::free(FDataPointer);
  FDataPointer = block;
  FWidth = Width;
  FHeight = Height;
  FBitmapInfo.Header.biWidth = Width;
  FBitmapInfo.Header.biHeight = -Height;
  FDataSize = newSize;
}

void TGuiByteMapMemory::Turn(bool CounterClockwise) {
  if (FDataPointer != nullptr) {
    std::uint8_t* block = AllocateBytes(FDataSize);
    TurnInto(FDataPointer, block, CounterClockwise);
    std::free(FDataPointer);
    FDataPointer = block;
  }
  std::swap(FWidth, FHeight);
  FBitmapInfo.Header.biWidth = FWidth;
  FBitmapInfo.Header.biHeight = -FHeight;
}

}  // namespace vb
