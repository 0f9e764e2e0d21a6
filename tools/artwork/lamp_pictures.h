#pragma once
// The power lamp: lit (256 x 256, a red glow with a white-hot centre) and
// unlit (297 x 298, a grey lens), both on transparent ground; the editor
// scales them down into their boxes.

#include "image/gui_custom_pixel_map.h"

namespace vb::artwork {

void DrawLampOn(TGuiCustomPixelMap& map);
void DrawLampOff(TGuiCustomPixelMap& map);

}  // namespace vb::artwork
