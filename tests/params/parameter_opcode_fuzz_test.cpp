// Guards every parameter and program opcode against hostile input: random
// and extreme indices, NaN and infinite values, random texts and chunk
// sizes must neither crash, read out of bounds, nor store a NaN.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "params/params_test_module.h"
#include "support/test_host.h"

namespace vb {
namespace {

using test::TTestHost;

constexpr std::int32_t kOpcodes[] = {
    effSetProgram,      effGetProgram,      effSetProgramName,         effGetProgramName,
    effGetParamLabel,   effGetParamDisplay, effGetParamName,           effGetChunk,
    effSetChunk,        effCanBeAutomated,  effString2Parameter,       effGetProgramNameIndexed,
    effVendorSpecific,  effBeginLoadBank,   effGetParameterProperties, effBeginLoadProgram,
    effBeginSetProgram, effEndSetProgram,   effGetNumProgramCategories};

class THostileInput {
 public:
  explicit THostileInput(std::uint32_t Seed) : FRandom(Seed) {}

  std::int32_t Index() {
    static constexpr std::int32_t kEdges[] = {
        std::numeric_limits<std::int32_t>::min(), -1000000, -2, -1, std::numeric_limits<std::int32_t>::max(),
        static_cast<std::int32_t>(0xDEADBEF0u),   7};
    if (Pick(3) == 0) return kEdges[Pick(std::size(kEdges))];
    return static_cast<std::int32_t>(Pick(22)) - 2;
  }

  float Value() {
    static constexpr float kEdges[] = {std::numeric_limits<float>::quiet_NaN(),
                                       std::numeric_limits<float>::infinity(),
                                       -std::numeric_limits<float>::infinity(),
                                       -0.0f,
                                       1e30f,
                                       -1e30f,
                                       std::numeric_limits<float>::denorm_min()};
    if (Pick(3) == 0) return kEdges[Pick(std::size(kEdges))];
    return std::uniform_real_distribution<float>(-0.5f, 1.5f)(FRandom);
  }

  // Random bytes, some of them digits, separators and suffix letters, NUL-terminated.
  void FillText(std::vector<char>& Buffer) {
    static constexpr char kAlphabet[] = "0123456789.,+-E kKGmc\xB5Hz%dB\t";
    const std::size_t length = Pick(40);
    for (std::size_t i = 0; i < length; ++i)
      Buffer[i] = Pick(4) == 0 ? static_cast<char>(1 + Pick(255)) : kAlphabet[Pick(sizeof(kAlphabet) - 1)];
    Buffer[length] = '\0';
  }

  std::size_t Pick(std::size_t Bound) { return std::uniform_int_distribution<std::size_t>(0, Bound - 1)(FRandom); }

 private:
  std::mt19937 FRandom;
};

// Runs Rounds random calls on Host's effect; every host read must stay a
// normalised number.
void Hammer(TTestHost& Host, std::uint32_t Seed, int Rounds) {
  THostileInput in(Seed);
  std::vector<char> buffer(4096);
  const std::int32_t numParams = Host.Effect()->numParams;
  for (int round = 0; round < Rounds; ++round) {
    switch (in.Pick(4)) {
      case 0:
        Host.SetParameter(in.Index(), in.Value());
        break;
      case 1:
        (void)Host.GetParameter(in.Index());
        break;
      default: {
        const std::int32_t opcode = kOpcodes[in.Pick(std::size(kOpcodes))];
        in.FillText(buffer);
        void* ptr = in.Pick(8) == 0 ? nullptr : buffer.data();
        // Hosts give chunk sizes that fit their buffer; the contents are random.
        const std::intptr_t value =
            opcode == effSetChunk ? static_cast<std::intptr_t>(in.Pick(buffer.size())) - 8 : in.Index();
        Host.Dispatch(opcode, in.Index(), value, ptr, in.Value());
        break;
      }
    }
    for (std::int32_t i = 0; i < numParams; ++i) {
      const float x = Host.GetParameter(i);
      ASSERT_TRUE(x >= 0.0f && x <= 1.0f) << "round " << round << " parameter " << i << " reads " << x;
    }
  }
}

TEST(ParameterOpcodeFuzz, InProcessModuleSurvivesHostileCalls) {
  for (bool chunkMode : {false, true}) {
    TTestHost host;
    auto m = test::MakeParamsTestModule(host, chunkMode);
    if (chunkMode) m->OnGetChunkParameter = [](TCustomVSTModule&, std::int32_t) { return 0.5f; };
    Hammer(host, chunkMode ? 11u : 7u, 20000);
  }
}

TEST(ParameterOpcodeFuzz, PluginSurvivesHostileCalls) {
  TTestHost host(VB_PLUGIN_PATH);
  ASSERT_NE(host.StartUp(44100.0f, 64), nullptr);
  Hammer(host, 3u, 3000);
}

}  // namespace
}  // namespace vb
