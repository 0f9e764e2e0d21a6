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
  std::unique_ptr<TProcessModule> M(CreateVSTModule<TProcessModule>(nullptr));
  M->VSTModuleBlockSizeChange(64);
  std::atomic<bool> Done{false};
  std::atomic<int> Blocks{0};
  bool AllFinite = true;
  std::thread Audio([&] {
    std::vector<double> In64(64), Out64[2] = {std::vector<double>(64), std::vector<double>(64)};
    std::vector<float> In32(64), Out32[2] = {std::vector<float>(64), std::vector<float>(64)};
    for (int i = 0; i < 64; ++i) In32[i] = static_cast<float>(In64[i] = 0.8 * std::sin(0.07 * i));
    double* I64[2] = {In64.data(), In64.data()};
    double* O64[2] = {Out64[0].data(), Out64[1].data()};
    float* I32[2] = {In32.data(), In32.data()};
    float* O32[2] = {Out32[0].data(), Out32[1].data()};
    while (!Done.load()) {
      const int n = Blocks.fetch_add(1);
      // Blocks up to the announced size and, now and then, one longer.
      const std::int32_t Frames = n % 7 == 0 ? 64 : 1 + n % 63;
      if (n % 2) {
        M->HostCallProcess64Replacing(I64, O64, Frames);
        for (int c = 0; c < 2; ++c)
          for (int i = 0; i < Frames; ++i) AllFinite = AllFinite && std::isfinite(Out64[c][i]);
      } else {
        M->HostCallProcess32Replacing(I32, O32, Frames);
      }
    }
  });
  std::uint32_t Seed = 12345;
  // At least 300 rounds of every parameter, and until the audio thread has
  // run a few thousand blocks meanwhile.
  for (int Round = 0; Round < 300 || (Blocks.load() < 3000 && Round < 1000000); ++Round) {
    for (std::int32_t Index = 0; Index < 17; ++Index) {
      Seed = Seed * 1664525u + 1013904223u;
      const float t = static_cast<float>(Seed >> 8) / 16777216.0f;
      M->SetParameter(Index, kRanges[Index].Min + t * (kRanges[Index].Max - kRanges[Index].Min));
    }
    // The editor's meter timer reads and resets meanwhile.
    if (M->InputPeakLevel() > 1000.0f) ADD_FAILURE();
    if (Round % 10 == 0) M->SetOutputPeakLevel(-100);
    // Every factor gets its turn, with and without power.
    M->SetParameter(16, static_cast<float>((Round % 3 == 0) ? 1 : (Round % 3 == 1) ? 8 : 16));
    M->SetParameter(13, Round % 5 == 0 ? 0.0f : 1.0f);
  }
  Done = true;
  Audio.join();
  EXPECT_GT(Blocks.load(), 0);
  EXPECT_TRUE(AllFinite);
}

}  // namespace
}  // namespace vb
