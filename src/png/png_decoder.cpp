#include "png/png_decoder.h"

#include "error/error.h"
#include "png/png_filters.h"

namespace vb {

const TAdam7Pass kAdam7Passes[7] = {
    {0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4}, {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1},
};

int64_t Adam7PassWidth(int Pass, int64_t Width) {
  const TAdam7Pass& p = kAdam7Passes[Pass];
  return Width > p.FirstColumn ? (Width + p.ColumnStep - p.FirstColumn - 1) / p.ColumnStep : 0;
}

int64_t Adam7PassHeight(int Pass, int64_t Height) {
  const TAdam7Pass& p = kAdam7Passes[Pass];
  return Height > p.FirstRow ? (Height + p.RowStep - p.FirstRow - 1) / p.RowStep : 0;
}

uint64_t PngImageDataSize(const TChunkPngImageHeader& Header) {
  const int64_t width = Header.Width(), height = Header.Height();
  if (width <= 0 || height <= 0) return 0;
  // Rows of at most 2^34 bytes times at most 2^31 rows: the product needs
  // 65 bits, so it is taken in 128 bits and saturated.
  unsigned __int128 total = 0;
  if (Header.InterlaceMethod() != imAdam7) {
    total = (unsigned __int128)uint64_t(height) * uint64_t(Header.BytesPerRow() + 1);
  } else {
    for (int pass = 0; pass < 7; ++pass) {
      const int64_t w = Adam7PassWidth(pass, width), h = Adam7PassHeight(pass, height);
      const int64_t d = PngRowBytes(w, Header.ColorType(), Header.BitDepth());
      if (w > 0 && h > 0 && d > 0) total += (unsigned __int128)uint64_t(h) * uint64_t(d + 1);
    }
  }
  return total > UINT64_MAX ? UINT64_MAX : uint64_t(total);
}

uint8_t* TCustomPngDecoder::TakeRow(size_t Size) {
  if (FStream.Remaining() < Size) {
    FStream.SetPosition(FStream.Size());
    throw EPngError(TErrorCode::ecDataNotComplete);
  }
  uint8_t* row = FStream.Memory() + FStream.Position();
  FStream.SetPosition(FStream.Position() + Size);
  return row;
}

TPixel32* TCustomPngDecoder::RequireRow(const TScanLineCallback& Callback, int32_t Y) {
  TPixel32* row = Callback(Y);
  if (!row) throw EPngError(TErrorCode::ecNoDestinationRow);
  return row;
}

TCustomPngNonInterlacedDecoder::TCustomPngNonInterlacedDecoder(TPngMemoryStream& Stream,
                                                               const TChunkPngImageHeader& Header,
                                                               const TChunkPngGamma* Gamma,
                                                               const TChunkPngPalette* Palette,
                                                               const TChunkPngTransparency* Transparency)
    : TCustomPngDecoder(Stream, Header, Gamma, Palette, Transparency),
      FBytesPerRow(size_t(Header.BytesPerRow())),
      FRowByteSize(FBytesPerRow + 1),
      FZeroRow(FBytesPerRow, 0) {}

void TCustomPngNonInterlacedDecoder::DecodeToScanline(const TScanLineCallback& Callback) {
  const size_t bpp = size_t(FHeader.PixelByteSize());
  const uint32_t width = uint32_t(FHeader.Width());
  const uint8_t* prev = FZeroRow.data();
  for (int32_t y = 0; y < FHeader.Height(); ++y) {
    uint8_t* row = TakeRow(FRowByteSize);
    UnfilterRow(row[0], row + 1, prev, FBytesPerRow, bpp);
    TransferRow(row + 1, RequireRow(Callback, y), width);
    prev = row + 1;
  }
}

TCustomPngAdam7Decoder::TCustomPngAdam7Decoder(TPngMemoryStream& Stream, const TChunkPngImageHeader& Header,
                                               const TChunkPngGamma* Gamma, const TChunkPngPalette* Palette,
                                               const TChunkPngTransparency* Transparency)
    : TCustomPngDecoder(Stream, Header, Gamma, Palette, Transparency), FZeroRow(size_t(Header.BytesPerRow()), 0) {}

void TCustomPngAdam7Decoder::DecodeToScanline(const TScanLineCallback& Callback) {
  const size_t bpp = size_t(FHeader.PixelByteSize());
  for (int pass = 0; pass < 7; ++pass) {
    const TAdam7Pass& p = kAdam7Passes[pass];
    const int64_t w = Adam7PassWidth(pass, FHeader.Width());
    const int64_t d = PngRowBytes(w, FHeader.ColorType(), FHeader.BitDepth());
    if (w <= 0 || d <= 0) continue;
    if (FPassPixels.size() < size_t(w)) FPassPixels.resize(size_t(w));
    const uint8_t* prev = FZeroRow.data();
    for (int32_t y = p.FirstRow; y < FHeader.Height(); y += p.RowStep) {
      uint8_t* row = TakeRow(size_t(d) + 1);
      UnfilterRow(row[0], row + 1, prev, size_t(d), bpp);
      prev = row + 1;
      TransferRow(row + 1, FPassPixels.data(), uint32_t(w));
      TPixel32* dst = RequireRow(Callback, y);
      for (int64_t i = 0; i < w; ++i) dst[p.FirstColumn + i * p.ColumnStep] = FPassPixels[size_t(i)];
    }
  }
}

std::unique_ptr<TCustomPngDecoder> CreatePngDecoder(TPngMemoryStream& Stream, const TChunkPngImageHeader& Header,
                                                    const TChunkPngGamma* Gamma, const TChunkPngPalette* Palette,
                                                    const TChunkPngTransparency* Transparency) {
  const uint8_t type = Header.ColorType(), depth = Header.BitDepth();
  auto make = [&](auto* Tag) -> std::unique_ptr<TCustomPngDecoder> {
    using TDecoder = std::remove_pointer_t<decltype(Tag)>;
    return std::make_unique<TDecoder>(Stream, Header, Gamma, Palette, Transparency);
  };
  if (Header.InterlaceMethod() == imNone) {
    switch (type * 100 + depth) {
      case 1:
        return make((TPngGrayscale1bitRGBADecoder*)nullptr);
      case 2:
        return make((TPngGrayscale2bitRGBADecoder*)nullptr);
      case 4:
        return make((TPngGrayscale4bitRGBADecoder*)nullptr);
      case 8:
        return make((TPngGrayscale8bitRGBADecoder*)nullptr);
      case 16:
        return make((TPngGrayscale16bitRGBADecoder*)nullptr);
      case 208:
        return make((TPngTrueColor8bitBGRADecoder*)nullptr);
      case 216:
        return make((TPngTrueColor16bitBGRADecoder*)nullptr);
      // One palette class unpacks every depth below 8 by the header.
      case 301:
        return make((TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferIndexedRow<1>>*)nullptr);
      case 302:
        return make((TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferIndexedRow<2>>*)nullptr);
      case 304:
        return make((TPngDecoderOf<TCustomPngNonInterlacedDecoder, TransferIndexedRow<4>>*)nullptr);
      case 308:
        return make((TPngPalette8bitBGRADecoder*)nullptr);
      case 408:
        return make((TPngGrayscaleAlpha8bitRGBADecoder*)nullptr);
      case 416:
        return make((TPngGrayscaleAlpha16bitRGBADecoder*)nullptr);
      case 608:
        return make((TPngTrueColorAlpha8bitBGRADecoder*)nullptr);
      case 616:
        return make((TPngTrueColorAlpha16bitBGRADecoder*)nullptr);
      default:
        break;
    }
  } else if (Header.InterlaceMethod() == imAdam7) {
    switch (type * 100 + depth) {
      case 1:
        return make((TPngAdam7Grayscale1bitRGBADecoder*)nullptr);
      case 2:
        return make((TPngAdam7Grayscale2bitRGBADecoder*)nullptr);
      case 4:
        return make((TPngAdam7Grayscale4bitRGBADecoder*)nullptr);
      case 8:
        return make((TPngAdam7Grayscale8bitRGBADecoder*)nullptr);
      case 16:
        return make((TPngAdam7Grayscale16bitRGBADecoder*)nullptr);
      case 208:
        return make((TPngAdam7TrueColor8bitBGRADecoder*)nullptr);
      case 216:
        return make((TPngAdam7TrueColor16bitBGRADecoder*)nullptr);
      case 301:
        return make((TPngAdam7Palette1bitBGRADecoder*)nullptr);
      case 302:
        return make((TPngAdam7Palette2bitBGRADecoder*)nullptr);
      case 304:
        return make((TPngAdam7Palette4bitBGRADecoder*)nullptr);
      case 308:
        return make((TPngAdam7Palette8bitBGRADecoder*)nullptr);
      case 408:
        return make((TPngAdam7GrayscaleAlpha8bitRGBADecoder*)nullptr);
      case 416:
        return make((TPngAdam7GrayscaleAlpha16bitRGBADecoder*)nullptr);
      case 608:
        return make((TPngAdam7TrueColorAlpha8bitBGRADecoder*)nullptr);
      case 616:
        return make((TPngAdam7TrueColorAlpha16bitBGRADecoder*)nullptr);
      default:
        break;
    }
  }
  throw EPngError(TErrorCode::ecUnsupportedFormat);
}

}  // namespace vb
