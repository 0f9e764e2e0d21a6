#include "png/png_encoder.h"

#include <cstring>

#include "error/error.h"
#include "png/png_filters.h"

namespace vb {
namespace {

// Packs Width samples of Bits bits from the most significant bits of each
// byte downwards; unused low bits of the last byte are cleared.
template <int kBits, class TSample>
void PackRow(const TPixel32* Source, uint8_t* Destination, uint32_t Width, TSample Sample) {
  constexpr int kPerByte = 8 / kBits;
  constexpr unsigned kMask = (1u << kBits) - 1;
  std::memset(Destination, 0, (size_t(Width) * kBits + 7) / 8);
  for (uint32_t x = 0; x < Width; ++x) {
    const int shift = 8 - kBits * (int(x % kPerByte) + 1);
    Destination[x / kPerByte] |= uint8_t((unsigned(Sample(Source[x])) & kMask) << shift);
  }
}

}  // namespace

TCustomPngNonInterlacedEncoder::TCustomPngNonInterlacedEncoder(TPngMemoryStream& Stream,
                                                               const TChunkPngImageHeader& Header,
                                                               const TChunkPngGamma* Gamma,
                                                               const TChunkPngPalette* Palette,
                                                               const TChunkPngTransparency* Transparency)
    : TCustomPngEncoder(Stream, Header, Gamma, Palette, Transparency),
      FBytesPerRow(size_t(Header.BytesPerRow())),
      FRowByteSize(FBytesPerRow + 1) {
  FRowBuffer[0].resize(FRowByteSize);
  FRowBuffer[1].resize(FRowByteSize);
  if (Transparency)
    if (auto* p = std::get_if<TPngTransparencyFormat3>(&Transparency->Transparency()))
      FPaletteAlpha = &p->FTransparency;
}

int TCustomPngNonInterlacedEncoder::FindPaletteIndex(TPixel32 Color) const {
  if (!FPalette) return -1;
  if (FLastIndex != -2 && FLastColor == Color.ARGB()) return FLastIndex;
  const TRGB24* entries = FPalette->PaletteEntriesPointer();
  int found = -1;
  for (int i = 0; i < FPalette->Count() && found < 0; ++i) {
    const uint8_t alpha = (FPaletteAlpha && size_t(i) < FPaletteAlpha->size()) ? (*FPaletteAlpha)[size_t(i)] : 255;
    if (entries[i].R == Color.R && entries[i].G == Color.G && entries[i].B == Color.B &&
        (!FPaletteAlpha || alpha == Color.A))
      found = i;
  }
  FLastColor = Color.ARGB();
  FLastIndex = found;
  return found;
}

void TCustomPngNonInterlacedEncoder::EncodeFromScanline(const TScanLineCallback& Callback) {
  uint8_t* current = FRowBuffer[0].data();
  uint8_t* previous = FRowBuffer[1].data();
  std::memset(previous, 0, FRowByteSize);
  const bool indexed = FHeader.ColorType() == 3;
  std::vector<uint8_t> output, work;
  if (!indexed) {
    output.resize(FRowByteSize);
    work.resize(FRowByteSize);
  }
  const size_t bpp = size_t(FHeader.PixelByteSize());
  for (int32_t y = 0; y < FHeader.Height(); ++y) {
    const TPixel32* source = Callback(y);
    if (!source && FHeader.Width() > 0) throw EPngError(TErrorCode::ecNoSourceRow);
    TransferRow(source, current + 1);
    if (indexed) {
      current[0] = pftNone;
      FStream.Write(current, FRowByteSize);
    } else {
      ChooseRowFilter(current + 1, previous + 1, output.data(), work.data(), FBytesPerRow, bpp);
      FStream.Write(output.data(), FRowByteSize);
    }
    std::swap(current, previous);
  }
}

template <TPngEncoderSamples kSamples>
void TPngEncoderOf<kSamples>::TransferRow(const TPixel32* Source, uint8_t* Destination) {
  const uint32_t width = uint32_t(FHeader.Width());
  auto red = [](TPixel32 P) { return P.R; };
  auto index = [this](TPixel32 P) { return FindPaletteIndex(P); };
  using S = TPngEncoderSamples;
  if constexpr (kSamples == S::Gray1) PackRow<1>(Source, Destination, width, [](TPixel32 P) { return P.R >> 7; });
  if constexpr (kSamples == S::Gray2) PackRow<2>(Source, Destination, width, [](TPixel32 P) { return P.R >> 6; });
  if constexpr (kSamples == S::Gray4) PackRow<4>(Source, Destination, width, [](TPixel32 P) { return P.R >> 4; });
  if constexpr (kSamples == S::Gray8)
    for (uint32_t x = 0; x < width; ++x) Destination[x] = red(Source[x]);
  if constexpr (kSamples == S::Palette1) PackRow<1>(Source, Destination, width, index);
  if constexpr (kSamples == S::Palette2) PackRow<2>(Source, Destination, width, index);
  if constexpr (kSamples == S::Palette4) PackRow<4>(Source, Destination, width, index);
  if constexpr (kSamples == S::Palette8)
    for (uint32_t x = 0; x < width; ++x) Destination[x] = uint8_t(index(Source[x]));
  if constexpr (kSamples == S::GrayAlpha)
    for (uint32_t x = 0; x < width; ++x) {
      Destination[2 * x] = Source[x].R;
      Destination[2 * x + 1] = Source[x].A;
    }
  if constexpr (kSamples == S::TrueColor)
    for (uint32_t x = 0; x < width; ++x) {
      Destination[3 * x] = Source[x].R;
      Destination[3 * x + 1] = Source[x].G;
      Destination[3 * x + 2] = Source[x].B;
    }
  if constexpr (kSamples == S::TrueColorAlpha)
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t v;
      std::memcpy(&v, static_cast<const void*>(Source + x), 4);
      v = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
      std::memcpy(Destination + 4 * x, &v, 4);
    }
}

std::unique_ptr<TCustomPngNonInterlacedEncoder> CreatePngEncoder(TPngMemoryStream& Stream,
                                                                 const TChunkPngImageHeader& Header,
                                                                 const TChunkPngGamma* Gamma,
                                                                 const TChunkPngPalette* Palette,
                                                                 const TChunkPngTransparency* Transparency) {
  using S = TPngEncoderSamples;
  auto make = [&]<S kSamples>() -> std::unique_ptr<TCustomPngNonInterlacedEncoder> {
    return std::make_unique<TPngEncoderOf<kSamples>>(Stream, Header, Gamma, Palette, Transparency);
  };
  const uint8_t depth = Header.BitDepth();
  switch (Header.ColorType()) {
    case 0:
      if (depth == 1) return make.template operator()<S::Gray1>();
      if (depth == 2) return make.template operator()<S::Gray2>();
      if (depth == 4) return make.template operator()<S::Gray4>();
      if (depth == 8) return make.template operator()<S::Gray8>();
      break;
    case 2:
      return make.template operator()<S::TrueColor>();
    case 3:
      if (depth == 1) return make.template operator()<S::Palette1>();
      if (depth == 2) return make.template operator()<S::Palette2>();
      if (depth == 4) return make.template operator()<S::Palette4>();
      if (depth == 8) return make.template operator()<S::Palette8>();
      break;
    case 4:
      return make.template operator()<S::GrayAlpha>();
    case 6:
      return make.template operator()<S::TrueColorAlpha>();
    default:
      break;
  }
  throw EPngError(TErrorCode::ecUnsupportedFormat);
}

}  // namespace vb
