// Speed of the drive's processing entries: 512-frame blocks at 44100 Hz,
// 64-bit and 32-bit, at 1x, 8x and 16x, stereo and mono, with the SSE2
// block routines and with those bound for this processor (AVX2 where it
// has it). "realtime" is seconds of audio per second of CPU on one core.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "cpu/cpu_unit.h"
#include "cpu/function_binding.h"
#include "processor/drive_block.h"
#include "processor/process_module.h"

namespace vb {
namespace {

constexpr std::int32_t kFrames = 512;
constexpr double kRate = 44100.0;

// Argument 2: 0 binds the SSE2 routines, 1 those for this processor.
void BindRoutines(benchmark::State& State) {
  CpuStartUp();
  DriveBlockStartUp();
  TFunctionBindingList& Bindings = *DriveBlockFunctionBindings();
  if (State.range(2) == 0) {
    Bindings.Rebind(TProcessorFeatures{});
    State.SetLabel("sse2");
  } else {
    Bindings.RebindProcessorSpecific();
    State.SetLabel(ProcessorFeatures().Contains(TProcessorFeature::pfAVX2) ? "avx2" : "sse2");
  }
}

std::unique_ptr<TProcessModule> Prepare(benchmark::State& State) {
  BindRoutines(State);
  std::unique_ptr<TProcessModule> M(CreateVSTModule<TProcessModule>(nullptr));
  M->VSTModuleBlockSizeChange(kFrames);
  M->SetParameter(kParamOversampling, static_cast<float>(State.range(0)));
  M->SetParameter(kParamStereo, static_cast<float>(State.range(1)));
  M->SetParameter(kParamDrive, 40);
  return M;
}

template <class T>
void RunBlocks(benchmark::State& State) {
  auto M = Prepare(State);
  std::vector<T> In[2], Out[2];
  for (int c = 0; c < 2; ++c) {
    In[c].resize(kFrames);
    Out[c].resize(kFrames);
    for (int i = 0; i < kFrames; ++i) In[c][i] = static_cast<T>(0.5 * std::sin(0.031 * i + c));
  }
  T* Inputs[2] = {In[0].data(), In[1].data()};
  T* Outputs[2] = {Out[0].data(), Out[1].data()};
  for (auto _ : State) {
    if constexpr (sizeof(T) == 8)
      M->HostCallProcess64Replacing(Inputs, Outputs, kFrames);
    else
      M->HostCallProcess32Replacing(Inputs, Outputs, kFrames);
    benchmark::DoNotOptimize(Out[0].data());
    benchmark::ClobberMemory();
  }
  State.counters["realtime"] =
      benchmark::Counter(static_cast<double>(State.iterations()) * kFrames / kRate, benchmark::Counter::kIsRate);
}

void BM_Process64(benchmark::State& State) { RunBlocks<double>(State); }
void BM_Process32(benchmark::State& State) { RunBlocks<float>(State); }

// Arguments: oversampling factor, stereo (1) or mono (0), routines.
BENCHMARK(BM_Process64)->ArgsProduct({{1, 8, 16}, {1, 0}, {0, 1}})->ArgNames({"factor", "stereo", "bound"});
BENCHMARK(BM_Process32)->ArgsProduct({{1, 8, 16}, {1, 0}, {0, 1}})->ArgNames({"factor", "stereo", "bound"});

}  // namespace
}  // namespace vb
