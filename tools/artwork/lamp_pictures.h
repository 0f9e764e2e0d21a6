#pragma once
// The power lamp: lit (256 x 256 logical pixels, a red glow with a white-hot
// centre) and unlit (297 x 298, a grey lens), both on transparent ground;
// the editor scales them down into their boxes. Map has the picture's size
// at Scale.

#include "editor/editor_scale.h"
#include "image/gui_custom_pixel_map.h"

namespace vb::artwork {

void DrawLampOn(TGuiCustomPixelMap& Map, TEditorScale Scale);
void DrawLampOff(TGuiCustomPixelMap& Map, TEditorScale Scale);

}  // namespace vb::artwork
