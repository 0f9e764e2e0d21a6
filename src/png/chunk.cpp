#include "png/chunk.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "png/png_error.h"

namespace vb {
namespace {

uint32_t ByteSwap32(uint32_t V) { return (V >> 24) | ((V >> 8) & 0xFF00u) | ((V << 8) & 0xFF0000u) | (V << 24); }

uint32_t LoadLittleEndian32(const uint8_t* P) {
  return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24;
}

}  // namespace

TCustomChunk& TCustomChunk::operator=(const TCustomChunk& Other) {
  FChunkName = Other.FChunkName;
  FChunkSize = Other.FChunkSize;
  return *this;  // the flags belong to the format of this chunk, not the copy
}

std::string TCustomChunk::GetChunkName() const { return std::string(FChunkName.data(), 4); }

void TCustomChunk::SetChunkName(const std::string& Value) {
  std::copy_n(Value.begin(), std::min<size_t>(Value.size(), 4), FChunkName.begin());
}

void TCustomChunk::LoadFromStream(TPngMemoryStream& Stream) {
  if (Stream.Remaining() < 8) throw EPngError(TErrorCode::ecChunkHeaderIncomplete);
  uint8_t header[8];
  Stream.ReadBuffer(header, 8);
  const uint8_t* name = (FChunkFlags & cfSizeFirst) ? header + 4 : header;
  const uint8_t* size = (FChunkFlags & cfSizeFirst) ? header : header + 4;
  std::copy_n(name, 4, FChunkName.begin());
  FChunkSize = LoadLittleEndian32(size);
  if (FChunkFlags & cfReversedByteOrder) FChunkSize = ByteSwap32(FChunkSize);
}

void TCustomChunk::SaveToStream(TPngMemoryStream& Stream) {
  const uint32_t size = (FChunkFlags & cfReversedByteOrder) ? ByteSwap32(FChunkSize) : FChunkSize;
  const uint8_t sizeBytes[4] = {uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), uint8_t(size >> 24)};
  if (FChunkFlags & cfSizeFirst) {
    Stream.Write(sizeBytes, 4);
    Stream.Write(FChunkName.data(), 4);
  } else {
    Stream.Write(FChunkName.data(), 4);
    Stream.Write(sizeBytes, 4);
  }
}

void TCustomChunk::LoadFromFile(const std::string& FileName) {
  std::ifstream file(FileName, std::ios::binary);
  if (!file) throw EPngError(TErrorCode::ecCannotOpenChunkFile, FileName);
  TPngMemoryStream stream(std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {}));
  LoadFromStream(stream);
}

void TCustomChunk::SaveToFile(const std::string& FileName) {
  TPngMemoryStream stream;
  SaveToStream(stream);
  std::ofstream file(FileName, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(stream.Memory()), std::streamsize(stream.Size()));
  if (!file) throw EPngError(TErrorCode::ecCannotWriteChunkFile, FileName);
}

void TCustomChunk::AssignTo(TCustomChunk& Dest) const { Dest = *this; }

void TCustomChunk::WritePadding(TPngMemoryStream& Stream) const {
  if (PadSize()) Stream.WriteByte(0);
}

uint8_t TUnknownChunk::GetData(int Index) const {
  if (Index < 0 || size_t(Index) >= FDataStream.Size()) RaiseIndexOutOfBounds(Index);
  return FDataStream.Memory()[Index];
}

void TUnknownChunk::SetData(int Index, uint8_t Value) {
  if (Index < 0 || size_t(Index) >= FDataStream.Size()) RaiseIndexOutOfBounds(Index);
  FDataStream.Memory()[Index] = Value;
}

void TUnknownChunk::LoadFromStream(TPngMemoryStream& Stream) {
  TCustomChunk::LoadFromStream(Stream);
  if (FChunkName[0] == 0) throw EPngError(TErrorCode::ecChunkNameEmpty);
  const uint32_t headerInSize = (FChunkFlags & cfIncludeChunkInSize) ? 8u : 0u;
  if (FChunkSize < headerInSize) throw EPngError(TErrorCode::ecChunkSizeTooSmall);
  const size_t toCopy = FChunkSize - headerInSize;
  // The declared size must fit the bytes that are really there.
  if (toCopy > Stream.Remaining()) throw EPngError(TErrorCode::ecChunkSizeExceedsData);
  FDataStream.Clear();
  FDataStream.SetSize(FChunkSize);
  if (toCopy) Stream.ReadBuffer(FDataStream.Memory(), toCopy);
  Stream.Seek(ptrdiff_t(PadSize()));
}

void TUnknownChunk::SaveToStream(TPngMemoryStream& Stream) {
  FChunkSize = uint32_t(FDataStream.Size());
  TCustomChunk::SaveToStream(Stream);
  Stream.Write(FDataStream.Memory(), FDataStream.Size());
  WritePadding(Stream);
}

void TUnknownChunk::AssignTo(TCustomChunk& Dest) const {
  TCustomChunk::AssignTo(Dest);
  if (auto* other = dynamic_cast<TUnknownChunk*>(&Dest)) {
    other->FDataStream.SetPosition(other->FDataStream.Size());
    other->FDataStream.Write(FDataStream.Memory(), FDataStream.Size());
  }
}

void TDefinedChunk::LoadFromStream(TPngMemoryStream& Stream) {
  if (Stream.Remaining() < 8) throw EPngError(TErrorCode::ecChunkHeaderIncomplete);
  const uint8_t* at = Stream.Memory() + Stream.Position() + ((FChunkFlags & cfSizeFirst) ? 4 : 0);
  if (!std::equal(FChunkName.begin(), FChunkName.end(), at)) throw EPngError(TErrorCode::ecChunkNameMismatch);
  TCustomChunk::LoadFromStream(Stream);
}

void TDefinedChunk::SetChunkName(const std::string& Value) {
  const TChunkName own = GetClassChunkName();
  if (Value.size() != 4 || !std::equal(own.begin(), own.end(), Value.begin()))
    throw EPngError(TErrorCode::ecChunkNameFixed, std::string_view(own.data(), 4));
}

void TDefinedChunk::AssignTo(TCustomChunk& Dest) const {
  TCustomChunk::AssignTo(Dest);
  if (auto* other = dynamic_cast<TDefinedChunk*>(&Dest)) other->FFilePosition = FFilePosition;
}

}  // namespace vb
