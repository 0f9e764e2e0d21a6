#pragma once
// Helpers for the codec tests: PNG files assembled chunk by chunk with
// correct CRCs, raw image data, and decoding into a pixel map.
#include <cstdint>
#include <string>
#include <vector>

#include "image/gui_pixel_map_memory.h"
#include "image/pixel32.h"

namespace vb::test {

using TBytes = std::vector<uint8_t>;

// A chunk with its length, type, data and CRC.
TBytes PngChunk(const char* Type, const TBytes& Data);
TBytes IhdrData(uint32_t Width, uint32_t Height, uint8_t BitDepth, uint8_t ColorType, uint8_t Interlace = 0);
// Signature, IHDR, the given middle chunks, one IDAT of Raw deflated, IEND.
TBytes MakePng(const TBytes& Ihdr, const TBytes& Raw, const TBytes& MiddleChunks = {});
TBytes Deflate(const TBytes& Raw);
TBytes ReadFile(const std::string& Path);

// Loads a PNG from memory and decodes it into a new pixel map.
void DecodePng(const TBytes& File, TGuiPixelMapMemory& Map);
// Encodes a pixel map into PNG bytes.
TBytes EncodePng(const TGuiCustomPixelMap& Map);

}  // namespace vb::test
