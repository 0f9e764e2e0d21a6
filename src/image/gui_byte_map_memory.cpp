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

std::int32_t StorageBytes(std::int32_t width, std::int32_t height) {
  const std::int64_t bytes = std::int64_t(width) * std::int64_t(height);
  Assert(bytes >= 0 && bytes <= 0x7FFFFFFF, kUnit, "Invalid storage size");
  return std::int32_t(bytes);
}

std::uint8_t* AllocateBytes(std::int32_t bytes) {
  if (bytes == 0) return nullptr;
  // Cleared: areas a resize does not copy into read as 0 rather than as
  // whatever the heap held.
  void* block = std::calloc(std::size_t(bytes), 1);
  if (block == nullptr) throw std::bad_alloc();
  return static_cast<std::uint8_t*>(block);
}

std::uint8_t Luma(std::uint32_t argb) {
  const std::uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  return std::uint8_t((306u * r + 601u * g + 117u * b + 512u) >> 10);
}

}  // namespace

TGuiByteMapMemory::~TGuiByteMapMemory() { std::free(FDataPointer); }

void TGuiByteMapMemory::SizeChanged(std::int32_t width, std::int32_t height) {
  TGuiCustomByteMap::SizeChanged(width, height);
  AllocateStorage();
}

void TGuiByteMapMemory::HeightChanged(bool updateBitmap) {
  TGuiCustomByteMap::HeightChanged(updateBitmap);
  if (!updateBitmap) return;
  Resized();
  AllocateStorage();
}

void TGuiByteMapMemory::WidthChanged(bool updateBitmap) {
  TGuiCustomByteMap::WidthChanged(updateBitmap);
  if (!updateBitmap) return;
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

void TGuiByteMapMemory::Draw(const TRasterView& bitmap, std::int32_t, std::int32_t) {
  if (bitmap.Height <= 0 || bitmap.Bits == nullptr || FDataPointer == nullptr) return;
  const std::int32_t rows = std::min(bitmap.Height, FHeight);
  const std::int32_t columns = std::min(bitmap.Width, FWidth);
  for (std::int32_t y = 0; y < rows; ++y) {
    std::uint8_t* dest = GetScanLine(y);
    if (bitmap.Format == TRasterFormat::rfGrey8) {
      std::memcpy(dest, bitmap.Row(y), std::size_t(columns));
      continue;
    }
    for (std::int32_t x = 0; x < columns; ++x) dest[x] = Luma(ReadRasterPixel(bitmap, x, y));
  }
}

void TGuiByteMapMemory::PaintTo(TCanvas& canvas, std::int32_t x, std::int32_t y) {
  PaintTo(canvas, TRect{0, 0, FWidth, FHeight}, x, y);
}

void TGuiByteMapMemory::PaintTo(TCanvas& canvas, const TRect& rect, std::int32_t x, std::int32_t y) {
  if (FDataPointer == nullptr) return;
  const std::int32_t width = std::min(FWidth, rect.Width());
  const std::int32_t height = std::min(FHeight, rect.Height());
  if (width <= 0 || height <= 0) return;
  if (canvas.DrawRaster(RasterView(), rect.Left, rect.Top, width, height, x, y)) return;
  // Refused: retry once with a copy in a bitmap of the platform's layout.
  TMemoryBitmap copy(FWidth, FHeight, TRasterFormat::rfGrey8);
  for (std::int32_t row = 0; row < FHeight; ++row)
    std::memcpy(copy.Bits() + std::int64_t(row) * copy.RowBytes(), GetScanLine(row), std::size_t(FWidth));
  canvas.DrawRaster(copy.View(), rect.Left, rect.Top, width, height, x, y);
}

void TGuiByteMapMemory::Resize(std::int32_t width, std::int32_t height) {
  if (width < 0) throw EGuiError(TErrorCode::ecWidthNegative);
  if (height < 0) throw EGuiError(TErrorCode::ecHeightNegative);
  if (width == FWidth && height == FHeight) return;
  const std::int32_t newSize = StorageBytes(width, height);
  std::uint8_t* block = AllocateBytes(newSize);
  CopyTopLeft(FDataPointer, FWidth, FHeight, block, width, height);
  std::free(FDataPointer);
  FDataPointer = block;
  FWidth = width;
  FHeight = height;
  FBitmapInfo.Header.biWidth = width;
  FBitmapInfo.Header.biHeight = -height;
  FDataSize = newSize;
}

void TGuiByteMapMemory::Turn(bool counterClockwise) {
  if (FDataPointer != nullptr) {
    std::uint8_t* block = AllocateBytes(FDataSize);
    TurnInto(FDataPointer, block, counterClockwise);
    std::free(FDataPointer);
    FDataPointer = block;
  }
  std::swap(FWidth, FHeight);
  FBitmapInfo.Header.biWidth = FWidth;
  FBitmapInfo.Header.biHeight = -FHeight;
}

}  // namespace vb
