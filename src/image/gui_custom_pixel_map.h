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
  TPixel32 GetPixel(std::int32_t x, std::int32_t y) const;
  // Blends Value over the stored pixel (BlendPixelTo); it does not overwrite.
  void SetPixel(std::int32_t x, std::int32_t y, TPixel32 value);
  TPixel32* GetPixelPointer(std::int32_t x, std::int32_t y) const;
  // First pixel of row Y (only Y is tested).
  TPixel32* GetScanLine(std::int32_t y) const;
  TPixel32* ScanLine(std::int32_t y) const { return GetScanLine(y); }

  // The description handed to the platform and written into bitmap files.
  const TBitmapInfoHeader& BitmapInfo() const { return FBitmapInfo; }
  // The storage as a raster view (empty when there is none).
  TRasterView RasterView() const;

  // --- filling ---
  void Clear() override;
  virtual void Clear(TColor color);
  virtual void Clear(TPixel32 color);
  virtual void MakeOpaque();
  virtual void ResetAlpha(std::uint8_t value = 0xFF);
  // Columns Left..Right-1 of rows Top..Bottom-1: stores Color when it is
  // opaque, else blends it.
  void FillRect(const TRect& rect, TPixel32 color);
  void FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, TPixel32 color);
  void FrameRect(const TRect& rect, TPixel32 color);
  // Blends Color over columns min..max-1 of row Y.
  void HorizontalLine(std::int32_t fromX, std::int32_t toX, std::int32_t y, TPixel32 color);
  // A gradient from FromColor (drawn at the first column) towards ToColor
  // (never drawn itself).
  void HorizontalLine(std::int32_t fromX, std::int32_t toX, std::int32_t y, TPixel32 fromColor, TPixel32 toColor);
  void VerticalLine(std::int32_t x, std::int32_t fromY, std::int32_t toY, TPixel32 color);
  // An integer line; the end point (ToX, ToY) is not drawn.
  void Line(std::int32_t fromX, std::int32_t fromY, std::int32_t toX, std::int32_t toY, TPixel32 color);

  // --- drawing other images ---
  // Copies a platform bitmap (24 or 32 bits; other formats are converted) to
  // (X, Y), clipped to the map; alpha of 24-bit sources becomes 255.
  void Draw(const TRasterView& bitmap) { Draw(bitmap, 0, 0); }
  virtual void Draw(const TRasterView& bitmap, std::int32_t x, std::int32_t y) = 0;
  // Mixes PixelMap in with the fixed weight Alpha (the source's own alpha
  // plays no part).
  virtual void Draw(const TGuiCustomPixelMap& pixelMap, std::uint8_t alpha);
  // Blends PixelMap over this map with its top-left corner at (X, Y).
  virtual void Draw(const TGuiCustomPixelMap& pixelMap, std::int32_t x, std::int32_t y);
  virtual void Draw(const TGuiCustomPixelMap& pixelMap, std::int32_t x, std::int32_t y, std::uint8_t alpha);
  virtual void DrawTransparent(const TGuiCustomPixelMap& pixelMap);
  virtual void DrawTransparent(const TGuiCustomPixelMap& pixelMap, std::int32_t x, std::int32_t y);
  // Uses ByteMap as coverage for Color (placed at X, Y / at Rect's top-left
  // and limited to Rect).
  virtual void DrawByteMap(const TGuiCustomByteMap& byteMap, TPixel32 color);
  virtual void DrawByteMap(const TGuiCustomByteMap& byteMap, TPixel32 color, std::int32_t x, std::int32_t y);
  virtual void DrawByteMap(const TGuiCustomByteMap& byteMap, TPixel32 color, const TRect& rect);

  // Fills the map with what Control's parent shows behind it. The alpha
  // bytes are whatever the platform left; callers make the result opaque.
  void CopyParentImage(TControlBackdrop& control);

  // --- transfer and persistence ---
  // Takes size, description, pixels and both notification handlers of
  // Source (notifications are sent by the size change only).
  void Assign(const TGuiCustomPixelMap& source);
  // Takes a platform bitmap: size, pixels, then OnChange.
  void Assign(const TRasterView& bitmap);
  void AssignTo(TGuiCustomPixelMap& dest) const { dest.Assign(*this); }
  // Equal size and equal storage bytes.
  bool Equals(const TGuiCustomPixelMap& other) const;

  // Through a registered format that accepts the content, else a bitmap
  // file ("Invalid bitmap header found!" when it does not start with "BM").
  void LoadFromStream(TStream& stream) override;
  // Writes an uncompressed 32-bit bitmap file with top-down rows.
  void SaveToStream(TStream& stream) const override;
  void ReadData(TStream& stream) override;
  void WriteData(TStream& stream) const override;
  // Whether the "Data" block differs from Ancestor's (null: no ancestor).
  bool ShouldStoreData(const TGuiCustomMap* ancestor) const;

 protected:
  void HeightChanged(bool updateBitmap) override;
  void WidthChanged(bool updateBitmap) override;
  // 4 * Width * Height must fit the 32-bit storage size.
  void CheckStorageSize(std::int32_t width, std::int32_t height) const override;

  TPixel32* FDataPointer = nullptr;
  TBitmapInfoHeader FBitmapInfo;
};

}  // namespace vb
