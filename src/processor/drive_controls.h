#pragma once
// What the drive's handlers hand to the audio thread, and how the audio
// thread takes it.
//
// Writers (the parameter handlers on whichever thread sets a parameter, the
// sample-rate handler on the host's set-up thread; several at once) only
// publish values: each parameter's value in its own unit as its handler
// received it, the host's sample rate, and the stereo switch as it stood
// when Trim was last mapped. Publishing is a few atomic stores: no lock, no
// allocation, and no filter or coefficient is touched.
//
// The audio thread takes all values at once at the start of a block and
// derives everything it runs with from that one snapshot. A generation
// counter, bumped after every publication, makes a block without news cost
// one atomic load.
//
// The protocol in two orderings: a writer stores its value before it bumps
// the generation (release), and the audio thread reads the generation
// (acquire) before the values. A block that reads the values between a
// writer's two steps may see the new value early; it sees the new
// generation at its next block and takes the value again, so no change is
// lost. TSync marks both gaps (sync_points.h).

#include <array>
#include <atomic>

#include "processor/drive_parameter.h"
#include "processor/sync_points.h"

namespace vb {

// The factor the resamplers run at for an "Oversampling" value
// (drive_parameter_mapping.h).
int OversamplingFactor(float KnobValue);

// One snapshot of the published values.
struct TDriveControlValues {
  std::array<float, kParamCount> Parameters{};
  float HostRate = 44100.0f;  // Hz, not oversampled
  // The stereo switch when Trim was last mapped: the trim compensation
  // doubles in stereo, but only from the next change of Trim (or Drive).
  bool TrimStereo = false;

  float operator[](TDriveParameter Index) const { return Parameters[Index]; }
  bool operator==(const TDriveControlValues&) const = default;
};

// Cache-line aligned: writers hammer these atomics, and the audio thread's
// own per-sample state must not share a line with them.
template <class TSync>
class alignas(64) TBasicDriveControls {
 public:
  TBasicDriveControls();

  // --- Writers (any thread) ----------------------------------------------------
  void Publish(TDriveParameter Index, float Value);
  void PublishHostRate(float Rate);
  void PublishTrimStereo(bool Stereo);

  // --- Readers (any thread) ----------------------------------------------------
  float Value(TDriveParameter Index) const { return FParameters[Index].load(std::memory_order_relaxed); }
  float HostRate() const { return FHostRate.load(std::memory_order_relaxed); }
  TDriveControlValues Values() const;

  // --- Audio thread ------------------------------------------------------------
  // Fills Snapshot and answers true when anything was published since the
  // last call that answered true (always on the first call).
  bool Take(TDriveControlValues& Snapshot, bool& RetuneResamplers);

  // Tests only: the policy that observes the protocol's steps.
  TSync& SyncPoints() { return FSync; }

 private:
  template <class T>
  using TAtomic = typename TSync::template TAtomic<T>;

  std::array<TAtomic<float>, kParamCount> FParameters;
  TAtomic<float> FHostRate{44100.0f};
  TAtomic<bool> FTrimStereo{false};
  // Set when the oversampling factor or the host rate took a different
  // value: the resamplers restart from silence at the next block, however
  // often the value went back and forth in between.
  TAtomic<bool> FRetuneResamplers{true};
  TAtomic<unsigned> FGeneration{0};
  // The generation of the last snapshot; audio thread only.
  unsigned FTaken = ~0u;
  [[no_unique_address]] TSync FSync;
};

template <class TSync>
TBasicDriveControls<TSync>::TBasicDriveControls() {
  for (auto& parameter : FParameters) parameter.store(0.0f, std::memory_order_relaxed);
}

// The value first, then the generation (release): an audio thread that sees
// the new generation sees the value too; one that sees the value early takes
// it again, unchanged, at its next block.
template <class TSync>
void TBasicDriveControls<TSync>::Publish(TDriveParameter Index, float Value) {
  const float old = FParameters[Index].exchange(Value, std::memory_order_relaxed);
  FSync.Reached(TSyncPoint::spPublishStored);
  if (Index == kParamOversampling && OversamplingFactor(old) != OversamplingFactor(Value))
    FRetuneResamplers.store(true, std::memory_order_release);
  FGeneration.fetch_add(1, std::memory_order_release);
}

template <class TSync>
void TBasicDriveControls<TSync>::PublishHostRate(float Rate) {
  if (FHostRate.exchange(Rate, std::memory_order_relaxed) != Rate)
    FRetuneResamplers.store(true, std::memory_order_release);
  FGeneration.fetch_add(1, std::memory_order_release);
}

template <class TSync>
void TBasicDriveControls<TSync>::PublishTrimStereo(bool Stereo) {
  FTrimStereo.store(Stereo, std::memory_order_relaxed);
  FGeneration.fetch_add(1, std::memory_order_release);
}

template <class TSync>
TDriveControlValues TBasicDriveControls<TSync>::Values() const {
  TDriveControlValues result;
  for (int i = 0; i < kParamCount; ++i) result.Parameters[i] = FParameters[i].load(std::memory_order_relaxed);
  result.HostRate = FHostRate.load(std::memory_order_relaxed);
  result.TrimStereo = FTrimStereo.load(std::memory_order_relaxed);
  return result;
}

// The retune mark is taken before the values (acquire): a mark taken now
// comes with the factor or rate that set it. A mark set after this point is
// followed by a new generation, so the next block takes it.
template <class TSync>
bool TBasicDriveControls<TSync>::Take(TDriveControlValues& Snapshot, bool& RetuneResamplers) {
  const unsigned generation = FGeneration.load(std::memory_order_acquire);
  if (generation == FTaken) return false;
  FSync.Reached(TSyncPoint::spTakeGeneration);
  FTaken = generation;
  RetuneResamplers = FRetuneResamplers.exchange(false, std::memory_order_acq_rel);
  Snapshot = Values();
  return true;
}

extern template class TBasicDriveControls<TNoSyncPoints>;
using TDriveControls = TBasicDriveControls<TNoSyncPoints>;

}  // namespace vb
