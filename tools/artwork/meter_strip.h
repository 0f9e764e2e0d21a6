#pragma once
// The peak meter strip: glyphs of 20 x 84 side by side, a red mark rising
// from the bottom of the scale (glyph 0) to its top (last glyph).

#include <cstdint>

#include "image/gui_custom_pixel_map.h"

namespace vb::artwork {

// The row of the mark's centre within a glyph.
double MeterMarkRow(std::int32_t glyph, std::int32_t glyphCount);

void DrawMeterStrip(TGuiCustomPixelMap& map, std::int32_t glyphCount);

}  // namespace vb::artwork
