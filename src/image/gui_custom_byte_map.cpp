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

void TGuiCustomByteMap::Clear(std::uint8_t Data) {
  if (FDataPointer != nullptr) std::memset(FDataPointer, Data, std::size_t(FDataSize));
}

void TGuiCustomByteMap::Multiply(std::uint8_t Factor) {
  for (std::int32_t i = 0; i < FDataSize; ++i)
    FDataPointer[i] = std::uint8_t((std::uint32_t(FDataPointer[i]) * Factor + 128) >> 8);
}

// --- drawing -------------------------------------------------------------------------

void TGuiCustomByteMap::FillRect(const TRect& Rect, std::uint8_t Data) {
  const TRect area = Intersection(Rect, ClientRect());
  if (area.IsEmpty() || FDataPointer == nullptr) return;
  for (std::int32_t y = area.Top; y < area.Bottom; ++y) std::memset(GetScanLine(y) + area.Left, Data, area.Width());
}

void TGuiCustomByteMap::FrameRect(const TRect& Rect, std::uint8_t Data) {
  HorizontalLine(Rect.Left, Rect.Right, Rect.Top, Data);
  HorizontalLine(Rect.Left, Rect.Right, Rect.Bottom - 1, Data);
  VerticalLine(Rect.Left, Rect.Top + 1, Rect.Bottom - 1, Data);
  VerticalLine(Rect.Right - 1, Rect.Top + 1, Rect.Bottom - 1, Data);
}

void TGuiCustomByteMap::HorizontalLine(std::int32_t FromX, std::int32_t ToX, std::int32_t Y, std::uint8_t Data) {
  if (FromX > ToX) std::swap(FromX, ToX);
  FillRect(TRect{FromX, Y, ToX, Y + 1}, Data);
}

void TGuiCustomByteMap::HorizontalLine(std::int32_t FromX, std::int32_t ToX, std::int32_t Y, std::uint8_t FromData,
                                       std::uint8_t ToData) {
  if (FromX > ToX) std::swap(FromX, ToX);
  if (FromX == ToX || Y < 0 || Y >= FHeight || FDataPointer == nullptr) return;
  const double difference = double(ToData) - double(FromData);
  const float step = 1.0f / float(ToX - FromX);
  float t = 0.0f;
  for (std::int32_t x = FromX; x < ToX; ++x) {
    if (x >= 0 && x < FWidth) SetValue(x, Y, std::uint8_t(std::trunc(double(FromData) + double(t) * difference)));
    t = t + step;
  }
}

void TGuiCustomByteMap::VerticalLine(std::int32_t X, std::int32_t FromY, std::int32_t ToY, std::uint8_t Data) {
  FillRect(TRect{X, std::min(FromY, ToY), X + 1, std::max(FromY, ToY)}, Data);
}

void TGuiCustomByteMap::Line(std::int32_t FromX, std::int32_t FromY, std::int32_t ToX, std::int32_t ToY,
                             std::uint8_t Data) {
  if (FromY == ToY) return HorizontalLine(FromX, ToX, FromY, Data);
  if (FromX == ToX) return VerticalLine(FromX, FromY, ToY, Data);
  if (FDataPointer == nullptr) return;
  WalkLine(FromX, FromY, ToX, ToY, [&](std::int32_t X, std::int32_t Y) { SetValue(X, Y, Data); });
}

void TGuiCustomByteMap::Draw(const TGuiCustomByteMap& ByteMap, std::uint8_t Alpha) { Draw(ByteMap, 0, 0, Alpha); }

void TGuiCustomByteMap::Draw(const TGuiCustomByteMap& ByteMap, std::int32_t X, std::int32_t Y) {
  const TRect area = ClipPlacement(X, Y, ByteMap.Width(), ByteMap.Height());
  if (area.IsEmpty() || ByteMap.DataPointer() == nullptr || FDataPointer == nullptr) return;
  for (std::int32_t row = area.Top; row < area.Bottom; ++row)
    std::memmove(GetScanLine(row) + area.Left, ByteMap.GetScanLine(row - Y) + (area.Left - X), area.Width());
}

void TGuiCustomByteMap::Draw(const TGuiCustomByteMap& ByteMap, std::int32_t X, std::int32_t Y, std::uint8_t) {
  Draw(ByteMap, X, Y);
}

void TGuiCustomByteMap::DrawTransparent(const TGuiCustomByteMap& ByteMap) { Draw(ByteMap, 0, 0); }

void TGuiCustomByteMap::DrawTransparent(const TGuiCustomByteMap& ByteMap, std::int32_t X, std::int32_t Y) {
  Draw(ByteMap, X, Y);
}

// --- rotation and copying helpers --------------------------------------------------

