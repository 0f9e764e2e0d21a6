// Guards the generated opcode list: every opcode reaching the handler named
// after it (and no other), and the base level's default answers.
#include <gtest/gtest.h>

#include <map>

#include "host/basic_vst_module.h"

namespace vb {
namespace {

// Handlers written out by hand, so a list whose values and names drift
// apart sends an opcode to the wrong one.
class TRecordingModule : public TBasicVSTModule {
 public:
  TRecordingModule() : TBasicVSTModule(nullptr) {}
  std::map<std::string, std::int32_t> Reached;
  std::int32_t Current = -1;

  std::intptr_t HostCallSetSampleRate(std::int32_t, std::intptr_t, void*, float) override {
    return Note("SetSampleRate");
  }
  std::intptr_t HostCallEditGetRect(std::int32_t, std::intptr_t, void*, float) override { return Note("EditGetRect"); }
  std::intptr_t HostCallCanDo(std::int32_t, std::intptr_t, void*, float) override { return Note("CanDo"); }
  std::intptr_t HostCallGetNumMidiOutputChannels(std::int32_t, std::intptr_t, void*, float) override {
    return Note("GetNumMidiOutputChannels");
  }

 private:
  std::intptr_t Note(const std::string& Name) {
    Reached[Name] = Current;
    return 7;
  }
};

TEST(OpcodeList, EveryOpcodeReachesTheHandlerNamedAfterIt) {
  auto* module = new TRecordingModule;
  for (std::int32_t opcode = 0; opcode < kDispatcherOpcodeCount; ++opcode) {
    if (opcode == effClose) continue;
    module->Current = opcode;
    const std::intptr_t answer = module->HostCallDispatcher(opcode, 0, 0, nullptr, 0.0f);
    const bool overridden = opcode == effSetSampleRate || opcode == effEditGetRect || opcode == effCanDo ||
                            opcode == effGetNumMidiOutputChannels;
    const std::intptr_t defaultAnswer = opcode == effIdentify ? PackChunkName('N', 'v', 'E', 'f') : 0;
    EXPECT_EQ(answer, overridden ? 7 : defaultAnswer) << "opcode " << opcode;
  }
  EXPECT_EQ(module->Reached,
            (std::map<std::string, std::int32_t>{
                {"CanDo", 51}, {"EditGetRect", 13}, {"GetNumMidiOutputChannels", 79}, {"SetSampleRate", 10}}));
  EXPECT_EQ(module->HostCallDispatcher(effClose, 0, 0, nullptr, 0.0f), 1);  // destroys the module
}

}  // namespace
}  // namespace vb
