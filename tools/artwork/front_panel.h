#pragma once
// The front panel picture (865 x 149 logical pixels): faceplate, mounting
// ears with screws, the product name and every control's caption.

#include "editor/editor_scale.h"
#include "image/gui_custom_pixel_map.h"
#include "panel_layout.h"
#include "shapes.h"

namespace vb::artwork {

// Map has the picture's size at Scale.
void DrawFrontPanel(TGuiCustomPixelMap& Map, TEditorScale Scale);

// The box that a caption's ink (letters and their printed shadow) covers
// on the panel drawn at Scale, in window (device) pixels.
TBox CaptionBox(const TCaption& Caption, TEditorScale Scale = TEditorScale::esOne);

}  // namespace vb::artwork
