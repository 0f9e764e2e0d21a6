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
inline std::uint32_t ScaleBytes(std::uint32_t Value, std::uint32_t Weight) {
  const std::uint32_t blueRed = ((((Value & kPairMask) * Weight) + kPairRounding) & kHighPairMask) >> 8;
  const std::uint32_t greenAlpha = (((((Value >> 8) & kPairMask) * Weight) + kPairRounding) & kHighPairMask);
  return blueRed | greenAlpha;
}

}  // namespace

namespace blend_portable {

// These call each other directly, not through the bound pointers, so that a
// row costs no indirect call per pixel.

void FinishBlend() {}

TPixel32 BlendPixel(TPixel32 Foreground, TPixel32 Background) {
  const std::uint32_t alpha = Foreground.A;
  if (alpha == 0) return Background;
  if (alpha == 0xFF) return Foreground;
  // The two scaled parts never sum above 255 in any byte, so adding them
  // cannot carry; the alpha byte is then forced to opaque.
  const std::uint32_t sum = ScaleBytes(Foreground.ARGB(), alpha) + ScaleBytes(Background.ARGB(), 0xFF - alpha);
  return Pixel32(sum | 0xFF000000u);
}

void BlendPixelTo(TPixel32 Foreground, TPixel32& Background) {
  if (Foreground.A == 0) return;
  Background = BlendPixel(Foreground, Background);
}

void BlendColorRun(TPixel32 Foreground, TPixel32* Destination, std::int32_t Count) {
  for (std::int32_t i = 0; i < Count; ++i) BlendPixelTo(Foreground, Destination[i]);
}

void BlendRow(const TPixel32* Source, TPixel32* Destination, std::int32_t Count) {
  for (std::int32_t i = 0; i < Count; ++i) BlendPixelTo(Source[i], Destination[i]);
}

TPixel32 MixPixel(TPixel32 Foreground, TPixel32 Background, std::uint32_t Weight) {
  if (Weight == 0) return Background;
  if (Weight >= 0xFF) return Foreground;
  return Pixel32(ScaleBytes(Foreground.ARGB(), Weight) + ScaleBytes(Background.ARGB(), 0xFF - Weight));
}

void MixPixelTo(TPixel32 Foreground, TPixel32& Background, std::uint32_t Weight) {
  if (Weight == 0) return;
  if (Weight >= 0xFF) {
    Background = Foreground;
    return;
  }
  Background = MixPixel(Foreground, Background, Weight);
}

void MixColorRun(TPixel32 Foreground, TPixel32* Destination, std::int32_t Count, std::uint32_t Weight) {
  for (std::int32_t i = 0; i < Count; ++i) MixPixelTo(Foreground, Destination[i], Weight);
}

void MixRow(const TPixel32* Source, TPixel32* Destination, std::int32_t Count, std::uint32_t Weight) {
  for (std::int32_t i = 0; i < Count; ++i) MixPixelTo(Source[i], Destination[i], Weight);
}

TPixel32 CompositePixel(TPixel32 Foreground, TPixel32 Background) {
  if (Foreground.A == 0xFF) return Foreground;
  if (Foreground.A == 0) return Background;
  if (Background.A == 0) return Foreground;
  if (Background.A == 0xFF) return BlendPixel(Foreground, Background);

  // Combined coverage X/65025 = 1 - (1 - Fa)(1 - Ba); the foreground's share
  // of it is W/255.
  const std::int32_t coverage = 65025 - (0xFF - Foreground.A) * (0xFF - Background.A);
  const std::int32_t weight = Foreground.A * 65025 / coverage;
  TPixel32 result{};
  result.A = std::uint8_t((coverage + 128) >> 8);
  const std::uint8_t* f = Foreground.Bytes();
  const std::uint8_t* b = Background.Bytes();
  std::uint8_t* r = result.Bytes();
  for (int c = 0; c < 3; ++c) {
    const std::int32_t step = (weight * (f[c] - b[c] + 0xFF) + 127) >> 8;
    r[c] = std::uint8_t(b[c] + step - weight + 1);
  }
  return result;
}

void CompositePixelTo(TPixel32 Foreground, TPixel32& Background) {
  Background = CompositePixel(Foreground, Background);
}

void CompositeRow(const TPixel32* Source, TPixel32* Destination, std::uint32_t Count) {
  for (std::uint32_t i = 0; i < Count; ++i) Destination[i] = CompositePixel(Source[i], Destination[i]);
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
TFunctionBinding* Bind(F* Variable, F Portable) {
  auto* binding = new TFunctionBinding(Variable, Portable);  // deleted by BindingsShutDown
  GBlendFunctionBindings->AddBinding(binding);
  binding->Add(Portable, TProcessorFeatures{}, 1);
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
