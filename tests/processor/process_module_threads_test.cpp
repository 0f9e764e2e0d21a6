// Guards the drive against a host that moves parameters from another thread
// while the audio thread processes: no crash, no access outside the work
// buffers (the sanitizer builds see those), no non-finite output.
#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "processor/process_module.h"

namespace vb {
namespace {

struct TRange {
  float Min, Max;
};

// The parameters' ranges in their own units, by index.
constexpr TRange kRanges[17] = {{-200, 200}, {0, 100},  {0, 100},  {1, 200},  {0, 500},  {0, 1000},
                                {500, 5000}, {-15, 15}, {-15, 15}, {-15, 15}, {-15, 15}, {0, 100},
                                {-100, 100}, {0, 1},    {0, 1},    {0, 1},    {1, 16}};

TEST(ProcessModuleThreads, ParameterStormWhileProcessingStaysInBounds) {
  std::unique_ptr<TProcessModule> m(CreateVSTModule<TProcessModule>(nullptr));
  m->VSTModuleBlockSizeChange(64);
  std::atomic<bool> done{false};
  std::atomic<int> blockCount{0};
  bool allFinite = true;
  std::thread audio([&] {
    std::vector<double> in64(64), out64[2] = {std::vector<double>(64), std::vector<double>(64)};
    std::vector<float> in32(64), out32[2] = {std::vector<float>(64), std::vector<float>(64)};
    for (int i = 0; i < 64; ++i) in32[i] = static_cast<float>(in64[i] = 0.8 * std::sin(0.07 * i));
    double* i64[2] = {in64.data(), in64.data()};
    double* o64[2] = {out64[0].data(), out64[1].data()};
    float* i32[2] = {in32.data(), in32.data()};
    float* o32[2] = {out32[0].data(), out32[1].data()};
    while (!done.load()) {
      const int n = blockCount.fetch_add(1);
      // blockCount up to the announced size and, now and then, one longer.
      const std::int32_t frames = n % 7 == 0 ? 64 : 1 + n % 63;
      if (n % 2) {
        m->HostCallProcess64Replacing(i64, o64, frames);
        for (int c = 0; c < 2; ++c)
          for (int i = 0; i < frames; ++i) allFinite = allFinite && std::isfinite(out64[c][i]);
      } else {
        m->HostCallProcess32Replacing(i32, o32, frames);
      }
    }
  });
  std::uint32_t seed = 12345;
  // At least 300 rounds of every parameter, and until the audio thread has
  // run a few thousand blocks meanwhile.
  for (int round = 0; round < 300 || (blockCount.load() < 3000 && round < 1000000); ++round) {
    for (std::int32_t index = 0; index < 17; ++index) {
      seed = seed * 1664525u + 1013904223u;
      const float t = static_cast<float>(seed >> 8) / 16777216.0f;
      m->SetParameter(index, kRanges[index].Min + t * (kRanges[index].Max - kRanges[index].Min));
    }
    // The editor's meter timer reads and resets meanwhile.
    if (m->InputPeakLevel() > 1000.0f) ADD_FAILURE();
    if (round % 10 == 0) m->SetOutputPeakLevel(-100);
    // Every factor gets its turn, with and without power.
    m->SetParameter(16, static_cast<float>((round % 3 == 0) ? 1 : (round % 3 == 1) ? 8 : 16));
    m->SetParameter(13, round % 5 == 0 ? 0.0f : 1.0f);
  }
  done = true;
  audio.join();
  EXPECT_GT(blockCount.load(), 0);
  EXPECT_TRUE(allFinite);
}

}  // namespace
}  // namespace vb
