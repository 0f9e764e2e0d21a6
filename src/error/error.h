#pragma once
// The framework's one error vocabulary. Every failure raised by the
// framework is an EError carrying a TErrorCode; the code names its subsystem
// (its high byte) and selects a fixed text from one table (error.cpp). Texts
// with "%s" take the details the raising code hands over (an index, a name).
// Callers and tests compare codes; the texts are what a host or a user sees
// and never change.
//
// Each subsystem raises its own class (EPngError, EDspError, ...), so a
// caller can catch one subsystem's failures and let the rest pass. Any
// thread may raise and read these; the table is constant data.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vb {

enum class TErrorSubsystem : std::uint8_t {
  esInternal = 0,  // broken internal invariants, whichever unit found them
  esHost,
  esParams,
  esDsp,
  esImage,
  esStream,
  esPng,
  esCpu,
  esPlatform,
  esGui,
};

// Codes are grouped by subsystem: the high byte is the TErrorSubsystem.
enum class TErrorCode : std::uint16_t {
  ecAssertionFailed = 0x0000,

  ecAudioMasterError = 0x0100,
  ecDspQueueOrder,

  ecParameterMismatch = 0x0200,
  ecIndexOutOfBounds,
  ecNoParameter,
  ecUnknownParameterName,
  ecInvalidParameterValue,
  ecNoProgram,
  ecUnknownProgramName,

  ecInvalidSampleRate = 0x0300,
  ecOrderFixed,
  ecAbstractCall,
  ecListIndexOutOfBounds,

  ecWidthNegative = 0x0400,
  ecHeightNegative,
  ecUnsupportedRasterFormat,
  ecDibAllocation,
  ecCompatibleDc,
  ecCannotAssignMapToFormat,
  ecCannotAssignFormatToMap,
  ecUnsupportedBitmap,
  ecBitmapTooLarge,
  ecInvalidBitmapHeader,

  ecStreamFixedSize = 0x0500,
  ecStreamRead,
  ecStreamWrite,
  ecStreamPosition,
  ecStreamSize,
  ecFileOpen,
  ecFileCreate,

  ecPngIndexOutOfBounds = 0x0600,
  ecChunkListEmpty,
  ecCannotAssignChunk,
  ecMalformedChunkText,
  ecNotYetImplemented,
  ecChunkSizeTooSmall,
  ecChunkHeaderIncomplete,
  ecCannotOpenChunkFile,
  ecCannotWriteChunkFile,
  ecChunkNameEmpty,
  ecChunkSizeExceedsData,
  ecChunkNameMismatch,
  ecChunkNameFixed,
  ecWrongTransparencyFormat,
  ecUnsupportedFilter,
  ecDataNotComplete,
  ecNoDestinationRow,
  ecUnsupportedFormat,
  ecWrongBitDepth,
  ecUnsupportedCompressionMethod,
  ecUnsupportedFilterMethod,
  ecUnsupportedInterlaceMethod,
  ecUnknownColorType,
  ecInvalidHeader,
  ecUnexpectedEndOfData,
  ecNotAValidPng,
  ecWidthFixed,
  ecHeightFixed,
  ecBitDepthFixed,
  ecCompressionMethodFixed,
  ecFilterMethodFixed,
  ecInterlaceMethodFixed,
  ecGammaFixed,
  ecInvalidCompressionLevel,
  ecPixelsPerUnitZero,
  ecUnspecifiedUnit,
  ecCrcError,
  ecUnknownCriticalChunk,
  ecCompressionMethodNotSupported,
  ecImageTooLarge,
  ecPaletteTooLarge,
  ecPaletteIncomplete,
  ecInvalidDate,
  ecCompressionFailed,
  ecDecompressionFailed,
  ecStreamValidation,
  ecDecompressedTooLarge,
  ecCompressedIncomplete,
  ecInvalidImageSize,
  ecPixelMapTooSmall,
  ecChunkClassTwice,
  ecNoSourceRow,
  ecGammaTwice,
  ecChromaticitiesTwice,
  ecTimeTwice,
  ecSignificantBitsTwice,
  ecPhysicalDimensionsTwice,
  ecPaletteTwice,

  ecBindingIndexOutOfBounds = 0x0700,

  ecNegativeBitmapSize = 0x0800,

  ecControlNotLocked = 0x0900,
  ecGlyphCountNotPositive,
  ecGuiIndexOutOfBounds,
  ecRadiusNotPositive,
  ecBlurNegative,
  ecScrollRangeNotPositive,
  ecValueOutOfRange,
  ecStripPiecesDoNotFit,
};

constexpr TErrorSubsystem SubsystemOf(TErrorCode Code) {
  return static_cast<TErrorSubsystem>(static_cast<std::uint16_t>(Code) >> 8);
}

// The fixed text of Code, with "%s" where details go ("" for an unknown code).
std::string_view ErrorText(TErrorCode Code);

// ErrorText(Code) with its "%s" filled from Details in order; missing
// details leave their place empty.
std::string FormatErrorText(TErrorCode Code, std::string_view Detail1 = {}, std::string_view Detail2 = {});

class EError : public std::runtime_error {
 public:
  explicit EError(TErrorCode Code, std::string_view Detail1 = {}, std::string_view Detail2 = {});

  TErrorCode Code() const { return FCode; }
  TErrorSubsystem Subsystem() const { return SubsystemOf(FCode); }

 private:
  TErrorCode FCode;
};

// The class one subsystem raises; catching it catches that subsystem only.
template <TErrorSubsystem Subsystem>
class ESubsystemError : public EError {
 public:
  using EError::EError;
};

using EAssertionFailed = ESubsystemError<TErrorSubsystem::esInternal>;
using EVstError = ESubsystemError<TErrorSubsystem::esHost>;
using EParameterError = ESubsystemError<TErrorSubsystem::esParams>;
using EDspError = ESubsystemError<TErrorSubsystem::esDsp>;
using EGuiError = ESubsystemError<TErrorSubsystem::esImage>;
using EPngError = ESubsystemError<TErrorSubsystem::esPng>;
using ECpuError = ESubsystemError<TErrorSubsystem::esCpu>;
using EPlatformError = ESubsystemError<TErrorSubsystem::esPlatform>;
using EControlError = ESubsystemError<TErrorSubsystem::esGui>;

// Stream failures, with the three kinds callers tell apart.
using EStreamError = ESubsystemError<TErrorSubsystem::esStream>;
class EReadError : public EStreamError {
 public:
  EReadError() : EStreamError(TErrorCode::ecStreamRead) {}
};
class EWriteError : public EStreamError {
 public:
  EWriteError() : EStreamError(TErrorCode::ecStreamWrite) {}
};
class EFOpenError : public EStreamError {
 public:
  // Code is ecFileOpen or ecFileCreate; Reason is the system's explanation.
  EFOpenError(TErrorCode Code, std::string_view FileName, std::string_view Reason)
      : EStreamError(Code, FileName, Reason) {}
};

// Raises EAssertionFailed "<Message> (<Unit>)" unless Condition holds.
inline void Assert(bool Condition, const char* Unit, const char* Message) {
  if (!Condition) throw EAssertionFailed(TErrorCode::ecAssertionFailed, Message, Unit);
}

}  // namespace vb
