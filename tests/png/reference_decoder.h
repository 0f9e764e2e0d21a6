#pragma once
// An independent decoder for the differential tests: the system's libpng,
// asked for 8-bit RGBA (palette and low depths expanded, tRNS as alpha,
// 16-bit samples truncated to their high byte, grey copied to RGB).
#include <cstdint>
#include <string>
#include <vector>

namespace vb::test {

struct TReferenceImage {
  uint32_t Width = 0, Height = 0;
  bool HasGamma = false;
  uint32_t Gamma = 0;         // gAMA value (gamma x 100000)
  std::vector<uint8_t> Rgba;  // Width * Height * 4 bytes, R G B A
};

bool ReferenceDecoderAvailable();
// False (with Error set) when libpng refuses the data.
bool ReferenceDecode(const std::vector<uint8_t>& File, TReferenceImage& Image, std::string& Error);

}  // namespace vb::test
