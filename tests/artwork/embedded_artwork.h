#pragma once
// The embedded pictures as whole pixel maps, for tests: every piece of a
// picture decoded on its own and put in its place, each checked to be 8-bit
// RGBA.
#include <gtest/gtest.h>

#include <algorithm>

#include "editor/scaled_artwork.h"
#include "image/gui_pixel_map_memory.h"
#include "png/portable_network_graphic_pixel32.h"

namespace vb {

inline void DecodeEmbedded(TArtwork Id, TEditorScale Scale, TGuiPixelMapMemory& Map) {
  const TArtworkInfo info = ScaledArtworkInfo(Id, Scale);
  const bool across = info.Direction == TStripDirection::sdHorizontal;
  const auto pieces = ArtworkPieces(Id, Scale);
  ASSERT_EQ(std::int32_t(pieces.size()), ArtworkPieceCount(Id)) << info.DisplayName;
  Map.SetSize(info.Width, info.Height);
  std::int32_t at = 0;
  for (const std::span<const std::uint8_t> file : pieces) {
    TPortableNetworkGraphicPixel32 png;
    png.LoadFromMemory(file.data(), file.size());
    EXPECT_EQ(png.ImageHeader().BitDepth(), 8);
    EXPECT_EQ(png.ImageHeader().ColorType(), 6);  // RGBA
    TGuiPixelMapMemory piece;
    png.AssignTo(piece);
    ASSERT_EQ(across ? piece.Height() : piece.Width(), across ? info.Height : info.Width) << info.DisplayName;
    ASSERT_LE(at + (across ? piece.Width() : piece.Height()), across ? info.Width : info.Height) << info.DisplayName;
    for (std::int32_t y = 0; y < piece.Height(); ++y)
      std::copy_n(piece.ScanLine(y), piece.Width(), across ? Map.ScanLine(y) + at : Map.ScanLine(at + y));
    at += across ? piece.Width() : piece.Height();
  }
  EXPECT_EQ(at, across ? info.Width : info.Height) << info.DisplayName;
}

}  // namespace vb
