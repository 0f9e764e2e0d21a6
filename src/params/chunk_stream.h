#pragma once
// A growable in-memory byte buffer with a read/write position: the opaque
// state of a program in chunk mode.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vb {

class TChunkStream {
 public:
  std::size_t Size() const { return FBytes.size(); }
  std::size_t Position() const { return FPosition; }
  void Rewind() { FPosition = 0; }
  // Moves the position; a position beyond the end is clipped to the end.
  void Seek(std::size_t Position) { FPosition = Position < FBytes.size() ? Position : FBytes.size(); }

  const std::uint8_t* Data() const { return FBytes.data(); }
  std::uint8_t* Data() { return FBytes.data(); }

  // Writes at the position, growing the buffer as needed.
  void Write(const void* Source, std::size_t Count);
  // Reads up to Count bytes from the position; answers the number read.
  std::size_t Read(void* Target, std::size_t Count);

  // Replaces the whole content by Count bytes at Source and rewinds.
  void Assign(const void* Source, std::size_t Count);
  void Clear();

 private:
  std::vector<std::uint8_t> FBytes;
  std::size_t FPosition = 0;
};

}  // namespace vb
