#pragma once
// Stitched strips: one picture holding all glyphs (states) of a control side
// by side (skHorizontal, glyph i starts at column i * glyph width) or one
// above the other (skVertical, glyph i starts at row i * glyph height).
//
// Used from the thread that owns the window only.

#include <cstddef>
#include <cstdint>

#include "gui/gui_image_list.h"
#include "png/portable_network_graphic_pixel32.h"

namespace vb {

class TGuiStitchedImageCollection;
class TGuiCustomStitchedControl;

enum TGuiStitchKind : std::uint8_t { skHorizontal = 0, skVertical = 1 };

class TGuiCustomStitchedCollectionItem : public TGuiCustomImageCollectionItem {
 public:
  explicit TGuiCustomStitchedCollectionItem(TGuiStitchedImageCollection* collection = nullptr);
  ~TGuiCustomStitchedCollectionItem() override;

  std::int32_t Index() const override;
  TGuiStitchedImageCollection* Collection() const { return FCollection; }

  std::int32_t GlyphCount() const { return FGlyphCount; }
  // Values of 0 or less raise EControlError "The glyph count must be positive".
  void SetGlyphCount(std::int32_t value);
  TGuiStitchKind StitchKind() const { return FStitchKind; }
  void SetStitchKind(TGuiStitchKind value);

 protected:
  // Linked controls pull their glyph indexes into the new range and resize.
  virtual void GlyphCountChanged();
  virtual void StitchKindChanged();

 private:
  // Every linked control as a stitched control (an assertion otherwise).
  TGuiCustomStitchedControl& LinkedStitched(std::size_t index) const;

  TGuiStitchedImageCollection* FCollection;
  std::int32_t FGlyphCount = 1;
  TGuiStitchKind FStitchKind = skHorizontal;
};

// A strip whose pixels are decoded from a PNG image it owns.
class TGuiStitchedPNGCollectionItem : public TGuiCustomStitchedCollectionItem {
 public:
  using TGuiCustomStitchedCollectionItem::TGuiCustomStitchedCollectionItem;

  const TPortableNetworkGraphicPixel32& PortableNetworkGraphic() const { return FPng; }
  // Copies Value, then RefreshPixelMap.
  void SetPortableNetworkGraphic(const TPortableNetworkGraphicPixel32& value);
  // Reads a PNG file held in memory (EPngError on broken data); the pixel
  // map follows at the next RefreshPixelMap.
  void LoadPng(const std::uint8_t* data, std::size_t size);
  // Sizes the pixel map to the PNG and decodes the PNG into it (nothing for
  // an empty PNG).
  void RefreshPixelMap();

 private:
  TPortableNetworkGraphicPixel32 FPng;
};

}  // namespace vb
