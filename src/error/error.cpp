// The one table of error texts. Each text is exactly what the host or the
// user reads; "%s" marks where the raising code's details go.
#include "error/error.h"

#include <algorithm>
#include <iterator>

namespace vb {

namespace {

struct TErrorEntry {
  TErrorCode Code;
  const char* Text;
};

using enum TErrorCode;

constexpr TErrorEntry kErrorTexts[] = {
    {ecAssertionFailed, "%s (%s)"},

    {ecAudioMasterError, "AudioMaster Error"},
    {ecDspQueueOrder, "DspDirectProcessItem has to be the first item of a queue"},

    {ecParameterMismatch, "Parameter mismatch (%s)"},
    {ecIndexOutOfBounds, "Index out of bounds (%s)"},
    {ecNoParameter, "No parameter available!"},
    {ecUnknownParameterName, "Unknown parameter name: %s"},
    {ecInvalidParameterValue, "Invalid parameter value"},
    {ecNoProgram, "No program available!"},
    {ecUnknownProgramName, "Unknown program name"},

    {ecInvalidSampleRate, "Invalid Samplerate!"},
    {ecOrderFixed, "Order is fixed!"},
    {ecAbstractCall, "Abstract Error: %s"},
    {ecListIndexOutOfBounds, "List index out of bounds (%s)"},

    {ecWidthNegative, "Width may not be negative!"},
    {ecHeightNegative, "Height may not be negative!"},
    {ecUnsupportedRasterFormat, "Error"},
    {ecDibAllocation, "Can't allocate the DIB handle"},
    {ecCompatibleDc, "Can't create compatible DC"},
    {ecCannotAssignMapToFormat, "Cannot assign a map to a file format"},
    {ecCannotAssignFormatToMap, "Cannot assign a file format to a map"},
    {ecUnsupportedBitmap, "Unsupported bitmap format"},
    {ecBitmapTooLarge, "Bitmap too large"},
    {ecInvalidBitmapHeader, "Invalid bitmap header found!"},

    {ecStreamFixedSize, "Stream cannot change its size"},
    {ecStreamRead, "Stream read error"},
    {ecStreamWrite, "Stream write error"},
    {ecStreamPosition, "Invalid stream position"},
    {ecStreamSize, "Invalid stream size"},
    {ecFileOpen, "Cannot open file \"%s\". %s"},
    {ecFileCreate, "Cannot create file \"%s\". %s"},

    {ecPngIndexOutOfBounds, "Index out of bounds (%s)"},
    {ecChunkListEmpty, "Chunk list is empty"},
    {ecCannotAssignChunk, "Cannot assign chunk"},
    {ecMalformedChunkText, "Malformed chunk text"},
    {ecNotYetImplemented, "Not yet implemented"},
    {ecChunkSizeTooSmall, "Chunk size too small!"},
    {ecChunkHeaderIncomplete, "Chunk header incomplete"},
    {ecCannotOpenChunkFile, "Cannot open file %s"},
    {ecCannotWriteChunkFile, "Cannot write file %s"},
    {ecChunkNameEmpty, "Chunk name is empty"},
    {ecChunkSizeExceedsData, "Chunk size exceeds the data"},
    {ecChunkNameMismatch, "Chunk name does not match its class"},
    {ecChunkNameFixed, "Chunk name must always be '%s'"},
    {ecWrongTransparencyFormat, "Wrong transparency format"},
    {ecUnsupportedFilter, "Unsupported Filter"},
    {ecDataNotComplete, "Data not complete"},
    {ecNoDestinationRow, "No destination row"},
    {ecUnsupportedFormat, "Unsupported Format"},
    {ecWrongBitDepth, "Wrong Bitdepth"},
    {ecUnsupportedCompressionMethod, "Unsupported compression method"},
    {ecUnsupportedFilterMethod, "Unsupported filter method"},
    {ecUnsupportedInterlaceMethod, "Unsupported interlace method"},
    {ecUnknownColorType, "Unknown color type!"},
    {ecInvalidHeader, "The provided header is not valid!"},
    {ecUnexpectedEndOfData, "Unexpected end of data"},
    {ecNotAValidPng, "Not a valid PNG file"},
    {ecWidthFixed, "Width may not be specified directly yet!"},
    {ecHeightFixed, "Height may not be specified directly yet!"},
    {ecBitDepthFixed, "Bit depth may not be specified directly yet!"},
    {ecCompressionMethodFixed, "Compression Method may not be specified directly yet!"},
    {ecFilterMethodFixed, "Filter Method may not be specified directly yet!"},
    {ecInterlaceMethodFixed, "Interlace Method may not be specified directly yet!"},
    {ecGammaFixed, "Gamma may not be specified directly yet!"},
    {ecInvalidCompressionLevel, "Invalid compression level"},
    {ecPixelsPerUnitZero, "Pixel per unit may not be zero!"},
    {ecUnspecifiedUnit, "Unspecified unit"},
    {ecCrcError, "CRC Error"},
    {ecUnknownCriticalChunk, "Unknown chunk is marked as ancillary"},
    {ecCompressionMethodNotSupported, "Compression method not supported!"},
    {ecImageTooLarge, "Image is too large"},
    {ecPaletteTooLarge, "Palette is limited to 256 entries"},
    {ecPaletteIncomplete, "Palette is incomplete"},
    {ecInvalidDate, "Invalid date"},
    {ecCompressionFailed, "Error during compression"},
    {ecDecompressionFailed, "Error during decompression"},
    {ecStreamValidation, "Error on stream validation"},
    {ecDecompressedTooLarge, "Decompressed data exceeds its limit"},
    {ecCompressedIncomplete, "Compressed data is incomplete"},
    {ecInvalidImageSize, "Image size is not valid"},
    {ecPixelMapTooSmall, "Pixel map is smaller than the image"},
    {ecChunkClassTwice, "Chunk class registered twice"},
    {ecNoSourceRow, "No source row"},
    {ecGammaTwice, "Gamma chunk defined twice!"},
    {ecChromaticitiesTwice, "Primary chromaticities chunk defined twice!"},
    {ecTimeTwice, "Time chunk appears twice!"},
    {ecSignificantBitsTwice, "Several significant bits chunks found"},
    {ecPhysicalDimensionsTwice, "Several physical pixel dimenson chunks found"},
    {ecPaletteTwice, "Palette chunk defined twice!"},

    {ecBindingIndexOutOfBounds, "List index out of bounds"},

    {ecNegativeBitmapSize, "Negative bitmap size"},

    {ecControlNotLocked, "Control is not locked"},
    {ecGlyphCountNotPositive, "The glyph count must be positive"},
    {ecGuiIndexOutOfBounds, "Index out of bounds (%s)"},
    {ecRadiusNotPositive, "Radius must be larger than zero!"},
    {ecBlurNegative, "Must be positive!"},
    {ecScrollRangeNotPositive, "ScrollRange must be positive"},
    {ecValueOutOfRange, "Value must be between %s and %s"},
    {ecStripPiecesDoNotFit, "The pieces of the strip do not fit together"},
};

}  // namespace

std::string_view ErrorText(TErrorCode Code) {
  const auto* entry = std::find_if(std::begin(kErrorTexts), std::end(kErrorTexts),
                                   [Code](const TErrorEntry& E) { return E.Code == Code; });
  return entry == std::end(kErrorTexts) ? std::string_view() : std::string_view(entry->Text);
}

std::string FormatErrorText(TErrorCode Code, std::string_view Detail1, std::string_view Detail2) {
  const std::string_view text = ErrorText(Code);
  const std::string_view details[] = {Detail1, Detail2};
  std::string result;
  std::size_t used = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
      if (used < std::size(details)) result += details[used++];
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

EError::EError(TErrorCode Code, std::string_view Detail1, std::string_view Detail2)
    : std::runtime_error(FormatErrorText(Code, Detail1, Detail2)), FCode(Code) {}

}  // namespace vb
