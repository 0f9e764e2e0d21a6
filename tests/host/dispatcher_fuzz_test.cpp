// Guards the plug-in boundary against arbitrary host calls: thousands of
// random opcodes (also out of range), indices, values, floats and null or
// valid pointers, mixed with parameter and processing calls, must neither
// crash nor corrupt memory (run under ASan) and leave the module usable.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>

#include "support/test_host.h"

namespace vb::test {
namespace {

class TRandomHost {
 public:
  TRandomHost(TTestHost& Host, std::uint32_t Seed, bool AllowEditor)
      : FHost(Host), FRandom(Seed), FAllowEditor(AllowEditor) {}

  void Run(int Calls) {
    for (int i = 0; i < Calls; ++i) {
      const int kind = Pick(0, 99);
      if (kind < 85)
        RandomDispatch();
      else if (kind < 92)
        RandomParameter();
      else
        RandomProcess();
    }
  }

 private:
  int Pick(int Low, int High) { return std::uniform_int_distribution<int>(Low, High)(FRandom); }
  template <typename T, std::size_t N>
  T PickOf(const T (&Values)[N]) {
    return Values[static_cast<std::size_t>(Pick(0, static_cast<int>(N) - 1))];
  }

  std::int32_t RandomOpcode() {
    const std::int32_t odd[] = {
        -1, 80, 81, 1000, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
    for (;;) {
      const std::int32_t opcode = Pick(0, 9) == 0 ? PickOf(odd) : Pick(0, kDispatcherOpcodeCount - 1);
      if (opcode == effClose) continue;  // closing ends the run; done at the end
      if (opcode == effEditOpen && !FAllowEditor) continue;
      return opcode;
    }
  }

  std::int32_t RandomIndex() {
    const std::int32_t values[] = {-1,
                                   0,
                                   1,
                                   2,
                                   7,
                                   16,
                                   17,
                                   99,
                                   std::numeric_limits<std::int32_t>::min(),
                                   std::numeric_limits<std::int32_t>::max(),
                                   static_cast<std::int32_t>(0xDEADBEF0u)};
    return Pick(0, 2) == 0 ? Pick(-5, 40) : PickOf(values);
  }

  float RandomOpt() {
    const float values[] = {0.0f,
                            1.0f,
                            0.5f,
                            -1.0f,
                            44100.0f,
                            96000.0f,
                            1e30f,
                            -1e30f,
                            std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::denorm_min()};
    return Pick(0, 3) == 0 ? std::uniform_real_distribution<float>(-2.0f, 2.0f)(FRandom) : PickOf(values);
  }

  // Value, chosen so that it stays a truthful host argument where the
  // interface makes it a size or a pointer.
  std::intptr_t RandomValue(std::int32_t Opcode) {
    switch (Opcode) {
      case effSetChunk:
        return Pick(0, static_cast<int>(sizeof(FBuffer)));
      case effSetBlockSize:
      case effSetBlockSizeAndSampleRate:
        return Pick(-2, 4096);
      case effSetSpeakerArrangement:
        return Pick(0, 1) ? reinterpret_cast<std::intptr_t>(FSecondBuffer) : 0;
      default: {
        const std::intptr_t values[] = {
            0, 1, -1, 2, 12345, std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::intptr_t>::min()};
        return Pick(0, 1) ? Pick(-10, 5000) : PickOf(values);
      }
    }
  }

  void* RandomPtr(std::int32_t Opcode) {
    std::memset(FBuffer, 0, sizeof(FBuffer));
    std::memset(FSecondBuffer, 0, sizeof(FSecondBuffer));
    if (Pick(0, 9) < 3) return nullptr;
    const bool readsText = Opcode == effCanDo || Opcode == effSetProgramName || Opcode == effString2Parameter;
    if (readsText && Pick(0, 1)) {
      const int length = Pick(0, 300);
      for (int i = 0; i < length; ++i) FBuffer[i] = static_cast<char>(Pick(1, 255));
    }
    if (Opcode == effProcessEvents && Pick(0, 1)) return BuildEventList();
    return FBuffer;
  }

  void* BuildEventList() {
    auto* list = reinterpret_cast<TVstEvents*>(FBuffer);
    auto* events = reinterpret_cast<TVstMidiEvent*>(FSecondBuffer);
    const int count = Pick(0, 8);
    list->NumEvents = count;
    auto** pointers = reinterpret_cast<TVstEvent**>(FBuffer + offsetof(TVstEvents, Events));
    for (int i = 0; i < count; ++i) {
      events[i].EventType = PickOf(kTypes);
      events[i].ByteSize = sizeof(TVstMidiEvent);
      events[i].DeltaFrames = Pick(-5, 600);
      for (auto& byte : events[i].MidiData) byte = static_cast<std::uint8_t>(Pick(0, 255));
      if (events[i].EventType == etSysEx) {
        auto& sysEx = reinterpret_cast<TVstMidiSysExEvent&>(events[i]);
        sysEx.DumpBytes = 4;
        sysEx.SysExDump = reinterpret_cast<std::uint8_t*>(FSecondBuffer + 3000);
      }
      pointers[i] = Pick(0, 7) ? reinterpret_cast<TVstEvent*>(&events[i]) : nullptr;
    }
    return list;
  }
  static constexpr std::int32_t kTypes[4] = {etMidi, etSysEx, etParameter, 99};

  void RandomDispatch() {
    const std::int32_t opcode = RandomOpcode();
    const std::int32_t index = RandomIndex();
    const std::intptr_t value = RandomValue(opcode);
    void* ptr = RandomPtr(opcode);
    const float opt = RandomOpt();
    if ((opcode == effSetBlockSize || opcode == effSetBlockSizeAndSampleRate) && value > 0)
      FBlockSize = static_cast<std::int32_t>(value);
    FHost.Dispatch(opcode, index, value, ptr, opt);
  }

  void RandomParameter() {
    if (Pick(0, 1))
      FHost.SetParameter(RandomIndex(), RandomOpt());
    else {
      const float value = FHost.GetParameter(RandomIndex());
      (void)value;
    }
  }

  void RandomProcess() {
    TVSTEffect* e = FHost.Effect();
    // A host never exceeds the block size it announced.
    const int frames = Pick(-2, std::min(FBlockSize, 512));
    const int ins = std::max(e->numInputs, 0), outs = std::max(e->numOutputs, 0);
    std::vector<std::vector<double>> storage(static_cast<std::size_t>(ins + outs), std::vector<double>(512, 0.25));
    std::vector<float*> p32;
    std::vector<double*> p64;
    for (auto& channel : storage) {
      p32.push_back(reinterpret_cast<float*>(channel.data()));
      p64.push_back(channel.data());
    }
    const bool noInputs = Pick(0, 9) == 0, noOutputs = Pick(0, 9) == 0;
    float** in32 = noInputs ? nullptr : p32.data();
    float** out32 = noOutputs ? nullptr : p32.data() + ins;
    double** in64 = noInputs ? nullptr : p64.data();
    double** out64 = noOutputs ? nullptr : p64.data() + ins;
    switch (Pick(0, 2)) {
      case 0:
        e->Process32Replacing(e, in32, out32, frames);
        break;
      case 1:
        e->Process64Replacing(e, in64, out64, frames);
        break;
      default:
        e->Process(e, in32, out32, frames);
        break;
    }
  }

  TTestHost& FHost;
  std::mt19937 FRandom;
  bool FAllowEditor;
  std::int32_t FBlockSize = 512;
  alignas(16) char FBuffer[4096];
  alignas(16) char FSecondBuffer[4096];
};

void RunRandomSession(const std::string& Path, std::uint32_t Seed, int Calls, bool AllowEditor) {
  TTestHost host(Path);
  ASSERT_NE(host.StartUp(44100.0f, 512), nullptr);
  TRandomHost(host, Seed, AllowEditor).Run(Calls);
  EXPECT_EQ(host.Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(host.Close(), 1);
}

TEST(RandomDispatcher, FrameworkModuleSurvivesArbitraryHostCalls) {
  for (std::uint32_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
#if defined(_WIN32)
    RunRandomSession(std::string(VB_BINARY_DIR) + "\\testplugins\\testplugin_halfgain.dll", seed, 8000, true);
#else
    RunRandomSession(std::string(VB_BINARY_DIR) + "/testplugins/testplugin_halfgain.so", seed, 8000, true);
#endif
  }
}

TEST(RandomDispatcher, TheEffectSurvivesArbitraryHostCalls) {
#ifdef VB_PLUGIN_PATH
  if (!std::filesystem::exists(VB_PLUGIN_PATH)) GTEST_SKIP() << "effect plug-in not built";
  // Its editor needs a real parent window, so effEditOpen is left out.
  for (std::uint32_t seed : {11u, 12u}) {
    SCOPED_TRACE(seed);
    RunRandomSession(VB_PLUGIN_PATH, seed, 2000, false);
  }
#else
  GTEST_SKIP() << "effect plug-in not configured";
#endif
}

}  // namespace
}  // namespace vb::test
