#pragma once
// Builds a window's picture in one 32-bit frame: the window's colour, then
// the visible windowless controls in creation order, then the visible
// windowed controls in creation order. Areas to repaint are collected as
// dirty rectangles, so a repaint touches only what changed; an area lying
// wholly inside a windowed control (which paints every pixel) starts at that
// control and skips everything beneath it.
//
// Used from the thread that owns the window only.

#include <cstdint>
#include <functional>
#include <vector>

#include "image/gui_pixel_map_memory.h"
#include "platform/canvas.h"
#include "platform/memory_canvas.h"
#include "platform/rect.h"

namespace vb {

class TGuiControl;

class TGuiCompositor {
 public:
  // Paints something above all controls into the frame, limited to Area.
  using TOverlayPainter = std::function<void(TGuiPixelMapMemory& Frame, const TRect& Area)>;

  // More dirty rectangles than this are merged into their bounding box.
  static constexpr std::size_t kMaxDirtyRects = 16;

  TGuiCompositor();
  ~TGuiCompositor();
  TGuiCompositor(const TGuiCompositor&) = delete;
  TGuiCompositor& operator=(const TGuiCompositor&) = delete;

  // Resizes the frame (cleared) and marks all of it dirty.
  void SetSize(std::int32_t Width, std::int32_t Height);
  std::int32_t Width() const { return FFrame.Width(); }
  std::int32_t Height() const { return FFrame.Height(); }

  // Adds Area (clipped to the frame) to the dirty rectangles.
  void Invalidate(const TRect& Area);
  void InvalidateAll() { Invalidate(TRect{0, 0, Width(), Height()}); }
  bool HasDirty() const { return !FDirty.empty(); }
  const std::vector<TRect>& DirtyRects() const { return FDirty; }

  // Repaints every dirty rectangle from Controls (creation order) over
  // Background and hands each one to Present; the dirty list is empty after.
  void Compose(TColor Background, const std::vector<TGuiControl*>& Controls,
               const std::function<void(const TRect&)>& Present);

  // Paints into Canvas (whose (0, 0) is Control's top-left corner) what lies
  // behind Control: the background and the visible windowless controls
  // created before it (all of them when Control is windowed).
  void PaintBackdrop(TColor Background, const std::vector<TGuiControl*>& Controls, const TGuiControl& Control,
                     TCanvas& Canvas);

  // Runs after the controls of every composed area (null: nothing).
  void SetOverlay(TOverlayPainter Painter) { FOverlay = std::move(Painter); }

  // The composed picture (opaque once composed).
  const TGuiPixelMapMemory& Frame() const { return FFrame; }
  TRasterView FrameView() const { return FFrame.RasterView(); }

 private:
  void ComposeArea(TColor Background, const std::vector<TGuiControl*>& Controls, const TRect& Area);
  // Index of the first control that must be painted for Area.
  static std::size_t FirstPaintedLayer(const std::vector<TGuiControl*>& Controls, const TRect& Area, bool& Covered);
  static void PaintControl(TGuiControl& Control, TCanvas& Canvas, const TRect& Area);

  TGuiPixelMapMemory FFrame;
  std::unique_ptr<TMemoryCanvas> FCanvas;
  std::vector<TRect> FDirty;
  TOverlayPainter FOverlay;
};

}  // namespace vb
