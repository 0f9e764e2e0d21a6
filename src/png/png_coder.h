#pragma once
// The base of the scanline decoders and encoders: the image's header,
// gamma, palette and transparency chunks, and the lookup tables built from
// them once per run.
#include <array>
#include <cstdint>
#include <functional>

#include "image/pixel32.h"
#include "png/png_chunk_layouts.h"
#include "png/png_chunks_basic.h"
#include "png/png_memory_stream.h"

namespace vb {

// Row Y of the destination (decoders) or source (encoders).
using TScanLineCallback = std::function<TPixel32*(int32_t Y)>;

class TCustomPngCoder {
 public:
  TCustomPngCoder(TPngMemoryStream& Stream, const TChunkPngImageHeader& Header, const TChunkPngGamma* Gamma,
                  const TChunkPngPalette* Palette, const TChunkPngTransparency* Transparency = nullptr);
  virtual ~TCustomPngCoder() = default;
  TCustomPngCoder(const TCustomPngCoder&) = delete;
  TCustomPngCoder& operator=(const TCustomPngCoder&) = delete;

  // Per-sample colour mapping (the gamma table; identity without gamma).
  const std::array<uint8_t, 256>& MappingTable() const { return FMappingTable; }
  bool MappingIsIdentity() const { return FMappingIsIdentity; }
  // Ready pixels for palette indices and grey samples of up to 8 bits;
  // indices past the palette decode as opaque black.
  const std::array<TPixel32, 256>& PixelTable() const { return FPixelTable; }
  // Key colour of tRNS (grey or truecolour), full sample precision.
  bool HasKeyColor() const { return FHasKeyColor; }
  uint16_t KeyRed() const { return FKeyRed; }
  uint16_t KeyGreen() const { return FKeyGreen; }
  uint16_t KeyBlue() const { return FKeyBlue; }
  const TChunkPngImageHeader& Header() const { return FHeader; }

 protected:
  virtual void BuildMappingTable();
  void BuildPixelTable();

  TPngMemoryStream& FStream;
  const TChunkPngImageHeader& FHeader;
  const TChunkPngGamma* FGamma;
  const TChunkPngPalette* FPalette;
  const TChunkPngTransparency* FTransparency;
  std::array<uint8_t, 256> FMappingTable{};
  bool FMappingIsIdentity = true;
  std::array<TPixel32, 256> FPixelTable{};
  bool FHasKeyColor = false;
  uint16_t FKeyRed = 0, FKeyGreen = 0, FKeyBlue = 0;
};

// The gamma curve of the codec: nearest(((i / 255) ^ e) * 255) with
// e = 1 / (Gamma * 0.000022); the identity for Gamma 0.
std::array<uint8_t, 256> BuildPngGammaTable(uint32_t Gamma);

}  // namespace vb
