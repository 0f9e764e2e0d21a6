#include "png_file_check.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace vb {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kChunkFrame = 12;  // length, type and CRC around a chunk's data
constexpr size_t kIhdrSize = 13;

std::uint32_t Be32(const std::uint8_t* P) {
  return (std::uint32_t(P[0]) << 24) | (std::uint32_t(P[1]) << 16) | (std::uint32_t(P[2]) << 8) | P[3];
}

// CRC-32 as PNG defines it (ISO 3309, polynomial 0xEDB88320, reflected).
std::uint32_t Crc32(const std::uint8_t* Data, size_t Size) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < Size; ++i) c = table[(c ^ Data[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::string ChunkName(const std::uint8_t* Type, int Index, size_t At) {
  std::string name;
  for (int k = 0; k < 4; ++k) name += Type[k] >= 0x20 && Type[k] < 0x7F ? char(Type[k]) : '?';
  return "chunk " + name + " (#" + std::to_string(Index) + ", at byte " + std::to_string(At) + ")";
}

}  // namespace

std::string CheckPngFile(const std::string& Path, const std::vector<std::uint8_t>& File, std::uint64_t MaxPixels) {
  const std::string name = "'" + Path + "'";
  if (File.size() < sizeof kSignature || std::memcmp(File.data(), kSignature, sizeof kSignature) != 0)
    return name + " is not a PNG file (its first 8 bytes are not the PNG signature)";
  size_t at = sizeof kSignature;
  for (int index = 1;; ++index) {
    if (at == File.size())
      return name + " has no IEND chunk: it ends after " + std::to_string(File.size()) + " bytes, cut short";
    if (File.size() - at < kChunkFrame)
      return name + " is cut short inside the chunk at byte " + std::to_string(at) + " (" +
             std::to_string(File.size() - at) + " bytes left of at least 12)";
    const std::uint32_t length = Be32(&File[at]);
    const std::uint8_t* type = &File[at + 4];
    const std::string chunk = ChunkName(type, index, at);
    if (length > File.size() - at - kChunkFrame)
      return name + ": " + chunk + " announces " + std::to_string(length) + " bytes and the file holds " +
             std::to_string(File.size() - at - kChunkFrame) + " more; it is cut short";
    const std::uint32_t stored = Be32(&File[at + 8 + length]);
    if (const std::uint32_t computed = Crc32(type, 4 + size_t(length)); stored != computed) {
      char crcs[64];
      std::snprintf(crcs, sizeof crcs, " (stored %08X, computed %08X)", stored, computed);
      return name + ": " + chunk + " is damaged: its CRC does not match" + crcs;
    }
    if (index == 1 && (std::memcmp(type, "IHDR", 4) != 0 || length != kIhdrSize))
      return name + ": " + chunk + " should be the 13-byte IHDR chunk";
    if (index == 1) {
      const std::uint64_t width = Be32(type + 4), height = Be32(type + 8);
      if (width * height > MaxPixels)
        return name + ": IHDR gives " + std::to_string(width) + " x " + std::to_string(height) +
               " pixels, more than the " + std::to_string(MaxPixels) + " png-tool decodes";
    }
    at += kChunkFrame + length;
    if (std::memcmp(type, "IEND", 4) == 0) return {};
  }
}

}  // namespace vb
