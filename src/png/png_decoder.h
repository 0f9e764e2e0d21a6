#pragma once
// Scanline decoders: they undo the row filters of the inflated image data,
// walk the Adam7 passes of interlaced images and turn each row into
// TPixel32 values through one transfer routine per colour format.
//
// Decoders unfilter the rows in place in the stream's memory (the stream
// is the caller's working copy of the inflated data), so only one row of
// zeros and, for Adam7, one row of pass pixels are held besides it.
#include <cstdint>
#include <memory>
#include <vector>

#include "png/png_coder.h"
#include "png/png_row_transfer.h"

namespace vb {

class TCustomPngDecoder : public TCustomPngCoder {
 public:
  using TCustomPngCoder::TCustomPngCoder;
  // Reads the rows from the stream's position and writes every row of the
  // image through Callback. Data that ends before a row is complete raises
  // the plain error "Data not complete" (rows already written stay).
  virtual void DecodeToScanline(const TScanLineCallback& Callback) = 0;

 protected:
  // Count pixels from unfiltered Source into consecutive Destination pixels.
  virtual void TransferRow(const uint8_t* Source, TPixel32* Destination, uint32_t Count) = 0;
  // The next Size bytes of the stream, or "Data not complete".
  uint8_t* TakeRow(size_t Size);
  static TPixel32* RequireRow(const TScanLineCallback& Callback, int32_t Y);
};

class TCustomPngNonInterlacedDecoder : public TCustomPngDecoder {
 public:
  TCustomPngNonInterlacedDecoder(TPngMemoryStream& Stream, const TChunkPngImageHeader& Header,
                                 const TChunkPngGamma* Gamma, const TChunkPngPalette* Palette,
                                 const TChunkPngTransparency* Transparency = nullptr);
  void DecodeToScanline(const TScanLineCallback& Callback) override;

 protected:
  size_t FBytesPerRow;
  size_t FRowByteSize;
  std::vector<uint8_t> FZeroRow;
};

class TCustomPngAdam7Decoder : public TCustomPngDecoder {
 public:
  TCustomPngAdam7Decoder(TPngMemoryStream& Stream, const TChunkPngImageHeader& Header, const TChunkPngGamma* Gamma,
                         const TChunkPngPalette* Palette, const TChunkPngTransparency* Transparency = nullptr);
  void DecodeToScanline(const TScanLineCallback& Callback) override;

 protected:
  std::vector<uint8_t> FZeroRow;
  std::vector<TPixel32> FPassPixels;
};

// Binds a transfer routine to a decoder shape.
template <class TBase, TPngTransferRow kTransfer>
class TPngDecoderOf final : public TBase {
 public:
  using TBase::TBase;

 protected:
  void TransferRow(const uint8_t* Source, TPixel32* Destination, uint32_t Count) override {
    kTransfer(*this, Source, Destination, Count);
  }
};

using TPngGrayscale1bitRGBADecoder = TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferIndexedRow<1>>;
using TPngGrayscale2bitRGBADecoder = TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferIndexedRow<2>>;
using TPngGrayscale4bitRGBADecoder = TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferIndexedRow<4>>;
using TPngGrayscale8bitRGBADecoder = TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferIndexedRow<8>>;
using TPngGrayscale16bitRGBADecoder = TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferGray16Row>;
using TPngTrueColor8bitBGRADecoder = TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferTrueColor8Row>;
using TPngTrueColor16bitBGRADecoder = TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferTrueColor16Row>;
using TPngPalette8bitBGRADecoder = TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferIndexedRow<8>>;
using TPngGrayscaleAlpha8bitRGBADecoder = TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferGrayAlpha8Row>;
using TPngGrayscaleAlpha16bitRGBADecoder = TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferGrayAlpha16Row>;
using TPngTrueColorAlpha8bitBGRADecoder = TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferTrueColorAlpha8Row>;
using TPngTrueColorAlpha16bitBGRADecoder = TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferTrueColorAlpha16Row>;

using TPngAdam7Grayscale1bitRGBADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferIndexedRow<1>>;
using TPngAdam7Grayscale2bitRGBADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferIndexedRow<2>>;
using TPngAdam7Grayscale4bitRGBADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferIndexedRow<4>>;
using TPngAdam7Grayscale8bitRGBADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferIndexedRow<8>>;
using TPngAdam7Grayscale16bitRGBADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferGray16Row>;
using TPngAdam7TrueColor8bitBGRADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferTrueColor8Row>;
using TPngAdam7TrueColor16bitBGRADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferTrueColor16Row>;
using TPngAdam7Palette1bitBGRADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferIndexedRow<1>>;
using TPngAdam7Palette2bitBGRADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferIndexedRow<2>>;
using TPngAdam7Palette4bitBGRADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferIndexedRow<4>>;
using TPngAdam7Palette8bitBGRADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferIndexedRow<8>>;
using TPngAdam7GrayscaleAlpha8bitRGBADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferGrayAlpha8Row>;
using TPngAdam7GrayscaleAlpha16bitRGBADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferGrayAlpha16Row>;
using TPngAdam7TrueColorAlpha8bitBGRADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferTrueColorAlpha8Row>;
using TPngAdam7TrueColorAlpha16bitBGRADecoder = TPngDecoderOf<TCustomPngAdam7Decoder, TransferTrueColorAlpha16Row>;

// The decoder for the header's interlace method, colour type and bit depth;
// EPngError "Unsupported Format" for any other combination.
std::unique_ptr<TCustomPngDecoder> CreatePngDecoder(TPngMemoryStream& Stream, const TChunkPngImageHeader& Header,
                                                    const TChunkPngGamma* Gamma, const TChunkPngPalette* Palette,
                                                    const TChunkPngTransparency* Transparency = nullptr);

// Bytes of inflated data the header's image needs (filter bytes included).
uint64_t PngImageDataSize(const TChunkPngImageHeader& Header);

// The Adam7 pass geometry.
struct TAdam7Pass {
  int32_t FirstRow, FirstColumn, RowStep, ColumnStep;
};
extern const TAdam7Pass kAdam7Passes[7];
// Pixels per row of pass P for an image Width wide (0 when empty).
int64_t Adam7PassWidth(int Pass, int64_t Width);
int64_t Adam7PassHeight(int Pass, int64_t Height);

}  // namespace vb
