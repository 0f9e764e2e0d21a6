// Guards the published parameter values against a change the audio thread
// never takes: a writer and the audio thread's Take are each stopped
// between their two steps while the other runs, and afterwards the values
// the audio thread runs with are the writer's, with the resamplers retuned
// for a new oversampling factor.
#include <thread>

#include <gtest/gtest.h>

#include "processor/drive_controls.h"
#include "support/sync_point_controller.h"

namespace vb {
namespace {

using test::TSyncPointController;
using test::TTestSyncPoints;
using TTestControls = TBasicDriveControls<TTestSyncPoints>;

// The audio thread's side: every snapshot it takes, applied.
struct TAudioSide {
  TDriveControlValues Applied;
  bool Retuned = false;
  int RetunedFactor = 0;
  void Block(TTestControls& controls) {
    TDriveControlValues now;
    bool retune = false;
    if (!controls.Take(now, retune)) return;
    Applied = now;
    if (retune) {
      Retuned = true;
      RetunedFactor = OversamplingFactor(now[kParamOversampling]);
    }
  }
};

// A block runs while the writer stands between its two steps, then one
// after it has finished: the last one runs with Value.
TAudioSide BlockBetweenPublishSteps(TDriveParameter parameter, float value) {
  TSyncPointController sync;
  TTestControls controls;
  TAudioSide audio;
  audio.Block(controls);
  controls.SyncPoints().Controller = &sync;
  sync.Hold(TSyncPoint::spPublishStored);
  std::thread writer([&] { controls.Publish(parameter, value); });
  sync.AwaitStopped(TSyncPoint::spPublishStored);
  audio.Block(controls);
  sync.Release(TSyncPoint::spPublishStored);
  writer.join();
  audio.Block(controls);
  return audio;
}

TEST(DriveControlsInterleavings, ABlockBetweenAWritersTwoStepsLosesNothing) {
  EXPECT_EQ(BlockBetweenPublishSteps(kParamDrive, 60).Applied[kParamDrive], 60);
  const TAudioSide oversampled = BlockBetweenPublishSteps(kParamOversampling, 8);
  EXPECT_EQ(oversampled.Applied[kParamOversampling], 8);
  EXPECT_TRUE(oversampled.Retuned);
  EXPECT_EQ(oversampled.RetunedFactor, 8);
}

TEST(DriveControlsInterleavings, AWriteBetweenABlocksTwoStepsIsTakenAgainNextBlock) {
  TSyncPointController sync;
  TTestControls controls;
  TAudioSide audio;
  audio.Block(controls);
  controls.Publish(kParamDrive, 10);
  controls.SyncPoints().Controller = &sync;
  sync.Hold(TSyncPoint::spTakeGeneration);
  std::thread block([&] { audio.Block(controls); });
  sync.AwaitStopped(TSyncPoint::spTakeGeneration);
  controls.SyncPoints().Controller = nullptr;  // the writer passes freely
  controls.Publish(kParamDrive, 70);
  controls.Publish(kParamOversampling, 16);
  sync.Release(TSyncPoint::spTakeGeneration);
  block.join();
  audio.Retuned = false;
  audio.Block(controls);
  EXPECT_EQ(audio.Applied[kParamDrive], 70);
  EXPECT_EQ(audio.Applied[kParamOversampling], 16);
  // The mark went with the stopped block or comes with this one; either way
  // the resamplers run at 16 after a retune.
  TDriveControlValues unchanged;
  bool retune = false;
  EXPECT_FALSE(controls.Take(unchanged, retune)) << "nothing new after the writer";
}

}  // namespace
}  // namespace vb
