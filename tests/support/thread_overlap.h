#pragma once
// Helpers for tests of code shared between threads. Such a test must not
// pass because the threads happened to run one after the other, nor fail
// because of scheduling alone. So its threads start together (TStartLine)
// and it counts the operations that really overlapped an operation of the
// other thread (TOverlapProbe), running until it has seen enough of them.
//
//   TOverlapProbe Audio;                      // the audio thread's blocks
//   Audio thread:  Audio.Enter(); process a block; Audio.Leave();
//   Writer:        const auto Before = Audio.Phase();
//                  SetParameter(...);
//                  if (Audio.Covered(Before)) ++Overlapping;

#include <atomic>
#include <thread>

namespace vb::test {

// Marks the operations of one thread: Phase is odd while one runs.
class TOverlapProbe {
 public:
  void Enter() { FPhase.fetch_add(1, std::memory_order_acq_rel); }
  void Leave() { FPhase.fetch_add(1, std::memory_order_acq_rel); }
  unsigned Phase() const { return FPhase.load(std::memory_order_acquire); }
  // True when one operation ran from before Phase() answered Before until
  // now: whatever the caller did in between overlapped it completely.
  bool Covered(unsigned Before) const { return (Before & 1) != 0 && Phase() == Before; }

 private:
  std::atomic<unsigned> FPhase{0};
};

// Lets a fixed number of threads start their work at the same moment.
class TStartLine {
 public:
  explicit TStartLine(int Threads) : FWaiting(Threads) {}
  void ArriveAndWait() {
    FWaiting.fetch_sub(1, std::memory_order_acq_rel);
    while (FWaiting.load(std::memory_order_acquire) > 0) std::this_thread::yield();
  }

 private:
  std::atomic<int> FWaiting;
};

}  // namespace vb::test
