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
std::int32_t ScaledLength(std::int32_t Length, std::int32_t ScaleHalves) { return (Length * ScaleHalves + 1) / 2; }
}  // namespace

TGuiHint::TGuiHint(TTextRenderer* Renderer, std::int32_t ScaleHalves)
    : FFont(std::make_unique<TGuiSimpleGDIFont>(Renderer)), FScaleHalves(ScaleHalves) {
  TFont font;
  font.Height = -ScaledLength(kTextHeight, ScaleHalves);
  font.Color = GetSysColor(scInfoText);
  FFont->SetAntialiasing(true);
  FFont->SetFont(font);
}

TGuiHint::~TGuiHint() = default;

TRect TGuiHint::Show(const std::string& Text, TPoint Pointer, std::int32_t Width, std::int32_t Height) {
  FBounds = TRect{};
  FText = Text;
  if (Text.empty()) return FBounds;
  const TTextExtent extent = FFont->TextExtent(Text);
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
  FFont->TextOut(Text, &FPicture, padding + line, padding + line);
  // Below the pointer when there is room, else above; never outside.
  std::int32_t top = Pointer.Y + ScaledLength(kPointerGap, FScaleHalves);
  if (top + h > Height) top = Pointer.Y - h - 2 * line;
  const std::int32_t left = std::clamp(Pointer.X, 0, std::max(0, Width - w));
  top = std::clamp(top, 0, std::max(0, Height - h));
  FBounds = TRect{left, top, left + w, top + h};
  return FBounds;
}

void TGuiHint::PaintTo(TGuiCustomPixelMap& Frame, const TRect& Area) const {
  const TRect part = Intersection(Intersection(Area, FBounds), Frame.ClientRect());
  if (part.IsEmpty()) return;
  for (std::int32_t y = part.Top; y < part.Bottom; ++y)
    std::memcpy(Frame.ScanLine(y) + part.Left, FPicture.ScanLine(y - FBounds.Top) + (part.Left - FBounds.Left),
                std::size_t(part.Width()) * 4);
}

}  // namespace vb
