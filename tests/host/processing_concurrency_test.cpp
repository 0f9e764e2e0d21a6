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

using ProcessingConcurrency = ModuleFixture;

TEST_F(ProcessingConcurrency, HandlersAndModesMaySwitchWhileBlocksAreProcessed) {
  Dispatch(effOpen);
  Module->SetOnProcess32Replacing(&Unity);
  std::atomic<bool> Stop{false};
  std::thread Audio([&] {
    std::vector<float> In(64, 1.0f), OutL(64), OutR(64);
    float* Inputs[2] = {In.data(), In.data()};
    float* Outputs[2] = {OutL.data(), OutR.data()};
    TVSTEffect* E = Module->Effect();
    while (!Stop.load()) {
      E->Process32Replacing(E, Inputs, Outputs, 64);
      // Every handler leaves each sample at 0 or 1, whichever ran.
      for (float Sample : OutL) ASSERT_TRUE(Sample == 0.0f || Sample == 1.0f);
    }
  });
  for (int i = 0; i < 2000; ++i) {
    Module->SetOnProcess32Replacing(i % 2 ? &Silence : &Unity);
    Module->SetProcessingMode(i % 3 == 0 ? pmCopy : (i % 3 == 1 ? pmMute : pmNormal));
    Dispatch(effSetSampleRate, 0, 0, nullptr, i % 2 ? 48000.0f : 44100.0f);
    Module->EditorPostUpdate();
  }
  Stop = true;
  Audio.join();
}

}  // namespace
}  // namespace vb::test
