#include "image/gui_custom_byte_map.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "error/error.h"
#include "image/bitmap_file.h"
#include "image/file_format_registry.h"
#include "platform/memory_canvas.h"

namespace vb {

namespace {
constexpr const char* kUnit = "gui_custom_byte_map";
}

TGuiCustomByteMap::TGuiCustomByteMap() {
  FBitmapInfo.Header.biBitCount = 8;
  for (std::uint32_t i = 0; i < 256; ++i) FBitmapInfo.Colors[i] = i | (i << 8) | (i << 16);
}

TGuiCustomByteMap::~TGuiCustomByteMap() = default;

TRasterView TGuiCustomByteMap::RasterView() const {
  TRasterView view;
  view.Bits = FDataPointer;
  view.Width = FDataPointer ? FWidth : 0;
  view.Height = FDataPointer ? FHeight : 0;
  view.RowBytes = FWidth;
  view.Format = TRasterFormat::rfGrey8;
  return view;
}

void TGuiCustomByteMap::Clear() { Clear(0); }

void TGuiCustomByteMap::Clear(std::uint8_t data) {
  if (FDataPointer != nullptr) std::memset(FDataPointer, data, std::size_t(FDataSize));
}

void TGuiCustomByteMap::Multiply(std::uint8_t factor) {
  for (std::int32_t i = 0; i < FDataSize; ++i)
    FDataPointer[i] = std::uint8_t((std::uint32_t(FDataPointer[i]) * factor + 128) >> 8);
}

// --- drawing -------------------------------------------------------------------------

void TGuiCustomByteMap::FillRect(const TRect& rect, std::uint8_t data) {
  const TRect area = Intersection(rect, ClientRect());
  if (area.IsEmpty() || FDataPointer == nullptr) return;
  for (std::int32_t y = area.Top; y < area.Bottom; ++y) std::memset(GetScanLine(y) + area.Left, data, area.Width());
}

void TGuiCustomByteMap::FrameRect(const TRect& rect, std::uint8_t data) {
  HorizontalLine(rect.Left, rect.Right, rect.Top, data);
  HorizontalLine(rect.Left, rect.Right, rect.Bottom - 1, data);
  VerticalLine(rect.Left, rect.Top + 1, rect.Bottom - 1, data);
  VerticalLine(rect.Right - 1, rect.Top + 1, rect.Bottom - 1, data);
}

void TGuiCustomByteMap::HorizontalLine(std::int32_t fromX, std::int32_t toX, std::int32_t y, std::uint8_t data) {
  if (fromX > toX) std::swap(fromX, toX);
  FillRect(TRect{fromX, y, toX, y + 1}, data);
}

void TGuiCustomByteMap::HorizontalLine(std::int32_t fromX, std::int32_t toX, std::int32_t y, std::uint8_t fromData,
                                       std::uint8_t toData) {
  if (fromX > toX) std::swap(fromX, toX);
  if (fromX == toX || y < 0 || y >= FHeight || FDataPointer == nullptr) return;
  const double difference = double(toData) - double(fromData);
  const float step = 1.0f / float(toX - fromX);
  float t = 0.0f;
  for (std::int32_t x = fromX; x < toX; ++x) {
    if (x >= 0 && x < FWidth) SetValue(x, y, std::uint8_t(std::trunc(double(fromData) + double(t) * difference)));
    t = t + step;
  }
}

void TGuiCustomByteMap::VerticalLine(std::int32_t x, std::int32_t fromY, std::int32_t toY, std::uint8_t data) {
  FillRect(TRect{x, std::min(fromY, toY), x + 1, std::max(fromY, toY)}, data);
}

void TGuiCustomByteMap::Line(std::int32_t fromX, std::int32_t fromY, std::int32_t toX, std::int32_t toY,
                             std::uint8_t data) {
  if (fromY == toY) return HorizontalLine(fromX, toX, fromY, data);
  if (fromX == toX) return VerticalLine(fromX, fromY, toY, data);
  if (FDataPointer == nullptr) return;
  WalkLine(fromX, fromY, toX, toY, [&](std::int32_t x, std::int32_t y) { SetValue(x, y, data); });
}

void TGuiCustomByteMap::Draw(const TGuiCustomByteMap& byteMap, std::uint8_t alpha) { Draw(byteMap, 0, 0, alpha); }

void TGuiCustomByteMap::Draw(const TGuiCustomByteMap& byteMap, std::int32_t x, std::int32_t y) {
  const TRect area = ClipPlacement(x, y, byteMap.Width(), byteMap.Height());
  if (area.IsEmpty() || byteMap.DataPointer() == nullptr || FDataPointer == nullptr) return;
  for (std::int32_t row = area.Top; row < area.Bottom; ++row)
    std::memmove(GetScanLine(row) + area.Left, byteMap.GetScanLine(row - y) + (area.Left - x), area.Width());
}

void TGuiCustomByteMap::Draw(const TGuiCustomByteMap& byteMap, std::int32_t x, std::int32_t y, std::uint8_t) {
  Draw(byteMap, x, y);
}

void TGuiCustomByteMap::DrawTransparent(const TGuiCustomByteMap& byteMap) { Draw(byteMap, 0, 0); }

void TGuiCustomByteMap::DrawTransparent(const TGuiCustomByteMap& byteMap, std::int32_t x, std::int32_t y) {
  Draw(byteMap, x, y);
}

// --- rotation and copying helpers --------------------------------------------------

void TGuiCustomByteMap::TurnInto(const std::uint8_t* source, std::uint8_t* dest, bool counterClockwise) const {
  for (std::int32_t y = 0; y < FHeight; ++y)
    for (std::int32_t x = 0; x < FWidth; ++x) {
      const std::int32_t nx = counterClockwise ? y : FHeight - 1 - y;
      const std::int32_t ny = counterClockwise ? FWidth - 1 - x : x;
      dest[nx + std::int64_t(ny) * FHeight] = source[x + std::int64_t(y) * FWidth];
    }
}

void TGuiCustomByteMap::CopyTopLeft(const std::uint8_t* source, std::int32_t sourceWidth, std::int32_t sourceHeight,
                                    std::uint8_t* dest, std::int32_t destWidth, std::int32_t destHeight) {
  if (source == nullptr || dest == nullptr) return;
  const std::int32_t columns = std::min(sourceWidth, destWidth);
  const std::int32_t rows = std::min(sourceHeight, destHeight);
  for (std::int32_t y = 0; y < rows; ++y)
    std::memcpy(dest + std::int64_t(y) * destWidth, source + std::int64_t(y) * sourceWidth, std::size_t(columns));
}

// --- transfer and persistence -------------------------------------------------------

void TGuiCustomByteMap::Assign(const TGuiCustomByteMap& source) {
  if (&source == this) return;
  SetSize(source.Width(), source.Height());
  FBitmapInfo.Header = source.FBitmapInfo.Header;
  Assert(FDataSize == source.FDataSize, kUnit, "Storage sizes differ");
  if (FDataSize > 0) std::memcpy(FDataPointer, source.FDataPointer, std::size_t(FDataSize));
  FOnChange = source.FOnChange;
  FOnResize = source.FOnResize;
}

void TGuiCustomByteMap::Assign(const TRasterView& bitmap) {
  SetSize(bitmap.Width, bitmap.Height);
  Draw(bitmap);
  Changed();
}

bool TGuiCustomByteMap::Equals(const TGuiCustomByteMap& other) const {
  if (&other == this) return true;
  if (other.FWidth != FWidth || other.FHeight != FHeight || other.FDataSize != FDataSize) return false;
  return FDataSize == 0 || std::memcmp(FDataPointer, other.FDataPointer, std::size_t(FDataSize)) == 0;
}

void TGuiCustomByteMap::LoadFromStream(TStream& stream) {
  if (const TGuiFileFormatClassRef formatClass = FindFileFormatByStream(stream)) {
    const std::unique_ptr<TGuiCustomFileFormat> format = formatClass->Create();
    format->LoadFromStream(stream);
    format->AssignTo(*this);
    return;
  }
  TBitmapFileReader reader(stream);
  SetSize(reader.Width(), reader.Height());
  Assert(std::int64_t(FDataSize) == std::int64_t(reader.Width()) * reader.Height(), kUnit,
         "Storage size differs from the bitmap");
  if (FDataPointer != nullptr)
    for (std::int32_t y = 0; y < FHeight; ++y) reader.ReadRowGrey(y, GetScanLine(y));
  Changed();
}

void TGuiCustomByteMap::SaveToStream(TStream& stream) const {
  std::uint8_t table[256 * 4];
  for (std::size_t i = 0; i < 256; ++i) {
    const std::uint32_t c = FBitmapInfo.Colors[i];
    table[4 * i] = std::uint8_t(c);
    table[4 * i + 1] = std::uint8_t(c >> 8);
    table[4 * i + 2] = std::uint8_t(c >> 16);
    table[4 * i + 3] = 0;
  }
  TBitmapInfoHeader header = FBitmapInfo.Header;
  header.biWidth = FWidth;
  header.biHeight = -FHeight;
  WriteBitmapFile(stream, header, table, sizeof table, FDataPointer, FWidth, FDataPointer ? FHeight : 0);
}

void TGuiCustomByteMap::ReadData(TStream& stream) {
  try {
    const std::int32_t width = ReadInt32LE(stream);
    const std::int32_t height = ReadInt32LE(stream);
    CheckBitmapSize(width, height);
    SetSize(width, height);
    Assert(std::int64_t(FDataSize) == std::int64_t(width) * height, kUnit, "Storage size differs from the data");
    stream.ReadBuffer(FDataPointer, FDataSize);
  } catch (...) {
    Changed();
    throw;
  }
  Changed();
}

void TGuiCustomByteMap::WriteData(TStream& stream) const {
  Assert(std::int64_t(FDataSize) == std::int64_t(FWidth) * FHeight, kUnit, "Storage size differs from the size");
  WriteInt32LE(stream, FWidth);
  WriteInt32LE(stream, FHeight);
  stream.WriteBuffer(FDataPointer, FDataSize);
}

bool TGuiCustomByteMap::ShouldStoreData(const TGuiCustomMap* ancestor) const {
  if (FDataSize == 0) return false;
  const auto* other = dynamic_cast<const TGuiCustomByteMap*>(ancestor);
  return other == nullptr || !Equals(*other);
}

void TGuiCustomByteMap::CheckStorageSize(std::int32_t width, std::int32_t height) const {
  Assert(std::int64_t(width) * std::int64_t(height) <= 0x7FFFFFFF, kUnit, "Invalid storage size");
}

void TGuiCustomByteMap::HeightChanged(bool) { FBitmapInfo.Header.biHeight = -FHeight; }

void TGuiCustomByteMap::WidthChanged(bool) { FBitmapInfo.Header.biWidth = FWidth; }

}  // namespace vb
