// Guards the editor link against an editor destroyed under a running
// notification (a use-after-free on the audio thread): each ordering of a
// notification against a detach is tried by stopping one thread between two
// steps while the other runs. Also: no notification arrives after the
// detach, and a second editor's link survives the first one's detach.
#include "processor/editor_link.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "support/sync_point_controller.h"

namespace vb {
namespace {

using test::TSyncPointController;
using test::TTestSyncPoints;
using TTestLink = TBasicEditorLink<TTestSyncPoints>;

// Counts notifications; knows whether it has been detached (as a destroyed
// window would be).
class TCountingEditor : public IDriveEditor {
 public:
  void ParameterChanged(TDriveParameter) override {
    ++Notifications;
    if (Gone.load()) ++AfterDetach;
  }
  std::atomic<int> Notifications{0};
  std::atomic<int> AfterDetach{0};
  std::atomic<bool> Gone{false};
};

// A notifier on another thread is stopped at Step; the editor's thread then
// detaches. Answers whether Detach returned while the notifier stood there
// (false: it waited), and the editor's count once both are done.
struct TDetachOutcome {
  bool ReturnedWhileStopped;
  int Notifications;
  int AfterDetach;
};

TDetachOutcome DetachWhileNotifierStopsAt(TSyncPoint step) {
  TSyncPointController sync;
  TTestLink link;
  link.SyncPoints().Controller = &sync;
  TCountingEditor editor;
  link.Attach(&editor);
  sync.Hold(step);
  sync.Hold(TSyncPoint::spDetachWaiting);
  std::thread notifier([&] { link.Notify(kParamDrive); });
  sync.AwaitStopped(step);
  std::atomic<bool> returned{false};
  std::thread window([&] {
    link.Detach(&editor);
    editor.Gone = true;
    returned = true;
    sync.Note();
  });
  // Either Detach waits for the stopped notifier, or it has returned.
  sync.AwaitUntil([&] { return sync.StoppedAt(TSyncPoint::spDetachWaiting) || returned.load(); });
  const bool returnedWhileStopped = returned.load();
  sync.Release(TSyncPoint::spDetachWaiting);
  sync.Release(step);
  notifier.join();
  window.join();
  link.Notify(kParamTrim);
  return {returnedWhileStopped, editor.Notifications.load(), editor.AfterDetach.load()};
}

TEST(EditorLinkInterleavings, DetachWaitsForANotificationThatHasCountedItself) {
  // Counted, editor not yet read: the detach must wait, and the notifier
  // then reads the cleared editor.
  const TDetachOutcome counted = DetachWhileNotifierStopsAt(TSyncPoint::spNotifyCounted);
  EXPECT_FALSE(counted.ReturnedWhileStopped);
  EXPECT_EQ(counted.Notifications, 0);
  // Editor read, not yet called: the detach must wait until the call ends.
  const TDetachOutcome loaded = DetachWhileNotifierStopsAt(TSyncPoint::spNotifyLoaded);
  EXPECT_FALSE(loaded.ReturnedWhileStopped);
  EXPECT_EQ(loaded.Notifications, 1);
  EXPECT_EQ(loaded.AfterDetach, 0) << "a notification ran after Detach returned";
}

TEST(EditorLinkInterleavings, ANotificationAfterTheEditorIsClearedReachesNoOne) {
  TSyncPointController sync;
  TTestLink link;
  link.SyncPoints().Controller = &sync;
  TCountingEditor editor;
  link.Attach(&editor);
  sync.Hold(TSyncPoint::spDetachCleared);
  std::thread window([&] { link.Detach(&editor); });
  sync.AwaitStopped(TSyncPoint::spDetachCleared);
  std::thread([&] { link.Notify(kParamDrive); }).join();
  sync.Release(TSyncPoint::spDetachCleared);
  window.join();
  EXPECT_EQ(editor.Notifications.load(), 0);
  EXPECT_FALSE(link.Attached());
}

// An editor replaced by a newer one detaches without cutting the newer one
// off; an editor's own notification on its thread may detach it without
// waiting for itself.
TEST(EditorLink, DetachLeavesANewerEditorAndNeverWaitsForItsOwnThread) {
  TEditorLink link;
  TCountingEditor first;
  struct TClosingEditor : TCountingEditor {
    TEditorLink* Link = nullptr;
    void ParameterChanged(TDriveParameter) override { Link->Detach(this); }
  } second;
  second.Link = &link;
  link.Attach(&first);
  link.Attach(&second);
  link.Detach(&first);
  EXPECT_TRUE(link.Attached());
  link.Notify(kParamDrive);  // returns: no wait for itself
  EXPECT_EQ(first.Notifications.load(), 0);
  EXPECT_FALSE(link.Attached());
}

}  // namespace
}  // namespace vb
