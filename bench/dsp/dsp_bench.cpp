// Per-sample cost of the filters and the resampler that the drive effect runs
// inside its oversampled chain.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "dsp/basic_filters.h"
#include "dsp/butterworth_filter.h"
#include "dsp/up_down_sampling.h"

namespace {

constexpr int kBlock = 1024;

std::vector<double> TestSignal(int Length) {
  std::vector<double> Signal(static_cast<std::size_t>(Length));
  for (int i = 0; i < Length; ++i)
    Signal[static_cast<std::size_t>(i)] = 0.5 * std::sin(0.013 * i) + 0.1 * std::sin(0.31 * i);
  return Signal;
}

void ReportPerSample(benchmark::State& State, double SamplesPerIteration) {
  State.counters["ns_per_sample"] =
      benchmark::Counter(SamplesPerIteration * static_cast<double>(State.iterations()) * 1e-9,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// A peak biquad called through its concrete (final) type, as the processor
// does; allocated like the processor's filters, so its states live in memory.
void BM_BiquadPeakProcessSample64(benchmark::State& State) {
  auto Owned = std::make_unique<vb::TBasicPeakFilter>();
  vb::TBasicPeakFilter& Filter = *Owned;
  Filter.SetSampleRate(705600);
  Filter.SetFrequency(1700);
  Filter.SetGain(6);
  Filter.SetBandWidth(3.6);
  const auto Input = TestSignal(kBlock);
  std::vector<double> Output(kBlock);
  for (auto _ : State) {
    for (int i = 0; i < kBlock; ++i)
      Output[static_cast<std::size_t>(i)] = Filter.ProcessSample64(Input[static_cast<std::size_t>(i)]);
    benchmark::DoNotOptimize(Output.data());
  }
  ReportPerSample(State, kBlock);
}
BENCHMARK(BM_BiquadPeakProcessSample64);

// The same filter over whole blocks (states and coefficients in registers).
void BM_BiquadPeakProcessBlock64(benchmark::State& State) {
  auto Filter = std::make_unique<vb::TBasicPeakFilter>();
  Filter->SetSampleRate(705600);
  Filter->SetFrequency(1700);
  Filter->SetGain(6);
  const auto Input = TestSignal(kBlock);
  std::vector<double> Data(kBlock);
  for (auto _ : State) {
    Data = Input;
    Filter->ProcessBlock64(Data.data(), kBlock);
    benchmark::DoNotOptimize(Data.data());
  }
  ReportPerSample(State, kBlock);
}
BENCHMARK(BM_BiquadPeakProcessBlock64);

// The same filter reached only through the 64-bit processor interface.
void BM_BiquadPeakThroughInterface(benchmark::State& State) {
  vb::TBasicPeakFilter Concrete;
  Concrete.SetGain(6);
  vb::IDspProcessor64* Filter = &Concrete;
  benchmark::DoNotOptimize(Filter);
  const auto Input = TestSignal(kBlock);
  std::vector<double> Output(kBlock);
  for (auto _ : State) {
    for (int i = 0; i < kBlock; ++i)
      Output[static_cast<std::size_t>(i)] = Filter->ProcessSample64(Input[static_cast<std::size_t>(i)]);
    benchmark::DoNotOptimize(Output.data());
  }
  ReportPerSample(State, kBlock);
}
BENCHMARK(BM_BiquadPeakThroughInterface);

void BM_ButterworthLowPassOrder4(benchmark::State& State) {
  auto Owned = std::make_unique<vb::TButterworthLowPassFilter>(4);
  vb::TButterworthLowPassFilter& Filter = *Owned;
  Filter.SetSampleRate(705600);
  Filter.SetFrequency(21829.5);
  const auto Input = TestSignal(kBlock);
  std::vector<double> Output(kBlock);
  for (auto _ : State) {
    for (int i = 0; i < kBlock; ++i)
      Output[static_cast<std::size_t>(i)] = Filter.ProcessSample64(Input[static_cast<std::size_t>(i)]);
    benchmark::DoNotOptimize(Output.data());
  }
  ReportPerSample(State, kBlock);
}
BENCHMARK(BM_ButterworthLowPassOrder4);

// One host sample up to Factor samples and back; ns_per_sample counts host
// samples, ns_per_oversampled_sample the samples at the higher rate.
void BM_UpDownsample64(benchmark::State& State) {
  const int Factor = static_cast<int>(State.range(0));
  vb::TZarnUpDownsampling Resampler;
  Resampler.SetFactor(Factor);
  Resampler.SetOrder(4);
  Resampler.SetSampleRate(44100.0 * Factor);
  const auto Input = TestSignal(kBlock);
  std::vector<double> Work(static_cast<std::size_t>(kBlock * Factor));
  std::vector<double> Output(kBlock);
  for (auto _ : State) {
    for (int i = 0; i < kBlock; ++i)
      Resampler.Upsample64(Input[static_cast<std::size_t>(i)], &Work[static_cast<std::size_t>(i * Factor)]);
    for (int i = 0; i < kBlock; ++i)
      Output[static_cast<std::size_t>(i)] = Resampler.Downsample64(&Work[static_cast<std::size_t>(i * Factor)]);
    benchmark::DoNotOptimize(Output.data());
  }
  ReportPerSample(State, kBlock);
  State.counters["ns_per_oversampled_sample"] =
      benchmark::Counter(static_cast<double>(kBlock) * Factor * static_cast<double>(State.iterations()) * 1e-9,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UpDownsample64)->Arg(1)->Arg(8)->Arg(16);

}  // namespace
