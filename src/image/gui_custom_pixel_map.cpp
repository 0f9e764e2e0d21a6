#include "image/gui_custom_pixel_map.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

#include "error/error.h"
#include "image/bitmap_file.h"
#include "image/file_format_registry.h"
#include "image/gui_custom_byte_map.h"
#include "image/pixel_blend.h"
#include "platform/memory_canvas.h"

namespace vb {

namespace {

constexpr const char* kUnit = "gui_custom_pixel_map";

// Calls FinishBlend when a blending run ends, also when it ends by an error.
struct TBlendRun {
  TBlendRun() = default;
  TBlendRun(const TBlendRun&) = delete;
  TBlendRun& operator=(const TBlendRun&) = delete;
  ~TBlendRun() { FinishBlend(); }
};

}  // namespace

TGuiCustomPixelMap::TGuiCustomPixelMap() { FBitmapInfo.biBitCount = 32; }

TGuiCustomPixelMap::~TGuiCustomPixelMap() = default;

// --- pixel access ---------------------------------------------------------------

TPixel32 TGuiCustomPixelMap::GetPixel(std::int32_t x, std::int32_t y) const { return *GetPixelPointer(x, y); }

void TGuiCustomPixelMap::SetPixel(std::int32_t x, std::int32_t y, TPixel32 value) {
  TPixel32* p = GetPixelPointer(x, y);
  TBlendRun run;
  BlendPixelTo(value, *p);
}

TPixel32* TGuiCustomPixelMap::GetPixelPointer(std::int32_t x, std::int32_t y) const {
  Assert(x >= 0 && x < FWidth && y >= 0 && y < FHeight && FDataPointer != nullptr, kUnit, "Pixel outside the map");
  return FDataPointer + x + std::int64_t(y) * FWidth;
}

TPixel32* TGuiCustomPixelMap::GetScanLine(std::int32_t y) const {
  Assert(y >= 0 && y < FHeight && FDataPointer != nullptr, kUnit, "Scan line outside the map");
  return FDataPointer + std::int64_t(y) * FWidth;
}

TRasterView TGuiCustomPixelMap::RasterView() const {
  TRasterView view;
  view.Bits = FDataPointer;
  view.Width = FDataPointer ? FWidth : 0;
  view.Height = FDataPointer ? FHeight : 0;
  view.RowBytes = FWidth * 4;
  view.Format = TRasterFormat::rfBGRA32;
  return view;
}

// --- filling ----------------------------------------------------------------------

void TGuiCustomPixelMap::Clear() {
  if (FDataPointer != nullptr) std::memset(FDataPointer, 0, std::size_t(FDataSize));
}

void TGuiCustomPixelMap::Clear(TColor color) { Clear(ColorToPixel(color)); }

void TGuiCustomPixelMap::Clear(TPixel32 color) {
  if (FDataPointer != nullptr) std::fill_n(FDataPointer, std::size_t(FDataSize / 4), color);
}

void TGuiCustomPixelMap::MakeOpaque() { ResetAlpha(0xFF); }

void TGuiCustomPixelMap::ResetAlpha(std::uint8_t value) {
  if (FDataPointer == nullptr) return;
  const std::size_t count = std::size_t(FDataSize / 4);
  for (std::size_t i = 0; i < count; ++i) FDataPointer[i].A = value;
}

void TGuiCustomPixelMap::FillRect(const TRect& rect, TPixel32 color) {
  FillRect(rect.Left, rect.Top, rect.Right, rect.Bottom, color);
}

void TGuiCustomPixelMap::FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                                  TPixel32 color) {
  // Kept inside the map: a rectangle reaching outside must not write beyond
  // the storage.
  const TRect area = Intersection(TRect{left, top, right, bottom}, ClientRect());
  if (area.IsEmpty()) return;
  if (color.A == 0xFF) {
    for (std::int32_t y = area.Top; y < area.Bottom; ++y) std::fill_n(GetScanLine(y) + area.Left, area.Width(), color);
    return;
  }
  TBlendRun run;
  for (std::int32_t y = area.Top; y < area.Bottom; ++y) BlendColorRun(color, GetScanLine(y) + area.Left, area.Width());
}

void TGuiCustomPixelMap::FrameRect(const TRect& rect, TPixel32 color) {
  HorizontalLine(rect.Left, rect.Right, rect.Top, color);
  HorizontalLine(rect.Left, rect.Right, rect.Bottom - 1, color);
  VerticalLine(rect.Left, rect.Top + 1, rect.Bottom - 1, color);
  VerticalLine(rect.Right - 1, rect.Top + 1, rect.Bottom - 1, color);
}

void TGuiCustomPixelMap::HorizontalLine(std::int32_t fromX, std::int32_t toX, std::int32_t y, TPixel32 color) {
  if (fromX > toX) std::swap(fromX, toX);
  if (y < 0 || y >= FHeight) return;
  fromX = std::max(fromX, 0);
  toX = std::min(toX, FWidth);
  if (fromX >= toX) return;
  TBlendRun run;
  BlendColorRun(color, GetScanLine(y) + fromX, toX - fromX);
}

