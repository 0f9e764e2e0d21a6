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
void BlendColorRun(TPixel32 foreground, TPixel32* destination, std::int32_t count);
void BlendRow(const TPixel32* source, TPixel32* destination, std::int32_t count);
void MixRow(const TPixel32* source, TPixel32* destination, std::int32_t count, std::uint32_t weight);
}  // namespace blend_sse2

// Adds the SSE2 routines (requiring pfSSE2) behind the portable ones.
void RegisterSse2BlendRoutines(TFunctionBinding& blendColorRun, TFunctionBinding& blendRow, TFunctionBinding& mixRow);

}  // namespace vb
