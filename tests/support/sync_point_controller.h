// Stops a thread at a chosen step of a cross-thread protocol while another
// thread runs, so a test can try each ordering the protocol allows on
// purpose. Protocol classes built with TTestSyncPoints report every step
// they reach (processor/sync_points.h); the test holds a step, waits until
// a thread stands there, lets the other thread act, then releases it.
//
//   TSyncPointController sync;
//   TBasicEditorLink<TTestSyncPoints> link;
//   link.SyncPoints().Controller = &sync;
//   sync.Hold(TSyncPoint::spNotifyLoaded);
//   std::thread notifier([&] { link.Notify(kParamDrive); });
//   sync.AwaitStopped(TSyncPoint::spNotifyLoaded);
//   ... the other thread's operation ...
//   sync.Release(TSyncPoint::spNotifyLoaded);
//
// Waits never time out: a protocol that does not reach a step hangs the
// test, which CTest's time limit reports, rather than passing by chance.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <mutex>

#include "processor/sync_points.h"

namespace vb::test {

class TSyncPointController {
 public:
  // Protocol threads: counts the step and waits there while it is held.
  void Reached(TSyncPoint point) {
    std::unique_lock<std::mutex> lock(FLock);
    State(point).Reached++;
    if (State(point).Held) {
      State(point).Stopped++;
      FChanged.notify_all();
      FChanged.wait(lock, [&] { return !State(point).Held; });
      State(point).Stopped--;
    }
    FChanged.notify_all();
  }

  // Test thread: threads that reach Point from now on stop there.
  void Hold(TSyncPoint point) {
    std::lock_guard<std::mutex> lock(FLock);
    State(point).Held = true;
  }
  // Lets every thread stopped at Point go on; later ones pass.
  void Release(TSyncPoint point) {
    std::lock_guard<std::mutex> lock(FLock);
    State(point).Held = false;
    FChanged.notify_all();
  }
  void AwaitStopped(TSyncPoint point) {
    AwaitUntil([&] { return State(point).Stopped > 0; });
  }
  // Waits until Done (called under the controller's lock) answers true;
  // checked whenever a thread reaches a step or Note is called.
  template <class TDone>
  void AwaitUntil(TDone done) {
    std::unique_lock<std::mutex> lock(FLock);
    FChanged.wait(lock, done);
  }
  // Wakes AwaitUntil after a test thread changed what it waits for.
  void Note() {
    std::lock_guard<std::mutex> lock(FLock);
    FChanged.notify_all();
  }
  // Under the lock (inside AwaitUntil's Done) or once the threads are joined.
  bool StoppedAt(TSyncPoint point) const { return FStates[std::size_t(point)].Stopped > 0; }
  int TimesReached(TSyncPoint point) const { return FStates[std::size_t(point)].Reached; }

 private:
  struct TPointState {
    bool Held = false;
    int Stopped = 0;
    int Reached = 0;
  };
  TPointState& State(TSyncPoint point) { return FStates[std::size_t(point)]; }

  std::mutex FLock;
  std::condition_variable FChanged;
  std::array<TPointState, std::size_t(TSyncPoint::spCount)> FStates{};
};

// The policy protocol classes are built with in tests: no controller, no
// stop.
struct TTestSyncPoints {
  TSyncPointController* Controller = nullptr;
  void Reached(TSyncPoint point) const {
    if (Controller != nullptr) Controller->Reached(point);
  }
};

}  // namespace vb::test
