#pragma once
// Writes the C++ source that embeds the pictures' PNG files into the
// library (the definition of ArtworkPng of editor/editor_artwork.h).

#include <cstdint>
#include <string>
#include <vector>

namespace vb::artwork {

// Files holds one PNG file per picture, in TArtwork order.
std::string EmbeddedArtworkSource(const std::vector<std::vector<std::uint8_t>>& files);

}  // namespace vb::artwork
