#include "gui/gui_compositor.h"

#include <algorithm>

#include "gui/gui_control.h"
#include "image/pixel32.h"

namespace vb {

namespace {

bool Contains(const TRect& outer, const TRect& inner) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}

TRect Union(const TRect& a, const TRect& b) {
  return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
               std::max(a.Bottom, b.Bottom)};
}

// The plain 0x00BBGGRR form of a colour that may name a system colour.
TColor PlainColor(TColor color) {
  const TPixel32 p = ColorToPixel(color);
  return TColor(std::uint32_t(p.R) | (std::uint32_t(p.G) << 8) | (std::uint32_t(p.B) << 16));
}

bool Painted(const TGuiControl* control) { return control->Visible() && control->Width() > 0 && control->Height() > 0; }

}  // namespace

TGuiCompositor::TGuiCompositor() = default;

TGuiCompositor::~TGuiCompositor() = default;

void TGuiCompositor::SetSize(std::int32_t width, std::int32_t height) {
  FDirty.clear();
  FFrame.SetSize(width, height);
  FCanvas = std::make_unique<TMemoryCanvas>(FFrame.RasterView());
  InvalidateAll();
}

void TGuiCompositor::Invalidate(const TRect& area) {
  TRect dirty = Intersection(area, TRect{0, 0, Width(), Height()});
  if (dirty.IsEmpty()) return;
  for (const TRect& r : FDirty)
    if (Contains(r, dirty)) return;
  std::erase_if(FDirty, [&](const TRect& r) { return Contains(dirty, r); });
  FDirty.push_back(dirty);
  if (FDirty.size() <= kMaxDirtyRects) return;
  for (const TRect& r : FDirty) dirty = Union(dirty, r);
  FDirty.assign(1, dirty);
}

void TGuiCompositor::Compose(TColor background, const std::vector<TGuiControl*>& controls,
                             const std::function<void(const TRect&)>& present) {
  // Painting may invalidate again (a control that rebuilds its buffers asks
  // for a repaint of itself): those requests are for the next repaint.
  std::vector<TRect> areas;
  areas.swap(FDirty);
  for (const TRect& area : areas) {
    ComposeArea(background, controls, area);
    if (present) present(area);
  }
}

std::size_t TGuiCompositor::FirstPaintedLayer(const std::vector<TGuiControl*>& controls, const TRect& area,
                                              bool& covered) {
  covered = false;
  for (std::size_t i = controls.size(); i-- > 0;) {
    const TGuiControl* c = controls[i];
    if (c->Windowed() && Painted(c) && Contains(c->BoundsRect(), area)) {
      covered = true;
      return i;
    }
  }
  return 0;
}

void TGuiCompositor::PaintControl(TGuiControl& control, TCanvas& canvas, const TRect& area) {
  const TRect visible = Intersection(area, control.BoundsRect());
  if (visible.IsEmpty()) return;
  canvas.SaveState();
  canvas.SetOrigin(canvas.Origin().X + control.Left(), canvas.Origin().Y + control.Top());
  canvas.IntersectClip(TRect{visible.Left - control.Left(), visible.Top - control.Top(), visible.Right - control.Left(),
                             visible.Bottom - control.Top()});
  control.Paint(canvas);
  canvas.RestoreState();
}

void TGuiCompositor::ComposeArea(TColor background, const std::vector<TGuiControl*>& controls, const TRect& area) {
  bool covered = false;
  const std::size_t first = FirstPaintedLayer(controls, area, covered);
  if (covered) {
    // One windowed control paints the whole area: it and those above it.
    for (std::size_t i = first; i < controls.size(); ++i)
      if (controls[i]->Windowed() && Painted(controls[i])) PaintControl(*controls[i], *FCanvas, area);
  } else {
    FFrame.FillRect(area, ColorToPixel(background));
    for (TGuiControl* c : controls)
      if (!c->Windowed() && Painted(c)) PaintControl(*c, *FCanvas, area);
    for (TGuiControl* c : controls)
      if (c->Windowed() && Painted(c)) PaintControl(*c, *FCanvas, area);
  }
  if (FOverlay) FOverlay(FFrame, area);
}

void TGuiCompositor::PaintBackdrop(TColor background, const std::vector<TGuiControl*>& controls,
                                   const TGuiControl& control, TCanvas& canvas) {
  const TRect area = control.BoundsRect();
  canvas.SaveState();
  // Window pixels from here on: the control's corner lands on (0, 0).
  canvas.SetOrigin(canvas.Origin().X - area.Left, canvas.Origin().Y - area.Top);
  canvas.FillRect(area, PlainColor(background));
  for (TGuiControl* c : controls) {
    // Every windowless control lies below a windowed one; among windowless
    // controls, those created earlier lie below.
    if (c == &control && !control.Windowed()) break;
    if (!c->Windowed() && Painted(c)) PaintControl(*c, canvas, area);
  }
  canvas.RestoreState();
}

}  // namespace vb
