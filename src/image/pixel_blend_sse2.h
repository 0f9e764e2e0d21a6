#pragma once
// Packed-integer (SSE2) versions of the row and run blending routines. They
// give exactly the results of the portable routines, four pixels per step.

#include <cstdint>

#include "image/pixel32.h"

namespace vb {

class TFunctionBinding;

namespace blend_sse2 {
// False where the processor family has no SSE2 (the routines then fall
// back to the portable ones and are not registered).
bool Available();
void BlendColorRun(TPixel32 Foreground, TPixel32* Destination, std::int32_t Count);
void BlendRow(const TPixel32* Source, TPixel32* Destination, std::int32_t Count);
void MixRow(const TPixel32* Source, TPixel32* Destination, std::int32_t Count, std::uint32_t Weight);
}  // namespace blend_sse2

// Adds the SSE2 routines (requiring pfSSE2) behind the portable ones.
void RegisterSse2BlendRoutines(TFunctionBinding& BlendColorRun, TFunctionBinding& BlendRow, TFunctionBinding& MixRow);

}  // namespace vb
