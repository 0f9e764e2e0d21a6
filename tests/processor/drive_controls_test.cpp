// Guards the hand-over of published values to the audio thread: a block
// must see every publication (or it would keep a stale tuning), a block
// without news must not retune, and the resamplers must restart exactly when
// their factor or rate took another value, also one that went back again
// before the next block (as the resampler objects themselves do).
#include "processor/drive_controls.h"

#include <gtest/gtest.h>

namespace vb {
namespace {

TEST(DriveControls, EveryPublicationReachesTheNextSnapshotAndOnlyThen) {
  TDriveControls Controls;
  TDriveControlValues Snapshot;
  bool Retune = false;
  ASSERT_TRUE(Controls.Take(Snapshot, Retune));
  EXPECT_TRUE(Retune);  // the first snapshot tunes everything
  EXPECT_FALSE(Controls.Take(Snapshot, Retune));

  Controls.Publish(kParamMid, 7.5f);
  Controls.PublishTrimStereo(true);
  ASSERT_TRUE(Controls.Take(Snapshot, Retune));
  EXPECT_FALSE(Retune);
  EXPECT_EQ(Snapshot[kParamMid], 7.5f);
  EXPECT_TRUE(Snapshot.TrimStereo);
  EXPECT_EQ(Snapshot, Controls.Values());
  EXPECT_FALSE(Controls.Take(Snapshot, Retune));

  // The same value again is news too (the snapshot is simply equal).
  Controls.Publish(kParamMid, 7.5f);
  EXPECT_TRUE(Controls.Take(Snapshot, Retune));
}

TEST(DriveControls, ResamplersRestartWhenFactorOrRateTookAnotherValue) {
  TDriveControls Controls;
  TDriveControlValues Snapshot;
  bool Retune = false;
  Controls.Publish(kParamOversampling, 1);
  Controls.Take(Snapshot, Retune);

  Controls.Publish(kParamOversampling, 16);
  Controls.Publish(kParamOversampling, 1);  // back before the block
  ASSERT_TRUE(Controls.Take(Snapshot, Retune));
  EXPECT_TRUE(Retune);
  EXPECT_EQ(Snapshot[kParamOversampling], 1.0f);

  Controls.Publish(kParamOversampling, 1);
  Controls.Publish(kParamOversampling, 0.5f);  // also factor 1
  Controls.PublishHostRate(Controls.HostRate());
  ASSERT_TRUE(Controls.Take(Snapshot, Retune));
  EXPECT_FALSE(Retune);

  Controls.PublishHostRate(48000.0f);
  ASSERT_TRUE(Controls.Take(Snapshot, Retune));
  EXPECT_TRUE(Retune);
  EXPECT_EQ(Snapshot.HostRate, 48000.0f);
}

}  // namespace
}  // namespace vb
