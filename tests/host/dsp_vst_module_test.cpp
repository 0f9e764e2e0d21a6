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
  std::vector<float> Seen;
  for (std::uint32_t i = 0; i < SampleFrames; ++i) Seen.push_back(static_cast<float>(Inputs[0][i]));
  GHandlerLog.Blocks.push_back(Seen);
  for (std::int32_t c = 0; c < Sender.numOutputs(); ++c)
    for (std::uint32_t i = 0; i < SampleFrames; ++i) Outputs[c][i] = Inputs[c][i];
}

void RecordOutputs(TCustomVSTModule&, float**, float** Outputs, std::uint32_t) {
  GHandlerLog.Outputs.push_back(Outputs);
}

class ProcessingModes : public ModuleFixture {
 protected:
  void SetUp() override {
    ModuleFixture::SetUp();
    GHandlerLog = {};
    Dispatch(effOpen);
  }
  // Feeds Total samples 1, 2, 3, ... in host blocks of Block samples and
  // returns channel 0 of the output.
  std::vector<float> Run(std::size_t Total, std::size_t Block) {
    std::vector<float> Result;
    float Next = 1.0f;
    for (std::size_t Done = 0; Done < Total; Done += Block) {
      Channels32 In(2, std::vector<float>(Block));
      for (std::size_t i = 0; i < Block; ++i) In[0][i] = In[1][i] = Next++;
      Channels32 Out = Host.Process32(In);
      Result.insert(Result.end(), Out[0].begin(), Out[0].end());
    }
    return Result;
  }
};

TEST_F(ProcessingModes, NormalModeHandsTheHostBuffersToTheHandlerOnce) {
  Module->SetOnProcess32Replacing(&RecordOutputs);
  float A[4], B[4];
  float* Outputs[2] = {A, B};
  Module->Effect()->Process32Replacing(Module->Effect(), Outputs, Outputs, 4);
  ASSERT_EQ(GHandlerLog.Outputs.size(), 1u);
  EXPECT_EQ(GHandlerLog.Outputs[0], Outputs);
}

TEST_F(ProcessingModes, BlockModeDelaysByTheBlockSize) {
  Module->SetOnProcess32Replacing(&Identity<float>);
  Module->SetBlockModeSize(4);
  Module->SetProcessingMode(pmBlockSave);
  const std::vector<float> Out = Run(12, 3);
  EXPECT_EQ(Out, (std::vector<float>{0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(Module->Effect()->InitialDelay, 4);
}

TEST_F(ProcessingModes, BlockModeOverlapRepeatsSamplesAndShortensTheDelay) {
  Module->SetOnProcess32Replacing(&Identity<float>);
  Module->SetBlockModeSize(4);
  Module->SetBlockModeOverlap(2);
  Module->SetProcessingMode(pmBlockSave);
  EXPECT_EQ(Module->Effect()->InitialDelay, 2);
  Run(8, 2);
  ASSERT_GE(GHandlerLog.Blocks.size(), 3u);
  EXPECT_EQ(GHandlerLog.Blocks[0], (std::vector<float>{0, 0, 1, 2}));
  EXPECT_EQ(GHandlerLog.Blocks[1], (std::vector<float>{1, 2, 3, 4}));
  EXPECT_EQ(GHandlerLog.Blocks[2], (std::vector<float>{3, 4, 5, 6}));
  Module->SetProcessingMode(pmNormal);
  EXPECT_EQ(Module->Effect()->InitialDelay, 0);  // leaving block mode drops its latency
}

TEST_F(ProcessingModes, BlockSettingsOutsideTheirRangeAreIgnoredOrRepaired) {
  Module->SetBlockModeSize(8);
  Module->SetBlockModeOverlap(8);
  EXPECT_EQ(Module->BlockModeOverlap(), 0u);
  Module->SetBlockModeOverlap(6);
  Module->SetBlockModeSize(0);
  EXPECT_EQ(Module->BlockModeSize(), 8u);
  Module->SetBlockModeSize(4);  // below the overlap: the overlap shrinks with it
  EXPECT_LT(Module->BlockModeOverlap(), Module->BlockModeSize());
  Module->SetOnProcess32Replacing(&Identity<float>);
  Module->SetProcessingMode(pmBlockSave);
  Run(40, 7);  // must stay inside the buffers (checked under ASan)
}

TEST_F(ProcessingModes, CopyLeavesExtraOutputsAndMuteClearsEverySample) {
  Module->SetNumOutputs(3);
  Module->SetProcessingMode(pmCopy);
  Channels32 Out = Host.Process32({{1, 2}, {3, 4}}, 9.0f);
  EXPECT_EQ(Out, (Channels32{{1, 2}, {3, 4}, {9, 9}}));
  Module->SetProcessingMode(pmMute);
  Channels64 Out64 = Host.Process64({{1, 2}, {3, 4}}, 9.0);
  EXPECT_EQ(Out64, (Channels64{{0, 0}, {0, 0}, {0, 0}}));
}

TEST_F(ProcessingModes, QueueModePassesInputThroughInPieces) {
  Dispatch(effSetBlockSize, 0, 16);
  Module->SetProcessingMode(pmDspQueue);
  Channels64 In(2, std::vector<double>(100));
  std::iota(In[0].begin(), In[0].end(), 1.0);
  std::iota(In[1].begin(), In[1].end(), -50.0);
  EXPECT_EQ(Host.Process64(In, 7.0), In);
}

TEST_F(ProcessingModes, HandlerChangesTakeEffectForTheCurrentMode) {
  Module->SetProcessingMode(pmBlockSave);
  Module->SetBlockModeSize(2);
  Run(4, 2);
  EXPECT_TRUE(GHandlerLog.Blocks.empty());  // no user handler, nothing runs
  Module->SetOnProcess32Replacing(&Identity<float>);
  Run(4, 2);
  EXPECT_EQ(GHandlerLog.Blocks.size(), 2u);
  Module->SetOnProcess32Replacing(nullptr);
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

TEST_F(ProcessingModes, ComponentsFollowRateAndChannelsAndFormTheQueue) {
  TFakeComponent A(*Log), B(*Log);
  Module->RegisterDSPItem(&A);
  Module->SetNumInputs(3);
  EXPECT_EQ(A.Channels(), 3);
  Log->clear();
  Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  EXPECT_EQ(*Log, (std::vector<std::string>{"component rate", "rate 48000"}));
  try {
    Module->SetDspDirectProcessItem(&B);
    FAIL();
  } catch (const EVstError& Error) {
    EXPECT_STREQ(Error.what(), "DspDirectProcessItem has to be the first item of a queue");
  }
  EXPECT_EQ(Module->ProcessingMode(), pmNormal);
  Module->RegisterDSPItem(&B);
  Module->SetDspDirectProcessItem(&B);
  EXPECT_EQ(Module->ProcessingMode(), pmDspQueue);
  Module->UnRegisterDSPItem(&B);
  EXPECT_EQ(Module->DspDirectProcessItem(), &A);
}

}  // namespace
}  // namespace vb::test