void TGuiCustomPixelMap::HorizontalLine(std::int32_t fromX, std::int32_t toX, std::int32_t y, TPixel32 fromColor,
                                        TPixel32 toColor) {
  if (fromX > toX) std::swap(fromX, toX);
  if (fromX == toX) return;
  const float step = 1.0f / float(toX - fromX);
  float t = 0.0f;
  for (std::int32_t x = fromX; x < toX; ++x) {
    // Weight 0..255 rounded to the nearest, ties to even (the default
    // floating-point rounding mode).
    const std::uint32_t weight = std::uint32_t(std::lrint(double(t) * 255.0));
    if (x >= 0 && x < FWidth && y >= 0 && y < FHeight) {
      TBlendRun run;
      BlendPixelTo(MixPixel(toColor, fromColor, weight), *GetPixelPointer(x, y));
    }
    t = t + step;
  }
}

void TGuiCustomPixelMap::VerticalLine(std::int32_t x, std::int32_t fromY, std::int32_t toY, TPixel32 color) {
  const std::int32_t first = std::max(std::min(fromY, toY), 0);
  const std::int32_t last = std::min(std::max(fromY, toY), FHeight);  // exclusive
  if (x < 0 || x >= FWidth || first >= last) return;
  TBlendRun run;
  for (std::int32_t y = first; y < last; ++y) BlendPixelTo(color, FDataPointer[x + std::int64_t(y) * FWidth]);
}

void TGuiCustomPixelMap::Line(std::int32_t fromX, std::int32_t fromY, std::int32_t toX, std::int32_t toY,
                              TPixel32 color) {
  if (fromY == toY) return HorizontalLine(fromX, toX, fromY, color);
  if (fromX == toX) return VerticalLine(fromX, fromY, toY, color);
  TBlendRun run;
  WalkLine(fromX, fromY, toX, toY, [&](std::int32_t x, std::int32_t y) {
    BlendPixelTo(color, FDataPointer[x + std::int64_t(y) * FWidth]);
  });
}

// --- drawing other images --------------------------------------------------------

void TGuiCustomPixelMap::Draw(const TGuiCustomPixelMap& pixelMap, std::uint8_t alpha) { Draw(pixelMap, 0, 0, alpha); }

void TGuiCustomPixelMap::Draw(const TGuiCustomPixelMap& pixelMap, std::int32_t x, std::int32_t y) {
  const TRect area = ClipPlacement(x, y, pixelMap.Width(), pixelMap.Height());
  if (area.IsEmpty() || pixelMap.DataPointer() == nullptr) return;
  TBlendRun run;
  for (std::int32_t row = area.Top; row < area.Bottom; ++row)
    BlendRow(pixelMap.GetScanLine(row - y) + (area.Left - x), GetScanLine(row) + area.Left, area.Width());
}

void TGuiCustomPixelMap::Draw(const TGuiCustomPixelMap& pixelMap, std::int32_t x, std::int32_t y, std::uint8_t alpha) {
  const TRect area = ClipPlacement(x, y, pixelMap.Width(), pixelMap.Height());
  if (area.IsEmpty() || pixelMap.DataPointer() == nullptr) return;
  TBlendRun run;
  for (std::int32_t row = area.Top; row < area.Bottom; ++row)
    MixRow(pixelMap.GetScanLine(row - y) + (area.Left - x), GetScanLine(row) + area.Left, area.Width(), alpha);
}

void TGuiCustomPixelMap::DrawTransparent(const TGuiCustomPixelMap& pixelMap) { DrawTransparent(pixelMap, 0, 0); }

void TGuiCustomPixelMap::DrawTransparent(const TGuiCustomPixelMap& pixelMap, std::int32_t x, std::int32_t y) {
  Draw(pixelMap, x, y);
}

void TGuiCustomPixelMap::DrawByteMap(const TGuiCustomByteMap& byteMap, TPixel32 color) {
  DrawByteMap(byteMap, color, 0, 0);
}

void TGuiCustomPixelMap::DrawByteMap(const TGuiCustomByteMap& byteMap, TPixel32 color, std::int32_t x, std::int32_t y) {
  DrawByteMap(byteMap, color,
              TRect{x, y, std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max()});
}

void TGuiCustomPixelMap::DrawByteMap(const TGuiCustomByteMap& byteMap, TPixel32 color, const TRect& rect) {
  const std::int32_t x = rect.Left;
  const std::int32_t y = rect.Top;
  TRect area = ClipPlacement(x, y, byteMap.Width(), byteMap.Height());
  area.Right = std::min(area.Right, rect.Right);
  area.Bottom = std::min(area.Bottom, rect.Bottom);
  if (area.IsEmpty() || byteMap.DataPointer() == nullptr) return;
  TBlendRun run;
  for (std::int32_t row = area.Top; row < area.Bottom; ++row) {
    const std::uint8_t* coverage = byteMap.GetScanLine(row - y) + (area.Left - x);
    TPixel32* dest = GetScanLine(row) + area.Left;
    for (std::int32_t i = 0; i < area.Width(); ++i) {
      TPixel32 pixel = color;
      pixel.A = std::uint8_t((std::uint32_t(coverage[i]) * color.A) >> 8);
      BlendPixelTo(pixel, dest[i]);
    }
  }
}

