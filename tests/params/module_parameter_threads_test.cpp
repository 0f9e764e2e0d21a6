// Guards the lock-free sharing of parameter values: a host thread setting
// values while another reads them and builds texts must not race (run
// under ThreadSanitizer to see a race as a failure).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "params/params_test_module.h"

namespace vb {
namespace {

TEST(ModuleParameterThreads, HostWritesAndReadersShareValuesWithoutLocks) {
  test::TestHost host;
  auto m = test::MakeParamsTestModule(host);
  std::atomic<bool> done{false};
  std::atomic<int> reads{0};
  // The writer goes on until the reader has made ten passes while it wrote,
  // so the two overlap however the threads are scheduled.
  std::thread writer([&] {
    for (int i = 0; i < 20000 || reads.load() < 10; ++i) host.SetParameter(i % 4, static_cast<float>(i % 100) / 100.0f);
    host.SetParameter(3, 0.99f);
    done.store(true);
  });
  bool valid = true;
  while (!done.load()) {
    for (std::int32_t i = 0; i < 4; ++i) {
      const float x = host.GetParameter(i);
      valid = valid && x >= 0.0f && x <= 1.0f && !m->GetParameterDisplay(i).empty();
    }
    reads.fetch_add(1);
  }
  writer.join();
  EXPECT_TRUE(valid);
  EXPECT_GE(reads.load(), 10);
  EXPECT_EQ(host.GetParameter(3), 0.99f);
}

}  // namespace
}  // namespace vb
