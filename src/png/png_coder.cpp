#include "png/png_coder.h"

#include <cmath>

namespace vb {
namespace {

constexpr double kOneBy255 = 0.00392156862745098;

uint8_t MapThroughGamma(double Value, double Exponent) {
  return uint8_t(std::nearbyint(std::pow(Value, Exponent) * 255.0));
}

}  // namespace

std::array<uint8_t, 256> BuildPngGammaTable(uint32_t Gamma) {
  std::array<uint8_t, 256> table{};
  if (Gamma == 0) {
    for (int i = 0; i < 256; ++i) table[size_t(i)] = uint8_t(i);
    return table;
  }
  const double e = 1.0 / (Gamma * 0.000022);
  for (int i = 0; i < 256; ++i) table[size_t(i)] = MapThroughGamma(i * kOneBy255, e);
  return table;
}

TCustomPngCoder::TCustomPngCoder(TPngMemoryStream& Stream, const TChunkPngImageHeader& Header,
                                 const TChunkPngGamma* Gamma, const TChunkPngPalette* Palette,
                                 const TChunkPngTransparency* Transparency)
    : FStream(Stream), FHeader(Header), FGamma(Gamma), FPalette(Palette), FTransparency(Transparency) {
  BuildMappingTable();
}

void TCustomPngCoder::BuildMappingTable() {
  FMappingTable = BuildPngGammaTable(FGamma ? FGamma->Gamma() : 0);
  FMappingIsIdentity = true;
  for (int i = 0; i < 256; ++i) FMappingIsIdentity &= FMappingTable[size_t(i)] == i;
  if (FTransparency) {
    if (auto* grey = std::get_if<TPngTransparencyFormat0>(&FTransparency->Transparency())) {
      FHasKeyColor = true;
      FKeyRed = FKeyGreen = FKeyBlue = grey->FGraySampleValue;
    } else if (auto* rgb = std::get_if<TPngTransparencyFormat2>(&FTransparency->Transparency())) {
      FHasKeyColor = true;
      FKeyRed = rgb->FRedSampleValue;
      FKeyGreen = rgb->FGreenSampleValue;
      FKeyBlue = rgb->FBlueSampleValue;
    }
  }
  BuildPixelTable();
}

void TCustomPngCoder::BuildPixelTable() {
  const uint8_t depth = FHeader.BitDepth();
  const double e = (FGamma && FGamma->Gamma() != 0) ? 1.0 / (FGamma->Gamma() * 0.000022) : 0.0;
  FPixelTable.fill(Pixel32(0xFF000000u));
  if (FHeader.ColorType() == 3 && FPalette) {
    const int count = std::min(FPalette->Count(), 256);
    const TRGB24* entries = FPalette->PaletteEntriesPointer();
    const std::vector<uint8_t>* alpha = nullptr;
    if (FTransparency)
      if (auto* p = std::get_if<TPngTransparencyFormat3>(&FTransparency->Transparency())) alpha = &p->FTransparency;
    for (int i = 0; i < count; ++i) {
      const TRGB24& c = entries[i];
      const uint8_t a = (alpha && size_t(i) < alpha->size()) ? (*alpha)[size_t(i)] : 255;
      if (e == 0.0)
        FPixelTable[size_t(i)] = Pixel32(a, c.R, c.G, c.B);
      else
        FPixelTable[size_t(i)] = Pixel32(a, MapThroughGamma(c.R * kOneBy255, e), MapThroughGamma(c.G * kOneBy255, e),
                                         MapThroughGamma(c.B * kOneBy255, e));
    }
  } else if (FHeader.ColorType() == 3 || (FHeader.ColorType() == 0 && depth <= 8)) {
    // A grey ramp over the 2^depth sample values (also an indexed image
    // without palette). Grey samples go through the mapping table.
    const int entries = depth >= 8 ? 256 : 1 << depth;
    const float step = 1.0f / float(entries - 1);
    for (int i = 0; i < entries; ++i) {
      uint8_t v;
      if (FHeader.ColorType() == 0)
        v = FMappingTable[size_t(depth == 8 ? i : (i * 255) / (entries - 1))];
      else if (e == 0.0)
        v = uint8_t(std::nearbyint(double(i * step) * 255.0));
      else
        v = MapThroughGamma(double(i * step), e);
      const bool transparent = FHasKeyColor && FHeader.ColorType() == 0 && FKeyRed == i;
      FPixelTable[size_t(i)] = Pixel32(transparent ? 0 : 255, v, v, v);
    }
  }
}

}  // namespace vb
