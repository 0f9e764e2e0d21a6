#include "png/portable_network_graphic_pixel32.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "error/error.h"
#include "png/png_decoder.h"
#include "png/png_encoder.h"

namespace vb {
namespace {

// What the colour analysis found about a pixel map.
struct TColorAnalysis {
  bool PalettePossible = true;
  bool HasAlpha = false;
  bool Grey = true;
  // Distinct colours in order of first appearance, keyed by their full
  // ARGB value so that a colour seen opaque and translucent gets two
  // entries (the translucent one carried by tRNS).
  std::vector<TPixel32> Palette;
};

TColorAnalysis AnalyseColors(const TGuiCustomPixelMap& Map, TPngStorageFormat Format) {
  TColorAnalysis a;
  const TPixel32* pixels = Map.DataPointer();
  const size_t count = size_t(Map.Width()) * size_t(Map.Height());
  if (!pixels || count == 0) return a;
  std::unordered_map<uint32_t, int> seen;
  bool haveReference = false;
  uint8_t referenceAlpha = 255;
  for (size_t i = 0; i < count; ++i) {
    const TPixel32 p = pixels[i];
    if (p.A < 255) {
      a.HasAlpha = true;
      if (!haveReference) {
        haveReference = true;
        referenceAlpha = p.A;
      } else if (p.A != referenceAlpha) {
        a.PalettePossible = false;  // one translucent alpha value at most
      }
    }
    if (a.PalettePossible && !seen.count(p.ARGB())) {
      if (a.Palette.size() == 256) {
        a.PalettePossible = false;
      } else {
        seen.emplace(p.ARGB(), int(a.Palette.size()));
        a.Palette.push_back(p);
      }
    }
    if (p.R != p.G || p.B != p.G) a.Grey = false;
    if (Format == psfAuto && a.HasAlpha && !a.PalettePossible && !a.Grey) break;
  }
  return a;
}

}  // namespace

void TPortableNetworkGraphicPixel32::CheckImageLimits() const {
  const int64_t w = FImageHeader.Width(), h = FImageHeader.Height();
  if (w < 0 || h < 0) throw EPngError(TErrorCode::ecInvalidImageSize);
  if (uint64_t(w) * uint64_t(h) * 4 > kPngMaxPixelMapBytes) throw EPngError(TErrorCode::ecImageTooLarge);
  // Deflate expands at most about 1032:1: a header asking for more data
  // than the file's IDAT chunks could ever hold is refused before the map
  // is sized.
  if (PngImageDataSize(FImageHeader) > CompressedDataSize() * 1040 + 1024)
    throw EPngError(TErrorCode::ecDataNotComplete);
}

void TPortableNetworkGraphicPixel32::AssignTo(TGuiCustomMap& Dest) const {
  auto* map = dynamic_cast<TGuiCustomPixelMap*>(&Dest);
  if (!map) return TGuiCustomFileFormat::AssignTo(Dest);
  CheckImageLimits();
  // One size change: setting width and height one after the other could
  // allocate old height x new width on the way.
  map->SetSize(FImageHeader.Width(), FImageHeader.Height());
  if (int64_t(map->Width()) * map->Height() != 0) DrawToPixelMap(*map);
}

void TPortableNetworkGraphicPixel32::DrawToPixelMap(TGuiCustomPixelMap& PixelMap) const {
  CheckImageLimits();
  if (PixelMap.Width() < FImageHeader.Width() || PixelMap.Height() < FImageHeader.Height())
    throw EPngError(TErrorCode::ecPixelMapTooSmall);
  TPngMemoryStream raw;
  DecompressImageData(raw);
  raw.SetPosition(0);
  auto decoder = CreatePngDecoder(raw, FImageHeader, FGammaChunk.get(), FPaletteChunk.get(), TransparencyChunk());
  decoder->DecodeToScanline([&PixelMap](int32_t Y) { return PixelMap.GetScanLine(Y); });
}

void TPortableNetworkGraphicPixel32::Assign(const TGuiCustomMap& Source) {
  auto* map = dynamic_cast<const TGuiCustomPixelMap*>(&Source);
  if (!map) return TGuiCustomFileFormat::Assign(Source);

  FImageHeader.SetWidth(map->Width());
  FImageHeader.SetHeight(map->Height());
  FImageHeader.SetCompressionMethod(0);
  FImageHeader.SetInterlaceMethod(imNone);

  TColorAnalysis a = AnalyseColors(*map, FStorageFormat);
  uint8_t type;
  switch (FStorageFormat) {
    case psfGrayscale:
      type = a.HasAlpha ? 4 : 0;
      break;
    case psfPalette:
      type = a.PalettePossible ? 3 : (a.HasAlpha ? 6 : 2);
      break;
    case psfRGB:
      type = 2;
      break;
    case psfRGBA:
      type = 6;
      break;
    default:
      if (a.Grey && a.HasAlpha)
        type = 4;
      else if (a.PalettePossible)
        type = 3;  // also every opaque grey map
      else
        type = a.HasAlpha ? 6 : 2;
      break;
  }
  uint8_t depth = 8;
  if (type == 3) {
    const size_t n = a.Palette.size();
    depth = n <= 2 ? 1 : n <= 4 ? 2 : n <= 16 ? 4 : 8;
  }
  FImageHeader.SetColorType(type);
  FImageHeader.SetBitDepth(depth);

  // The palette and its transparency describe the new pixels only.
  for (int i = FAdditionalChunkList.Count() - 1; i >= 0; --i)
    if (dynamic_cast<const TChunkPngTransparency*>(&FAdditionalChunkList[i])) FAdditionalChunkList.Delete(i);
  for (int i = 0; i < FAdditionalChunkList.Count(); ++i)
    if (auto* c = dynamic_cast<TCustomChunkPngWithHeader*>(&FAdditionalChunkList[i])) c->HeaderChanged();
  if (FSignificantBits) FSignificantBits->HeaderChanged();
  FGammaChunk.reset();
  if (type == 3) {
    if (!FPaletteChunk) FPaletteChunk = std::make_unique<TChunkPngPalette>(&FImageHeader);
    FPaletteChunk->SetCount(int(a.Palette.size()));
    std::vector<uint8_t> alpha(a.Palette.size(), 255);
    for (size_t i = 0; i < a.Palette.size(); ++i) {
      FPaletteChunk->SetPaletteEntry(int(i), {a.Palette[i].R, a.Palette[i].G, a.Palette[i].B});
      alpha[i] = a.Palette[i].A;
    }
    while (!alpha.empty() && alpha.back() == 255) alpha.pop_back();
    if (!alpha.empty()) {
      auto trns = std::make_unique<TChunkPngTransparency>(&FImageHeader);
      std::get<TPngTransparencyFormat3>(trns->Transparency()).FTransparency = std::move(alpha);
      FAdditionalChunkList.Add(std::move(trns));
    }
  } else {
    FPaletteChunk.reset();
  }

  TPngMemoryStream raw;
  auto encoder = CreatePngEncoder(raw, FImageHeader, nullptr, FPaletteChunk.get(), TransparencyChunk());
  encoder->EncodeFromScanline([map](int32_t Y) -> TPixel32* { return map->GetScanLine(Y); });
  raw.SetPosition(0);
  CompressImageData(raw);
}

}  // namespace vb
