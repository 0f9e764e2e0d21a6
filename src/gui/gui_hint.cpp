#include "gui/gui_hint.h"

#include <algorithm>
#include <cstring>

#include "gui/gui_font.h"

namespace vb {

namespace {
// At 1x, in pixels; scaled with the window's density.
constexpr std::int32_t kTextHeight = 11;
constexpr std::int32_t kPadding = 3;      // between frame and text
constexpr std::int32_t kPointerGap = 18;  // below the pointer, clear of its shape
constexpr TPixel32 kHintFrame = Pixel32(0xFF404040);

// A 1x length at ScaleHalves, a half rounded up.
std::int32_t ScaledLength(std::int32_t length, std::int32_t scaleHalves) { return (length * scaleHalves + 1) / 2; }
}  // namespace

TGuiHint::TGuiHint(TTextRenderer* renderer, std::int32_t scaleHalves)
    : FFont(std::make_unique<TGuiSimpleGDIFont>(renderer)), FScaleHalves(scaleHalves) {
  TFont font;
  font.Height = -ScaledLength(kTextHeight, scaleHalves);
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
  const std::int32_t line = FScaleHalves / 2;  // the frame's width
  const std::int32_t padding = ScaledLength(kPadding, FScaleHalves);
  const std::int32_t w = extent.Width + 2 * (padding + line);
  const std::int32_t h = extent.Height + 2 * (padding + line);
  FPicture.SetSize(w, h);
  FPicture.Clear(ColorToPixel(GetSysColor(scInfoBk)));
  for (std::int32_t i = 0; i < line; ++i) {
    const TRect box = FPicture.ClientRect();
    FPicture.FrameRect(TRect{box.Left + i, box.Top + i, box.Right - i, box.Bottom - i}, kHintFrame);
  }
  FFont->TextOut(text, &FPicture, padding + line, padding + line);
  // Below the pointer when there is room, else above; never outside.
  std::int32_t top = pointer.Y + ScaledLength(kPointerGap, FScaleHalves);
  if (top + h > height) top = pointer.Y - h - 2 * line;
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
