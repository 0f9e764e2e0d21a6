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
void operator delete(void* P) noexcept { std::free(P); }
void operator delete[](void* P) noexcept { std::free(P); }
void operator delete(void* P, std::size_t) noexcept { std::free(P); }
void operator delete[](void* P, std::size_t) noexcept { std::free(P); }
#endif

namespace vb {
namespace {

TEST(ProcessingAllocation, NoProcessingEntryAllocates) {
#ifndef VB_COUNT_ALLOCATIONS
  GTEST_SKIP() << "the sanitizers own operator new";
#else
  // The counter sees allocations at all.
  GCounting = true;
  auto probe = std::make_unique<std::vector<int> >(3);
  GCounting = false;
  ASSERT_GE(GAllocations.exchange(0), 2);
  std::unique_ptr<TProcessModule> m(CreateVSTModule<TProcessModule>(nullptr));
  m->VSTModuleBlockSizeChange(256);
  std::vector<double> in64(1000, 0.3), out64[2] = {std::vector<double>(1000), std::vector<double>(1000)};
  std::vector<float> in32(1000, 0.3f), out32[2] = {std::vector<float>(1000), std::vector<float>(1000)};
  double* i64[2] = {in64.data(), in64.data()};
  double* o64[2] = {out64[0].data(), out64[1].data()};
  float* i32[2] = {in32.data(), in32.data()};
  float* o32[2] = {out32[0].data(), out32[1].data()};
  for (float factor : {1.0f, 8.0f, 16.0f}) {
    for (float stereo : {0.0f, 1.0f}) {
      for (float power : {1.0f, 0.0f}) {
        m->SetParameter(16, factor);
        m->SetParameter(14, stereo);
        m->SetParameter(13, power);
        // Retuning happens on the audio thread: every filter moves.
        m->VSTModuleSampleRateChange(stereo > 0 ? 48000.0f : 8000.0f);
        for (std::int32_t tone = 4; tone <= 10; ++tone) m->SetParameter(tone, factor);
        GCounting = true;
        for (std::int32_t frames : {1, 256, 1000}) {  // 1000: longer than announced
          m->HostCallProcess64Replacing(i64, o64, frames);
          m->HostCallProcess32Replacing(i32, o32, frames);
          m->HostCallProcess(i32, o32, frames);
        }
        GCounting = false;
        EXPECT_EQ(GAllocations.load(), 0) << factor << " " << stereo << " " << power;
      }
    }
  }
#endif
}

}  // namespace
}  // namespace vb
