#include "platform/memory_canvas.h"

#include <algorithm>
#include <cstring>

#include "error/error.h"

namespace vb {

namespace {

std::int32_t AlignedRowBytes(std::int32_t Width, TRasterFormat Format) {
  const std::int64_t bytes = std::int64_t(Width) * BytesPerPixel(Format);
  return std::int32_t((bytes + 3) & ~std::int64_t(3));
}

}  // namespace

std::uint32_t ReadRasterPixel(const TRasterView& Raster, std::int32_t X, std::int32_t Y) {
  const std::uint8_t* p = Raster.Row(Y) + std::int64_t(X) * BytesPerPixel(Raster.Format);
  switch (Raster.Format) {
    case TRasterFormat::rfGrey8:
      return 0xFF000000u | (std::uint32_t(p[0]) * 0x010101u);
    case TRasterFormat::rfIndexed8:
      return 0xFF000000u | (Raster.Palette ? Raster.Palette[p[0]] & 0xFFFFFFu : 0u);
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

TMemoryBitmap::TMemoryBitmap(std::int32_t Width, std::int32_t Height, TRasterFormat Format) {
  if (Width < 0 || Height < 0) throw EPlatformError(TErrorCode::ecNegativeBitmapSize);
  FView.Width = Width;
  FView.Height = Height;
  FView.Format = Format;
  FView.RowBytes = AlignedRowBytes(Width, Format);
  FStorage.assign(std::size_t(FView.RowBytes) * std::size_t(Height), 0);
  FView.Bits = FStorage.empty() ? nullptr : FStorage.data();
  if (Format == TRasterFormat::rfIndexed8) {
    FPalette.assign(256, 0);
    FView.Palette = FPalette.data();
  }
}

TMemoryBitmap::~TMemoryBitmap() = default;

std::uint32_t TMemoryBitmap::PixelARGB(std::int32_t X, std::int32_t Y) const { return ReadRasterPixel(FView, X, Y); }

TMemoryCanvas& TMemoryBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TMemoryCanvas>(FView);
  return *FCanvas;
}

// --- TMemoryCanvas -------------------------------------------------------------

TMemoryCanvas::TMemoryCanvas(const TRasterView& Target) : FTarget(Target) {
  FState.Clip = TRect{0, 0, Target.Width, Target.Height};
}

void TMemoryCanvas::SetTarget(const TRasterView& Target) {
  FTarget = Target;
  FState = TState{TPoint{}, TRect{0, 0, Target.Width, Target.Height}};
  FSaved.clear();
}

void TMemoryCanvas::StorePixel(std::int32_t X, std::int32_t Y, std::uint32_t Argb) {
  std::uint8_t* p = FTarget.Row(Y) + std::int64_t(X) * BytesPerPixel(FTarget.Format);
  const std::uint8_t b = std::uint8_t(Argb), g = std::uint8_t(Argb >> 8), r = std::uint8_t(Argb >> 16);
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
      std::memcpy(p, &Argb, 4);
      break;
  }
}

bool TMemoryCanvas::DrawRaster(const TRasterView& Source, std::int32_t SrcX, std::int32_t SrcY, std::int32_t Width,
                               std::int32_t Height, std::int32_t X, std::int32_t Y) {
  if (FRefuseRasters || FTarget.IsEmpty()) return false;
  if (Source.IsEmpty()) return true;
  // Source rectangle limited to the source, then placed in device
  // coordinates and limited to the clip.
  if (Width <= 0 || Height <= 0) return true;
  // Computed in 64 bits: callers may ask for "everything" with huge sizes.
  const TRect srcArea{std::max(SrcX, 0), std::max(SrcY, 0),
                      std::int32_t(std::min<std::int64_t>(std::int64_t(SrcX) + Width, Source.Width)),
                      std::int32_t(std::min<std::int64_t>(std::int64_t(SrcY) + Height, Source.Height))};
  if (srcArea.IsEmpty()) return true;
  const std::int32_t dx = X + FState.Origin.X - SrcX;  // device = source + d
  const std::int32_t dy = Y + FState.Origin.Y - SrcY;
  const TRect dest =
      Intersection(TRect{srcArea.Left + dx, srcArea.Top + dy, srcArea.Right + dx, srcArea.Bottom + dy}, FState.Clip);
  if (dest.IsEmpty()) return true;
  const bool sameFormat = Source.Format == FTarget.Format && Source.Format != TRasterFormat::rfIndexed8;
  for (std::int32_t row = dest.Top; row < dest.Bottom; ++row) {
    if (sameFormat) {
      const std::int32_t bpp = BytesPerPixel(Source.Format);
      std::memmove(FTarget.Row(row) + std::int64_t(dest.Left) * bpp,
                   Source.Row(row - dy) + std::int64_t(dest.Left - dx) * bpp, std::size_t(dest.Width()) * bpp);
      continue;
    }
    for (std::int32_t col = dest.Left; col < dest.Right; ++col)
      StorePixel(col, row, ReadRasterPixel(Source, col - dx, row - dy));
  }
  return true;
}

void TMemoryCanvas::FillRect(const TRect& Rect, TColor Color) {
  if (FTarget.IsEmpty()) return;
  const TRect device{Rect.Left + FState.Origin.X, Rect.Top + FState.Origin.Y, Rect.Right + FState.Origin.X,
                     Rect.Bottom + FState.Origin.Y};
  const TRect area = Intersection(device, FState.Clip);
  // 0x00BBGGRR to 0xAARRGGBB, opaque.
  const std::uint32_t c = std::uint32_t(Color);
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

void TMemoryCanvas::SetOrigin(std::int32_t X, std::int32_t Y) { FState.Origin = TPoint{X, Y}; }

void TMemoryCanvas::IntersectClip(const TRect& Rect) {
  const TRect device{Rect.Left + FState.Origin.X, Rect.Top + FState.Origin.Y, Rect.Right + FState.Origin.X,
                     Rect.Bottom + FState.Origin.Y};
  FState.Clip = Intersection(FState.Clip, device);
}

}  // namespace vb
