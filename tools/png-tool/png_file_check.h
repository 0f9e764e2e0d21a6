// The chunk structure of a PNG file, checked before the codec sees it, so
// that every fault names the file, the chunk and where it sits: a bad CRC,
// a chunk cut by the end of the file, a missing IEND chunk, an image header
// larger than the decoder takes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vb {

// Empty when `file` is a PNG whose chunks are whole, whose CRCs agree and
// which ends with IEND, and whose IHDR asks for at most `maxPixels`; else
// one line naming `path` and the fault.
std::string CheckPngFile(const std::string& Path, const std::vector<std::uint8_t>& File, std::uint64_t MaxPixels);

}  // namespace vb
