#pragma once
// The editor's fifteen pictures, drawn and encoded at any scale factor. Start-up (cpu, image,
// PNG units) must have run on this thread before any call.

#include <cstdint>
#include <vector>

#include "editor/editor_artwork.h"
#include "editor/scaled_artwork.h"
#include "image/gui_pixel_map_memory.h"
#include "knob_strip.h"

namespace vb::artwork {

// Sizes Map to the picture's table size at Scale and draws it natively at
// that scale.
void DrawArtwork(TArtwork Id, TGuiPixelMapMemory& Map, TEditorScale Scale = TEditorScale::esOne);

// The numbers printed around a knob strip (null for other pictures).
const TKnobScale* KnobScale(TArtwork Id);

// A complete PNG file of Map as 8-bit RGBA, compressed at zlib's Level (1..9).
std::vector<std::uint8_t> EncodeRgbaPng(const TGuiCustomPixelMap& Map, std::uint8_t Level = 9);

// The embedded files of a picture drawn at Scale into Map: one per piece of
// its glyphs (ArtworkPieceCount), each compressed at PngLevel(Scale).
std::vector<std::vector<std::uint8_t>> EncodeArtworkPieces(const TGuiCustomPixelMap& Map, TArtwork Id,
                                                           TEditorScale Scale);

// The level the embedded files of a scale are compressed at. The 1x files
// keep the strongest; the larger sets take the default level, which makes
// them at most a few per cent larger in a small part of the build time
// (a 2x knob strip: 0.3 s instead of 2.2 s).
constexpr std::uint8_t PngLevel(TEditorScale Scale) { return Scale == TEditorScale::esOne ? 9 : 6; }

}  // namespace vb::artwork
