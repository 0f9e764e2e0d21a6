#pragma once
// A bitmap in memory with a canvas that draws into it. This is the headless
// side of the drawing contract (canvas.h): tests paint into it to see exactly
// what would reach a window, and off-screen rendering (the parent image
// behind a control, the text coverage buffer) uses it on every platform.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/canvas.h"

namespace vb {

class TMemoryCanvas;

// Owns Width x Height pixels of one format, rows top-down. Rows of 8-bit and
// 24-bit bitmaps start at multiples of 4 bytes, as device-independent
// bitmaps do. Rows are cleared to 0 on creation.
class TMemoryBitmap {
 public:
  TMemoryBitmap(std::int32_t Width, std::int32_t Height, TRasterFormat Format);
  ~TMemoryBitmap();
  TMemoryBitmap(const TMemoryBitmap&) = delete;
  TMemoryBitmap& operator=(const TMemoryBitmap&) = delete;

  std::int32_t Width() const { return FView.Width; }
  std::int32_t Height() const { return FView.Height; }
  TRasterFormat Format() const { return FView.Format; }
  const TRasterView& View() const { return FView; }
  std::uint8_t* Bits() { return FStorage.data(); }
  std::int32_t RowBytes() const { return FView.RowBytes; }

  // For rfIndexed8: the 256 palette entries (0x00RRGGBB), all 0 initially.
  std::uint32_t* Palette() { return FPalette.data(); }

  // Reads one pixel as 0xAARRGGBB (grey and indexed pixels expanded, alpha
  // 255 for formats without alpha).
  std::uint32_t PixelARGB(std::int32_t X, std::int32_t Y) const;

  TMemoryCanvas& Canvas();

 private:
  std::vector<std::uint8_t> FStorage;
  std::vector<std::uint32_t> FPalette;
  TRasterView FView;
  std::unique_ptr<TMemoryCanvas> FCanvas;
};

// Draws into a TMemoryBitmap, or into any caller-owned raster (for example
// the storage of a byte map). Keeps an origin and a clip rectangle with a
// save/restore stack like a device context.
class TMemoryCanvas final : public TCanvas {
 public:
  explicit TMemoryCanvas(const TRasterView& Target);

  // When true, DrawRaster reports failure and copies nothing (lets tests see
  // how callers deal with a refusing platform).
  void SetRefuseRasters(bool Refuse) { FRefuseRasters = Refuse; }
  const TRasterView& Target() const { return FTarget; }
  // Points the canvas at other raster memory (the same memory turned, for
  // example); origin and clip are reset, saved states dropped.
  void SetTarget(const TRasterView& Target);

  bool DrawRaster(const TRasterView& Source, std::int32_t SrcX, std::int32_t SrcY, std::int32_t Width,
                  std::int32_t Height, std::int32_t X, std::int32_t Y) override;
  void FillRect(const TRect& Rect, TColor Color) override;
  void SaveState() override;
  void RestoreState() override;
  void SetOrigin(std::int32_t X, std::int32_t Y) override;
  TPoint Origin() const override { return FState.Origin; }
  void IntersectClip(const TRect& Rect) override;
  std::int32_t Width() const override { return FTarget.Width; }
  std::int32_t Height() const override { return FTarget.Height; }

 private:
  struct TState {
    TPoint Origin;
    TRect Clip;  // device coordinates
  };
  void StorePixel(std::int32_t X, std::int32_t Y, std::uint32_t Argb);

  TRasterView FTarget;
  TState FState;
  std::vector<TState> FSaved;
  bool FRefuseRasters = false;
};

// Reads pixel (X, Y) of any raster as 0xAARRGGBB (alpha 255 for formats
// without alpha). No range check.
std::uint32_t ReadRasterPixel(const TRasterView& Raster, std::int32_t X, std::int32_t Y);

}  // namespace vb
