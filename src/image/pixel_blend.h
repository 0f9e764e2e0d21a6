#pragma once
// Compositing of 32-bit pixels (not premultiplied). Every routine is reached
// through a process-wide pointer bound by the function-binding mechanism
// (cpu/function_binding.h) to the best implementation for the processor;
// callers call FinishBlend once after a sequence of blending calls.
//
//  - Blend: source-over onto an opaque background; the result is opaque.
//  - Mix: weighted mix of all four bytes with an explicit weight 0..255.
//  - Composite: source-over onto a translucent background, combining alphas.
//
// Run and row forms process Destination[0..Count-1] in ascending order; a
// Count of 0 or less does nothing (CompositeRow takes an unsigned count).
// The pointers always hold a callable routine (the portable one until
// ImageStartUp binds them) and are used from the editor's thread only.

#include <cstdint>

#include "image/pixel32.h"

namespace vb {

class TFunctionBindingList;

using TBlendPixel = TPixel32 (*)(TPixel32 Foreground, TPixel32 Background);
using TBlendPixelTo = void (*)(TPixel32 Foreground, TPixel32& Background);
using TBlendColorRun = void (*)(TPixel32 Foreground, TPixel32* Destination, std::int32_t Count);
using TBlendRow = void (*)(const TPixel32* Source, TPixel32* Destination, std::int32_t Count);
using TMixPixel = TPixel32 (*)(TPixel32 Foreground, TPixel32 Background, std::uint32_t Weight);
using TMixPixelTo = void (*)(TPixel32 Foreground, TPixel32& Background, std::uint32_t Weight);
using TMixColorRun = void (*)(TPixel32 Foreground, TPixel32* Destination, std::int32_t Count, std::uint32_t Weight);
using TMixRow = void (*)(const TPixel32* Source, TPixel32* Destination, std::int32_t Count, std::uint32_t Weight);
using TCompositePixel = TPixel32 (*)(TPixel32 Foreground, TPixel32 Background);
using TCompositePixelTo = void (*)(TPixel32 Foreground, TPixel32& Background);
using TCompositeRow = void (*)(const TPixel32* Source, TPixel32* Destination, std::uint32_t Count);
using TFinishBlend = void (*)();

extern TFinishBlend FinishBlend;
extern TBlendPixel BlendPixel;
extern TBlendPixelTo BlendPixelTo;
extern TBlendColorRun BlendColorRun;
extern TBlendRow BlendRow;
extern TMixPixel MixPixel;
extern TMixPixelTo MixPixelTo;
extern TMixColorRun MixColorRun;
extern TMixRow MixRow;
extern TCompositePixel CompositePixel;
extern TCompositePixelTo CompositePixelTo;
extern TCompositeRow CompositeRow;

// The list holding one binding per routine (null outside start-up ..
// shut-down of the blending unit).
TFunctionBindingList* BlendFunctionBindings();

// Creates the bindings with the portable routines (and the packed-integer
// ones where the processor has them) and binds them. Needs BindingsStartUp.
void BlendStartUp();
// Frees the list; the bindings themselves end in BindingsShutDown.
void BlendShutDown();

// The portable implementations, for comparison tests and benchmarks.
namespace blend_portable {
void FinishBlend();
TPixel32 BlendPixel(TPixel32 Foreground, TPixel32 Background);
void BlendPixelTo(TPixel32 Foreground, TPixel32& Background);
void BlendColorRun(TPixel32 Foreground, TPixel32* Destination, std::int32_t Count);
void BlendRow(const TPixel32* Source, TPixel32* Destination, std::int32_t Count);
TPixel32 MixPixel(TPixel32 Foreground, TPixel32 Background, std::uint32_t Weight);
void MixPixelTo(TPixel32 Foreground, TPixel32& Background, std::uint32_t Weight);
void MixColorRun(TPixel32 Foreground, TPixel32* Destination, std::int32_t Count, std::uint32_t Weight);
void MixRow(const TPixel32* Source, TPixel32* Destination, std::int32_t Count, std::uint32_t Weight);
TPixel32 CompositePixel(TPixel32 Foreground, TPixel32 Background);
void CompositePixelTo(TPixel32 Foreground, TPixel32& Background);
void CompositeRow(const TPixel32* Source, TPixel32* Destination, std::uint32_t Count);
}  // namespace blend_portable

}  // namespace vb
