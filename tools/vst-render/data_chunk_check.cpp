#include "data_chunk_check.h"

#include <cstring>

#include "platform/system/system_calls.h"

namespace vb {

namespace {

constexpr int kMaxChunks = 1000;  // chunks walked before the data chunk

// pread(2) until `size` bytes are in or the file ends.
bool ReadAt(int fd, std::uint64_t pos, unsigned char* out, size_t size) {
  while (size > 0) {
    const ssize_t n = vb::ReadAt(fd, out, size, static_cast<std::int64_t>(pos));
    if (n <= 0) return false;
    out += n;
    pos += static_cast<std::uint64_t>(n);
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::uint32_t Read32(const unsigned char* p, bool bigEndian) {
  return bigEndian ? (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3]
                   : (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

}  // namespace

bool ReadDataChunkSize(int fd, TDataChunkSize& size) {
  const TPathKind kind = DescriptorKind(fd);
  if (!kind.Regular) return false;
  const std::uint64_t fileSize = static_cast<std::uint64_t>(kind.Size);
  unsigned char head[12];
  if (!ReadAt(fd, 0, head, sizeof head)) return false;
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
    if (!ReadAt(fd, pos, chunk, sizeof chunk)) return false;
    const std::uint32_t length = Read32(chunk + 4, bigEndian);
    if (std::memcmp(chunk, dataId, 4) == 0) {
      if (length == 0 || length == 0xFFFFFFFFu) return false;
      size.Declared = length;
      size.Present = fileSize - (pos + 8);
      return true;
    }
    pos += 8 + std::uint64_t(length) + (length & 1);  // chunks are padded to even sizes
  }
  return false;
}

}  // namespace vb
