#pragma once
// The hint a window shows for the control the pointer rests on: a small box
// with the control's hint text, drawn above everything else in the window's
// own frame (the window cannot open pop-ups of its own inside a host), near
// the pointer and kept inside the window.
//
// Used from the thread that owns the window only.

#include <cstdint>
#include <memory>
#include <string>

#include "image/gui_pixel_map_memory.h"
#include "platform/rect.h"

namespace vb {

class TGuiSimpleGDIFont;
class TTextRenderer;

class TGuiHint {
 public:
  // Pointer rest before a hint shows, and how long it stays, in ms.
  static constexpr std::uint64_t kShowDelayMs = 500;
  static constexpr std::uint64_t kShowTimeMs = 5000;

  // Renderer defaults to the system's text renderer. ScaleHalves is the
  // window's pixel density in halves (2: 1x, 3: 1.5x, 4: 2x): the text,
  // padding and frame grow with it.
  explicit TGuiHint(TTextRenderer* Renderer = nullptr, std::int32_t ScaleHalves = 2);
  ~TGuiHint();
  TGuiHint(const TGuiHint&) = delete;
  TGuiHint& operator=(const TGuiHint&) = delete;

  // Lays out Text below and right of Pointer, inside a Width x Height window.
  // Returns the box's place (empty for an empty text).
  TRect Show(const std::string& Text, TPoint Pointer, std::int32_t Width, std::int32_t Height);
  void Hide() { FBounds = TRect{}; }
  bool Visible() const { return !FBounds.IsEmpty(); }
  TRect Bounds() const { return FBounds; }
  const std::string& Text() const { return FText; }

  // Draws the part of the box that lies in Area into Frame.
  void PaintTo(TGuiCustomPixelMap& Frame, const TRect& Area) const;

 private:
  std::unique_ptr<TGuiSimpleGDIFont> FFont;
  TGuiPixelMapMemory FPicture;
  std::string FText;
  TRect FBounds;
  std::int32_t FScaleHalves;
};

}  // namespace vb