void TGuiCustomByteMap::TurnInto(const std::uint8_t* Source, std::uint8_t* Dest, bool CounterClockwise) const {
  for (std::int32_t y = 0; y < FHeight; ++y)
    for (std::int32_t x = 0; x < FWidth; ++x) {
      const std::int32_t nx = CounterClockwise ? y : FHeight - 1 - y;
      const std::int32_t ny = CounterClockwise ? FWidth - 1 - x : x;
      Dest[nx + std::int64_t(ny) * FHeight] = Source[x + std::int64_t(y) * FWidth];
    }
}

void TGuiCustomByteMap::CopyTopLeft(const std::uint8_t* Source, std::int32_t SourceWidth, std::int32_t SourceHeight,
                                    std::uint8_t* Dest, std::int32_t DestWidth, std::int32_t DestHeight) {
  if (Source == nullptr || Dest == nullptr) return;
  const std::int32_t columns = std::min(SourceWidth, DestWidth);
  const std::int32_t rows = std::min(SourceHeight, DestHeight);
  for (std::int32_t y = 0; y < rows; ++y)
    std::memcpy(Dest + std::int64_t(y) * DestWidth, Source + std::int64_t(y) * SourceWidth, std::size_t(columns));
}

// --- transfer and persistence -------------------------------------------------------

void TGuiCustomByteMap::Assign(const TGuiCustomByteMap& Source) {
  if (&Source == this) return;
  SetSize(Source.Width(), Source.Height());
  FBitmapInfo.Header = Source.FBitmapInfo.Header;
  Assert(FDataSize == Source.FDataSize, kUnit, "Storage sizes differ");
  if (FDataSize > 0) std::memcpy(FDataPointer, Source.FDataPointer, std::size_t(FDataSize));
  FOnChange = Source.FOnChange;
  FOnResize = Source.FOnResize;
}

void TGuiCustomByteMap::Assign(const TRasterView& Bitmap) {
  SetSize(Bitmap.Width, Bitmap.Height);
  Draw(Bitmap);
  Changed();
}

bool TGuiCustomByteMap::Equals(const TGuiCustomByteMap& Other) const {
  if (&Other == this) return true;
  if (Other.FWidth != FWidth || Other.FHeight != FHeight || Other.FDataSize != FDataSize) return false;
  return FDataSize == 0 || std::memcmp(FDataPointer, Other.FDataPointer, std::size_t(FDataSize)) == 0;
}

void TGuiCustomByteMap::LoadFromStream(TStream& Stream) {
  if (const TGuiFileFormatClassRef formatClass = FindFileFormatByStream(Stream)) {
    const std::unique_ptr<TGuiCustomFileFormat> format = formatClass->Create();
    format->LoadFromStream(Stream);
    format->AssignTo(*this);
    return;
  }
  TBitmapFileReader reader(Stream);
  SetSize(reader.Width(), reader.Height());
  Assert(std::int64_t(FDataSize) == std::int64_t(reader.Width()) * reader.Height(), kUnit,
         "Storage size differs from the bitmap");
  if (FDataPointer != nullptr)
    for (std::int32_t y = 0; y < FHeight; ++y) reader.ReadRowGrey(y, GetScanLine(y));
  Changed();
}

void TGuiCustomByteMap::SaveToStream(TStream& Stream) const {
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
  WriteBitmapFile(Stream, header, table, sizeof table, FDataPointer, FWidth, FDataPointer ? FHeight : 0);
}

void TGuiCustomByteMap::ReadData(TStream& Stream) {
  try {
    const std::int32_t width = ReadInt32LE(Stream);
    const std::int32_t height = ReadInt32LE(Stream);
    CheckBitmapSize(width, height);
    SetSize(width, height);
    Assert(std::int64_t(FDataSize) == std::int64_t(width) * height, kUnit, "Storage size differs from the data");
    Stream.ReadBuffer(FDataPointer, FDataSize);
  } catch (...) {
    Changed();
    throw;
  }
  Changed();
}

void TGuiCustomByteMap::WriteData(TStream& Stream) const {
  Assert(std::int64_t(FDataSize) == std::int64_t(FWidth) * FHeight, kUnit, "Storage size differs from the size");
  WriteInt32LE(Stream, FWidth);
  WriteInt32LE(Stream, FHeight);
  Stream.WriteBuffer(FDataPointer, FDataSize);
}

bool TGuiCustomByteMap::ShouldStoreData(const TGuiCustomMap* Ancestor) const {
  if (FDataSize == 0) return false;
  const auto* other = dynamic_cast<const TGuiCustomByteMap*>(Ancestor);
  return other == nullptr || !Equals(*other);
}

void TGuiCustomByteMap::CheckStorageSize(std::int32_t Width, std::int32_t Height) const {
  Assert(std::int64_t(Width) * std::int64_t(Height) <= 0x7FFFFFFF, kUnit, "Invalid storage size");
}

void TGuiCustomByteMap::HeightChanged(bool) { FBitmapInfo.Header.biHeight = -FHeight; }

void TGuiCustomByteMap::WidthChanged(bool) { FBitmapInfo.Header.biWidth = FWidth; }

}  // namespace vb
