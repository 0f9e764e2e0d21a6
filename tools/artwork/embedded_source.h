#pragma once
// Writes the C++ source that embeds the pictures' PNG files into the
// library (the definitions of ArtworkPng of editor/editor_artwork.h and
// editor/scaled_artwork.h).

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vb::artwork {

// One PNG file per picture, in TArtwork order.
using TArtworkFiles = std::vector<std::vector<std::uint8_t>>;

// Sets holds one set of files per entry of kEditorScales, in that order.
std::string EmbeddedArtworkSource(std::span<const TArtworkFiles> sets);

}  // namespace vb::artwork
