#include "gui/gui_hint.h"

#include <algorithm>
#include <cstring>

#include "gui/gui_font.h"

namespace vb {

namespace {
constexpr std::int32_t kPadding = 3;      // pixels between frame and text
constexpr std::int32_t kPointerGap = 18;  // below the pointer, clear of its shape
constexpr TPixel32 kHintFrame = Pixel32(0xFF404040);
}  // namespace

TGuiHint::TGuiHint(TTextRenderer* renderer) : FFont(std::make_unique<TGuiSimpleGDIFont>(renderer)) {
  TFont font;
  font.Height = -11;
  font.Color = GetSysColor(scInfoText);
  FFont->SetAntialiasing(true);
  FFont->SetFont(font);
}

TGuiHint::~TGuiHint() = default;

TRect TGuiHint::Show(const std::string& text, TPoint pointer, std::int32_t width, std::int32_t height) {
  FBounds = TRect{};
  FText = text;
  if (text.empty()) return FBounds;
  const TTextExtent extent = FFont->TextExtent(text);
  const std::int32_t w = extent.Width + 2 * kPadding + 2;
  const std::int32_t h = extent.Height + 2 * kPadding + 2;
  FPicture.SetSize(w, h);
  FPicture.Clear(ColorToPixel(GetSysColor(scInfoBk)));
  FPicture.FrameRect(FPicture.ClientRect(), kHintFrame);
  FFont->TextOut(text, &FPicture, kPadding + 1, kPadding + 1);
  // Below the pointer when there is room, else above; never outside.
  std::int32_t top = pointer.Y + kPointerGap;
  if (top + h > height) top = pointer.Y - h - 2;
  const std::int32_t left = std::clamp(pointer.X, 0, std::max(0, width - w));
  top = std::clamp(top, 0, std::max(0, height - h));
  FBounds = TRect{left, top, left + w, top + h};
  return FBounds;
}

void TGuiHint::PaintTo(TGuiCustomPixelMap& frame, const TRect& area) const {
  const TRect part = Intersection(Intersection(area, FBounds), frame.ClientRect());
  if (part.IsEmpty()) return;
  for (std::int32_t y = part.Top; y < part.Bottom; ++y)
    std::memcpy(frame.ScanLine(y) + part.Left, FPicture.ScanLine(y - FBounds.Top) + (part.Left - FBounds.Left),
                std::size_t(part.Width()) * 4);
}

}  // namespace vb
