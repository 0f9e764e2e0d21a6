#include "png/png_memory_stream.h"

#include <algorithm>
#include <cstring>

#include "error/error.h"
#include "png/zlib_block.h"

namespace vb {

TPngMemoryStream::TPngMemoryStream(const void* Data, size_t Size)
    : FBytes(static_cast<const uint8_t*>(Data), static_cast<const uint8_t*>(Data) + Size) {}

size_t TPngMemoryStream::Read(void* Buffer, size_t Count) {
  const size_t n = std::min(Count, Remaining());
  if (n) std::memcpy(Buffer, FBytes.data() + FPosition, n);
  FPosition += n;
  return n;
}

void TPngMemoryStream::ReadBuffer(void* Buffer, size_t Count) {
  if (Count > Remaining()) throw EPngError(TErrorCode::ecUnexpectedEndOfData);
  Read(Buffer, Count);
}

uint8_t TPngMemoryStream::ReadByte() {
  if (Remaining() < 1) throw EPngError(TErrorCode::ecUnexpectedEndOfData);
  return FBytes[FPosition++];
}

void TPngMemoryStream::Write(const void* Buffer, size_t Count) {
  if (Count == 0) return;
  if (FPosition + Count > FBytes.size()) FBytes.resize(FPosition + Count);
  std::memcpy(FBytes.data() + FPosition, Buffer, Count);
  FPosition += Count;
}

void TPngMemoryStream::SetPosition(size_t Position) { FPosition = std::min(Position, FBytes.size()); }

void TPngMemoryStream::SetSize(size_t Size) {
  FBytes.resize(Size);
  FPosition = std::min(FPosition, Size);
}

void TPngMemoryStream::Clear() {
  FBytes.clear();
  FPosition = 0;
}

uint16_t ReadBigEndian16(TPngMemoryStream& Stream) {
  uint8_t b[2];
  Stream.ReadBuffer(b, 2);
  return uint16_t(b[0] << 8 | b[1]);
}

uint32_t ReadBigEndian32(TPngMemoryStream& Stream) {
  uint8_t b[4];
  Stream.ReadBuffer(b, 4);
  return LoadBigEndian32(b);
}

void WriteBigEndian16(TPngMemoryStream& Stream, uint16_t Value) {
  const uint8_t b[2] = {uint8_t(Value >> 8), uint8_t(Value)};
  Stream.Write(b, 2);
}

void WriteBigEndian32(TPngMemoryStream& Stream, uint32_t Value) {
  uint8_t b[4];
  StoreBigEndian32(b, Value);
  Stream.Write(b, 4);
}

void CompressStream(const TPngMemoryStream& Source, TPngMemoryStream& Output, int Level) {
  std::vector<uint8_t> packed;
  CompressData(Source.Memory(), Source.Size(), packed, Level);
  Output.SetPosition(Output.Size());
  Output.Write(packed.data(), packed.size());
}

void DecompressStream(const TPngMemoryStream& Source, TPngMemoryStream& Output, size_t MaxOutput) {
  std::vector<uint8_t> unpacked;
  DecompressData(Source.Memory(), Source.Size(), unpacked, MaxOutput);
  Output.SetPosition(Output.Size());
  Output.Write(unpacked.data(), unpacked.size());
}

}  // namespace vb
