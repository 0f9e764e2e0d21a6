// Guards the record's three processing entries against handing the module a
// block without samples: such a call must not reach it at all (a module
// may index its buffers or update meters before it looks at the count).
#include <gtest/gtest.h>

#include "host/basic_vst_module.h"

namespace vb {
namespace {

class TCountingModule : public TBasicVSTModule {
 public:
  TCountingModule() : TBasicVSTModule(nullptr) {}
  int Calls = 0;
  void HostCallProcess(float**, float**, std::int32_t) override { ++Calls; }
  void HostCallProcess32Replacing(float**, float**, std::int32_t) override { ++Calls; }
  void HostCallProcess64Replacing(double**, double**, std::int32_t) override { ++Calls; }
};

TEST(ProcessingEntries, BlocksWithoutSamplesNeverReachTheModule) {
  TCountingModule module;
  TVSTEffect* e = module.Effect();
  e->Dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
  float samples[4] = {};
  double samples64[4] = {};
  float* channels[2] = {samples, samples};
  double* channels64[2] = {samples64, samples64};
  for (std::int32_t frames : {0, -1, -4096}) {
    e->Process(e, channels, channels, frames);
    e->Process32Replacing(e, channels, channels, frames);
    e->Process64Replacing(e, channels64, channels64, frames);
  }
  EXPECT_EQ(module.Calls, 0);
  e->Process(e, channels, channels, 1);
  e->Process32Replacing(e, channels, channels, 1);
  e->Process64Replacing(e, channels64, channels64, 1);
  EXPECT_EQ(module.Calls, 3);
}

}  // namespace
}  // namespace vb
