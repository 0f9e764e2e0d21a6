#include "platform/memory_canvas.h"

#include <algorithm>
#include <cstring>

#include "error/error.h"

namespace vb {

namespace {

std::int32_t AlignedRowBytes(std::int32_t width, TRasterFormat format) {
  const std::int64_t bytes = std::int64_t(width) * BytesPerPixel(format);
  return std::int32_t((bytes + 3) & ~std::int64_t(3));
}

}  // namespace

std::uint32_t ReadRasterPixel(const TRasterView& raster, std::int32_t x, std::int32_t y) {
  const std::uint8_t* p = raster.Row(y) + std::int64_t(x) * BytesPerPixel(raster.Format);
  switch (raster.Format) {
    case TRasterFormat::rfGrey8:
      return 0xFF000000u | (std::uint32_t(p[0]) * 0x010101u);
    case TRasterFormat::rfIndexed8:
      return 0xFF000000u | (raster.Palette ? raster.Palette[p[0]] & 0xFFFFFFu : 0u);
    case TRasterFormat::rfBGR24:
      return 0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
    case TRasterFormat::rfBGRA32:
    default: {
      std::uint32_t v;
      std::memcpy(&v, p, 4);
      return v;
    }
  }
}

// --- TMemoryBitmap -------------------------------------------------------------

TMemoryBitmap::TMemoryBitmap(std::int32_t width, std::int32_t height, TRasterFormat format) {
  if (width < 0 || height < 0) throw EPlatformError(TErrorCode::ecNegativeBitmapSize);
  FView.Width = width;
  FView.Height = height;
  FView.Format = format;
  FView.RowBytes = AlignedRowBytes(width, format);
  FStorage.assign(std::size_t(FView.RowBytes) * std::size_t(height), 0);
  FView.Bits = FStorage.empty() ? nullptr : FStorage.data();
  if (format == TRasterFormat::rfIndexed8) {
    FPalette.assign(256, 0);
    FView.Palette = FPalette.data();
  }
}

TMemoryBitmap::~TMemoryBitmap() = default;

std::uint32_t TMemoryBitmap::PixelARGB(std::int32_t x, std::int32_t y) const { return ReadRasterPixel(FView, x, y); }

TMemoryCanvas& TMemoryBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TMemoryCanvas>(FView);
  return *FCanvas;
}

// --- TMemoryCanvas -------------------------------------------------------------

TMemoryCanvas::TMemoryCanvas(const TRasterView& target) : FTarget(target) {
  FState.Clip = TRect{0, 0, target.Width, target.Height};
}

void TMemoryCanvas::SetTarget(const TRasterView& target) {
  FTarget = target;
  FState = TState{TPoint{}, TRect{0, 0, target.Width, target.Height}};
  FSaved.clear();
}

void TMemoryCanvas::StorePixel(std::int32_t x, std::int32_t y, std::uint32_t argb) {
  std::uint8_t* p = FTarget.Row(y) + std::int64_t(x) * BytesPerPixel(FTarget.Format);
  const std::uint8_t b = std::uint8_t(argb), g = std::uint8_t(argb >> 8), r = std::uint8_t(argb >> 16);
  switch (FTarget.Format) {
    case TRasterFormat::rfGrey8:
    case TRasterFormat::rfIndexed8:
      // Luma with integer weights (0.299, 0.587, 0.114) * 1024.
      p[0] = std::uint8_t((306u * r + 601u * g + 117u * b + 512u) >> 10);
      break;
    case TRasterFormat::rfBGR24:
      p[0] = b;
      p[1] = g;
      p[2] = r;
      break;
    case TRasterFormat::rfBGRA32:
      std::memcpy(p, &argb, 4);
      break;
  }
}

bool TMemoryCanvas::DrawRaster(const TRasterView& source, std::int32_t srcX, std::int32_t srcY, std::int32_t width,
                               std::int32_t height, std::int32_t x, std::int32_t y) {
  if (FRefuseRasters || FTarget.IsEmpty()) return false;
  if (source.IsEmpty()) return true;
  // Source rectangle limited to the source, then placed in device
  // coordinates and limited to the clip.
  if (width <= 0 || height <= 0) return true;
  // Computed in 64 bits: callers may ask for "everything" with huge sizes.
  const TRect srcArea{std::max(srcX, 0), std::max(srcY, 0),
                      std::int32_t(std::min<std::int64_t>(std::int64_t(srcX) + width, source.Width)),
                      std::int32_t(std::min<std::int64_t>(std::int64_t(srcY) + height, source.Height))};
  if (srcArea.IsEmpty()) return true;
  const std::int32_t dx = x + FState.Origin.X - srcX;  // device = source + d
  const std::int32_t dy = y + FState.Origin.Y - srcY;
  const TRect dest =
      Intersection(TRect{srcArea.Left + dx, srcArea.Top + dy, srcArea.Right + dx, srcArea.Bottom + dy}, FState.Clip);
  if (dest.IsEmpty()) return true;
  const bool sameFormat = source.Format == FTarget.Format && source.Format != TRasterFormat::rfIndexed8;
  for (std::int32_t row = dest.Top; row < dest.Bottom; ++row) {
    if (sameFormat) {
      const std::int32_t bpp = BytesPerPixel(source.Format);
      std::memmove(FTarget.Row(row) + std::int64_t(dest.Left) * bpp,
                   source.Row(row - dy) + std::int64_t(dest.Left - dx) * bpp, std::size_t(dest.Width()) * bpp);
      continue;
    }
    for (std::int32_t col = dest.Left; col < dest.Right; ++col)
      StorePixel(col, row, ReadRasterPixel(source, col - dx, row - dy));
  }
  return true;
}

void TMemoryCanvas::FillRect(const TRect& rect, TColor color) {
  if (FTarget.IsEmpty()) return;
  const TRect device{rect.Left + FState.Origin.X, rect.Top + FState.Origin.Y, rect.Right + FState.Origin.X,
                     rect.Bottom + FState.Origin.Y};
  const TRect area = Intersection(device, FState.Clip);
  // 0x00BBGGRR to 0xAARRGGBB, opaque.
  const std::uint32_t c = std::uint32_t(color);
  const std::uint32_t argb = 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  for (std::int32_t row = area.Top; row < area.Bottom; ++row)
    for (std::int32_t col = area.Left; col < area.Right; ++col) StorePixel(col, row, argb);
}

void TMemoryCanvas::SaveState() { FSaved.push_back(FState); }

void TMemoryCanvas::RestoreState() {
  if (FSaved.empty()) return;
  FState = FSaved.back();
  FSaved.pop_back();
}

void TMemoryCanvas::SetOrigin(std::int32_t x, std::int32_t y) { FState.Origin = TPoint{x, y}; }

void TMemoryCanvas::IntersectClip(const TRect& rect) {
  const TRect device{rect.Left + FState.Origin.X, rect.Top + FState.Origin.Y, rect.Right + FState.Origin.X,
                     rect.Bottom + FState.Origin.Y};
  FState.Clip = Intersection(FState.Clip, device);
}

}  // namespace vb
