#pragma once
// The editor's fifteen pictures, drawn and encoded. Start-up (cpu, image,
// PNG units) must have run on this thread before any call.

#include <cstdint>
#include <vector>

#include "editor/editor_artwork.h"
#include "image/gui_pixel_map_memory.h"

namespace vb::artwork {

// Sizes Map to the picture's table size and draws it.
void DrawArtwork(TArtwork id, TGuiPixelMapMemory& map);

// A complete PNG file of Map as 8-bit RGBA.
std::vector<std::uint8_t> EncodeRgbaPng(const TGuiCustomPixelMap& map);

}  // namespace vb::artwork
