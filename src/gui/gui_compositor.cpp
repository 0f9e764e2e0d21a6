#include "gui/gui_compositor.h"

#include <algorithm>

#include "gui/gui_control.h"
#include "image/pixel32.h"

namespace vb {

namespace {

bool Contains(const TRect& Outer, const TRect& Inner) {
  return Inner.Left >= Outer.Left && Inner.Top >= Outer.Top && Inner.Right <= Outer.Right &&
         Inner.Bottom <= Outer.Bottom;
}

TRect Union(const TRect& A, const TRect& B) {
  return TRect{std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
               std::max(A.Bottom, B.Bottom)};
}

// The plain 0x00BBGGRR form of a colour that may name a system colour.
TColor PlainColor(TColor Color) {
  const TPixel32 p = ColorToPixel(Color);
  return TColor(std::uint32_t(p.R) | (std::uint32_t(p.G) << 8) | (std::uint32_t(p.B) << 16));
}

bool Painted(const TGuiControl* Control) { return Control->Visible() && Control->Width() > 0 && Control->Height() > 0; }

}  // namespace

TGuiCompositor::TGuiCompositor() = default;

TGuiCompositor::~TGuiCompositor() = default;

void TGuiCompositor::SetSize(std::int32_t Width, std::int32_t Height) {
  FDirty.clear();
  FFrame.SetSize(Width, Height);
  FCanvas = std::make_unique<TMemoryCanvas>(FFrame.RasterView());
  InvalidateAll();
}

void TGuiCompositor::Invalidate(const TRect& Area) {
  TRect dirty = Intersection(Area, TRect{0, 0, Width(), Height()});
  if (dirty.IsEmpty()) return;
  for (const TRect& r : FDirty)
    if (Contains(r, dirty)) return;
  std::erase_if(FDirty, [&](const TRect& R) { return Contains(dirty, R); });
  FDirty.push_back(dirty);
  if (FDirty.size() <= kMaxDirtyRects) return;
  for (const TRect& r : FDirty) dirty = Union(dirty, r);
  FDirty.assign(1, dirty);
}

void TGuiCompositor::Compose(TColor Background, const std::vector<TGuiControl*>& Controls,
                             const std::function<void(const TRect&)>& Present) {
  // Painting may invalidate again (a control that rebuilds its buffers asks
  // for a repaint of itself): those requests are for the next repaint.
  std::vector<TRect> areas;
  areas.swap(FDirty);
  for (const TRect& area : areas) {
    ComposeArea(Background, Controls, area);
    if (Present) Present(area);
  }
}

std::size_t TGuiCompositor::FirstPaintedLayer(const std::vector<TGuiControl*>& Controls, const TRect& Area,
                                              bool& Covered) {
  Covered = false;
  for (std::size_t i = Controls.size(); i-- > 0;) {
    const TGuiControl* c = Controls[i];
    if (c->Windowed() && Painted(c) && Contains(c->BoundsRect(), Area)) {
      Covered = true;
      return i;
    }
  }
  return 0;
}

void TGuiCompositor::PaintControl(TGuiControl& Control, TCanvas& Canvas, const TRect& Area) {
  const TRect visible = Intersection(Area, Control.BoundsRect());
  if (visible.IsEmpty()) return;
  Canvas.SaveState();
  Canvas.SetOrigin(Canvas.Origin().X + Control.Left(), Canvas.Origin().Y + Control.Top());
  Canvas.IntersectClip(TRect{visible.Left - Control.Left(), visible.Top - Control.Top(), visible.Right - Control.Left(),
                             visible.Bottom - Control.Top()});
  Control.Paint(Canvas);
  Canvas.RestoreState();
}

void TGuiCompositor::ComposeArea(TColor Background, const std::vector<TGuiControl*>& Controls, const TRect& Area) {
  bool covered = false;
  const std::size_t first = FirstPaintedLayer(Controls, Area, covered);
  if (covered) {
    // One windowed control paints the whole area: it and those above it.
    for (std::size_t i = first; i < Controls.size(); ++i)
      if (Controls[i]->Windowed() && Painted(Controls[i])) PaintControl(*Controls[i], *FCanvas, Area);
  } else {
    FFrame.FillRect(Area, ColorToPixel(Background));
    for (TGuiControl* c : Controls)
      if (!c->Windowed() && Painted(c)) PaintControl(*c, *FCanvas, Area);
    for (TGuiControl* c : Controls)
      if (c->Windowed() && Painted(c)) PaintControl(*c, *FCanvas, Area);
  }
  if (FOverlay) FOverlay(FFrame, Area);
}

void TGuiCompositor::PaintBackdrop(TColor Background, const std::vector<TGuiControl*>& Controls,
                                   const TGuiControl& Control, TCanvas& Canvas) {
  const TRect area = Control.BoundsRect();
  Canvas.SaveState();
  // Window pixels from here on: the control's corner lands on (0, 0).
  Canvas.SetOrigin(Canvas.Origin().X - area.Left, Canvas.Origin().Y - area.Top);
  Canvas.FillRect(area, PlainColor(Background));
  for (TGuiControl* c : Controls) {
    // Every windowless control lies below a windowed one; among windowless
    // controls, those created earlier lie below.
    if (c == &Control && !Control.Windowed()) break;
    if (!c->Windowed() && Painted(c)) PaintControl(*c, Canvas, area);
  }
  Canvas.RestoreState();
}

}  // namespace vb
