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
  TCountingModule Module;
  TVSTEffect* E = Module.Effect();
  E->Dispatcher(E, effOpen, 0, 0, nullptr, 0.0f);
  float Samples[4] = {};
  double Samples64[4] = {};
  float* Channels[2] = {Samples, Samples};
  double* Channels64[2] = {Samples64, Samples64};
  for (std::int32_t Frames : {0, -1, -4096}) {
    E->Process(E, Channels, Channels, Frames);
    E->Process32Replacing(E, Channels, Channels, Frames);
    E->Process64Replacing(E, Channels64, Channels64, Frames);
  }
  EXPECT_EQ(Module.Calls, 0);
  E->Process(E, Channels, Channels, 1);
  E->Process32Replacing(E, Channels, Channels, 1);
  E->Process64Replacing(E, Channels64, Channels64, 1);
  EXPECT_EQ(Module.Calls, 3);
}

}  // namespace
}  // namespace vb
