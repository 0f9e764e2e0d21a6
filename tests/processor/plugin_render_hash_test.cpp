// Guards the effect's sound against any unintended change: the built library
// renders a fixed script of settings (every parameter, the three factors,
// mono and stereo, sample-rate changes, suspend, bypass, blocks shorter and
// longer than announced, 32 and 64 bits) and each scene's output must hash
// to the value recorded when the sound was last accepted.
//
// The hashes hold for x86-64 with the C library of the supported
// distribution: the parameter mappings go through its exp, pow, sin, cos and
// tan. A change that is meant to alter the sound records new values (the
// failure message prints them).
#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "drive_test_rig.h"
#include "host/vst_abi.h"
#include "support/test_host.h"

namespace vb {
namespace {

using test::Channels32;
using test::Channels64;
using test::TestHost;

// FNV-1a over the bits of every sample, channel after channel.
class TOutputHash {
 public:
  template <class TChannels>
  void Add(const TChannels& Channels) {
    for (const auto& Channel : Channels)
      for (auto Sample : Channel) {
        using TBits = std::conditional_t<sizeof(Sample) == 4, std::uint32_t, std::uint64_t>;
        const TBits Bits = std::bit_cast<TBits>(Sample);
        for (std::size_t Byte = 0; Byte < sizeof(Bits); ++Byte) {
          FValue ^= (Bits >> (8 * Byte)) & 0xFF;
          FValue *= 0x100000001B3ull;
        }
      }
  }
  std::uint64_t Value() const { return FValue; }

 private:
  std::uint64_t FValue = 0xCBF29CE484222325ull;
};

// The host's normalised value of a parameter set in its own unit.
struct TKnob {
  std::int32_t Index;
  float Value;
};

constexpr float kRanges[17][2] = {{-200, 200}, {0, 100},  {0, 100},  {1, 200},  {0, 500},  {0, 1000},
                                  {500, 5000}, {-15, 15}, {-15, 15}, {-15, 15}, {-15, 15}, {0, 100},
                                  {-100, 100}, {0, 1},    {0, 1},    {0, 1},    {1, 16}};

class TRenderScript {
 public:
  explicit TRenderScript(TestHost& Host) : FHost(Host) {}

  void Set(std::initializer_list<TKnob> Knobs) {
    for (const TKnob& Knob : Knobs) {
      const float* Range = kRanges[Knob.Index];
      FHost.SetParameter(Knob.Index, (Knob.Value - Range[0]) / (Range[1] - Range[0]));
    }
  }
  // Blocks of the given lengths, alternating 64 and 32 bits.
  void Blocks(std::initializer_list<std::size_t> Lengths) {
    for (std::size_t Length : Lengths) {
      if (FCount++ % 2 == 0)
        FHash.Add(FHost.Process64({test::TestSignal(Length, 0.7, FSeed), test::TestSignal(Length, 0.4, FSeed + 1)}));
      else
        FHash.Add(FHost.Process32(Signal32(Length)));
      FSeed += 2;
    }
  }
  // Ends a scene: its hash, and a fresh one for the next.
  std::uint64_t Take() {
    const std::uint64_t Value = FHash.Value();
    FHash = TOutputHash();
    return Value;
  }

 private:
  Channels32 Signal32(std::size_t Length) const {
    Channels32 Result(2);
    for (int c = 0; c < 2; ++c) {
      const std::vector<double> s = test::TestSignal(Length, 0.9 - 0.3 * c, FSeed + c);
      Result[c].assign(s.begin(), s.end());
    }
    return Result;
  }

