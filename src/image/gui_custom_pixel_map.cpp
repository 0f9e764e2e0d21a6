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

TPixel32 TGuiCustomPixelMap::GetPixel(std::int32_t X, std::int32_t Y) const { return *GetPixelPointer(X, Y); }

void TGuiCustomPixelMap::SetPixel(std::int32_t X, std::int32_t Y, TPixel32 Value) {
  TPixel32* p = GetPixelPointer(X, Y);
  TBlendRun run;
  BlendPixelTo(Value, *p);
}

TPixel32* TGuiCustomPixelMap::GetPixelPointer(std::int32_t X, std::int32_t Y) const {
  Assert(X >= 0 && X < FWidth && Y >= 0 && Y < FHeight && FDataPointer != nullptr, kUnit, "Pixel outside the map");
  return FDataPointer + X + std::int64_t(Y) * FWidth;
}

TPixel32* TGuiCustomPixelMap::GetScanLine(std::int32_t Y) const {
  Assert(Y >= 0 && Y < FHeight && FDataPointer != nullptr, kUnit, "Scan line outside the map");
  return FDataPointer + std::int64_t(Y) * FWidth;
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

void TGuiCustomPixelMap::Clear(TColor Color) { Clear(ColorToPixel(Color)); }

void TGuiCustomPixelMap::Clear(TPixel32 Color) {
  if (FDataPointer != nullptr) std::fill_n(FDataPointer, std::size_t(FDataSize / 4), Color);
}

void TGuiCustomPixelMap::MakeOpaque() { ResetAlpha(0xFF); }

void TGuiCustomPixelMap::ResetAlpha(std::uint8_t Value) {
  if (FDataPointer == nullptr) return;
  const std::size_t count = std::size_t(FDataSize / 4);
  for (std::size_t i = 0; i < count; ++i) FDataPointer[i].A = Value;
}

void TGuiCustomPixelMap::FillRect(const TRect& Rect, TPixel32 Color) {
  FillRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, Color);
}

void TGuiCustomPixelMap::FillRect(std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom,
                                  TPixel32 Color) {
  // Kept inside the map: a rectangle reaching outside must not write beyond
  // the storage.
  const TRect area = Intersection(TRect{Left, Top, Right, Bottom}, ClientRect());
  if (area.IsEmpty()) return;
  if (Color.A == 0xFF) {
    for (std::int32_t y = area.Top; y < area.Bottom; ++y) std::fill_n(GetScanLine(y) + area.Left, area.Width(), Color);
    return;
  }
  TBlendRun run;
  for (std::int32_t y = area.Top; y < area.Bottom; ++y) BlendColorRun(Color, GetScanLine(y) + area.Left, area.Width());
}

void TGuiCustomPixelMap::FrameRect(const TRect& Rect, TPixel32 Color) {
  HorizontalLine(Rect.Left, Rect.Right, Rect.Top, Color);
  HorizontalLine(Rect.Left, Rect.Right, Rect.Bottom - 1, Color);
  VerticalLine(Rect.Left, Rect.Top + 1, Rect.Bottom - 1, Color);
  VerticalLine(Rect.Right - 1, Rect.Top + 1, Rect.Bottom - 1, Color);
}

void TGuiCustomPixelMap::HorizontalLine(std::int32_t FromX, std::int32_t ToX, std::int32_t Y, TPixel32 Color) {
  if (FromX > ToX) std::swap(FromX, ToX);
  if (Y < 0 || Y >= FHeight) return;
  FromX = std::max(FromX, 0);
  ToX = std::min(ToX, FWidth);
  if (FromX >= ToX) return;
  TBlendRun run;
  BlendColorRun(Color, GetScanLine(Y) + FromX, ToX - FromX);
}

void TGuiCustomPixelMap::HorizontalLine(std::int32_t FromX, std::int32_t ToX, std::int32_t Y, TPixel32 FromColor,
                                        TPixel32 ToColor) {
  if (FromX > ToX) std::swap(FromX, ToX);
  if (FromX == ToX) return;
  const float step = 1.0f / float(ToX - FromX);
  float t = 0.0f;
  for (std::int32_t x = FromX; x < ToX; ++x) {
    // Weight 0..255 rounded to the nearest, ties to even (the default
    // floating-point rounding mode).
    const std::uint32_t weight = std::uint32_t(std::lrint(double(t) * 255.0));
    if (x >= 0 && x < FWidth && Y >= 0 && Y < FHeight) {
      TBlendRun run;
      BlendPixelTo(MixPixel(ToColor, FromColor, weight), *GetPixelPointer(x, Y));
    }
    t = t + step;
  }
}

