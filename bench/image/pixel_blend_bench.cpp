// Throughput of the bound blending routines and of drawing a glyph-sized
// pixel map, in pixels per second (items/s).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "cpu/cpu_unit.h"
#include "image/gui_pixel_map_memory.h"
#include "image/image_unit.h"
#include "image/pixel_blend.h"

namespace {

void StartUnits() {
  static const bool started = [] {
    vb::CpuStartUp();
    vb::ImageStartUp();
    return true;
  }();
  (void)started;
}

std::vector<vb::TPixel32> RandomPixels(std::size_t count, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<vb::TPixel32> pixels(count);
  for (vb::TPixel32& p : pixels) p = vb::Pixel32(random());
  return pixels;
}

constexpr std::int32_t kRow = 865;  // one row of the editor window

void BM_BlendRowBound(benchmark::State& state) {
  StartUnits();
  const auto source = RandomPixels(kRow, 1);
  auto dest = RandomPixels(kRow, 2);
  for (auto _ : state) {
    vb::BlendRow(source.data(), dest.data(), kRow);
    benchmark::DoNotOptimize(dest.data());
  }
  vb::FinishBlend();
  state.SetItemsProcessed(state.iterations() * kRow);
}
BENCHMARK(BM_BlendRowBound);

void BM_BlendRowPortable(benchmark::State& state) {
  StartUnits();
  const auto source = RandomPixels(kRow, 1);
  auto dest = RandomPixels(kRow, 2);
  for (auto _ : state) {
    vb::blend_portable::BlendRow(source.data(), dest.data(), kRow);
    benchmark::DoNotOptimize(dest.data());
  }
  state.SetItemsProcessed(state.iterations() * kRow);
}
BENCHMARK(BM_BlendRowPortable);

void BM_CompositeRow(benchmark::State& state) {
  StartUnits();
  const auto source = RandomPixels(kRow, 3);
  const auto background = RandomPixels(kRow, 4);
  auto dest = background;
  for (auto _ : state) {
    vb::CompositeRow(source.data(), dest.data(), kRow);
    benchmark::DoNotOptimize(dest.data());
    state.PauseTiming();
    dest = background;  // keep the alphas translucent
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRow);
}
BENCHMARK(BM_CompositeRow);

// A 60 x 60 knob frame (translucent edges, opaque centre) drawn onto a
// control's buffer.
void BM_DrawGlyph60(benchmark::State& state) {
  StartUnits();
  vb::TGuiPixelMapMemory glyph, buffer;
  glyph.SetSize(60, 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) {
      const int d2 = (x - 30) * (x - 30) + (y - 30) * (y - 30);
      const std::uint8_t alpha = d2 < 24 * 24 ? 255 : d2 < 30 * 30 ? std::uint8_t(255 - (d2 - 576) * 255 / 324) : 0;
      *glyph.GetPixelPointer(x, y) = vb::Pixel32(alpha, std::uint8_t(x * 4), std::uint8_t(y * 4), 0x80);
    }
  buffer.SetSize(60, 60);
  buffer.Clear(vb::Pixel32(0xFF304050u));
  for (auto _ : state) {
    buffer.Draw(glyph, 0, 0);
    benchmark::DoNotOptimize(buffer.DataPointer());
  }
  state.SetItemsProcessed(state.iterations() * 60 * 60);
}
BENCHMARK(BM_DrawGlyph60);

}  // namespace
