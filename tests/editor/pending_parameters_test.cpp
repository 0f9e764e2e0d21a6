// Guards the editor's pending marks against a lost redraw: a writer and the
// editor's idle are each stopped before every one of their atomic
// operations while the other side runs; the control always ends on the
// writer's last value.
#include "editor/pending_parameters.h"

#include <gtest/gtest.h>

#include "support/sync_point_controller.h"

namespace vb {
namespace {

using test::RunHeldBeforeOperation;
using test::TObservedAtomic;
using test::TTestSyncPoints;

// A parameter's value, the marks, and what the editor's control shows.
struct TPendingRig {
  TBasicPendingParameters<TTestSyncPoints> Pending;
  TObservedAtomic<float> Value{0};
  float Shown = 0;
  void Write(float value) {
    Value.store(value, std::memory_order_relaxed);
    Pending.Mark(kParamMid);
  }
  void Idle() {
    if ((Pending.Take() & Pending.Bit(kParamMid)) != 0) Shown = Value.load(std::memory_order_relaxed);
  }
};

// An idle at any step of a write, then one after it, shows the value.
TEST(PendingParametersInterleavings, AnIdleAtAnyStepOfAWriteLosesNothing) {
  for (int step = 0;; ++step) {
    TPendingRig rig;
    if (!RunHeldBeforeOperation(
            step, [&] { rig.Write(5); }, [&] { rig.Idle(); }))
      break;
    rig.Idle();
    EXPECT_EQ(rig.Shown, 5) << "idle before operation " << step;
  }
}

// A write at any step of an idle is shown by that idle or, its mark kept,
// by the next (a take that reads the marks and clears them in two steps
// would drop it).
TEST(PendingParametersInterleavings, AWriteAtAnyStepOfAnIdleIsShownByTheNext) {
  for (int step = 0;; ++step) {
    TPendingRig rig;
    rig.Write(1);
    if (!RunHeldBeforeOperation(
            step, [&] { rig.Idle(); }, [&] { rig.Write(2); }))
      break;
    rig.Idle();
    EXPECT_EQ(rig.Shown, 2) << "write before operation " << step;
    EXPECT_FALSE(rig.Pending.IsMarked(kParamMid));
  }
}

}  // namespace
}  // namespace vb
