#pragma once
// The switch strips: the rocker marked I and O (glyphs side by side, off
// then on) and the toggle levers (glyphs stacked, lever down first, then
// middle for three positions, then up).

#include <cstdint>

#include "image/gui_custom_pixel_map.h"

namespace vb::artwork {

void DrawRockerStrip(TGuiCustomPixelMap& map, std::int32_t glyphCount);
void DrawLeverStrip(TGuiCustomPixelMap& map, std::int32_t glyphCount);

}  // namespace vb::artwork