  TestHost& FHost;
  TOutputHash FHash;
  std::uint32_t FSeed = 100;
  int FCount = 0;
};

// One hash per scene, in the order the script plays them.
constexpr std::uint64_t kExpected[] = {
    0xD627FFF9203FFB1Dull, 0xA0346CD56740D2CDull, 0xDD3F37DB1A504228ull, 0x6EDBACBEBC19F8EEull,
    0x74A1ACFE8A57EAFDull, 0x4099B3FB1AF1A41Full, 0x4752FDAF4803037Full, 0x5A80B7AE95D764D7ull,
    0x7DDDC8E81A5D1F43ull, 0xC55AC556B983596Aull, 0x544469B4A84777F5ull,
};

TEST(PluginRenderHash, FixedScriptRendersTheRecordedOutput) {
  TestHost Host{VB_PLUGIN_PATH};
  ASSERT_NE(Host.StartUp(44100.0f, 256), nullptr);
  TRenderScript Script(Host);
  std::vector<std::uint64_t> Got;

  // Defaults.
  Script.Blocks({256, 256, 256, 256});
  Got.push_back(Script.Take());
  // Drive stage: drive, trim, knee, asymmetric clipping, input and output.
  Script.Set({{1, 60}, {2, 70}, {3, 30}, {15, 1}, {0, 80}, {12, -30}});
  Script.Blocks({256, 256, 256, 256});
  Got.push_back(Script.Take());
  // 8x, stereo, tone stack; then Trim again so that the stereo trim applies.
  Script.Set({{16, 8}, {14, 1}, {7, 12}, {8, -6}, {9, 13.5f}, {10, -12}});
  Script.Blocks({256, 256, 256});
  Script.Set({{2, 55}});
  Script.Blocks({256, 256, 256});
  Got.push_back(Script.Take());
  // Smoother corners and the high-pass at 16x.
  Script.Set({{6, 950}, {4, 250}, {5, 900}, {16, 16}});
  Script.Blocks({256, 256, 256, 256});
  Got.push_back(Script.Take());
  // Factor away and back between two blocks; then a plain change of factor.
  Script.Set({{16, 1}, {16, 16}});
  Script.Blocks({256, 256});
  Script.Set({{16, 1}});
  Script.Blocks({256, 256});
  Got.push_back(Script.Take());
  // Dry/wet and odd block lengths, one longer than announced.
  Script.Set({{11, 40}, {16, 8}});
  Script.Blocks({1, 7, 1000, 255, 3});
  Got.push_back(Script.Take());
  // LoPass automated block by block, mono again.
  Script.Set({{14, 0}, {15, 0}});
  for (float LoPass : {500.0f, 1200.0f, 4800.0f, 2000.0f, 777.0f, 5000.0f}) {
    Script.Set({{6, LoPass}});
    Script.Blocks({128});
  }
  Got.push_back(Script.Take());
  // Power off and on again.
  Script.Set({{13, 0}});
  Script.Blocks({256, 256});
  Script.Set({{13, 1}});
  Script.Blocks({256, 256});
  Got.push_back(Script.Take());
  // Suspend, 96 kHz and a smaller block, resume.
  Host.Dispatch(effMainsChanged, 0, 0);
  Host.Dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
  Host.Dispatch(effSetBlockSize, 0, 128);
  Host.Dispatch(effMainsChanged, 0, 1);
  Script.Blocks({128, 128, 128, 512});
  Got.push_back(Script.Take());
  // 48 kHz at 16x, every knob moved once more.
  Host.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  Script.Set({{0, -50},
              {1, 100},
              {2, 100},
              {3, 200},
              {4, 0},
              {5, 0},
              {6, 5000},
              {7, -15},
              {8, 15},
              {9, -15},
              {10, 15},
              {11, 100},
              {12, 100},
              {14, 1},
              {15, 1},
              {16, 16}});
  Script.Blocks({128, 128, 128, 128});
  Got.push_back(Script.Take());
  // The knobs' lower ends.
  Script.Set({{0, -200}, {1, 0}, {2, 0}, {3, 1}, {6, 500}, {12, -100}, {16, 1}});
  Script.Blocks({128, 128});
  Script.Set({{0, 200}, {2, 100}});
  Script.Blocks({128, 128});
  Got.push_back(Script.Take());

  ASSERT_EQ(Got.size(), std::size(kExpected));
  std::string Recorded;
  for (std::uint64_t Value : Got) {
    char Text[32];
    std::snprintf(Text, sizeof(Text), "0x%016llXull, ", static_cast<unsigned long long>(Value));
    Recorded += Text;
  }
  for (std::size_t Scene = 0; Scene < Got.size(); ++Scene)
    EXPECT_EQ(Got[Scene], kExpected[Scene]) << "scene " << Scene << "; this build renders: " << Recorded;
}

}  // namespace
}  // namespace vb
