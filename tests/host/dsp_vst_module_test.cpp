// Guards the processing modes: which handler a host block reaches, the
// block mode's delay and overlap, copy, mute and queue routines, and the
// block settings that must never break the buffers' bounds.
#include "host/dsp_vst_module.h"

#include <gtest/gtest.h>

#include <numeric>

#include "host/vst_error.h"
#include "module_fixture.h"

namespace vb::test {
namespace {

// What the handlers saw, for the tests to inspect.
struct THandlerLog {
  std::vector<std::vector<float>> Blocks;  // channel 0 of each call
  std::vector<float**> Outputs;
};
THandlerLog GHandlerLog;

template <typename T>
void Identity(TCustomVSTModule& Sender, T** Inputs, T** Outputs, std::uint32_t SampleFrames) {
  std::vector<float> seen;
  for (std::uint32_t i = 0; i < SampleFrames; ++i) seen.push_back(static_cast<float>(Inputs[0][i]));
  GHandlerLog.Blocks.push_back(seen);
  for (std::int32_t c = 0; c < Sender.numOutputs(); ++c)
    for (std::uint32_t i = 0; i < SampleFrames; ++i) Outputs[c][i] = Inputs[c][i];
}

void RecordOutputs(TCustomVSTModule&, float**, float** Outputs, std::uint32_t) {
  GHandlerLog.Outputs.push_back(Outputs);
}

class TProcessingModes : public TModuleFixture {
 protected:
  void SetUp() override {
    TModuleFixture::SetUp();
    GHandlerLog = {};
    Dispatch(effOpen);
  }
  // Feeds Total samples 1, 2, 3, ... in host blocks of Block samples and
  // returns channel 0 of the output.
  std::vector<float> Run(std::size_t Total, std::size_t Block) {
    std::vector<float> result;
    float next = 1.0f;
    for (std::size_t done = 0; done < Total; done += Block) {
      Channels32 in(2, std::vector<float>(Block));
      for (std::size_t i = 0; i < Block; ++i) in[0][i] = in[1][i] = next++;
      Channels32 out = FHost.Process32(in);
      result.insert(result.end(), out[0].begin(), out[0].end());
    }
    return result;
  }
};

TEST_F(TProcessingModes, NormalModeHandsTheHostBuffersToTheHandlerOnce) {
  FModule->SetOnProcess32Replacing(&RecordOutputs);
  float a[4], b[4];
  float* outputs[2] = {a, b};
  FModule->Effect()->Process32Replacing(FModule->Effect(), outputs, outputs, 4);
  ASSERT_EQ(GHandlerLog.Outputs.size(), 1u);
  EXPECT_EQ(GHandlerLog.Outputs[0], outputs);
}

TEST_F(TProcessingModes, BlockModeDelaysByTheBlockSize) {
  FModule->SetOnProcess32Replacing(&Identity<float>);
  FModule->SetBlockModeSize(4);
  FModule->SetProcessingMode(pmBlockSave);
  const std::vector<float> out = Run(12, 3);
  EXPECT_EQ(out, (std::vector<float>{0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(FModule->Effect()->InitialDelay, 4);
}

TEST_F(TProcessingModes, BlockModeOverlapRepeatsSamplesAndShortensTheDelay) {
  FModule->SetOnProcess32Replacing(&Identity<float>);
  FModule->SetBlockModeSize(4);
  FModule->SetBlockModeOverlap(2);
  FModule->SetProcessingMode(pmBlockSave);
  EXPECT_EQ(FModule->Effect()->InitialDelay, 2);
  Run(8, 2);
  ASSERT_GE(GHandlerLog.Blocks.size(), 3u);
  EXPECT_EQ(GHandlerLog.Blocks[0], (std::vector<float>{0, 0, 1, 2}));
  EXPECT_EQ(GHandlerLog.Blocks[1], (std::vector<float>{1, 2, 3, 4}));
  EXPECT_EQ(GHandlerLog.Blocks[2], (std::vector<float>{3, 4, 5, 6}));
  FModule->SetProcessingMode(pmNormal);
  EXPECT_EQ(FModule->Effect()->InitialDelay, 0);  // leaving block mode drops its latency
}

TEST_F(TProcessingModes, BlockSettingsOutsideTheirRangeAreIgnoredOrRepaired) {
  FModule->SetBlockModeSize(8);
  FModule->SetBlockModeOverlap(8);
  EXPECT_EQ(FModule->BlockModeOverlap(), 0u);
  FModule->SetBlockModeOverlap(6);
  FModule->SetBlockModeSize(0);
  EXPECT_EQ(FModule->BlockModeSize(), 8u);
  FModule->SetBlockModeSize(4);  // below the overlap: the overlap shrinks with it
  EXPECT_LT(FModule->BlockModeOverlap(), FModule->BlockModeSize());
  FModule->SetOnProcess32Replacing(&Identity<float>);
  FModule->SetProcessingMode(pmBlockSave);
  Run(40, 7);  // must stay inside the buffers (checked under ASan)
}

TEST_F(TProcessingModes, CopyLeavesExtraOutputsAndMuteClearsEverySample) {
  FModule->SetNumOutputs(3);
  FModule->SetProcessingMode(pmCopy);
  Channels32 out = FHost.Process32({{1, 2}, {3, 4}}, 9.0f);
  EXPECT_EQ(out, (Channels32{{1, 2}, {3, 4}, {9, 9}}));
  FModule->SetProcessingMode(pmMute);
  Channels64 out64 = FHost.Process64({{1, 2}, {3, 4}}, 9.0);
  EXPECT_EQ(out64, (Channels64{{0, 0}, {0, 0}, {0, 0}}));
}

TEST_F(TProcessingModes, QueueModePassesInputThroughInPieces) {
  Dispatch(effSetBlockSize, 0, 16);
  FModule->SetProcessingMode(pmDspQueue);
  Channels64 in(2, std::vector<double>(100));
  std::iota(in[0].begin(), in[0].end(), 1.0);
  std::iota(in[1].begin(), in[1].end(), -50.0);
  EXPECT_EQ(FHost.Process64(in, 7.0), in);
}

TEST_F(TProcessingModes, HandlerChangesTakeEffectForTheCurrentMode) {
  FModule->SetProcessingMode(pmBlockSave);
  FModule->SetBlockModeSize(2);
  Run(4, 2);
  EXPECT_TRUE(GHandlerLog.Blocks.empty());  // no user handler, nothing runs
  FModule->SetOnProcess32Replacing(&Identity<float>);
  Run(4, 2);
  EXPECT_EQ(GHandlerLog.Blocks.size(), 2u);
  FModule->SetOnProcess32Replacing(nullptr);
  Run(4, 2);
  EXPECT_EQ(GHandlerLog.Blocks.size(), 2u);
}

class TFakeComponent : public TZarnProcessingComponent {
 public:
  explicit TFakeComponent(std::vector<std::string>& Log, bool Filters = false) : FLog(Log), FFilters(Filters) {}
  void SetSampleRate(float Value) override {
    TZarnProcessingComponent::SetSampleRate(Value);
    FLog.push_back("component rate");
  }
  void Init() override {}
  void Reset() override {}
  void ResetQueue() override {}
  void NoteOff() override {}
  void NoteOffQueue() override {}
  void ProcessMidiEvent(const TVstMidiEvent&, bool& Filter) override { Filter = FFilters; }
  void ProcessMidiEventQueue(const TVstMidiEvent&, bool& Filter) override { Filter = FFilters; }

 private:
  std::vector<std::string>& FLog;
  bool FFilters;
};

TEST_F(TProcessingModes, ComponentsFollowRateAndChannelsAndFormTheQueue) {
  TFakeComponent a(*FLog), b(*FLog);
  FModule->RegisterDSPItem(&a);
  FModule->SetNumInputs(3);
  EXPECT_EQ(a.Channels(), 3);
  FLog->clear();
  Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  EXPECT_EQ(*FLog, (std::vector<std::string>{"component rate", "rate 48000"}));
  try {
    FModule->SetDspDirectProcessItem(&b);
    FAIL();
  } catch (const EVstError& error) {
    EXPECT_STREQ(error.what(), "DspDirectProcessItem has to be the first item of a queue");
  }
  EXPECT_EQ(FModule->ProcessingMode(), pmNormal);
  FModule->RegisterDSPItem(&b);
  FModule->SetDspDirectProcessItem(&b);
  EXPECT_EQ(FModule->ProcessingMode(), pmDspQueue);
  FModule->UnRegisterDSPItem(&b);
  EXPECT_EQ(FModule->DspDirectProcessItem(), &a);
}

}  // namespace
}  // namespace vb::test
