#include "gui/gui_picture.h"

#include <algorithm>

#include "image/pixel_blend.h"
#include "png/portable_network_graphic_pixel32.h"

namespace vb {

namespace {

// Source columns (or rows) [first, last) covered by target index i of n.
void Span(std::int32_t I, std::int32_t N, std::int32_t Size, std::int32_t& First, std::int32_t& Last) {
  First = std::int32_t(std::int64_t(I) * Size / N);
  Last = std::max(First + 1, std::int32_t(std::int64_t(I + 1) * Size / N));
}

}  // namespace

void ScalePixelMapDown(const TGuiCustomPixelMap& Source, TGuiCustomPixelMap& Dest) {
  const std::int32_t dw = Dest.Width(), dh = Dest.Height();
  if (dw == 0 || dh == 0 || Source.Width() == 0 || Source.Height() == 0) return;
  for (std::int32_t y = 0; y < dh; ++y) {
    std::int32_t y0, y1;
    Span(y, dh, Source.Height(), y0, y1);
    TPixel32* out = Dest.ScanLine(y);
    for (std::int32_t x = 0; x < dw; ++x) {
      std::int32_t x0, x1;
      Span(x, dw, Source.Width(), x0, x1);
      std::uint64_t a = 0, r = 0, g = 0, b = 0;
      for (std::int32_t sy = y0; sy < y1; ++sy) {
        const TPixel32* row = Source.ScanLine(sy);
        for (std::int32_t sx = x0; sx < x1; ++sx) {
          const TPixel32 p = row[sx];
          a += p.A;
          r += std::uint64_t(p.R) * p.A;
          g += std::uint64_t(p.G) * p.A;
          b += std::uint64_t(p.B) * p.A;
        }
      }
      const std::uint64_t count = std::uint64_t(y1 - y0) * std::uint64_t(x1 - x0);
      TPixel32 p{};
      if (a > 0)
        p = Pixel32(std::uint8_t((a + count / 2) / count), std::uint8_t((r + a / 2) / a), std::uint8_t((g + a / 2) / a),
                    std::uint8_t((b + a / 2) / a));
      out[x] = p;
    }
  }
}

TGuiPicture::TGuiPicture(TGuiWindow* Owner) : TCustomGuiGraphicControl(Owner) { SetTransparent(true); }

TGuiPicture::~TGuiPicture() = default;

void TGuiPicture::SetPicture(const TGuiCustomPixelMap& Picture) {
  FPicture.SetSize(Picture.Width(), Picture.Height());
  if (Picture.DataSize() > 0) std::copy_n(Picture.DataPointer(), Picture.DataSize() / 4, FPicture.DataPointer());
  PictureChanged();
}

void TGuiPicture::LoadPng(const std::uint8_t* Data, std::size_t Size) {
  TPortableNetworkGraphicPixel32 png;
  png.LoadFromMemory(Data, Size);
  TGuiPixelMapMemory decoded;
  png.AssignTo(decoded);
  SetPicture(decoded);
}

void TGuiPicture::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  if (Value) SetSize(FPicture.Width(), FPicture.Height());
}

void TGuiPicture::PictureChanged() {
  FScaledValid = false;
  if (FAutoSize) SetSize(FPicture.Width(), FPicture.Height());
  BufferChanged();
}

void TGuiPicture::Resized() {
  FScaledValid = false;
  TCustomGuiGraphicControl::Resized();
}

const TGuiCustomPixelMap& TGuiPicture::Scaled() {
  if (FScaledValid) return FScaled;
  FScaledValid = true;
  const std::int32_t pw = FPicture.Width(), ph = FPicture.Height();
  if (pw <= Width() && ph <= Height()) {
    FScaled.SetSize(0, 0);
    return FPicture;
  }
  // The larger reduction of the two sides decides; the other keeps the aspect.
  std::int32_t w, h;
  if (std::int64_t(pw) * Height() >= std::int64_t(ph) * Width()) {
    w = Width();
    h = std::max(1, std::int32_t((std::int64_t(ph) * Width() + pw / 2) / pw));
  } else {
    h = Height();
    w = std::max(1, std::int32_t((std::int64_t(pw) * Height() + ph / 2) / ph));
  }
  FScaled.SetSize(w, h);
  ScalePixelMapDown(FPicture, FScaled);
  return FScaled;
}

void TGuiPicture::UpdateBuffer() {
  TCustomGuiGraphicControl::UpdateBuffer();
  const bool scaledDown = FPicture.Width() > Width() || FPicture.Height() > Height();
  const TGuiCustomPixelMap& shown = scaledDown ? Scaled() : FPicture;
  if (shown.DataSize() == 0) return;
  FrontBuffer().Draw(shown, (Width() - shown.Width()) / 2, (Height() - shown.Height()) / 2);
}

}  // namespace vb
