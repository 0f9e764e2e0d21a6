// Guards the cross-thread contract of the processing dispatch: the audio
// thread keeps processing while another thread swaps handlers, modes and
// the sample rate (meaningful under ThreadSanitizer: no data race may be
// reported on the fields the audio thread reads).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "module_fixture.h"

namespace vb::test {
namespace {

void Silence(TCustomVSTModule& Sender, float**, float** Outputs, std::uint32_t SampleFrames) {
  for (std::int32_t c = 0; c < Sender.numOutputs(); ++c)
    for (std::uint32_t i = 0; i < SampleFrames; ++i) Outputs[c][i] = 0.0f;
}

void Unity(TCustomVSTModule& Sender, float** Inputs, float** Outputs, std::uint32_t SampleFrames) {
  for (std::int32_t c = 0; c < Sender.numOutputs(); ++c)
    for (std::uint32_t i = 0; i < SampleFrames; ++i) Outputs[c][i] = Inputs[c][i];
}

using ProcessingConcurrency = TModuleFixture;

TEST_F(ProcessingConcurrency, HandlersAndModesMaySwitchWhileBlocksAreProcessed) {
  Dispatch(effOpen);
  FModule->SetOnProcess32Replacing(&Unity);
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    std::vector<float> in(64, 1.0f), outL(64), outR(64);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    TVSTEffect* e = FModule->Effect();
    while (!stop.load()) {
      e->Process32Replacing(e, inputs, outputs, 64);
      // Every handler leaves each sample at 0 or 1, whichever ran.
      for (float sample : outL) ASSERT_TRUE(sample == 0.0f || sample == 1.0f);
    }
  });
  for (int i = 0; i < 2000; ++i) {
    FModule->SetOnProcess32Replacing(i % 2 ? &Silence : &Unity);
    FModule->SetProcessingMode(i % 3 == 0 ? pmCopy : (i % 3 == 1 ? pmMute : pmNormal));
    Dispatch(effSetSampleRate, 0, 0, nullptr, i % 2 ? 48000.0f : 44100.0f);
    FModule->EditorPostUpdate();
  }
  stop = true;
  audio.join();
}

}  // namespace
}  // namespace vb::test
