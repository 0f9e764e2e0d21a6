// Guards the editor's pending marks against a lost redraw: a writer stopped
// between storing a value and marking it, and the editor stopped between
// taking the marks and reading the values, while the other side runs; the
// control always ends on the writer's last value.
#include "editor/pending_parameters.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "support/sync_point_controller.h"

namespace vb {
namespace {

using test::TSyncPointController;
using test::TTestSyncPoints;

// A parameter's value, the marks, and what the editor's control shows.
struct TPendingRig {
  TBasicPendingParameters<TTestSyncPoints> Pending;
  std::atomic<float> Value{0};
  float Shown = 0;
  void Write(float value) {
    Value.store(value, std::memory_order_relaxed);
    Pending.Mark(kParamMid);
  }
  void Idle() {
    if ((Pending.Take() & Pending.Bit(kParamMid)) != 0) Shown = Value.load(std::memory_order_relaxed);
  }
};

TEST(PendingParametersInterleavings, AnIdleBetweenAWritersStoreAndMarkLosesNothing) {
  TSyncPointController sync;
  TPendingRig rig;
  rig.Pending.SyncPoints().Controller = &sync;
  sync.Hold(TSyncPoint::spMarking);
  std::thread writer([&] { rig.Write(5); });
  sync.AwaitStopped(TSyncPoint::spMarking);
  rig.Idle();  // the value is stored, not yet marked
  sync.Release(TSyncPoint::spMarking);
  writer.join();
  rig.Idle();
  EXPECT_EQ(rig.Shown, 5);
}

TEST(PendingParametersInterleavings, AMarkWhileTheEditorShowsStaysForTheNextIdle) {
  TSyncPointController sync;
  TPendingRig rig;
  rig.Write(1);
  rig.Pending.SyncPoints().Controller = &sync;
  sync.Hold(TSyncPoint::spMarksTaken);
  std::thread editor([&] { rig.Idle(); });
  sync.AwaitStopped(TSyncPoint::spMarksTaken);
  rig.Pending.SyncPoints().Controller = nullptr;
  rig.Write(2);
  sync.Release(TSyncPoint::spMarksTaken);
  editor.join();
  EXPECT_TRUE(rig.Pending.IsMarked(kParamMid)) << "the mark made after the take was lost";
  rig.Idle();
  EXPECT_EQ(rig.Shown, 2);
  EXPECT_FALSE(rig.Pending.IsMarked(kParamMid));
}

}  // namespace
}  // namespace vb
