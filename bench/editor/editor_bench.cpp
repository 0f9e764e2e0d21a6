// Figures of the drive's editor window: effEditOpen until the first frame is
// presented (every strip decoded, every control drawn), headless and, with
// $DISPLAY, in a real X window through the built plug-in; the heap an open
// editor holds; one meter tick with both meters moving, composed and
// presented.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <malloc.h>

#include <cstdlib>
#include <memory>

#include "cpu/cpu_unit.h"
#include "dsp/processor_registry.h"
#include "editor/wnd_gui.h"
#include "image/image_unit.h"
#include "image/pixel_storage.h"
#include "platform/headless_window.h"
#include "platform/host_window.h"
#include "png/png_startup.h"
#include "processor/process_module.h"

namespace vb {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;
void* const kParentWindow = reinterpret_cast<void*>(std::uintptr_t(0x5EED));

std::intptr_t QuietHost(TVSTEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void*, float) {
  return opcode == amVersion ? 2400 : 0;
}

// The scale the next headless editor opens at (the benchmark's argument,
// in halves: 2, 3, 4).
TEditorScale GScale = TEditorScale::esOne;

std::unique_ptr<TVSTEditor> CreateHeadlessEditor(TCustomVSTModule& owner, IDriveProcessor& processor) {
  return std::make_unique<TWndGUI>(owner, processor, std::make_unique<THeadlessWindow>(), GScale);
}

// The drive module in-process, its editor on a headless window; the units
// start once, as the plug-in library starts them.
struct TEditorScene {
  explicit TEditorScene(std::int64_t scaleHalves = 2) {
    GScale = TEditorScale(scaleHalves);
    static const bool started = [] {
      CpuStartUp();
      ImageStartUp();
      PngStartUp();
      DspRegistriesStartUp();
      return true;
    }();
    (void)started;
    Module.reset(CreateVSTModule<TProcessModule>(nullptr));
    Module->SetAudioMaster(&QuietHost);
    Module->SetEditorClass({&CreateHeadlessEditor, kEditorWidth, kEditorHeight});
  }
  std::intptr_t Dispatch(std::int32_t opcode, void* ptr = nullptr) {
    return Module->Effect()->Dispatcher(Module->Effect(), opcode, 0, 0, ptr, 0);
  }
  TWndGUI& Editor() { return *dynamic_cast<TWndGUI*>(Module->EditorForm()); }
  std::unique_ptr<TProcessModule> Module;
};

void BM_EditOpenToFirstFrameHeadless(benchmark::State& state) {
  TEditorScene scene(state.range(0));
  for (auto _ : state) {
    // Builds the window, decodes the panel and the strip pieces it shows,
    // composes and presents it all.
    scene.Dispatch(effEditOpen, kParentWindow);
    state.PauseTiming();
    scene.Dispatch(effEditClose);
    state.ResumeTiming();
  }
}
// The argument is the scale in halves: 1x, 1.5x, 2x.
BENCHMARK(BM_EditOpenToFirstFrameHeadless)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_EditOpenToFirstFrameX11(benchmark::State& state) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    state.SkipWithError("no X display (set DISPLAY)");
    return;
  }
  void* library = dlopen(VB_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  using TEntry = TVSTEffect* (*)(TAudioMasterCallbackFunc);
  auto entry = library ? reinterpret_cast<TEntry>(dlsym(library, "VSTPluginMain")) : nullptr;
  TVSTEffect* effect = entry ? entry(&QuietHost) : nullptr;
  auto window = CreateHostWindow(kEditorWidth, kEditorHeight, "open benchmark");
  if (effect == nullptr || !window || !window->Show()) {
    state.SkipWithError("cannot load the plug-in or open a window");
    return;
  }
  effect->Dispatcher(effect, effOpen, 0, 0, nullptr, 0);
  for (auto _ : state) {
    // Opens its own connection, builds, decodes, and presents the whole
    // frame before it returns.
    effect->Dispatcher(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(window->NativeHandle()), 0);
    state.PauseTiming();
    effect->Dispatcher(effect, effEditClose, 0, 0, nullptr, 0);
    window->Pump();
    state.ResumeTiming();
  }
  effect->Dispatcher(effect, effClose, 0, 0, nullptr, 0);
  window.reset();
  dlclose(library);
}
BENCHMARK(BM_EditOpenToFirstFrameX11)->Unit(benchmark::kMillisecond);

void BM_HeapHeldByAnOpenEditor(benchmark::State& state) {
  TEditorScene scene(state.range(0));
  double heap = 0;
  double mapped = 0;
  for (auto _ : state) {
    const std::size_t heapBefore = mallinfo2().uordblks;
    const std::size_t mappedBefore = PixelStorageMappedBytes();
    scene.Dispatch(effEditOpen, kParentWindow);
    for (int i = 0; i < 10; ++i) scene.Dispatch(effEditIdle);
    heap = double(mallinfo2().uordblks - heapBefore);
    mapped = double(PixelStorageMappedBytes() - mappedBefore);
    scene.Dispatch(effEditClose);
  }
  // The large strips live in mappings of their own (pixel_storage.h),
  // counted in whole 2 MiB pages.
  state.counters["MiB"] = (heap + mapped) / kMiB;
  state.counters["heap_MiB"] = heap / kMiB;
  state.counters["mapped_MiB"] = mapped / kMiB;
}
BENCHMARK(BM_HeapHeldByAnOpenEditor)->Arg(2)->Arg(3)->Arg(4)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_MeterTickBothMetersMoving(benchmark::State& state) {
  TEditorScene scene;
  scene.Dispatch(effEditOpen, kParentWindow);
  TWndGUI& editor = scene.Editor();
  bool loud = false;
  for (auto _ : state) {
    loud = !loud;
    scene.Module->SetInputPeakLevel(loud ? 0.9f : 0.1f);
    scene.Module->SetOutputPeakLevel(loud ? 0.8f : 0.2f);
    editor.TimerVUTimer();
    editor.Window().Repaint();
  }
  scene.Dispatch(effEditClose);
}
BENCHMARK(BM_MeterTickBothMetersMoving)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vb
