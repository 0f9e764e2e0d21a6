#pragma once
// The switch strips: the rocker marked I and O (glyphs side by side, off
// then on) and the toggle levers (glyphs stacked, lever down first, then
// middle for three positions, then up).

#include <cstdint>

#include "editor/editor_scale.h"
#include "image/gui_custom_pixel_map.h"

namespace vb::artwork {

// Map has the strip's size at Scale.
void DrawRockerStrip(TGuiCustomPixelMap& Map, std::int32_t GlyphCount, TEditorScale Scale);
void DrawLeverStrip(TGuiCustomPixelMap& Map, std::int32_t GlyphCount, TEditorScale Scale);

}  // namespace vb::artwork
