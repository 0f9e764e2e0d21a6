#include "processor/drive_controls.h"

#include "processor/drive_parameter_mapping.h"

namespace vb {

TDriveControls::TDriveControls() {
  for (auto& Parameter : FParameters) Parameter.store(0.0f, std::memory_order_relaxed);
}

// The value first, then the generation (release): an audio thread that sees
// the new generation sees the value too; one that sees the value early takes
// it again, unchanged, at its next block.
void TDriveControls::Publish(TDriveParameter Index, float Value) {
  const float Old = FParameters[Index].exchange(Value, std::memory_order_relaxed);
  if (Index == kParamOversampling && OversamplingFactor(Old) != OversamplingFactor(Value))
    FRetuneResamplers.store(true, std::memory_order_release);
  FGeneration.fetch_add(1, std::memory_order_release);
}

void TDriveControls::PublishHostRate(float Rate) {
  if (FHostRate.exchange(Rate, std::memory_order_relaxed) != Rate)
    FRetuneResamplers.store(true, std::memory_order_release);
  FGeneration.fetch_add(1, std::memory_order_release);
}

void TDriveControls::PublishTrimStereo(bool Stereo) {
  FTrimStereo.store(Stereo, std::memory_order_relaxed);
  FGeneration.fetch_add(1, std::memory_order_release);
}

TDriveControlValues TDriveControls::Values() const {
  TDriveControlValues Result;
  for (int i = 0; i < kParamCount; ++i) Result.Parameters[i] = FParameters[i].load(std::memory_order_relaxed);
  Result.HostRate = FHostRate.load(std::memory_order_relaxed);
  Result.TrimStereo = FTrimStereo.load(std::memory_order_relaxed);
  return Result;
}

// The retune mark is taken before the values (acquire): a mark taken now
// comes with the factor or rate that set it. A mark set after this point is
// followed by a new generation, so the next block takes it.
bool TDriveControls::Take(TDriveControlValues& Snapshot, bool& RetuneResamplers) {
  const unsigned Generation = FGeneration.load(std::memory_order_acquire);
  if (Generation == FTaken) return false;
  FTaken = Generation;
  RetuneResamplers = FRetuneResamplers.exchange(false, std::memory_order_acq_rel);
  Snapshot = Values();
  return true;
}

}  // namespace vb
