#pragma once
// PNG chunks with a fixed layout: image data, palette, gamma, colour space,
// chromaticities, time, physical size, offset and histogram.
#include <cstdint>
#include <vector>

#include "png/png_chunk.h"

namespace vb {

struct TRGB24 {
  uint8_t R = 0, G = 0, B = 0;
  bool operator==(const TRGB24&) const = default;
};
using TPalette24 = std::vector<TRGB24>;

// "IDAT": one part of the compressed image data.
class TChunkPngImageData : public TPngChunkClass<TChunkPngImageData> {
 public:
  static constexpr char kChunkName[5] = "IDAT";
  using TPngChunkClass::TPngChunkClass;
  const TPngMemoryStream& Data() const { return FData; }
  TPngMemoryStream& Data() { return FData; }
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  TPngMemoryStream FData;
};

// "PLTE": up to 256 RGB entries (more are accepted when read).
class TChunkPngPalette : public TPngChunkClass<TChunkPngPalette> {
 public:
  static constexpr char kChunkName[5] = "PLTE";
  using TPngChunkClass::TPngChunkClass;
  int Count() const { return int(FPaletteEntries.size()); }
  // More than 256 raises "Palette is limited to 256 entries".
  void SetCount(int Value);
  TRGB24 PaletteEntry(int Index) const;
  void SetPaletteEntry(int Index, TRGB24 Value);
  const TRGB24* PaletteEntriesPointer() const { return FPaletteEntries.data(); }
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  TPalette24 FPaletteEntries;
};

// "gAMA": gamma times 100000.
class TChunkPngGamma : public TPngChunkClass<TChunkPngGamma> {
 public:
  static constexpr char kChunkName[5] = "gAMA";
  using TPngChunkClass::TPngChunkClass;
  uint32_t Gamma() const { return FGamma; }
  void SetGamma(uint32_t Value) { FGamma = Value; }
  float GammaAsSingle() const;
  void SetGammaAsSingle(float Value);
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  uint32_t FGamma = 0;
};

// "sRGB": the rendering intent.
class TChunkPngStandardColorSpaceRGB : public TPngChunkClass<TChunkPngStandardColorSpaceRGB> {
 public:
  static constexpr char kChunkName[5] = "sRGB";
  using TPngChunkClass::TPngChunkClass;
  uint8_t RenderingIntent() const { return FRenderingIntent; }
  void SetRenderingIntent(uint8_t Value) { FRenderingIntent = Value; }
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  uint8_t FRenderingIntent = 0;
};

// "cHRM": white point and primaries, each times 100000.
class TChunkPngPrimaryChromaticities : public TPngChunkClass<TChunkPngPrimaryChromaticities> {
 public:
  static constexpr char kChunkName[5] = "cHRM";
  enum TIndex { ciWhiteX, ciWhiteY, ciRedX, ciRedY, ciGreenX, ciGreenY, ciBlueX, ciBlueY };
  using TPngChunkClass::TPngChunkClass;
  int32_t Value(TIndex Index) const { return FValues[Index]; }
  void SetValue(TIndex Index, int32_t Value) { FValues[Index] = Value; }
  float ValueAsSingle(TIndex Index) const;
  void SetValueAsSingle(TIndex Index, float Value);
  int32_t WhiteX() const { return FValues[ciWhiteX]; }
  float WhiteXAsSingle() const { return ValueAsSingle(ciWhiteX); }
  void SetWhiteXAsSingle(float Value) { SetValueAsSingle(ciWhiteX, Value); }
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  // FWhiteX, FWhiteY, FRedX, FRedY, FGreenX, FGreenY, FBlueX, FBlueY.
  int32_t FValues[8] = {};
};

// "tIME": last modification time.
class TChunkPngTime : public TPngChunkClass<TChunkPngTime> {
 public:
  static constexpr char kChunkName[5] = "tIME";
  using TPngChunkClass::TPngChunkClass;
  uint16_t Year() const { return FYear; }
  uint8_t Month() const { return FMonth; }
  uint8_t Day() const { return FDay; }
  uint8_t Hour() const { return FHour; }
  uint8_t Minute() const { return FMinute; }
  uint8_t Second() const { return FSecond; }
  // Days since 30 December 1899, the time as the fraction of a day. An
  // impossible date raises EPngError "Invalid date".
  double ModifiedDateTime() const;
  void SetModifiedDateTime(double Value);
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  uint16_t FYear = 0;
  uint8_t FMonth = 0, FDay = 0, FHour = 0, FMinute = 0, FSecond = 0;
};

// "pHYs": pixels per unit and the unit (0 unknown, 1 metre).
class TChunkPngPhysicalPixelDimensions : public TPngChunkClass<TChunkPngPhysicalPixelDimensions> {
 public:
  static constexpr char kChunkName[5] = "pHYs";
  using TPngChunkClass::TPngChunkClass;
  uint32_t PixelsPerUnitX() const { return FPixelsPerUnitX; }
  uint32_t PixelsPerUnitY() const { return FPixelsPerUnitY; }
  uint8_t PixelUnit() const { return FUnit; }
  void SetPixelsPerUnitX(uint32_t Value) { FPixelsPerUnitX = Value; }
  void SetPixelsPerUnitY(uint32_t Value) { FPixelsPerUnitY = Value; }
  void SetPixelUnit(uint8_t Value) { FUnit = Value; }
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  uint32_t FPixelsPerUnitX = 0, FPixelsPerUnitY = 0;
  uint8_t FUnit = 0;
};

// "oFFs": image position.
class TChunkPngImageOffset : public TPngChunkClass<TChunkPngImageOffset> {
 public:
  static constexpr char kChunkName[5] = "oFFs";
  using TPngChunkClass::TPngChunkClass;
  int32_t ImagePositionX() const { return FImagePositionX; }
  int32_t ImagePositionY() const { return FImagePositionY; }
  uint8_t UnitSpecifier() const { return FUnitSpecifier; }
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  int32_t FImagePositionX = 0, FImagePositionY = 0;
  uint8_t FUnitSpecifier = 0;
};

// "hIST": read and dropped; writing is not implemented.
class TChunkPngImageHistogram : public TPngChunkClass<TChunkPngImageHistogram> {
 public:
  static constexpr char kChunkName[5] = "hIST";
  using TPngChunkClass::TPngChunkClass;
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;
};

// Raises "Chunk size too small!" when fewer than Size bytes remain.
void RequireChunkBytes(const TPngMemoryStream& Stream, size_t Size);

}  // namespace vb
