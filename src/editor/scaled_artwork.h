#pragma once
// The editor's pictures at each scale factor. The generator (tools/artwork)
// draws every picture natively at 1, 1.5 and 2 times the sizes of the one
// table in editor_artwork.h, and the library embeds all three sets. At 1x
// these are the very files ArtworkPng(id) gives.
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
constexpr TArtworkInfo ScaledArtworkInfo(TArtwork id, TEditorScale scale) {
  TArtworkInfo info = ArtworkInfo(id);
  const std::int32_t glyphWidth = Scaled(info.GlyphWidth(), scale);
  const std::int32_t glyphHeight = Scaled(info.GlyphHeight(), scale);
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

// The embedded PNG file of a picture drawn at Scale (8-bit RGBA). Any
// thread may call it; the bytes are constant for the life of the library.
std::span<const std::uint8_t> ArtworkPng(TArtwork id, TEditorScale scale);

}  // namespace vb
