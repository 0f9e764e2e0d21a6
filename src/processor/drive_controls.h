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

#include <array>
#include <atomic>

#include "processor/drive_parameter.h"

namespace vb {

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
class alignas(64) TDriveControls {
 public:
  TDriveControls();

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

 private:
  std::array<std::atomic<float>, kParamCount> FParameters;
  std::atomic<float> FHostRate{44100.0f};
  std::atomic<bool> FTrimStereo{false};
  // Set when the oversampling factor or the host rate took a different
  // value: the resamplers restart from silence at the next block, however
  // often the value went back and forth in between.
  std::atomic<bool> FRetuneResamplers{true};
  std::atomic<unsigned> FGeneration{0};
  // The generation of the last snapshot; audio thread only.
  unsigned FTaken = ~0u;
};

}  // namespace vb
