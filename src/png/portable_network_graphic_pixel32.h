#pragma once
// The PNG file format bound to 32-bit pixel maps: decodes the image data
// into a pixel map and encodes a pixel map, choosing colour type and bit
// depth from its colours. Registered as the file format for ".png".
#include <cstdint>

#include "image/gui_custom_pixel_map.h"
#include "png/portable_network_graphic.h"

namespace vb {

enum TPngStorageFormat : uint8_t { psfAuto, psfGrayscale, psfPalette, psfRGB, psfRGBA };

class TPortableNetworkGraphicPixel32 : public TPortableNetworkGraphic {
 public:
  TPngStorageFormat StorageFormat() const { return FStorageFormat; }
  void SetStorageFormat(TPngStorageFormat Value) { FStorageFormat = Value; }

  // A pixel map: sized to the image (limits checked first), then decoded.
  // Any other map raises EGuiError.
  void AssignTo(TGuiCustomMap& Dest) const override;
  // A pixel map: encoded (header, palette, transparency, image data).
  void Assign(const TGuiCustomMap& Source) override;
  using TPortableNetworkGraphic::Assign;
  using TPortableNetworkGraphic::AssignTo;

  // Decodes into PixelMap, which must already have the image's size.
  virtual void DrawToPixelMap(TGuiCustomPixelMap& PixelMap) const;
  // The streamed "Data" property: a complete PNG file.
  virtual void ReadData(TStream& Stream) { LoadFromStream(Stream); }
  virtual void WriteData(TStream& Stream) { SaveToStream(Stream); }

  // Refuses headers whose pixel map would be negative, too large, or larger
  // than the compressed data could fill (EPngError or "Data not complete").
  void CheckImageLimits() const;

 private:
  TPngStorageFormat FStorageFormat = psfAuto;
};

}  // namespace vb
