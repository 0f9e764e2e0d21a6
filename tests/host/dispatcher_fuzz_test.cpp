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
      const int Kind = Pick(0, 99);
      if (Kind < 85)
        RandomDispatch();
      else if (Kind < 92)
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
    const std::int32_t Odd[] = {
        -1, 80, 81, 1000, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
    for (;;) {
      const std::int32_t Opcode = Pick(0, 9) == 0 ? PickOf(Odd) : Pick(0, kDispatcherOpcodeCount - 1);
      if (Opcode == effClose) continue;  // closing ends the run; done at the end
      if (Opcode == effEditOpen && !FAllowEditor) continue;
      return Opcode;
    }
  }

  std::int32_t RandomIndex() {
    const std::int32_t Values[] = {-1,
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
    return Pick(0, 2) == 0 ? Pick(-5, 40) : PickOf(Values);
  }

  float RandomOpt() {
    const float Values[] = {0.0f,
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
    return Pick(0, 3) == 0 ? std::uniform_real_distribution<float>(-2.0f, 2.0f)(FRandom) : PickOf(Values);
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
        const std::intptr_t Values[] = {
            0, 1, -1, 2, 12345, std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::intptr_t>::min()};
        return Pick(0, 1) ? Pick(-10, 5000) : PickOf(Values);
      }
    }
  }

  void* RandomPtr(std::int32_t Opcode) {
    std::memset(FBuffer, 0, sizeof(FBuffer));
    std::memset(FSecondBuffer, 0, sizeof(FSecondBuffer));
    if (Pick(0, 9) < 3) return nullptr;
    const bool ReadsText = Opcode == effCanDo || Opcode == effSetProgramName || Opcode == effString2Parameter;
    if (ReadsText && Pick(0, 1)) {
      const int Length = Pick(0, 300);
      for (int i = 0; i < Length; ++i) FBuffer[i] = static_cast<char>(Pick(1, 255));
    }
    if (Opcode == effProcessEvents && Pick(0, 1)) return BuildEventList();
    return FBuffer;
  }

  void* BuildEventList() {
    auto* List = reinterpret_cast<TVstEvents*>(FBuffer);
    auto* Events = reinterpret_cast<TVstMidiEvent*>(FSecondBuffer);
    const int Count = Pick(0, 8);
    List->NumEvents = Count;
    auto** Pointers = reinterpret_cast<TVstEvent**>(FBuffer + offsetof(TVstEvents, Events));
    for (int i = 0; i < Count; ++i) {
      Events[i].EventType = PickOf(kTypes);
      Events[i].ByteSize = sizeof(TVstMidiEvent);
      Events[i].DeltaFrames = Pick(-5, 600);
      for (auto& Byte : Events[i].MidiData) Byte = static_cast<std::uint8_t>(Pick(0, 255));
      if (Events[i].EventType == etSysEx) {
        auto& SysEx = reinterpret_cast<TVstMidiSysExEvent&>(Events[i]);
        SysEx.DumpBytes = 4;
        SysEx.SysExDump = reinterpret_cast<std::uint8_t*>(FSecondBuffer + 3000);
      }
      Pointers[i] = Pick(0, 7) ? reinterpret_cast<TVstEvent*>(&Events[i]) : nullptr;
    }
    return List;
  }
  static constexpr std::int32_t kTypes[4] = {etMidi, etSysEx, etParameter, 99};

  void RandomDispatch() {
    const std::int32_t Opcode = RandomOpcode();
    const std::int32_t Index = RandomIndex();
    const std::intptr_t Value = RandomValue(Opcode);
    void* Ptr = RandomPtr(Opcode);
    const float Opt = RandomOpt();
    if ((Opcode == effSetBlockSize || Opcode == effSetBlockSizeAndSampleRate) && Value > 0)
      FBlockSize = static_cast<std::int32_t>(Value);
    FHost.Dispatch(Opcode, Index, Value, Ptr, Opt);
  }

  void RandomParameter() {
    if (Pick(0, 1))
      FHost.SetParameter(RandomIndex(), RandomOpt());
    else {
      const float Value = FHost.GetParameter(RandomIndex());
      (void)Value;
    }
  }

  void RandomProcess() {
    TVSTEffect* E = FHost.Effect();
    // A host never exceeds the block size it announced.
    const int Frames = Pick(-2, std::min(FBlockSize, 512));
    const int Ins = std::max(E->numInputs, 0), Outs = std::max(E->numOutputs, 0);
    std::vector<std::vector<double>> Storage(static_cast<std::size_t>(Ins + Outs), std::vector<double>(512, 0.25));
    std::vector<float*> P32;
    std::vector<double*> P64;
    for (auto& Channel : Storage) {
      P32.push_back(reinterpret_cast<float*>(Channel.data()));
      P64.push_back(Channel.data());
    }
    const bool NoInputs = Pick(0, 9) == 0, NoOutputs = Pick(0, 9) == 0;
    float** In32 = NoInputs ? nullptr : P32.data();
    float** Out32 = NoOutputs ? nullptr : P32.data() + Ins;
    double** In64 = NoInputs ? nullptr : P64.data();
    double** Out64 = NoOutputs ? nullptr : P64.data() + Ins;
    switch (Pick(0, 2)) {
      case 0:
        E->Process32Replacing(E, In32, Out32, Frames);
        break;
      case 1:
        E->Process64Replacing(E, In64, Out64, Frames);
        break;
      default:
        E->Process(E, In32, Out32, Frames);
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
  TTestHost Host(Path);
  ASSERT_NE(Host.StartUp(44100.0f, 512), nullptr);
  TRandomHost(Host, Seed, AllowEditor).Run(Calls);
  EXPECT_EQ(Host.Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(Host.Close(), 1);
}

TEST(RandomDispatcher, FrameworkModuleSurvivesArbitraryHostCalls) {
  for (std::uint32_t Seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(Seed);
#if defined(_WIN32)
    RunRandomSession(std::string(VB_BINARY_DIR) + "\\testplugins\\testplugin_halfgain.dll", Seed, 8000, true);
#else
    RunRandomSession(std::string(VB_BINARY_DIR) + "/testplugins/testplugin_halfgain.so", Seed, 8000, true);
#endif
  }
}

TEST(RandomDispatcher, TheEffectSurvivesArbitraryHostCalls) {
#ifdef VB_PLUGIN_PATH
  if (!std::filesystem::exists(VB_PLUGIN_PATH)) GTEST_SKIP() << "effect plug-in not built";
  // Its editor needs a real parent window, so effEditOpen is left out.
  for (std::uint32_t Seed : {11u, 12u}) {
    SCOPED_TRACE(Seed);
    RunRandomSession(VB_PLUGIN_PATH, Seed, 2000, false);
  }
#else
  GTEST_SKIP() << "effect plug-in not configured";
#endif
}

}  // namespace
}  // namespace vb::test
