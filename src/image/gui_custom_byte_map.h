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
  std::uint8_t GetValue(std::int32_t X, std::int32_t Y) const { return FDataPointer[X + std::int64_t(Y) * FWidth]; }
  void SetValue(std::int32_t X, std::int32_t Y, std::uint8_t Value) {
    FDataPointer[X + std::int64_t(Y) * FWidth] = Value;
  }
  std::uint8_t* GetValuePointer(std::int32_t X, std::int32_t Y) const {
    return FDataPointer + X + std::int64_t(Y) * FWidth;
  }
  std::uint8_t* GetScanLine(std::int32_t Y) const { return FDataPointer + std::int64_t(Y) * FWidth; }
  std::uint8_t* ScanLine(std::int32_t Y) const { return GetScanLine(Y); }

  const TByteMapBitmapInfo& BitmapInfo() const { return FBitmapInfo; }
  // The storage as an 8-bit grey raster (empty when there is none).
  TRasterView RasterView() const;

  void Clear() override;
  virtual void Clear(std::uint8_t Data);
  // Every byte v becomes floor((v * Factor + 128) / 256).
  virtual void Multiply(std::uint8_t Factor);

  void FillRect(const TRect& Rect, std::uint8_t Data);
  void FrameRect(const TRect& Rect, std::uint8_t Data);
  void HorizontalLine(std::int32_t FromX, std::int32_t ToX, std::int32_t Y, std::uint8_t Data);
  // Bytes FromData + t * (ToData - FromData), truncated, t from 0 in steps
  // of 1 / (ToX - FromX); ToData itself is never written.
  void HorizontalLine(std::int32_t FromX, std::int32_t ToX, std::int32_t Y, std::uint8_t FromData, std::uint8_t ToData);
  void VerticalLine(std::int32_t X, std::int32_t FromY, std::int32_t ToY, std::uint8_t Data);
  // An integer line; the end point is not drawn.
  void Line(std::int32_t FromX, std::int32_t FromY, std::int32_t ToX, std::int32_t ToY, std::uint8_t Data);

  void Draw(const TRasterView& Bitmap) { Draw(Bitmap, 0, 0); }
  virtual void Draw(const TRasterView& Bitmap, std::int32_t X, std::int32_t Y) = 0;
  // Copy the clipped overlap of ByteMap placed at (X, Y); Alpha has no
  // effect.
  virtual void Draw(const TGuiCustomByteMap& ByteMap, std::uint8_t Alpha);
  virtual void Draw(const TGuiCustomByteMap& ByteMap, std::int32_t X, std::int32_t Y);
  virtual void Draw(const TGuiCustomByteMap& ByteMap, std::int32_t X, std::int32_t Y, std::uint8_t Alpha);
  virtual void DrawTransparent(const TGuiCustomByteMap& ByteMap);
  virtual void DrawTransparent(const TGuiCustomByteMap& ByteMap, std::int32_t X, std::int32_t Y);

  // Takes size, header, bytes and both notification handlers of Source.
  void Assign(const TGuiCustomByteMap& Source);
  // Takes a platform bitmap: size, conversion to grey, then OnChange.
  void Assign(const TRasterView& Bitmap);
  void AssignTo(TGuiCustomByteMap& Dest) const { Dest.Assign(*this); }
  bool Equals(const TGuiCustomByteMap& Other) const;

  // A registered format when one accepts the stream (and can assign to a
  // byte map), else a "BM" bitmap file converted to grey.
  void LoadFromStream(TStream& Stream) override;
  // Writes an 8-bit bitmap file with the grey colour table, top-down rows.
  void SaveToStream(TStream& Stream) const override;
  void ReadData(TStream& Stream) override;
  void WriteData(TStream& Stream) const override;
  bool ShouldStoreData(const TGuiCustomMap* Ancestor) const;

 protected:
  void HeightChanged(bool UpdateBitmap) override;
  void WidthChanged(bool UpdateBitmap) override;
  // Width * Height must fit the 32-bit storage size.
  void CheckStorageSize(std::int32_t Width, std::int32_t Height) const override;
  // Rotates Source (Width x Height) into Dest (Height x Width).
  void TurnInto(const std::uint8_t* Source, std::uint8_t* Dest, bool CounterClockwise) const;
  // Copies the overlapping top-left area between two blocks.
  static void CopyTopLeft(const std::uint8_t* Source, std::int32_t SourceWidth, std::int32_t SourceHeight,
                          std::uint8_t* Dest, std::int32_t DestWidth, std::int32_t DestHeight);

  std::uint8_t* FDataPointer = nullptr;
  TByteMapBitmapInfo FBitmapInfo;
};

}  // namespace vb
