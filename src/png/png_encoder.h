#pragma once
// Scanline encoders: the rows of a 32-bit pixel map become uncompressed,
// non-interlaced PNG image data (per row a filter-type byte and the samples
// in the header's colour type and bit depth). Indexed rows are written
// unfiltered; every other row gets the cheapest of the five filters.
#include <cstdint>
#include <memory>
#include <vector>

#include "png/png_coder.h"

namespace vb {

class TCustomPngEncoder : public TCustomPngCoder {
 public:
  using TCustomPngCoder::TCustomPngCoder;
  // Appends Height rows of image data to the stream at its position.
  virtual void EncodeFromScanline(const TScanLineCallback& Callback) = 0;
};

class TCustomPngNonInterlacedEncoder : public TCustomPngEncoder {
 public:
  TCustomPngNonInterlacedEncoder(TPngMemoryStream& Stream, const TChunkPngImageHeader& Header,
                                 const TChunkPngGamma* Gamma, const TChunkPngPalette* Palette,
                                 const TChunkPngTransparency* Transparency = nullptr);
  void EncodeFromScanline(const TScanLineCallback& Callback) override;
  // First palette entry with the pixel's R, G and B, or -1. With a palette
  // tRNS chunk the entry's alpha (255 past its end) must match as well.
  int FindPaletteIndex(TPixel32 Color) const;

 protected:
  // Width pixels of Source into samples at Destination.
  virtual void TransferRow(const TPixel32* Source, uint8_t* Destination) = 0;

  size_t FBytesPerRow;
  size_t FRowByteSize;
  std::vector<uint8_t> FRowBuffer[2];
  const std::vector<uint8_t>* FPaletteAlpha = nullptr;
  // The last colour looked up and its index: neighbouring pixels repeat.
  mutable uint32_t FLastColor = 0;
  mutable int FLastIndex = -2;
};

enum class TPngEncoderSamples {
  Gray1,
  Gray2,
  Gray4,
  Gray8,
  TrueColor,
  Palette1,
  Palette2,
  Palette4,
  Palette8,
  GrayAlpha,
  TrueColorAlpha
};

template <TPngEncoderSamples kSamples>
class TPngEncoderOf final : public TCustomPngNonInterlacedEncoder {
 public:
  using TCustomPngNonInterlacedEncoder::TCustomPngNonInterlacedEncoder;

 protected:
  void TransferRow(const TPixel32* Source, uint8_t* Destination) override;
};

using TPngRGBAGrayscale1bitEncoder = TPngEncoderOf<TPngEncoderSamples::Gray1>;
using TPngRGBAGrayscale2bitEncoder = TPngEncoderOf<TPngEncoderSamples::Gray2>;
using TPngRGBAGrayscale4bitEncoder = TPngEncoderOf<TPngEncoderSamples::Gray4>;
using TPngRGBAGrayscale8bitEncoder = TPngEncoderOf<TPngEncoderSamples::Gray8>;
using TPngBGRATrueColor8bitEncoder = TPngEncoderOf<TPngEncoderSamples::TrueColor>;
using TPngBGRAPalette1bitEncoder = TPngEncoderOf<TPngEncoderSamples::Palette1>;
using TPngBGRAPalette2bitEncoder = TPngEncoderOf<TPngEncoderSamples::Palette2>;
using TPngBGRAPalette4bitEncoder = TPngEncoderOf<TPngEncoderSamples::Palette4>;
using TPngBGRAPalette8bitEncoder = TPngEncoderOf<TPngEncoderSamples::Palette8>;
using TPngRGBAGrayscaleAlpha8bitEncoder = TPngEncoderOf<TPngEncoderSamples::GrayAlpha>;
using TPngBGRATrueColorAlpha8bitEncoder = TPngEncoderOf<TPngEncoderSamples::TrueColorAlpha>;

// The encoder for the header's colour type and bit depth; EPngError
// "Unsupported Format" for colour types 0 and 3 with depths other than
// 1, 2, 4, 8 and for unknown colour types.
std::unique_ptr<TCustomPngNonInterlacedEncoder> CreatePngEncoder(TPngMemoryStream& Stream,
                                                                 const TChunkPngImageHeader& Header,
                                                                 const TChunkPngGamma* Gamma,
                                                                 const TChunkPngPalette* Palette,
                                                                 const TChunkPngTransparency* Transparency = nullptr);

}  // namespace vb
