#include "image/pixel_blend.h"

#include <memory>

#include "cpu/function_binding.h"
#include "image/pixel_blend_sse2.h"

namespace vb {

namespace {

constinit std::unique_ptr<TFunctionBindingList> GBlendFunctionBindings;

constexpr std::uint32_t kPairMask = 0x00FF00FFu;  // blue/red (or green/alpha after >> 8)
constexpr std::uint32_t kHighPairMask = 0xFF00FF00u;
constexpr std::uint32_t kPairRounding = 0x00800080u;

// Scales all four bytes of Value by Weight/256 with rounding, two channels
// per multiplication: every byte becomes floor((Weight * byte + 128) / 256).
// Weight <= 255 keeps each 16-bit lane below 65536, so no lane carries into
// its neighbour.
inline std::uint32_t ScaleBytes(std::uint32_t value, std::uint32_t weight) {
  const std::uint32_t blueRed = ((((value & kPairMask) * weight) + kPairRounding) & kHighPairMask) >> 8;
  const std::uint32_t greenAlpha = (((((value >> 8) & kPairMask) * weight) + kPairRounding) & kHighPairMask);
  return blueRed | greenAlpha;
}

}  // namespace

namespace blend_portable {

// These call each other directly, not through the bound pointers, so that a
// row costs no indirect call per pixel.

void FinishBlend() {}

TPixel32 BlendPixel(TPixel32 foreground, TPixel32 background) {
  const std::uint32_t alpha = foreground.A;
  if (alpha == 0) return background;
  if (alpha == 0xFF) return foreground;
  // The two scaled parts never sum above 255 in any byte, so adding them
  // cannot carry; the alpha byte is then forced to opaque.
  const std::uint32_t sum = ScaleBytes(foreground.ARGB(), alpha) + ScaleBytes(background.ARGB(), 0xFF - alpha);
  return Pixel32(sum | 0xFF000000u);
}

void BlendPixelTo(TPixel32 foreground, TPixel32& background) {
  if (foreground.A == 0) return;
  background = BlendPixel(foreground, background);
}

void BlendColorRun(TPixel32 foreground, TPixel32* destination, std::int32_t count) {
  for (std::int32_t i = 0; i < count; ++i) BlendPixelTo(foreground, destination[i]);
}

void BlendRow(const TPixel32* source, TPixel32* destination, std::int32_t count) {
  for (std::int32_t i = 0; i < count; ++i) BlendPixelTo(source[i], destination[i]);
}

TPixel32 MixPixel(TPixel32 foreground, TPixel32 background, std::uint32_t weight) {
  if (weight == 0) return background;
  if (weight >= 0xFF) return foreground;
  return Pixel32(ScaleBytes(foreground.ARGB(), weight) + ScaleBytes(background.ARGB(), 0xFF - weight));
}

void MixPixelTo(TPixel32 foreground, TPixel32& background, std::uint32_t weight) {
  if (weight == 0) return;
  if (weight >= 0xFF) {
    background = foreground;
    return;
  }
  background = MixPixel(foreground, background, weight);
}

void MixColorRun(TPixel32 foreground, TPixel32* destination, std::int32_t count, std::uint32_t weight) {
  for (std::int32_t i = 0; i < count; ++i) MixPixelTo(foreground, destination[i], weight);
}

void MixRow(const TPixel32* source, TPixel32* destination, std::int32_t count, std::uint32_t weight) {
  for (std::int32_t i = 0; i < count; ++i) MixPixelTo(source[i], destination[i], weight);
}

TPixel32 CompositePixel(TPixel32 foreground, TPixel32 background) {
  if (foreground.A == 0xFF) return foreground;
  if (foreground.A == 0) return background;
  if (background.A == 0) return foreground;
  if (background.A == 0xFF) return BlendPixel(foreground, background);

  // Combined coverage X/65025 = 1 - (1 - Fa)(1 - Ba); the foreground's share
  // of it is W/255.
  const std::int32_t coverage = 65025 - (0xFF - foreground.A) * (0xFF - background.A);
  const std::int32_t weight = foreground.A * 65025 / coverage;
  TPixel32 result{};
  result.A = std::uint8_t((coverage + 128) >> 8);
  const std::uint8_t* f = foreground.Bytes();
  const std::uint8_t* b = background.Bytes();
  std::uint8_t* r = result.Bytes();
  for (int c = 0; c < 3; ++c) {
    const std::int32_t step = (weight * (f[c] - b[c] + 0xFF) + 127) >> 8;
    r[c] = std::uint8_t(b[c] + step - weight + 1);
  }
  return result;
}

void CompositePixelTo(TPixel32 foreground, TPixel32& background) {
  background = CompositePixel(foreground, background);
}

void CompositeRow(const TPixel32* source, TPixel32* destination, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) destination[i] = CompositePixel(source[i], destination[i]);
}

}  // namespace blend_portable

