#include "png/png_chunks_text.h"

#include <algorithm>
#include <cstring>

#include "error/error.h"
#include "png/zlib_block.h"

namespace vb {

std::string ReadPngZeroTerminated(TPngMemoryStream& Stream, size_t MaxLength) {
  const uint8_t* at = Stream.Memory() + Stream.Position();
  const size_t window = std::min(Stream.Remaining(), MaxLength + 1);
  const void* zero = std::memchr(at, 0, window);
  if (!zero) throw EPngError(TErrorCode::ecMalformedChunkText);
  const size_t length = size_t(static_cast<const uint8_t*>(zero) - at);
  std::string value(reinterpret_cast<const char*>(at), length);
  Stream.Seek(ptrdiff_t(length + 1));
  return value;
}

namespace {

std::string ReadRest(TPngMemoryStream& Stream) {
  std::string rest(reinterpret_cast<const char*>(Stream.Memory() + Stream.Position()), Stream.Remaining());
  Stream.SetPosition(Stream.Size());
  return rest;
}

void WriteZeroTerminated(TPngMemoryStream& Stream, const std::string& Value) {
  Stream.Write(Value.data(), Value.size());
  Stream.WriteByte(0);
}

}  // namespace

void TChunkPngTextChunk::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  FKeyword = ReadPngZeroTerminated(Stream, kPngMaxKeywordLength);
  FText = ReadRest(Stream);
}

void TChunkPngTextChunk::SaveToStream(TPngMemoryStream& Stream) {
  TPngMemoryStream data;
  WriteZeroTerminated(data, FKeyword);
  data.Write(FText.data(), FText.size());
  SaveChunk(Stream, data);
}

void TChunkPngCompressedTextChunk::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  FKeyword = ReadPngZeroTerminated(Stream, kPngMaxKeywordLength);
  FCompressionMethod = Stream.ReadByte();
  if (FCompressionMethod != 0) return;
  std::vector<uint8_t> text;
  DecompressData(Stream.Memory() + Stream.Position(), Stream.Remaining(), text, kPngMaxInflatedTextSize);
  Stream.SetPosition(Stream.Size());
  FText.assign(text.begin(), text.end());
}

void TChunkPngCompressedTextChunk::SaveToStream(TPngMemoryStream& Stream) {
  TPngMemoryStream data;
  WriteZeroTerminated(data, FKeyword);
  data.WriteByte(FCompressionMethod);
  std::vector<uint8_t> packed;
  CompressData(FText.data(), FText.size(), packed, 9);
  data.Write(packed.data(), packed.size());
  SaveChunk(Stream, data);
}

void TChunkPngInternationalTextChunk::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  FKeyword = ReadPngZeroTerminated(Stream, kPngMaxKeywordLength);
  FCompressionFlag = Stream.ReadByte();
  FCompressionMethod = Stream.ReadByte();
  FLanguageString = ReadPngZeroTerminated(Stream, 9);
  Stream.SetPosition(Stream.Size());
}

void TChunkPngInternationalTextChunk::SaveToStream(TPngMemoryStream&) {
  throw EPngError(TErrorCode::ecNotYetImplemented);
}

void TChunkPngEmbeddedIccProfile::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  FProfileName = ReadPngZeroTerminated(Stream, kPngMaxKeywordLength);
  FCompressionMethod = Stream.ReadByte();
  Stream.SetPosition(Stream.Size());
}

void TChunkPngEmbeddedIccProfile::SaveToStream(TPngMemoryStream& Stream) {
  TPngMemoryStream data;
  WriteZeroTerminated(data, FProfileName);
  data.WriteByte(FCompressionMethod);
  SaveChunk(Stream, data);
}

void TChunkPngPixelCalibrator::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  FCalibratorName = ReadPngZeroTerminated(Stream, kPngMaxKeywordLength);
  if (Stream.Remaining() < 10) throw EPngError(TErrorCode::ecChunkSizeTooSmall);
  FOriginalZeroMin = int32_t(ReadBigEndian32(Stream));
  FOriginalZeroMax = int32_t(ReadBigEndian32(Stream));
  FEquationType = Stream.ReadByte();
  FNumberOfParams = Stream.ReadByte();
  FUnitName = ReadPngZeroTerminated(Stream, Stream.Remaining());
  FParameters = ReadRest(Stream);
}

void TChunkPngPixelCalibrator::SaveToStream(TPngMemoryStream& Stream) {
  // Written complete: a header whose size promises data that never follows
  // would corrupt every chunk after it.
  TPngMemoryStream data;
  WriteZeroTerminated(data, FCalibratorName);
  WriteBigEndian32(data, uint32_t(FOriginalZeroMin));
  WriteBigEndian32(data, uint32_t(FOriginalZeroMax));
  data.WriteByte(FEquationType);
  data.WriteByte(FNumberOfParams);
  WriteZeroTerminated(data, FUnitName);
  data.Write(FParameters.data(), FParameters.size());
  SaveChunk(Stream, data);
}

}  // namespace vb
