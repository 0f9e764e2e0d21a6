#include "data_chunk_check.h"

#include <cstring>

#include "platform/system/system_calls.h"

namespace vb {

namespace {

constexpr int kMaxChunks = 1000;  // chunks walked before the data chunk

// pread(2) until `size` bytes are in or the file ends.
bool ReadAt(int Fd, std::uint64_t Pos, unsigned char* Out, size_t Size) {
  while (Size > 0) {
    const ssize_t n = vb::ReadAt(Fd, Out, Size, static_cast<std::int64_t>(Pos));
    if (n <= 0) return false;
    Out += n;
    Pos += static_cast<std::uint64_t>(n);
    Size -= static_cast<size_t>(n);
  }
  return true;
}

std::uint32_t Read32(const unsigned char* P, bool BigEndian) {
  return BigEndian ? (std::uint32_t(P[0]) << 24) | (std::uint32_t(P[1]) << 16) | (std::uint32_t(P[2]) << 8) | P[3]
                   : (std::uint32_t(P[3]) << 24) | (std::uint32_t(P[2]) << 16) | (std::uint32_t(P[1]) << 8) | P[0];
}

}  // namespace

bool ReadDataChunkSize(int Fd, TDataChunkSize& Size) {
  const TPathKind kind = DescriptorKind(Fd);
  if (!kind.Regular) return false;
  const std::uint64_t fileSize = static_cast<std::uint64_t>(kind.Size);
  unsigned char head[12];
  if (!ReadAt(Fd, 0, head, sizeof head)) return false;
  bool bigEndian = false;
  const char* dataId = nullptr;
  if (std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0) {
    dataId = "data";
  } else if (std::memcmp(head, "RIFX", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0) {
    dataId = "data";
    bigEndian = true;
  } else if (std::memcmp(head, "FORM", 4) == 0 &&
             (std::memcmp(head + 8, "AIFF", 4) == 0 || std::memcmp(head + 8, "AIFC", 4) == 0)) {
    dataId = "SSND";
    bigEndian = true;
  } else {
    return false;
  }
  std::uint64_t pos = sizeof head;
  for (int k = 0; k < kMaxChunks && pos + 8 <= fileSize; ++k) {
    unsigned char chunk[8];
    if (!ReadAt(Fd, pos, chunk, sizeof chunk)) return false;
    const std::uint32_t length = Read32(chunk + 4, bigEndian);
    if (std::memcmp(chunk, dataId, 4) == 0) {
      if (length == 0 || length == 0xFFFFFFFFu) return false;
      Size.Declared = length;
      Size.Present = fileSize - (pos + 8);
      return true;
    }
    pos += 8 + std::uint64_t(length) + (length & 1);  // chunks are padded to even sizes
  }
  return false;
}

}  // namespace vb
