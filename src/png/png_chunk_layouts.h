#pragma once
// Chunks whose data layout depends on the image's colour type: significant
// bits (sBIT), background colour (bKGD) and transparency (tRNS). Each holds
// one layout object of the kind its header's colour type asks for, or none.
#include <cstdint>
#include <variant>
#include <vector>

#include "png/png_chunk.h"

namespace vb {

struct TPngSignificantBitsFormat0 {
  uint8_t FGrayBits = 0;
};
struct TPngSignificantBitsFormat23 {
  uint8_t FRedBits = 0, FBlueBits = 0, FGreenBits = 0;
};
struct TPngSignificantBitsFormat4 {
  uint8_t FGrayBits = 0, FAlphaBits = 0;
};
struct TPngSignificantBitsFormat6 {
  uint8_t FRedBits = 0, FBlueBits = 0, FGreenBits = 0, FAlphaBits = 0;
};
using TPngSignificantBits = std::variant<std::monostate, TPngSignificantBitsFormat0, TPngSignificantBitsFormat23,
                                         TPngSignificantBitsFormat4, TPngSignificantBitsFormat6>;

struct TPngBackgroundColorFormat04 {
  uint16_t FGraySampleValue = 0;
};
struct TPngBackgroundColorFormat26 {
  uint16_t FRedSampleValue = 0, FBlueSampleValue = 0, FGreenSampleValue = 0;
};
struct TPngBackgroundColorFormat3 {
  uint8_t FIndex = 0;
};
using TPngBackgroundColor =
    std::variant<std::monostate, TPngBackgroundColorFormat04, TPngBackgroundColorFormat26, TPngBackgroundColorFormat3>;

struct TPngTransparencyFormat0 {
  uint16_t FGraySampleValue = 0;
};
struct TPngTransparencyFormat2 {
  uint16_t FRedSampleValue = 0, FBlueSampleValue = 0, FGreenSampleValue = 0;
};
// One alpha byte per palette entry, as many as the data holds.
struct TPngTransparencyFormat3 {
  std::vector<uint8_t> FTransparency;
};
using TPngTransparency =
    std::variant<std::monostate, TPngTransparencyFormat0, TPngTransparencyFormat2, TPngTransparencyFormat3>;

// Layout object sizes in bytes (0 for none).
size_t LayoutSize(const TPngSignificantBits& Layout);
size_t LayoutSize(const TPngBackgroundColor& Layout);
size_t LayoutSize(const TPngTransparency& Layout);

// "sBIT".
class TChunkPngSignificantBits : public TPngChunkClass<TChunkPngSignificantBits> {
 public:
  static constexpr char kChunkName[5] = "sBIT";
  explicit TChunkPngSignificantBits(TChunkPngImageHeader* Header);
  const TPngSignificantBits& SignificantBits() const { return FSignificantBits; }
  TPngSignificantBits& SignificantBits() { return FSignificantBits; }
  void HeaderChanged() override;
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  TPngSignificantBits FSignificantBits;
};

// "bKGD".
class TChunkPngBackgroundColor : public TPngChunkClass<TChunkPngBackgroundColor> {
 public:
  static constexpr char kChunkName[5] = "bKGD";
  explicit TChunkPngBackgroundColor(TChunkPngImageHeader* Header);
  const TPngBackgroundColor& Background() const { return FBackground; }
  TPngBackgroundColor& Background() { return FBackground; }
  void HeaderChanged() override;
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  TPngBackgroundColor FBackground;
};

// "tRNS": per-entry alpha of a palette, or the one transparent key colour
// of a grey or truecolour image.
class TChunkPngTransparency : public TPngChunkClass<TChunkPngTransparency> {
 public:
  static constexpr char kChunkName[5] = "tRNS";
  explicit TChunkPngTransparency(TChunkPngImageHeader* Header);
  const TPngTransparency& Transparency() const { return FTransparency; }
  TPngTransparency& Transparency() { return FTransparency; }
  // Palette form: number of alpha bytes and one of them.
  int Count() const;
  uint8_t TransparencyAt(int Index) const;
  void HeaderChanged() override;
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  TPngTransparency FTransparency;
};

}  // namespace vb
