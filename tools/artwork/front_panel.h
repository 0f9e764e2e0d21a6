#pragma once
// The front panel picture (865 x 149): faceplate, mounting ears with screws,
// the product name and every control's caption.

#include "image/gui_custom_pixel_map.h"
#include "panel_layout.h"
#include "shapes.h"

namespace vb::artwork {

void DrawFrontPanel(TGuiCustomPixelMap& map);

// The box that a caption's ink (letters and their printed shadow) covers
// on the panel, in window pixels.
TBox CaptionBox(const TCaption& caption);

}  // namespace vb::artwork
