#pragma once
// A growable in-memory byte stream with a position: what every chunk reads
// its data from and writes it to, and what holds inflated image data.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vb {

class TPngMemoryStream {
 public:
  TPngMemoryStream() = default;
  explicit TPngMemoryStream(std::vector<uint8_t> Bytes) : FBytes(std::move(Bytes)) {}
  TPngMemoryStream(const void* Data, size_t Size);

  // Reads up to Count bytes and returns how many were read.
  size_t Read(void* Buffer, size_t Count);
  // Reads exactly Count bytes or raises EPngError "Unexpected end of data".
  void ReadBuffer(void* Buffer, size_t Count);
  uint8_t ReadByte();
  // Writes at the position, growing the stream as needed.
  void Write(const void* Buffer, size_t Count);
  void WriteByte(uint8_t Value) { Write(&Value, 1); }

  size_t Size() const { return FBytes.size(); }
  size_t Position() const { return FPosition; }
  // Positions beyond the end are clamped to the end.
  void SetPosition(size_t Position);
  void Seek(ptrdiff_t Offset) { SetPosition(size_t(ptrdiff_t(FPosition) + Offset)); }
  size_t Remaining() const { return FBytes.size() - FPosition; }
  void SetSize(size_t Size);
  void Clear();

  const uint8_t* Memory() const { return FBytes.data(); }
  uint8_t* Memory() { return FBytes.data(); }
  const std::vector<uint8_t>& Bytes() const { return FBytes; }
  std::vector<uint8_t>& Bytes() { return FBytes; }

 private:
  std::vector<uint8_t> FBytes;
  size_t FPosition = 0;
};

// Big-endian integers on a stream (PNG stores every multi-byte value so).
uint16_t ReadBigEndian16(TPngMemoryStream& Stream);
uint32_t ReadBigEndian32(TPngMemoryStream& Stream);
void WriteBigEndian16(TPngMemoryStream& Stream, uint16_t Value);
void WriteBigEndian32(TPngMemoryStream& Stream, uint32_t Value);

inline uint32_t LoadBigEndian32(const uint8_t* P) {
  return uint32_t(P[0]) << 24 | uint32_t(P[1]) << 16 | uint32_t(P[2]) << 8 | uint32_t(P[3]);
}
inline void StoreBigEndian32(uint8_t* P, uint32_t V) {
  P[0] = uint8_t(V >> 24);
  P[1] = uint8_t(V >> 16);
  P[2] = uint8_t(V >> 8);
  P[3] = uint8_t(V);
}

// Whole-stream zlib helpers: Source's whole content is appended to Output
// (at Output's end), level 0..9 for compression.
void CompressStream(const TPngMemoryStream& Source, TPngMemoryStream& Output, int Level);
// DecompressStream stops with EPngError past MaxOutput inflated bytes.
void DecompressStream(const TPngMemoryStream& Source, TPngMemoryStream& Output, size_t MaxOutput = SIZE_MAX);

}  // namespace vb
