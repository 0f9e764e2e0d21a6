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
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

#include "processor/sync_points.h"

namespace vb::test {

class TSyncPointController {
 public:
  // Protocol threads: counts the step and waits there while it is held.
  void Reached(TSyncPoint Point) {
    std::unique_lock<std::mutex> lock(FLock);
    State(Point).Reached++;
    if (State(Point).Held && (State(Point).HoldAt == 0 || State(Point).HoldAt == State(Point).Reached)) {
      State(Point).Stopped++;
      FChanged.notify_all();
      FChanged.wait(lock, [&] { return !State(Point).Held; });
      State(Point).Stopped--;
    }
    FChanged.notify_all();
  }

  // Test thread: threads that reach Point from now on stop there.
  void Hold(TSyncPoint Point) {
    std::lock_guard<std::mutex> lock(FLock);
    State(Point).Held = true;
  }
  // Test thread: only the thread that reaches Point for the Nth time (from
  // 1, counting every reach so far) stops there.
  void HoldAt(TSyncPoint Point, int Nth) {
    std::lock_guard<std::mutex> lock(FLock);
    State(Point).Held = true;
    State(Point).HoldAt = Nth;
  }
  // Lets every thread stopped at Point go on; later ones pass.
  void Release(TSyncPoint Point) {
    std::lock_guard<std::mutex> lock(FLock);
    State(Point).Held = false;
    FChanged.notify_all();
  }
  void AwaitStopped(TSyncPoint Point) {
    AwaitUntil([&] { return State(Point).Stopped > 0; });
  }
  // Waits until Done (called under the controller's lock) answers true;
  // checked whenever a thread reaches a step or Note is called.
  template <class TDone>
  void AwaitUntil(TDone Done) {
    std::unique_lock<std::mutex> lock(FLock);
    FChanged.wait(lock, Done);
  }
  // Wakes AwaitUntil after a test thread changed what it waits for.
  void Note() {
    std::lock_guard<std::mutex> lock(FLock);
    FChanged.notify_all();
  }
  // Under the lock (inside AwaitUntil's Done) or once the threads are joined.
  bool StoppedAt(TSyncPoint Point) const { return FStates[std::size_t(Point)].Stopped > 0; }
  int TimesReached(TSyncPoint Point) const { return FStates[std::size_t(Point)].Reached; }

 private:
  struct TPointState {
    bool Held = false;
    int HoldAt = 0;  // 0: every reach
    int Stopped = 0;
    int Reached = 0;
  };
  TPointState& State(TSyncPoint Point) { return FStates[std::size_t(Point)]; }

  std::mutex FLock;
  std::condition_variable FChanged;
  std::array<TPointState, std::size_t(TSyncPoint::spCount)> FStates{};
};

// The controller that the atomics of TObservedAtomic report to from the
// calling thread; none (nullptr) on threads not under test.
inline TSyncPointController*& ObservingController() {
  thread_local TSyncPointController* controller = nullptr;
  return controller;
}

// A protocol's atomic in a test build: every operation reports
// spAtomicOperation to the calling thread's controller before it runs.
template <class T>
class TObservedAtomic {
 public:
  TObservedAtomic() = default;
  TObservedAtomic(T value) : FValue(value) {}  // NOLINT: as std::atomic converts

  T load(std::memory_order Order = std::memory_order_seq_cst) const {
    Step();
    return FValue.load(Order);
  }
  void store(T Value, std::memory_order Order = std::memory_order_seq_cst) {
    Step();
    FValue.store(Value, Order);
  }
  T exchange(T Value, std::memory_order Order = std::memory_order_seq_cst) {
    Step();
    return FValue.exchange(Value, Order);
  }
  bool compare_exchange_strong(T& Expected, T Desired, std::memory_order Order = std::memory_order_seq_cst) {
    Step();
    return FValue.compare_exchange_strong(Expected, Desired, Order);
  }
  template <class U>
  T fetch_add(U Value, std::memory_order Order = std::memory_order_seq_cst) {
    Step();
    return FValue.fetch_add(Value, Order);
  }
  template <class U>
  T fetch_sub(U Value, std::memory_order Order = std::memory_order_seq_cst) {
    Step();
    return FValue.fetch_sub(Value, Order);
  }
  template <class U>
  T fetch_or(U Value, std::memory_order Order = std::memory_order_seq_cst) {
    Step();
    return FValue.fetch_or(Value, Order);
  }
  template <class U>
  T fetch_and(U Value, std::memory_order Order = std::memory_order_seq_cst) {
    Step();
    return FValue.fetch_and(Value, Order);
  }

 private:
  static void Step() {
    if (TSyncPointController* controller = ObservingController()) controller->Reached(TSyncPoint::spAtomicOperation);
  }
  std::atomic<T> FValue;
};

// The policy protocol classes are built with in tests: no controller, no
// stop; atomics that report to the thread's observing controller.
struct TTestSyncPoints {
  TSyncPointController* Controller = nullptr;
  void Reached(TSyncPoint Point) const {
    if (Controller != nullptr) Controller->Reached(Point);
  }
  template <class T>
  using TAtomic = TObservedAtomic<T>;
};

// Runs Subject on a thread of its own, held just before its Step-th atomic
// operation (from 0) while Between runs on the calling thread, then lets it
// finish. Answers false, without running Between, when Subject finished
// with fewer operations: a caller counts Step up from 0 until then, and so
// tries Between at every point of Subject.
template <class TSubject, class TBetween>
bool RunHeldBeforeOperation(int Step, TSubject Subject, TBetween Between) {
  TSyncPointController sync;
  sync.HoldAt(TSyncPoint::spAtomicOperation, Step + 1);
  std::atomic<bool> finished{false};
  std::thread thread([&] {
    ObservingController() = &sync;
    Subject();
    ObservingController() = nullptr;
    finished = true;
    sync.Note();
  });
  sync.AwaitUntil([&] { return sync.StoppedAt(TSyncPoint::spAtomicOperation) || finished.load(); });
  const bool held = !finished.load();
  if (held) Between();
  sync.Release(TSyncPoint::spAtomicOperation);
  thread.join();
  return held;
}

}  // namespace vb::test
