// Guards the lock-free sharing of parameter values: a host thread setting
// values while another reads them and builds texts must not race (run
// under ThreadSanitizer to see a race as a failure). The reader counts the
// reads that overlapped a write, and the writer keeps writing until there
// were enough of them, so the test never passes on reads that all came
// before or after the writes.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "params/params_test_module.h"
#include "support/thread_overlap.h"

namespace vb {
namespace {

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr long kOverlappingReads = 500;
#else
constexpr long kOverlappingReads = 5000;
#endif

TEST(ModuleParameterThreads, HostWritesAndReadersShareValuesWithoutLocks) {
  test::TTestHost host;
  auto m = test::MakeParamsTestModule(host);
  test::TOverlapProbe writerProbe;
  test::TStartLine start(2);
  std::atomic<long> overlappingReads{0};
  std::atomic<bool> done{false};
  std::thread writer([&] {
    start.ArriveAndWait();
    for (int i = 0; overlappingReads.load(std::memory_order_relaxed) < kOverlappingReads; ++i) {
      writerProbe.Enter();
      host.SetParameter(i % 4, static_cast<float>(i % 100) / 100.0f);
      writerProbe.Leave();
    }
    host.SetParameter(3, 0.99f);
    done.store(true, std::memory_order_release);
  });
  start.ArriveAndWait();
  long badValues = 0, emptyTexts = 0;
  while (!done.load(std::memory_order_acquire)) {
    for (std::int32_t i = 0; i < 4; ++i) {
      const unsigned before = writerProbe.Phase();
      const float x = host.GetParameter(i);
      const std::string display = m->GetParameterDisplay(i);
      if (writerProbe.Phase() != before) overlappingReads.fetch_add(1, std::memory_order_relaxed);
      badValues += !(x >= 0.0f && x <= 1.0f);
      emptyTexts += display.empty();
    }
  }
  writer.join();
  EXPECT_EQ(badValues, 0);
  EXPECT_EQ(emptyTexts, 0);
  EXPECT_GE(overlappingReads.load(), kOverlappingReads);
  EXPECT_EQ(host.GetParameter(3), 0.99f);
}

}  // namespace
}  // namespace vb
