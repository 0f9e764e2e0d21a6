// Figures of the GUI: a dial's repaint, the stack blur at a small and a
// large radius (the same cost per pixel), the label's text at 16 times
// oversampling, and the whole editor frame composed from scratch.
#include <benchmark/benchmark.h>

#include <random>

#include "gui/gui_filters.h"
#include "gui_scene.h"
#include "image/gui_byte_map_memory.h"

namespace vb::bench {
namespace {

void BM_DialRepaint(benchmark::State& state) {
  TGuiScene scene;
  TGuiStitchedDial& dial = *scene.Dials[0];
  float value = 0;
  for (auto _ : state) {
    value = value >= 100 ? 0 : value + 1;
    dial.SetValue(value);  // a new glyph: back-buffer copy plus one blend
    scene.Window->Repaint();
  }
  state.counters["pixels"] = double(dial.Width() * dial.Height());
}
BENCHMARK(BM_DialRepaint)->Unit(benchmark::kMicrosecond);

void BM_StackBlur(benchmark::State& state) {
  TGuiByteMapMemory map;
  map.SetSize(804, 196);
  std::mt19937 random(1);
  for (std::int32_t i = 0; i < 804 * 196; ++i) map.DataPointer()[i] = std::uint8_t(random());
  TGuiStackBlurFilter blur;
  blur.SetRadius(float(state.range(0)));
  blur.Filter(map);  // the divide table is built once per radius
  for (auto _ : state) blur.Filter(map);
  state.SetItemsProcessed(state.iterations() * 804 * 196);
}
BENCHMARK(BM_StackBlur)->Arg(1)->Arg(32)->Unit(benchmark::kMicrosecond);

void BM_LabelRerender(benchmark::State& state) {
  TGuiScene scene;
  for (auto _ : state) {
    scene.Label->BufferChanged();
    scene.Window->Repaint();
  }
}
BENCHMARK(BM_LabelRerender)->Unit(benchmark::kMicrosecond);

void BM_ComposeFrameFromScratch(benchmark::State& state) {
  TGuiScene scene;
  for (auto _ : state) {
    for (TGuiBufferedControl* c : scene.Buffered) c->BackBufferChanged();
    scene.Window->InvalidateAll();
    scene.Window->Repaint();
  }
}
BENCHMARK(BM_ComposeFrameFromScratch)->Unit(benchmark::kMicrosecond);

void BM_ComposeFrameFromBuffers(benchmark::State& state) {
  TGuiScene scene;
  for (auto _ : state) {
    scene.Window->InvalidateAll();
    scene.Window->Repaint();
  }
}
BENCHMARK(BM_ComposeFrameFromBuffers)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vb::bench
