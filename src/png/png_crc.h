#pragma once
// CRC-32 of PNG chunks (reflected polynomial 0xEDB88320): short blocks from
// a table that start-up builds once, long ones (image data) by a vector
// routine of the inflate library. Call BuildPngCrcTable before PngCrc32.
#include <cstddef>
#include <cstdint>

namespace vb {

// Builds the 256-entry table; idempotent. Start-up thread only.
void BuildPngCrcTable();
// Frees nothing (the table is static storage) but marks it unbuilt.
void ReleasePngCrcTable();
bool IsPngCrcTableBuilt();

// Continues a running CRC over Size bytes. Start with 0xFFFFFFFF and
// complement the final value (PngCrc32 does both).
uint32_t UpdatePngCrc(uint32_t Crc, const uint8_t* Data, size_t Size);
// CRC of one block: initial 0xFFFFFFFF, final value complemented.
uint32_t PngCrc32(const uint8_t* Data, size_t Size);

}  // namespace vb
