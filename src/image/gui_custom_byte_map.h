#pragma once
// The base of 8-bit maps: Width x Height bytes, rows top-down and
// contiguous (each row exactly Width bytes). Byte maps serve as coverage
// masks: text is rendered into them, reduced and blurred, and drawn onto
// pixel maps with TGuiCustomPixelMap::DrawByteMap.
//
// The value accessors make no coordinate tests (they sit in inner loops):
// callers keep X in 0..Width-1 and Y in 0..Height-1. The drawing
// operations keep their writes inside the map.

#include <array>
#include <cstdint>

#include "image/bitmap_info.h"
#include "image/gui_custom_map.h"
#include "platform/canvas.h"

namespace vb {

// The 8-bit description: header plus a 256-entry grey colour table
// (entry i = blue i, green i, red i, 0).
struct TByteMapBitmapInfo {
  TBitmapInfoHeader Header;
  std::array<std::uint32_t, 256> Colors;
};

class TGuiCustomByteMap : public TGuiCustomMap {
 public:
  TGuiCustomByteMap();
  ~TGuiCustomByteMap() override;

  using TGuiCustomMap::PaintTo;

  std::uint8_t* DataPointer() const { return FDataPointer; }
  std::uint8_t* GetDataPointer() const { return FDataPointer; }
  std::uint8_t GetValue(std::int32_t x, std::int32_t y) const { return FDataPointer[x + std::int64_t(y) * FWidth]; }
  void SetValue(std::int32_t x, std::int32_t y, std::uint8_t value) {
    FDataPointer[x + std::int64_t(y) * FWidth] = value;
  }
  std::uint8_t* GetValuePointer(std::int32_t x, std::int32_t y) const {
    return FDataPointer + x + std::int64_t(y) * FWidth;
  }
  std::uint8_t* GetScanLine(std::int32_t y) const { return FDataPointer + std::int64_t(y) * FWidth; }
  std::uint8_t* ScanLine(std::int32_t y) const { return GetScanLine(y); }

  const TByteMapBitmapInfo& BitmapInfo() const { return FBitmapInfo; }
  // The storage as an 8-bit grey raster (empty when there is none).
  TRasterView RasterView() const;

  void Clear() override;
  virtual void Clear(std::uint8_t data);
  // Every byte v becomes floor((v * Factor + 128) / 256).
  virtual void Multiply(std::uint8_t factor);

  void FillRect(const TRect& rect, std::uint8_t data);
  void FrameRect(const TRect& rect, std::uint8_t data);
  void HorizontalLine(std::int32_t fromX, std::int32_t toX, std::int32_t y, std::uint8_t data);
  // Bytes FromData + t * (ToData - FromData), truncated, t from 0 in steps
  // of 1 / (ToX - FromX); ToData itself is never written.
  void HorizontalLine(std::int32_t fromX, std::int32_t toX, std::int32_t y, std::uint8_t fromData, std::uint8_t toData);
  void VerticalLine(std::int32_t x, std::int32_t fromY, std::int32_t toY, std::uint8_t data);
  // An integer line; the end point is not drawn.
  void Line(std::int32_t fromX, std::int32_t fromY, std::int32_t toX, std::int32_t toY, std::uint8_t data);

  void Draw(const TRasterView& bitmap) { Draw(bitmap, 0, 0); }
  virtual void Draw(const TRasterView& bitmap, std::int32_t x, std::int32_t y) = 0;
  // Copy the clipped overlap of ByteMap placed at (X, Y); Alpha has no
  // effect.
  virtual void Draw(const TGuiCustomByteMap& byteMap, std::uint8_t alpha);
  virtual void Draw(const TGuiCustomByteMap& byteMap, std::int32_t x, std::int32_t y);
  virtual void Draw(const TGuiCustomByteMap& byteMap, std::int32_t x, std::int32_t y, std::uint8_t alpha);
  virtual void DrawTransparent(const TGuiCustomByteMap& byteMap);
  virtual void DrawTransparent(const TGuiCustomByteMap& byteMap, std::int32_t x, std::int32_t y);

  // Takes size, header, bytes and both notification handlers of Source.
  void Assign(const TGuiCustomByteMap& source);
  // Takes a platform bitmap: size, conversion to grey, then OnChange.
  void Assign(const TRasterView& bitmap);
  void AssignTo(TGuiCustomByteMap& dest) const { dest.Assign(*this); }
  bool Equals(const TGuiCustomByteMap& other) const;

  // A registered format when one accepts the stream (and can assign to a
  // byte map), else a "BM" bitmap file converted to grey.
  void LoadFromStream(TStream& stream) override;
  // Writes an 8-bit bitmap file with the grey colour table, top-down rows.
  void SaveToStream(TStream& stream) const override;
  void ReadData(TStream& stream) override;
  void WriteData(TStream& stream) const override;
  bool ShouldStoreData(const TGuiCustomMap* ancestor) const;

 protected:
  void HeightChanged(bool updateBitmap) override;
  void WidthChanged(bool updateBitmap) override;
  // Width * Height must fit the 32-bit storage size.
  void CheckStorageSize(std::int32_t width, std::int32_t height) const override;
  // Rotates Source (Width x Height) into Dest (Height x Width).
  void TurnInto(const std::uint8_t* source, std::uint8_t* dest, bool counterClockwise) const;
  // Copies the overlapping top-left area between two blocks.
  static void CopyTopLeft(const std::uint8_t* source, std::int32_t sourceWidth, std::int32_t sourceHeight,
                          std::uint8_t* dest, std::int32_t destWidth, std::int32_t destHeight);

  std::uint8_t* FDataPointer = nullptr;
  TByteMapBitmapInfo FBitmapInfo;
};

}  // namespace vb
