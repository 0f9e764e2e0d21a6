#pragma once
// Stitched strips: one picture holding all glyphs (states) of a control side
// by side (skHorizontal, glyph i starts at column i * glyph width) or one
// above the other (skVertical, glyph i starts at row i * glyph height).
//
// Used from the thread that owns the window only.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "gui/gui_image_list.h"
#include "image/gui_pixel_map_memory.h"
#include "png/portable_network_graphic_pixel32.h"

namespace vb {

class TGuiStitchedImageCollection;
class TGuiCustomStitchedControl;

enum TGuiStitchKind : std::uint8_t { skHorizontal = 0, skVertical = 1 };

class TGuiCustomStitchedCollectionItem : public TGuiCustomImageCollectionItem {
 public:
  explicit TGuiCustomStitchedCollectionItem(TGuiStitchedImageCollection* Collection = nullptr);
  ~TGuiCustomStitchedCollectionItem() override;

  std::int32_t Index() const override;
  TGuiStitchedImageCollection* Collection() const { return FCollection; }

  // Where glyph Index of a control of Width x Height pixels lies: a pixel
  // map and the offset of the glyph's first column (skHorizontal) or row
  // (skVertical) in it. The glyph is the control's size, and starts at
  // Index times that size in the whole strip. Map is never null; an offset
  // at or beyond the map's end means there is nothing to draw.
  struct TGlyphSource {
    const TGuiCustomPixelMap* Map;
    std::int64_t Offset;
  };
  virtual TGlyphSource GlyphSource(std::int32_t Index, std::int32_t Width, std::int32_t Height);
  // Sizes Target to the whole strip and copies its pixels in.
  virtual void CopyStripTo(TGuiCustomPixelMap& Target) const;

  std::int32_t GlyphCount() const { return FGlyphCount; }
  // Values of 0 or less raise EControlError "The glyph count must be positive".
  void SetGlyphCount(std::int32_t Value);
  TGuiStitchKind StitchKind() const { return FStitchKind; }
  void SetStitchKind(TGuiStitchKind Value);

 protected:
  // Linked controls pull their glyph indexes into the new range and resize.
  virtual void GlyphCountChanged();
  virtual void StitchKindChanged();

 private:
  // Every linked control as a stitched control (an assertion otherwise).
  TGuiCustomStitchedControl& LinkedStitched(std::size_t Index) const;

  TGuiStitchedImageCollection* FCollection;
  std::int32_t FGlyphCount = 1;
  TGuiStitchKind FStitchKind = skHorizontal;
};

// A strip whose pixels are decoded from PNG files: one image it owns, or
// several PNG files held in memory (pieces), each holding a run of glyphs.
//
// Pieces keep a large strip from costing its full size at once: a 2x knob
// strip is 120 x 12000 pixels (5.8 MB), of which an editor shows one glyph.
// A piece is decoded when a glyph in it is first drawn, and at most
// kKeptPieces of them stay decoded (the least recently drawn goes first).
class TGuiStitchedPNGCollectionItem : public TGuiCustomStitchedCollectionItem {
 public:
  static constexpr std::size_t kKeptPieces = 4;

  using TGuiCustomStitchedCollectionItem::TGuiCustomStitchedCollectionItem;
  ~TGuiStitchedPNGCollectionItem() override;

  const TPortableNetworkGraphicPixel32& PortableNetworkGraphic() const { return FPng; }
  // Copies Value, then RefreshPixelMap (dropping any pieces).
  void SetPortableNetworkGraphic(const TPortableNetworkGraphicPixel32& Value);
  // Reads a PNG file held in memory (EPngError on broken data); the pixel
  // map follows at the next RefreshPixelMap.
  void LoadPng(const std::uint8_t* Data, std::size_t Size);
  // Takes a strip as pieces: piece i holds glyphs i * GlyphsPerPiece on, the
  // last one the rest, stitched as this item's StitchKind. Only the headers
  // are read now: EPngError for a broken one, EControlError "The pieces of
  // the strip do not fit together" unless they share the side across the
  // strip and every piece but the last is GlyphsPerPiece glyphs long. One
  // piece is the same as LoadPng. The bytes must outlive the item.
  void LoadPngPieces(std::span<const std::span<const std::uint8_t>> Pieces, std::int32_t GlyphsPerPiece);
  // Sizes the pixel map to the PNG and decodes the PNG into it (nothing for
  // an empty PNG); a strip in pieces drops the pieces it has decoded.
  void RefreshPixelMap();

  std::int32_t Width() const override;
  std::int32_t Height() const override;
  TGlyphSource GlyphSource(std::int32_t Index, std::int32_t Width, std::int32_t Height) override;
  void CopyStripTo(TGuiCustomPixelMap& Target) const override;
  // Pieces decoded right now (for tests and memory figures), and whether
  // piece Index (from 0, along the strip) is one of them.
  std::size_t DecodedPieces() const;
  bool PieceDecoded(std::size_t Index) const {
    return Index < FPieces.size() && FPieces[Index].Pixels.DataPointer() != nullptr;
  }
  // Bytes of pixels decoded right now: the pieces held, a whole strip made
  // for a control reaching across pieces, or the picture of a strip not in
  // pieces.
  std::size_t DecodedBytes() const;

 private:
  struct TPiece {
    std::span<const std::uint8_t> File;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    TGuiPixelMapMemory Pixels;
    std::uint64_t LastDrawn = 0;
  };
  bool Horizontal() const { return StitchKind() == skHorizontal; }
  // A piece's length along the strip, and its side across it.
  std::int64_t PieceExtent(const TPiece& Piece) const { return Horizontal() ? Piece.Width : Piece.Height; }
  std::int64_t PieceSide(const TPiece& Piece) const { return Horizontal() ? Piece.Height : Piece.Width; }
  std::int64_t StripExtent(const std::vector<TPiece>& Pieces) const;
  bool PiecesFit(const std::vector<TPiece>& Pieces, std::int32_t GlyphsPerPiece) const;
  // Decodes Piece if it is not, first dropping the least recently drawn
  // piece when kKeptPieces are held.
  const TGuiCustomPixelMap& Decoded(TPiece& Piece);
  static void DecodeInto(const TPiece& Piece, TGuiCustomPixelMap& Map);

  TPortableNetworkGraphicPixel32 FPng;
  std::vector<TPiece> FPieces;
  // A strip in pieces, whole: only for a glyph reaching across two pieces.
  TGuiPixelMapMemory FWholeStrip;
  std::uint64_t FDrawClock = 0;
};

}  // namespace vb
