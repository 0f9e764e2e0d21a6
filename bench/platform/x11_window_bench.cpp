// Costs of the X11 editor window on the display named by $DISPLAY: one
// effEditIdle of an open editor with nothing to do (the whole path: module,
// GUI window, event poll), presenting one changed 60 x 60 control, and
// presenting the full 865 x 150 frame with and without shared memory. The
// presenting cases wait for the server each time, so they count its work.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdlib>
#include <memory>

#include "host/vst_abi.h"
#include "platform/host_window.h"
#include "platform/memory_canvas.h"
#include "platform/x11/x11_window.h"

namespace vb {
namespace {

constexpr std::int32_t kWidth = 865;
constexpr std::int32_t kHeight = 150;

std::intptr_t QuietHost(TVSTEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void*, float) {
  return opcode == amVersion ? 2400 : 0;
}

bool HaveDisplay(benchmark::State& state) {
  const char* display = std::getenv("DISPLAY");
  if (display != nullptr && *display != '\0') return true;
  state.SkipWithError("no X display (set DISPLAY)");
  return false;
}

void BM_EditIdleWithNothingToDo(benchmark::State& state) {
  if (!HaveDisplay(state)) return;
  void* library = dlopen(VB_CONTROLPANEL_PATH, RTLD_NOW | RTLD_LOCAL);
  using TEntry = TVSTEffect* (*)(TAudioMasterCallbackFunc);
  auto entry = library ? reinterpret_cast<TEntry>(dlsym(library, "VSTPluginMain")) : nullptr;
  TVSTEffect* effect = entry ? entry(&QuietHost) : nullptr;
  auto window = CreateHostWindow(kWidth, kHeight, "idle benchmark");
  if (effect == nullptr || !window || !window->Show()) {
    state.SkipWithError("cannot load the test plug-in or open a window");
    return;
  }
  effect->Dispatcher(effect, effOpen, 0, 0, nullptr, 0);
  effect->Dispatcher(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(window->NativeHandle()), 0);
  // Past the first exposure and the meter timer's first ticks.
  for (int i = 0; i < 50; ++i) effect->Dispatcher(effect, effEditIdle, 0, 0, nullptr, 0);
  for (auto _ : state) effect->Dispatcher(effect, effEditIdle, 0, 0, nullptr, 0);
  effect->Dispatcher(effect, effEditClose, 0, 0, nullptr, 0);
  effect->Dispatcher(effect, effClose, 0, 0, nullptr, 0);
  dlclose(library);
}
BENCHMARK(BM_EditIdleWithNothingToDo)->Unit(benchmark::kMicrosecond);

// Presents Area of a changing frame; Range(0) = 1 allows shared memory.
void Present(benchmark::State& state, const TRect& area) {
  if (!HaveDisplay(state)) return;
  auto host = CreateHostWindow(kWidth, kHeight, "present benchmark");
  TX11Window::TOptions options;
  options.AllowShm = state.range(0) != 0;
  TX11Window window(options);
  window.SetSize(kWidth, kHeight);
  if (!host || !host->Show() || !window.Embed(host->NativeHandle())) {
    state.SkipWithError("cannot open a window");
    return;
  }
  window.Show();
  if (options.AllowShm && !window.UsesShm()) {
    state.SkipWithError("the server offers no shared memory");
    return;
  }
  TMemoryBitmap frame(kWidth, kHeight, TRasterFormat::rfBGRA32);
  std::uint8_t shade = 0;
  for (auto _ : state) {
    frame.Canvas().FillRect(area, TColor(++shade));
    window.Present(frame.View(), area);
    window.Sync();
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(area.Width()) * area.Height() * 4);
}

void BM_PresentOneControl(benchmark::State& state) { Present(state, TRect{173, 8, 233, 68}); }
BENCHMARK(BM_PresentOneControl)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_PresentFullFrame(benchmark::State& state) { Present(state, TRect{0, 0, kWidth, kHeight}); }
BENCHMARK(BM_PresentFullFrame)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vb
