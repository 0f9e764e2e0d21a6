#pragma once
// The base of 32-bit pixel maps: storage of Width x Height TPixel32 rows,
// top-down and contiguous, with all drawing, copying and streaming
// operations. Every blend goes through the bound routines of pixel_blend.h,
// a row or run at a time, and each run ends with FinishBlend.
//
// Every operation keeps its writes inside the map: rectangles, lines and
// placed images reaching outside are clipped.

#include <cstdint>

#include "image/bitmap_info.h"
#include "image/gui_custom_map.h"
#include "image/pixel32.h"
#include "platform/canvas.h"

namespace vb {

class TGuiCustomByteMap;

class TGuiCustomPixelMap : public TGuiCustomMap {
 public:
  TGuiCustomPixelMap();
  ~TGuiCustomPixelMap() override;

  using TGuiCustomMap::PaintTo;

  // --- pixel access; coordinates outside the map raise EAssertionFailed ---
  TPixel32* DataPointer() const { return FDataPointer; }
  TPixel32* GetDataPointer() const { return FDataPointer; }
  TPixel32 GetPixel(std::int32_t X, std::int32_t Y) const;
  // Blends Value over the stored pixel (BlendPixelTo); it does not overwrite.
  void SetPixel(std::int32_t X, std::int32_t Y, TPixel32 Value);
  TPixel32* GetPixelPointer(std::int32_t X, std::int32_t Y) const;
  // First pixel of row Y (only Y is tested).
  TPixel32* GetScanLine(std::int32_t Y) const;
  TPixel32* ScanLine(std::int32_t Y) const { return GetScanLine(Y); }

  // The description handed to the platform and written into bitmap files.
  const TBitmapInfoHeader& BitmapInfo() const { return FBitmapInfo; }
  // The storage as a raster view (empty when there is none).
  TRasterView RasterView() const;

  // --- filling ---
  void Clear() override;
  virtual void Clear(TColor Color);
  virtual void Clear(TPixel32 Color);
  virtual void MakeOpaque();
  virtual void ResetAlpha(std::uint8_t Value = 0xFF);
  // Columns Left..Right-1 of rows Top..Bottom-1: stores Color when it is
  // opaque, else blends it.
  void FillRect(const TRect& Rect, TPixel32 Color);
  void FillRect(std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom, TPixel32 Color);
  void FrameRect(const TRect& Rect, TPixel32 Color);
  // Blends Color over columns min..max-1 of row Y.
  void HorizontalLine(std::int32_t FromX, std::int32_t ToX, std::int32_t Y, TPixel32 Color);
  // A gradient from FromColor (drawn at the first column) towards ToColor
  // (never drawn itself).
  void HorizontalLine(std::int32_t FromX, std::int32_t ToX, std::int32_t Y, TPixel32 FromColor, TPixel32 ToColor);
  void VerticalLine(std::int32_t X, std::int32_t FromY, std::int32_t ToY, TPixel32 Color);
  // An integer line; the end point (ToX, ToY) is not drawn.
  void Line(std::int32_t FromX, std::int32_t FromY, std::int32_t ToX, std::int32_t ToY, TPixel32 Color);

  // --- drawing other images ---
  // Copies a platform bitmap (24 or 32 bits; other formats are converted) to
  // (X, Y), clipped to the map; alpha of 24-bit sources becomes 255.
  void Draw(const TRasterView& Bitmap) { Draw(Bitmap, 0, 0); }
  virtual void Draw(const TRasterView& Bitmap, std::int32_t X, std::int32_t Y) = 0;
  // Mixes PixelMap in with the fixed weight Alpha (the source's own alpha
  // plays no part).
  virtual void Draw(const TGuiCustomPixelMap& PixelMap, std::uint8_t Alpha);
  // Blends PixelMap over this map with its top-left corner at (X, Y).
  virtual void Draw(const TGuiCustomPixelMap& PixelMap, std::int32_t X, std::int32_t Y);
  virtual void Draw(const TGuiCustomPixelMap& PixelMap, std::int32_t X, std::int32_t Y, std::uint8_t Alpha);
  virtual void DrawTransparent(const TGuiCustomPixelMap& PixelMap);
  virtual void DrawTransparent(const TGuiCustomPixelMap& PixelMap, std::int32_t X, std::int32_t Y);
  // Uses ByteMap as coverage for Color (placed at X, Y / at Rect's top-left
  // and limited to Rect).
  virtual void DrawByteMap(const TGuiCustomByteMap& ByteMap, TPixel32 Color);
  virtual void DrawByteMap(const TGuiCustomByteMap& ByteMap, TPixel32 Color, std::int32_t X, std::int32_t Y);
  virtual void DrawByteMap(const TGuiCustomByteMap& ByteMap, TPixel32 Color, const TRect& Rect);

  // Fills the map with what Control's parent shows behind it. The alpha
  // bytes are whatever the platform left; callers make the result opaque.
  void CopyParentImage(TControlBackdrop& Control);

  // --- transfer and persistence ---
  // Takes size, description, pixels and both notification handlers of
  // Source (notifications are sent by the size change only).
  void Assign(const TGuiCustomPixelMap& Source);
  // Takes a platform bitmap: size, pixels, then OnChange.
  void Assign(const TRasterView& Bitmap);
  void AssignTo(TGuiCustomPixelMap& Dest) const { Dest.Assign(*this); }
  // Equal size and equal storage bytes.
  bool Equals(const TGuiCustomPixelMap& Other) const;

  // Through a registered format that accepts the content, else a bitmap
  // file ("Invalid bitmap header found!" when it does not start with "BM").
  void LoadFromStream(TStream& Stream) override;
  // Writes an uncompressed 32-bit bitmap file with top-down rows.
  void SaveToStream(TStream& Stream) const override;
  void ReadData(TStream& Stream) override;
  void WriteData(TStream& Stream) const override;
  // Whether the "Data" block differs from Ancestor's (null: no ancestor).
  bool ShouldStoreData(const TGuiCustomMap* Ancestor) const;

 protected:
  void HeightChanged(bool UpdateBitmap) override;
  void WidthChanged(bool UpdateBitmap) override;
  // 4 * Width * Height must fit the 32-bit storage size.
  void CheckStorageSize(std::int32_t Width, std::int32_t Height) const override;

  TPixel32* FDataPointer = nullptr;
  TBitmapInfoHeader FBitmapInfo;
};

}  // namespace vb
