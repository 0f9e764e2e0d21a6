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

// Two parameters' values, the marks, and what the editor's controls show.
struct TPendingRig {
  static constexpr TDriveParameter kParameters[] = {kParamMid, kParamDrive};
  TBasicPendingParameters<TTestSyncPoints> Pending;
  TObservedAtomic<float> Values[2] = {0.0f, 0.0f};
  float Shown[2] = {0, 0};
  void Write(float Value, int Which = 0) {
    Values[Which].store(Value, std::memory_order_relaxed);
    Pending.Mark(kParameters[Which]);
  }
  void Idle() {
    const std::uint32_t marks = Pending.Take();
    for (int which = 0; which < 2; ++which)
      if ((marks & Pending.Bit(kParameters[which])) != 0) Shown[which] = Values[which].load(std::memory_order_relaxed);
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
    EXPECT_EQ(rig.Shown[0], 5) << "idle before operation " << step;
  }
}

// Writes at any step of an idle are shown by that idle or, their marks
// kept, by the next: also the write to a parameter the idle was not about
// to show (a take that reads the marks and clears them in two steps would
// drop its mark).
TEST(PendingParametersInterleavings, AWriteAtAnyStepOfAnIdleIsShownByTheNext) {
  for (int step = 0;; ++step) {
    TPendingRig rig;
    rig.Write(1);
    const bool held = RunHeldBeforeOperation(
        step, [&] { rig.Idle(); },
        [&] {
          rig.Write(2);
          rig.Write(7, 1);
        });
    if (!held) break;
    rig.Idle();
    EXPECT_EQ(rig.Shown[0], 2) << "write before operation " << step;
    EXPECT_EQ(rig.Shown[1], 7) << "write before operation " << step;
    EXPECT_EQ(rig.Pending.Take(), 0u);
  }
}

}  // namespace
}  // namespace vb
