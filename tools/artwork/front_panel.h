#pragma once
// The front panel picture (865 x 149): faceplate, mounting ears with screws,
// the product name and every control's caption.

#include "image/gui_custom_pixel_map.h"

namespace vb::artwork {

void DrawFrontPanel(TGuiCustomPixelMap& map);

}  // namespace vb::artwork