void TGuiCustomPixelMap::VerticalLine(std::int32_t X, std::int32_t FromY, std::int32_t ToY, TPixel32 Color) {
  const std::int32_t first = std::max(std::min(FromY, ToY), 0);
  const std::int32_t last = std::min(std::max(FromY, ToY), FHeight);  // exclusive
  if (X < 0 || X >= FWidth || first >= last) return;
  TBlendRun run;
  for (std::int32_t y = first; y < last; ++y) BlendPixelTo(Color, FDataPointer[X + std::int64_t(y) * FWidth]);
}

void TGuiCustomPixelMap::Line(std::int32_t FromX, std::int32_t FromY, std::int32_t ToX, std::int32_t ToY,
                              TPixel32 Color) {
  if (FromY == ToY) return HorizontalLine(FromX, ToX, FromY, Color);
  if (FromX == ToX) return VerticalLine(FromX, FromY, ToY, Color);
  TBlendRun run;
  WalkLine(FromX, FromY, ToX, ToY,
           [&](std::int32_t X, std::int32_t Y) { BlendPixelTo(Color, FDataPointer[X + std::int64_t(Y) * FWidth]); });
}

// --- drawing other images --------------------------------------------------------

void TGuiCustomPixelMap::Draw(const TGuiCustomPixelMap& PixelMap, std::uint8_t Alpha) { Draw(PixelMap, 0, 0, Alpha); }

void TGuiCustomPixelMap::Draw(const TGuiCustomPixelMap& PixelMap, std::int32_t X, std::int32_t Y) {
  const TRect area = ClipPlacement(X, Y, PixelMap.Width(), PixelMap.Height());
  if (area.IsEmpty() || PixelMap.DataPointer() == nullptr) return;
  TBlendRun run;
  for (std::int32_t row = area.Top; row < area.Bottom; ++row)
    BlendRow(PixelMap.GetScanLine(row - Y) + (area.Left - X), GetScanLine(row) + area.Left, area.Width());
}

void TGuiCustomPixelMap::Draw(const TGuiCustomPixelMap& PixelMap, std::int32_t X, std::int32_t Y, std::uint8_t Alpha) {
  const TRect area = ClipPlacement(X, Y, PixelMap.Width(), PixelMap.Height());
  if (area.IsEmpty() || PixelMap.DataPointer() == nullptr) return;
  TBlendRun run;
  for (std::int32_t row = area.Top; row < area.Bottom; ++row)
    MixRow(PixelMap.GetScanLine(row - Y) + (area.Left - X), GetScanLine(row) + area.Left, area.Width(), Alpha);
}

void TGuiCustomPixelMap::DrawTransparent(const TGuiCustomPixelMap& PixelMap) { DrawTransparent(PixelMap, 0, 0); }

void TGuiCustomPixelMap::DrawTransparent(const TGuiCustomPixelMap& PixelMap, std::int32_t X, std::int32_t Y) {
  Draw(PixelMap, X, Y);
}

void TGuiCustomPixelMap::DrawByteMap(const TGuiCustomByteMap& ByteMap, TPixel32 Color) {
  DrawByteMap(ByteMap, Color, 0, 0);
}

void TGuiCustomPixelMap::DrawByteMap(const TGuiCustomByteMap& ByteMap, TPixel32 Color, std::int32_t X, std::int32_t Y) {
  DrawByteMap(ByteMap, Color,
              TRect{X, Y, std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max()});
}

void TGuiCustomPixelMap::DrawByteMap(const TGuiCustomByteMap& ByteMap, TPixel32 Color, const TRect& Rect) {
  const std::int32_t x = Rect.Left;
  const std::int32_t y = Rect.Top;
  TRect area = ClipPlacement(x, y, ByteMap.Width(), ByteMap.Height());
  area.Right = std::min(area.Right, Rect.Right);
  area.Bottom = std::min(area.Bottom, Rect.Bottom);
  if (area.IsEmpty() || ByteMap.DataPointer() == nullptr) return;
  TBlendRun run;
  for (std::int32_t row = area.Top; row < area.Bottom; ++row) {
    const std::uint8_t* coverage = ByteMap.GetScanLine(row - y) + (area.Left - x);
    TPixel32* dest = GetScanLine(row) + area.Left;
    for (std::int32_t i = 0; i < area.Width(); ++i) {
      TPixel32 pixel = Color;
      pixel.A = std::uint8_t((std::uint32_t(coverage[i]) * Color.A) >> 8);
      BlendPixelTo(pixel, dest[i]);
    }
  }
}

