#pragma once
// Writes the C++ source that embeds the pictures' PNG files into the
// library (the definition of ArtworkPieces of editor/scaled_artwork.h).

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vb::artwork {

// The PNG files of one picture, one per piece (ArtworkPieceCount).
using TPictureFiles = std::vector<std::vector<std::uint8_t>>;
// Every picture's files, in TArtwork order.
using TArtworkFiles = std::vector<TPictureFiles>;

// Sets holds one set of files per entry of kEditorScales, in that order.
std::string EmbeddedArtworkSource(std::span<const TArtworkFiles> Sets);

}  // namespace vb::artwork
