// Guards the published parameter values against a change the audio thread
// never takes: a writer and the audio thread's Take are each stopped before
// every one of their atomic operations while the other runs, and afterwards
// the values the audio thread runs with are the writer's, with the
// resamplers retuned for a new oversampling factor, and only for a new
// factor or rate.
#include <thread>

#include <gtest/gtest.h>

#include "processor/drive_controls.h"
#include "support/sync_point_controller.h"

namespace vb {
namespace {

using test::RunHeldBeforeOperation;
using test::TTestSyncPoints;
using TTestControls = TBasicDriveControls<TTestSyncPoints>;

// The audio thread's side: every snapshot it takes, applied.
struct TAudioSide {
  TDriveControlValues Applied;
  bool Retuned = false;
  int RetunedFactor = 0;
  void Block(TTestControls& Controls) {
    TDriveControlValues now;
    bool retune = false;
    if (!Controls.Take(now, retune)) return;
    Applied = now;
    if (retune) {
      Retuned = true;
      RetunedFactor = OversamplingFactor(now[kParamOversampling]);
    }
  }
};

// Every operation of a write on a shared atomic is a point at which a block
// may run; a block at any of them, then one after the write, runs with the
// written value, and a new oversampling factor comes with a retune at that
// factor.
TEST(DriveControlsInterleavings, ABlockAtAnyStepOfAWriteLosesNothing) {
  for (int step = 0;; ++step) {
    TTestControls controls;
    TAudioSide audio;
    audio.Block(controls);
    const bool held = RunHeldBeforeOperation(
        step, [&] { controls.Publish(kParamOversampling, 8); }, [&] { audio.Block(controls); });
    if (!held) break;
    audio.Block(controls);
    EXPECT_EQ(audio.Applied[kParamOversampling], 8) << "block before operation " << step;
    EXPECT_EQ(audio.RetunedFactor, 8) << "block before operation " << step;
  }
}

// The other way round: writes at any step of a block are taken by that
// block or the next, and the resamplers end retuned for the factor the
// block runs with (a mark taken apart from its values would retune them
// for the old factor).
TEST(DriveControlsInterleavings, AWriteAtAnyStepOfABlockIsTakenByTheNext) {
  int steps = 0;
  for (;; ++steps) {
    TTestControls controls;
    TAudioSide audio;
    audio.Block(controls);
    controls.Publish(kParamDrive, 10);
    const bool held = RunHeldBeforeOperation(
        steps, [&] { audio.Block(controls); },
        [&] {
          controls.Publish(kParamDrive, 70);
          controls.Publish(kParamOversampling, 16);
        });
    if (!held) break;
    audio.Block(controls);
    EXPECT_EQ(audio.Applied[kParamDrive], 70) << "write before operation " << steps;
    EXPECT_EQ(audio.Applied[kParamOversampling], 16) << "write before operation " << steps;
    EXPECT_EQ(audio.RetunedFactor, 16) << "write before operation " << steps;
    TDriveControlValues unchanged;
    bool retune = false;
    EXPECT_FALSE(controls.Take(unchanged, retune)) << "nothing new after the writer";
  }
  EXPECT_GT(steps, kParamCount) << "a block reads every value";
}

// The resamplers restart from silence (a dropout) only for a new factor or
// rate: not when a host announces the same rate again on resume, nor for
// an oversampling value that maps to the factor already running.
TEST(DriveControls, OnlyANewFactorOrRateRestartsTheResamplers) {
  TTestControls controls;
  TAudioSide audio;
  controls.PublishHostRate(48000);
  controls.Publish(kParamOversampling, 8);
  audio.Block(controls);
  ASSERT_TRUE(audio.Retuned);
  audio.Retuned = false;
  controls.PublishHostRate(48000);
  audio.Block(controls);
  EXPECT_FALSE(audio.Retuned) << "the same rate again";
  ASSERT_EQ(OversamplingFactor(12), 8);
  controls.Publish(kParamOversampling, 12);
  audio.Block(controls);
  EXPECT_FALSE(audio.Retuned) << "another value of the same factor";
  EXPECT_EQ(audio.Applied[kParamOversampling], 12);
  controls.PublishHostRate(96000);
  audio.Block(controls);
  EXPECT_TRUE(audio.Retuned);
}

}  // namespace
}  // namespace vb