void TGuiCustomPixelMap::CopyParentImage(TControlBackdrop& control) {
  if (!control.HasParent() || FWidth == 0 || FHeight == 0) return;
  TMemoryBitmap bitmap(FWidth, FHeight, TRasterFormat::rfBGRA32);
  control.PaintBackdrop(bitmap.Canvas());
  Draw(bitmap.View());
}

// --- transfer ----------------------------------------------------------------------

void TGuiCustomPixelMap::Assign(const TGuiCustomPixelMap& source) {
  if (&source == this) return;
  SetSize(source.Width(), source.Height());
  FBitmapInfo = source.FBitmapInfo;
  Assert(FDataSize == source.FDataSize, kUnit, "Storage sizes differ");
  if (FDataSize > 0) std::memcpy(FDataPointer, source.FDataPointer, std::size_t(FDataSize));
  FOnChange = source.FOnChange;
  FOnResize = source.FOnResize;
}

void TGuiCustomPixelMap::Assign(const TRasterView& bitmap) {
  SetSize(bitmap.Width, bitmap.Height);
  Draw(bitmap);
  Changed();
}

bool TGuiCustomPixelMap::Equals(const TGuiCustomPixelMap& other) const {
  if (&other == this) return true;
  if (other.FWidth != FWidth || other.FHeight != FHeight || other.FDataSize != FDataSize) return false;
  return FDataSize == 0 || std::memcmp(FDataPointer, other.FDataPointer, std::size_t(FDataSize)) == 0;
}

// --- persistence ------------------------------------------------------------------

void TGuiCustomPixelMap::LoadFromStream(TStream& stream) {
  if (const TGuiFileFormatClassRef formatClass = FindFileFormatByStream(stream)) {
    const std::unique_ptr<TGuiCustomFileFormat> format = formatClass->Create();
    format->LoadFromStream(stream);
    format->AssignTo(*this);
    return;
  }
  TBitmapFileReader reader(stream);  // raises "Invalid bitmap header found!"
  SetSize(reader.Width(), reader.Height());
  Assert(FDataSize == 4 * reader.Width() * reader.Height(), kUnit, "Storage size differs from the bitmap");
  // A file may describe an empty image (0 wide or 0 high): no rows then.
  if (FDataPointer != nullptr)
    for (std::int32_t y = 0; y < FHeight; ++y) reader.ReadRowBGRA(y, GetScanLine(y));
  Changed();
}

void TGuiCustomPixelMap::SaveToStream(TStream& stream) const {
  WriteBitmapFile(stream, FBitmapInfo, FDataPointer, FDataSize);
}

void TGuiCustomPixelMap::ReadData(TStream& stream) {
  // Listeners hear of the change also when reading stops part-way.
  try {
    const std::int32_t width = ReadInt32LE(stream);
    const std::int32_t height = ReadInt32LE(stream);
    CheckBitmapSize(width, height);
    SetSize(width, height);
    Assert(std::int64_t(FDataSize) == 4 * std::int64_t(width) * height, kUnit, "Storage size differs from the data");
    stream.ReadBuffer(FDataPointer, FDataSize);
  } catch (...) {
    Changed();
    throw;
  }
  Changed();
}

void TGuiCustomPixelMap::WriteData(TStream& stream) const {
  Assert(std::int64_t(FDataSize) == 4 * std::int64_t(FWidth) * FHeight, kUnit, "Storage size differs from the size");
  WriteInt32LE(stream, FWidth);
  WriteInt32LE(stream, FHeight);
  stream.WriteBuffer(FDataPointer, FDataSize);
}

bool TGuiCustomPixelMap::ShouldStoreData(const TGuiCustomMap* ancestor) const {
  if (FDataSize == 0) return false;
  const auto* other = dynamic_cast<const TGuiCustomPixelMap*>(ancestor);
  return other == nullptr || !Equals(*other);
}

// --- size reactions --------------------------------------------------------------

void TGuiCustomPixelMap::CheckStorageSize(std::int32_t width, std::int32_t height) const {
  Assert(4 * std::int64_t(width) * std::int64_t(height) <= 0x7FFFFFFF, kUnit, "Invalid storage size");
}

void TGuiCustomPixelMap::HeightChanged(bool) { FBitmapInfo.biHeight = -FHeight; }

void TGuiCustomPixelMap::WidthChanged(bool) { FBitmapInfo.biWidth = FWidth; }

}  // namespace vb
