#pragma once
// The editor's pictures at each scale factor. The generator (tools/artwork)
// draws every picture natively at 1, 1.5 and 2 times the sizes of the one
// table in editor_artwork.h, and the library embeds all three sets.
//
// A strip keeps its glyph count and direction; its glyph is the 1x glyph
// times the factor (every 1x glyph side is even, so this is exact at 1.5x).
// A single picture's sides are scaled by the editor's rounding rule.

#include <cstdint>
#include <span>

#include "editor/editor_artwork.h"
#include "editor/editor_scale.h"

namespace vb {

namespace detail {

constexpr bool EveryGlyphSideIsEven() {
  for (const TArtworkInfo& info : kArtworkTable) {
    if (info.Direction != TStripDirection::sdNone && (info.GlyphWidth() % 2 != 0 || info.GlyphHeight() % 2 != 0))
      return false;
  }
  return true;
}
static_assert(EveryGlyphSideIsEven(), "a strip's glyphs must scale to whole pixels at 1.5x");

}  // namespace detail

// The table entry of a picture at Scale: the same picture, device sizes.
constexpr TArtworkInfo ScaledArtworkInfo(TArtwork Id, TEditorScale Scale) {
  TArtworkInfo info = ArtworkInfo(Id);
  const std::int32_t glyphWidth = Scaled(info.GlyphWidth(), Scale);
  const std::int32_t glyphHeight = Scaled(info.GlyphHeight(), Scale);
  switch (info.Direction) {
    case TStripDirection::sdHorizontal:
      info.Width = glyphWidth * info.GlyphCount;
      info.Height = glyphHeight;
      break;
    case TStripDirection::sdVertical:
      info.Width = glyphWidth;
      info.Height = glyphHeight * info.GlyphCount;
      break;
    case TStripDirection::sdNone:
      info.Width = glyphWidth;
      info.Height = glyphHeight;
      break;
  }
  return info;
}

// Long strips are embedded in pieces, kGlyphsPerPiece glyphs to a PNG file
// (the last file holds the rest), so that an editor decodes only the pieces
// of the glyphs it shows: a 2x knob strip decodes to 5.8 MB, one piece of
// it to 0.6 MB. Every other picture is one file.
inline constexpr std::int32_t kGlyphsPerPiece = 5;

constexpr std::int32_t ArtworkPieceCount(TArtwork Id) {
  return (ArtworkInfo(Id).GlyphCount + kGlyphsPerPiece - 1) / kGlyphsPerPiece;
}

// The glyphs of piece Piece of a picture: the first one and how many.
struct TArtworkPiece {
  std::int32_t FirstGlyph;
  std::int32_t GlyphCount;
};
constexpr TArtworkPiece ArtworkPiece(TArtwork Id, std::int32_t Piece) {
  const std::int32_t first = Piece * kGlyphsPerPiece;
  const std::int32_t rest = ArtworkInfo(Id).GlyphCount - first;
  return {first, rest < kGlyphsPerPiece ? rest : kGlyphsPerPiece};
}

// The embedded PNG files (8-bit RGBA) of a picture drawn at Scale, one per
// piece in glyph order; empty for an unknown picture. Any thread may call
// it; the bytes are constant for the life of the library.
std::span<const std::span<const std::uint8_t>> ArtworkPieces(TArtwork Id, TEditorScale Scale);

}  // namespace vb
