// Consistent filter tunings across threads. Parameter and sample-rate
// handlers retune filters (several coefficients each) on their own thread
// while the audio thread runs; a block that took half of an old and half of
// a new coefficient set could run an unstable filter up to infinity. Writers
// mark their retunes; the audio thread copies the coefficients it needs once
// per block and keeps the copy only if no retune ran meanwhile (otherwise it
// keeps the previous block's set and tries again at the next block).
#pragma once

#include <atomic>

namespace vb {

class TTuningGuard {
 public:
  // Writer side (any thread; writers may overlap).
  void BeginWrite() { FBusy.fetch_add(1, std::memory_order_acq_rel); }
  void EndWrite() {
    FGeneration.fetch_add(1, std::memory_order_release);
    FBusy.fetch_sub(1, std::memory_order_release);
  }

  // Reader side (audio thread): Begin answers false while a retune runs;
  // otherwise Generation identifies the tuning, and End answers whether the
  // values read in between belong to it alone.
  bool BeginRead(unsigned& Generation) const {
    if (FBusy.load(std::memory_order_acquire) != 0) return false;
    Generation = FGeneration.load(std::memory_order_acquire);
    return FBusy.load(std::memory_order_acquire) == 0;
  }
  bool EndRead(unsigned Generation) const {
    std::atomic_thread_fence(std::memory_order_acquire);
    return FBusy.load(std::memory_order_relaxed) == 0 && FGeneration.load(std::memory_order_relaxed) == Generation;
  }

 private:
  std::atomic<unsigned> FBusy{0};
  std::atomic<unsigned> FGeneration{0};
};

// Marks one retune for the length of a scope.
class TTuningWrite {
 public:
  explicit TTuningWrite(TTuningGuard& Guard) : FGuard(Guard) { FGuard.BeginWrite(); }
  ~TTuningWrite() { FGuard.EndWrite(); }
  TTuningWrite(const TTuningWrite&) = delete;
  TTuningWrite& operator=(const TTuningWrite&) = delete;

 private:
  TTuningGuard& FGuard;
};

}  // namespace vb
