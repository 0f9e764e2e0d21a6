#pragma once
// The pointer knob strips: 100 glyphs of 60 x 60 (logical) stacked vertically, the
// pointer turning from lower left (glyph 0) through straight up to lower
// right (glyph 99), with three scale numbers printed around the knob.

#include <cstdint>
#include <vector>

#include "editor/editor_artwork.h"
#include "editor/editor_scale.h"
#include "image/gui_custom_pixel_map.h"
#include "image/gui_pixel_map_memory.h"

namespace vb::artwork {

struct TKnobScale {
  const char* Low;   // printed at the lower left end of the travel
  const char* Mid;   // at the top
  const char* High;  // at the lower right end
};

// The pointer's angle for a glyph, in degrees clockwise from straight up:
// -135 for the first glyph, +135 for the last.
double KnobPointerAngle(std::int32_t Glyph, std::int32_t GlyphCount);

// Draws the whole strip; Map must already have the strip's size.
struct TKnobArtwork {
  TArtwork Id;
  TKnobScale Scale;
};

// Map has the strip's size at PictureScale. Any thread.
void DrawKnobStrip(TGuiCustomPixelMap& Map, const TKnobScale& Scale, std::int32_t GlyphCount,
                   TEditorScale PictureScale);

// The turning part of every glyph (the knob over the fixed scale) at a
// factor above 1, on transparent ground: drawn once, on first use, for all
// knob strips of that factor. Any thread; the first caller draws.
const std::vector<TGuiPixelMapMemory>& KnobLayers(std::int32_t GlyphCount, TEditorScale Scale);

}  // namespace vb::artwork
