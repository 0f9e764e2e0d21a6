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
  std::thread writer([&] {
    for (int i = 0; i < 20000; ++i) host.SetParameter(i % 4, static_cast<float>(i % 100) / 100.0f);
    done.store(true);
  });
  int reads = 0;
  while (!done.load()) {
    for (std::int32_t i = 0; i < 4; ++i) {
      const float x = host.GetParameter(i);
      ASSERT_TRUE(x >= 0.0f && x <= 1.0f);
      ASSERT_FALSE(m->GetParameterDisplay(i).empty());
    }
    ++reads;
  }
  writer.join();
  EXPECT_GT(reads, 0);
  EXPECT_EQ(host.GetParameter(3), 0.99f);
}

}  // namespace
}  // namespace vb