void TGuiCustomPixelMap::CopyParentImage(TControlBackdrop& Control) {
  if (!Control.HasParent() || FWidth == 0 || FHeight == 0) return;
  TMemoryBitmap bitmap(FWidth, FHeight, TRasterFormat::rfBGRA32);
  Control.PaintBackdrop(bitmap.Canvas());
  Draw(bitmap.View());
}

// --- transfer ----------------------------------------------------------------------

void TGuiCustomPixelMap::Assign(const TGuiCustomPixelMap& Source) {
  if (&Source == this) return;
  SetSize(Source.Width(), Source.Height());
  FBitmapInfo = Source.FBitmapInfo;
  Assert(FDataSize == Source.FDataSize, kUnit, "Storage sizes differ");
  if (FDataSize > 0) std::memcpy(FDataPointer, Source.FDataPointer, std::size_t(FDataSize));
  FOnChange = Source.FOnChange;
  FOnResize = Source.FOnResize;
}

void TGuiCustomPixelMap::Assign(const TRasterView& Bitmap) {
  SetSize(Bitmap.Width, Bitmap.Height);
  Draw(Bitmap);
  Changed();
}

bool TGuiCustomPixelMap::Equals(const TGuiCustomPixelMap& Other) const {
  if (&Other == this) return true;
  if (Other.FWidth != FWidth || Other.FHeight != FHeight || Other.FDataSize != FDataSize) return false;
  return FDataSize == 0 || std::memcmp(FDataPointer, Other.FDataPointer, std::size_t(FDataSize)) == 0;
}

// --- persistence ------------------------------------------------------------------

void TGuiCustomPixelMap::LoadFromStream(TStream& Stream) {
  if (const TGuiFileFormatClassRef formatClass = FindFileFormatByStream(Stream)) {
    const std::unique_ptr<TGuiCustomFileFormat> format = formatClass->Create();
    format->LoadFromStream(Stream);
    format->AssignTo(*this);
    return;
  }
  TBitmapFileReader reader(Stream);  // raises "Invalid bitmap header found!"
  SetSize(reader.Width(), reader.Height());
  Assert(FDataSize == 4 * reader.Width() * reader.Height(), kUnit, "Storage size differs from the bitmap");
  // A file may describe an empty image (0 wide or 0 high): no rows then.
  if (FDataPointer != nullptr)
    for (std::int32_t y = 0; y < FHeight; ++y) reader.ReadRowBGRA(y, GetScanLine(y));
  Changed();
}

void TGuiCustomPixelMap::SaveToStream(TStream& Stream) const {
  WriteBitmapFile(Stream, FBitmapInfo, FDataPointer, FDataSize);
}

void TGuiCustomPixelMap::ReadData(TStream& Stream) {
  // Listeners hear of the change also when reading stops part-way.
  try {
    const std::int32_t width = ReadInt32LE(Stream);
    const std::int32_t height = ReadInt32LE(Stream);
    CheckBitmapSize(width, height);
    SetSize(width, height);
    Assert(std::int64_t(FDataSize) == 4 * std::int64_t(width) * height, kUnit, "Storage size differs from the data");
    Stream.ReadBuffer(FDataPointer, FDataSize);
  } catch (...) {
    Changed();
    throw;
  }
  Changed();
}

void TGuiCustomPixelMap::WriteData(TStream& Stream) const {
  Assert(std::int64_t(FDataSize) == 4 * std::int64_t(FWidth) * FHeight, kUnit, "Storage size differs from the size");
  WriteInt32LE(Stream, FWidth);
  WriteInt32LE(Stream, FHeight);
  Stream.WriteBuffer(FDataPointer, FDataSize);
}

bool TGuiCustomPixelMap::ShouldStoreData(const TGuiCustomMap* Ancestor) const {
  if (FDataSize == 0) return false;
  const auto* other = dynamic_cast<const TGuiCustomPixelMap*>(Ancestor);
  return other == nullptr || !Equals(*other);
}

// --- size reactions --------------------------------------------------------------

void TGuiCustomPixelMap::CheckStorageSize(std::int32_t Width, std::int32_t Height) const {
  Assert(4 * std::int64_t(Width) * std::int64_t(Height) <= 0x7FFFFFFF, kUnit, "Invalid storage size");
}

void TGuiCustomPixelMap::HeightChanged(bool) { FBitmapInfo.biHeight = -FHeight; }

void TGuiCustomPixelMap::WidthChanged(bool) { FBitmapInfo.biWidth = FWidth; }

}  // namespace vb
