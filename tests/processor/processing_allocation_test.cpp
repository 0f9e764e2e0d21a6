// Guards the audio path against allocation: a counting global operator new
// replaces the library's in this test program, and the processing entries
// must not call it (an allocation on the audio thread can block on a lock).
#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include <gtest/gtest.h>

#include "processor/process_module.h"

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define VB_COUNT_ALLOCATIONS 1

namespace {
std::atomic<bool> GCounting{false};
std::atomic<long> GAllocations{0};

void* CountedAllocation(std::size_t Size) {
  if (GCounting.load(std::memory_order_relaxed)) GAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(Size ? Size : 1)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t Size) { return CountedAllocation(Size); }
void* operator new[](std::size_t Size) { return CountedAllocation(Size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#endif

namespace vb {
namespace {

TEST(ProcessingAllocation, NoProcessingEntryAllocates) {
#ifndef VB_COUNT_ALLOCATIONS
  GTEST_SKIP() << "the sanitizers own operator new";
#else
  // The counter sees allocations at all.
  GCounting = true;
  auto Probe = std::make_unique<std::vector<int> >(3);
  GCounting = false;
  ASSERT_GE(GAllocations.exchange(0), 2);
  std::unique_ptr<TProcessModule> M(CreateVSTModule<TProcessModule>(nullptr));
  M->VSTModuleBlockSizeChange(256);
  std::vector<double> In64(1000, 0.3), Out64[2] = {std::vector<double>(1000), std::vector<double>(1000)};
  std::vector<float> In32(1000, 0.3f), Out32[2] = {std::vector<float>(1000), std::vector<float>(1000)};
  double* I64[2] = {In64.data(), In64.data()};
  double* O64[2] = {Out64[0].data(), Out64[1].data()};
  float* I32[2] = {In32.data(), In32.data()};
  float* O32[2] = {Out32[0].data(), Out32[1].data()};
  for (float Factor : {1.0f, 8.0f, 16.0f}) {
    for (float Stereo : {0.0f, 1.0f}) {
      for (float Power : {1.0f, 0.0f}) {
        M->SetParameter(16, Factor);
        M->SetParameter(14, Stereo);
        M->SetParameter(13, Power);
        // Retuning happens on the audio thread: every filter moves.
        M->VSTModuleSampleRateChange(Stereo > 0 ? 48000.0f : 8000.0f);
        for (std::int32_t Tone = 4; Tone <= 10; ++Tone) M->SetParameter(Tone, Factor);
        GCounting = true;
        for (std::int32_t Frames : {1, 256, 1000}) {  // 1000: longer than announced
          M->HostCallProcess64Replacing(I64, O64, Frames);
          M->HostCallProcess32Replacing(I32, O32, Frames);
          M->HostCallProcess(I32, O32, Frames);
        }
        GCounting = false;
        EXPECT_EQ(GAllocations.load(), 0) << Factor << " " << Stereo << " " << Power;
      }
    }
  }
#endif
}

}  // namespace
}  // namespace vb
