#pragma once
// The peak meter strip: glyphs of 20 x 84 (logical) side by side, a red mark rising
// from the bottom of the scale (glyph 0) to its top (last glyph).

#include <cstdint>

#include "editor/editor_scale.h"
#include "image/gui_custom_pixel_map.h"

namespace vb::artwork {

// The row of the mark's centre within a glyph, logical pixels.
double MeterMarkRow(std::int32_t Glyph, std::int32_t GlyphCount);

// Map has the strip's size at Scale.
void DrawMeterStrip(TGuiCustomPixelMap& Map, std::int32_t GlyphCount, TEditorScale Scale);

}  // namespace vb::artwork
