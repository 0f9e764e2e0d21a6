#pragma once
// The drawing contract between the portable image code and the platform.
//
// Everything the pixel maps and byte maps need from a windowing system is in
// this header: a block of raster memory described by TRasterView, and a
// TCanvas that can receive such a block, fill rectangles and keep a stack of
// origin/clip states. A window backend implements TCanvas for its windows;
// TMemoryCanvas (memory_canvas.h) implements it over memory so that tests and
// off-screen rendering need no display. Only this folder may include a
// windowing or font library.

#include <cstdint>

#include "platform/rect.h"

namespace vb {

// A colour as the platform names it: 0x00BBGGRR; negative values name a
// system colour whose index is the low byte (see system_colors.h).
using TColor = std::int32_t;

enum class TRasterFormat : std::uint8_t {
  rfGrey8,     // one byte per pixel, value v shown as grey (v, v, v)
  rfIndexed8,  // one byte per pixel, index into a 256-entry BGRA palette
  rfBGR24,     // three bytes per pixel in the order blue, green, red
  rfBGRA32,    // four bytes per pixel in the order blue, green, red, alpha
};

constexpr std::int32_t BytesPerPixel(TRasterFormat Format) {
  switch (Format) {
    case TRasterFormat::rfBGR24:
      return 3;
    case TRasterFormat::rfBGRA32:
      return 4;
    default:
      return 1;
  }
}

// A view of raster memory owned by someone else. Rows are stored top-down,
// RowBytes apart (at least Width * BytesPerPixel(Format)).
struct TRasterView {
  void* Bits = nullptr;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t RowBytes = 0;
  TRasterFormat Format = TRasterFormat::rfBGRA32;
  // 256 entries of 0x00RRGGBB for rfIndexed8, else null.
  const std::uint32_t* Palette = nullptr;

  bool IsEmpty() const { return Bits == nullptr || Width <= 0 || Height <= 0; }
  std::uint8_t* Row(std::int32_t Y) const { return static_cast<std::uint8_t*>(Bits) + std::int64_t(Y) * RowBytes; }
};

// A drawing surface: a window, or a bitmap in memory. Called from the thread
// that owns the editor window only.
class TCanvas {
 public:
  virtual ~TCanvas() = default;

  // Copies the Width x Height block of Source that starts at (SrcX, SrcY) to
  // (X, Y) of this surface, converting the source format; alpha bytes are
  // copied as they are (no blending). Parts outside either side are clipped.
  // Returns false when the platform refused the copy.
  virtual bool DrawRaster(const TRasterView& Source, std::int32_t SrcX, std::int32_t SrcY, std::int32_t Width,
                          std::int32_t Height, std::int32_t X, std::int32_t Y) = 0;

  // Fills Rect (in the current coordinates) with the opaque colour Color
  // (0x00BBGGRR, no system colours).
  virtual void FillRect(const TRect& Rect, TColor Color) = 0;

  // Device-context state: the origin offset and the clip rectangle. SaveState
  // pushes, RestoreState pops the last saved state.
  virtual void SaveState() = 0;
  virtual void RestoreState() = 0;
  // Moves the origin: logical (0, 0) lands on device point (X, Y).
  virtual void SetOrigin(std::int32_t X, std::int32_t Y) = 0;
  virtual TPoint Origin() const = 0;
  // Limits drawing to the intersection of the current clip and Rect (given in
  // the current logical coordinates).
  virtual void IntersectClip(const TRect& Rect) = 0;

  // The surface's size in device pixels.
  virtual std::int32_t Width() const = 0;
  virtual std::int32_t Height() const = 0;
};

// Something that can paint what lies behind one of its child controls: its
// own background and the windowless siblings beneath the child, in that order.
// The GUI layer implements it for its controls; a pixel map asks it in
// CopyParentImage.
class TControlBackdrop {
 public:
  virtual ~TControlBackdrop() = default;
  // False when the control has no parent: there is nothing to copy.
  virtual bool HasParent() const = 0;
  // Paints into Canvas, whose (0, 0) is the control's top-left corner and
  // whose size is the control's size.
  virtual void PaintBackdrop(TCanvas& Canvas) = 0;
};

}  // namespace vb
