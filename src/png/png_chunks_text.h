#pragma once
// PNG chunks that carry zero-terminated names: the three text chunks, the
// embedded colour profile (iCCP) and the pixel calibration (pCAL).
#include <cstdint>
#include <string>

#include "png/png_chunk.h"

namespace vb {

// Keywords and names hold at most 79 characters before their zero byte.
constexpr size_t kPngMaxKeywordLength = 79;
// Inflated text of a zTXt chunk is capped (bytes) so no file can make the
// reader allocate without bound.
constexpr size_t kPngMaxInflatedTextSize = 16u << 20;

// Reads a zero-terminated string of at most MaxLength characters; a string
// that is longer or not terminated raises EPngError "Malformed chunk text".
std::string ReadPngZeroTerminated(TPngMemoryStream& Stream, size_t MaxLength);

class TCustomDefinedChunkTextChunk : public TCustomChunkPngWithHeader {
 public:
  using TCustomChunkPngWithHeader::TCustomChunkPngWithHeader;
  const std::string& Keyword() const { return FKeyword; }
  const std::string& Text() const { return FText; }
  void SetKeyword(const std::string& Value) { FKeyword = Value; }
  void SetText(const std::string& Value) { FText = Value; }

 protected:
  std::string FKeyword;
  std::string FText;
};

// "tEXt": keyword, zero byte, text.
class TChunkPngTextChunk : public TPngChunkClass<TChunkPngTextChunk, TCustomDefinedChunkTextChunk> {
 public:
  static constexpr char kChunkName[5] = "tEXt";
  using TPngChunkClass::TPngChunkClass;
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;
};

// "zTXt": keyword, zero byte, method, zlib-compressed text.
class TChunkPngCompressedTextChunk : public TPngChunkClass<TChunkPngCompressedTextChunk, TCustomDefinedChunkTextChunk> {
 public:
  static constexpr char kChunkName[5] = "zTXt";
  using TPngChunkClass::TPngChunkClass;
  uint8_t CompressionMethod() const { return FCompressionMethod; }
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  uint8_t FCompressionMethod = 0;
};

// "iTXt": keyword, flags and language tag are read; writing is not implemented.
class TChunkPngInternationalTextChunk
    : public TPngChunkClass<TChunkPngInternationalTextChunk, TCustomDefinedChunkTextChunk> {
 public:
  static constexpr char kChunkName[5] = "iTXt";
  using TPngChunkClass::TPngChunkClass;
  uint8_t CompressionMethod() const { return FCompressionMethod; }
  uint8_t CompressionFlag() const { return FCompressionFlag; }
  const std::string& LanguageString() const { return FLanguageString; }
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  uint8_t FCompressionMethod = 0;
  uint8_t FCompressionFlag = 0;
  std::string FLanguageString;
  std::string FTranslatedKeyword;
};

// "iCCP": profile name and compression method (the profile is not kept).
class TChunkPngEmbeddedIccProfile : public TPngChunkClass<TChunkPngEmbeddedIccProfile> {
 public:
  static constexpr char kChunkName[5] = "iCCP";
  using TPngChunkClass::TPngChunkClass;
  const std::string& ProfileName() const { return FProfileName; }
  uint8_t CompressionMethod() const { return FCompressionMethod; }
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  std::string FProfileName;
  uint8_t FCompressionMethod = 0;
};

// "pCAL": calibration name, limits, equation type and unit (the parameters
// are kept as raw bytes so the chunk is written back complete).
class TChunkPngPixelCalibrator : public TPngChunkClass<TChunkPngPixelCalibrator> {
 public:
  static constexpr char kChunkName[5] = "pCAL";
  using TPngChunkClass::TPngChunkClass;
  const std::string& CalibratorName() const { return FCalibratorName; }
  int32_t OriginalZeroMin() const { return FOriginalZeroMin; }
  int32_t OriginalZeroMax() const { return FOriginalZeroMax; }
  uint8_t EquationType() const { return FEquationType; }
  uint8_t NumberOfParams() const { return FNumberOfParams; }
  const std::string& UnitName() const { return FUnitName; }
  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;

 private:
  std::string FCalibratorName;
  int32_t FOriginalZeroMin = 0, FOriginalZeroMax = 0;
  uint8_t FEquationType = 0, FNumberOfParams = 0;
  std::string FUnitName;
  std::string FParameters;
};

}  // namespace vb
