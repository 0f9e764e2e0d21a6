#include "data_chunk_check.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace vb {

namespace {

constexpr int kMaxChunks = 1000;  // chunks walked before the data chunk

struct TFileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

std::uint32_t Read32(const unsigned char* p, bool bigEndian) {
  return bigEndian ? (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3]
                   : (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

}  // namespace

bool ReadDataChunkSize(const std::string& path, TDataChunkSize& size) {
  TFile f(std::fopen(path.c_str(), "rb"));
  if (!f) return false;
  unsigned char head[12];
  if (std::fread(head, 1, sizeof head, f.get()) != sizeof head) return false;
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
  if (std::fseek(f.get(), 0, SEEK_END) != 0) return false;
  const long fileSize = std::ftell(f.get());
  if (fileSize < 0) return false;
  std::uint64_t pos = sizeof head;
  for (int k = 0; k < kMaxChunks && pos + 8 <= std::uint64_t(fileSize); ++k) {
    unsigned char chunk[8];
    if (std::fseek(f.get(), long(pos), SEEK_SET) != 0 || std::fread(chunk, 1, 8, f.get()) != 8) return false;
    const std::uint32_t length = Read32(chunk + 4, bigEndian);
    if (std::memcmp(chunk, dataId, 4) == 0) {
      if (length == 0 || length == 0xFFFFFFFFu) return false;
      size.Declared = length;
      size.Present = std::uint64_t(fileSize) - (pos + 8);
      return true;
    }
    pos += 8 + std::uint64_t(length) + (length & 1);  // chunks are padded to even sizes
  }
  return false;
}

}  // namespace vb
