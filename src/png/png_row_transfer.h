#pragma once
// Conversion of one row of unfiltered PNG samples into Count TPixel32
// values (B, G, R, A), one routine per colour format. 16-bit samples keep
// their most significant byte; colours pass through the coder's mapping
// table, alpha samples never do; a tRNS key colour (compared at full sample
// precision) becomes alpha 0.
#include <cstdint>

#include "png/png_coder.h"

namespace vb {

using TPngTransferRow = void (*)(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination,
                                 uint32_t Count);

// Grey or palette indices of 1, 2, 4 or 8 bits through the coder's pixel table.
template <int kBits>
void TransferIndexedRow(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination, uint32_t Count);
void TransferGray16Row(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination, uint32_t Count);
void TransferGrayAlpha8Row(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination, uint32_t Count);
void TransferGrayAlpha16Row(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination, uint32_t Count);
void TransferTrueColor8Row(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination, uint32_t Count);
void TransferTrueColor16Row(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination, uint32_t Count);
void TransferTrueColorAlpha8Row(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination,
                                uint32_t Count);
void TransferTrueColorAlpha16Row(const TCustomPngCoder& Coder, const uint8_t* Source, TPixel32* Destination,
                                 uint32_t Count);

}  // namespace vb