// The pointers start out holding the portable routines (constant
// initialisation, before any code of the library runs), so a call made
// before start-up still reaches a working implementation; the bindings
// made at start-up may then choose better ones.
constinit TFinishBlend FinishBlend = &blend_portable::FinishBlend;
constinit TBlendPixel BlendPixel = &blend_portable::BlendPixel;
constinit TBlendPixelTo BlendPixelTo = &blend_portable::BlendPixelTo;
constinit TBlendColorRun BlendColorRun = &blend_portable::BlendColorRun;
constinit TBlendRow BlendRow = &blend_portable::BlendRow;
constinit TMixPixel MixPixel = &blend_portable::MixPixel;
constinit TMixPixelTo MixPixelTo = &blend_portable::MixPixelTo;
constinit TMixColorRun MixColorRun = &blend_portable::MixColorRun;
constinit TMixRow MixRow = &blend_portable::MixRow;
constinit TCompositePixel CompositePixel = &blend_portable::CompositePixel;
constinit TCompositePixelTo CompositePixelTo = &blend_portable::CompositePixelTo;
constinit TCompositeRow CompositeRow = &blend_portable::CompositeRow;

TFunctionBindingList* BlendFunctionBindings() { return GBlendFunctionBindings.get(); }

namespace {

template <FunctionPointer F>
TFunctionBinding* Bind(F* variable, F portable) {
  auto* binding = new TFunctionBinding(variable, portable);  // deleted by BindingsShutDown
  GBlendFunctionBindings->AddBinding(binding);
  binding->Add(portable, TProcessorFeatures{}, 1);
  binding->RebindProcessorSpecific();
  return binding;
}

}  // namespace

void BlendStartUp() {
  if (GBlendFunctionBindings) return;
  GBlendFunctionBindings = std::make_unique<TFunctionBindingList>();
  namespace p = blend_portable;
  Bind(&FinishBlend, &p::FinishBlend);
  Bind(&BlendPixel, &p::BlendPixel);
  Bind(&BlendPixelTo, &p::BlendPixelTo);
  TFunctionBinding* blendColorRun = Bind(&BlendColorRun, &p::BlendColorRun);
  TFunctionBinding* blendRow = Bind(&BlendRow, &p::BlendRow);
  Bind(&MixPixel, &p::MixPixel);
  Bind(&MixPixelTo, &p::MixPixelTo);
  Bind(&MixColorRun, &p::MixColorRun);
  TFunctionBinding* mixRow = Bind(&MixRow, &p::MixRow);
  Bind(&CompositePixel, &p::CompositePixel);
  Bind(&CompositePixelTo, &p::CompositePixelTo);
  Bind(&CompositeRow, &p::CompositeRow);
  RegisterSse2BlendRoutines(*blendColorRun, *blendRow, *mixRow);
  GBlendFunctionBindings->RebindProcessorSpecific();
}

void BlendShutDown() { GBlendFunctionBindings.reset(); }

}  // namespace vb
