#include "image/gui_byte_map_dib.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "error/error.h"

namespace vb {

namespace {

constexpr const char* kUnit = "gui_byte_map_dib";

TRasterView GreyView(std::uint8_t* Bits, std::int32_t Width, std::int32_t Height) {
  TRasterView view;
  view.Bits = Bits;
  view.Width = Width;
  view.Height = Height;
  view.RowBytes = Width;
  view.Format = TRasterFormat::rfGrey8;
  return view;
}

}  // namespace

void TGuiByteMapDIB::TFreeBytes::operator()(std::uint8_t* P) const { std::free(P); }

TGuiByteMapDIB::~TGuiByteMapDIB() { Release(); }

void TGuiByteMapDIB::Release() {
  FDC.reset();
  FBitmapHandle.reset();
  FDataPointer = nullptr;
  FDataSize = 0;
}

void TGuiByteMapDIB::ReleaseAfterFailure() {
  // Without storage the map must not claim a size its accessors would use.
  Release();
  FWidth = 0;
  FHeight = 0;
  FBitmapInfo.Header.biWidth = 0;
  FBitmapInfo.Header.biHeight = 0;
}

void TGuiByteMapDIB::SizeChanged(std::int32_t Width, std::int32_t Height) {
  TGuiCustomByteMap::SizeChanged(Width, Height);
  AllocateStorage();
}

void TGuiByteMapDIB::HeightChanged(bool UpdateBitmap) {
  TGuiCustomByteMap::HeightChanged(UpdateBitmap);
  if (!UpdateBitmap) return;
  Resized();
  AllocateStorage();
}

void TGuiByteMapDIB::WidthChanged(bool UpdateBitmap) {
  TGuiCustomByteMap::WidthChanged(UpdateBitmap);
  if (!UpdateBitmap) return;
  Resized();
  AllocateStorage();
}

void TGuiByteMapDIB::AllocateStorage() {
  const std::int64_t bytes = std::int64_t(FWidth) * std::int64_t(FHeight);
  Assert(bytes >= 0 && bytes <= 0x7FFFFFFF, kUnit, "Invalid storage size");
  if (FDC && FDC->Target().Width == FWidth && FDC->Target().Height == FHeight) return;
  if (bytes == 0) {
    Release();
    return;
  }
  // The new block starts cleared, as a fresh section does.
  std::unique_ptr<std::uint8_t, TFreeBytes> block(static_cast<std::uint8_t*>(std::calloc(std::size_t(bytes), 1)));
  if (!block) {
    ReleaseAfterFailure();
    throw EGuiError(TErrorCode::ecDibAllocation);
  }
  // Made before the old context goes, so that the new one has a different
  // address.
  std::unique_ptr<TMemoryCanvas> dc;
  try {
    dc = std::make_unique<TMemoryCanvas>(GreyView(block.get(), FWidth, FHeight));
  } catch (const std::bad_alloc&) {
    ReleaseAfterFailure();
    throw EGuiError(TErrorCode::ecCompatibleDc);
  }
  Release();
  FBitmapHandle = std::move(block);
  FDC = std::move(dc);
  FDataPointer = FBitmapHandle.get();
  FDataSize = std::int32_t(bytes);
}

void TGuiByteMapDIB::Draw(const TRasterView&, std::int32_t, std::int32_t) {}

void TGuiByteMapDIB::PaintTo(TCanvas& Canvas, std::int32_t X, std::int32_t Y) {
  PaintTo(Canvas, TRect{0, 0, FWidth, FHeight}, X, Y);
}

void TGuiByteMapDIB::PaintTo(TCanvas& Canvas, const TRect& Rect, std::int32_t X, std::int32_t Y) {
  if (!FDC) return;
  const std::int32_t width = std::min(FWidth, Rect.Width());
  const std::int32_t height = std::min(FHeight, Rect.Height());
  if (width <= 0 || height <= 0) return;
  Canvas.DrawRaster(RasterView(), Rect.Left, Rect.Top, width, height, X, Y);
}

void TGuiByteMapDIB::Resize(std::int32_t Width, std::int32_t Height) {
  if (Width < 0) throw EGuiError(TErrorCode::ecWidthNegative);
  if (Height < 0) throw EGuiError(TErrorCode::ecHeightNegative);
  if (Width == FWidth && Height == FHeight) return;
  std::vector<std::uint8_t> old(FDataPointer, FDataPointer + FDataSize);
  const std::int32_t oldWidth = FWidth;
  const std::int32_t oldHeight = FHeight;
  FWidth = Width;
  FHeight = Height;
  FBitmapInfo.Header.biWidth = Width;
  FBitmapInfo.Header.biHeight = -Height;
  AllocateStorage();
  if (!old.empty()) CopyTopLeft(old.data(), oldWidth, oldHeight, FDataPointer, FWidth, FHeight);
}

void TGuiByteMapDIB::Turn(bool CounterClockwise) {
  if (FDataPointer != nullptr) {
    std::vector<std::uint8_t> turned(static_cast<std::size_t>(FDataSize));
    TurnInto(FDataPointer, turned.data(), CounterClockwise);
    std::memcpy(FDataPointer, turned.data(), turned.size());
  }
  std::swap(FWidth, FHeight);
  FBitmapInfo.Header.biWidth = FWidth;
  FBitmapInfo.Header.biHeight = -FHeight;
  if (FDC) FDC->SetTarget(GreyView(FDataPointer, FWidth, FHeight));
}

}  // namespace vb
