// Guards the editor link against an editor destroyed under a running
// notification (a use-after-free on the audio thread): each ordering of a
// notification against a detach is tried by stopping one thread before
// each of its atomic operations while the other runs. Also: no notification arrives after the
// detach, and a second editor's link survives the first one's detach.
#include "processor/editor_link.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "support/sync_point_controller.h"

namespace vb {
namespace {

using test::RunHeldBeforeOperation;
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

// A notifier on another thread is held before each of its atomic
// operations in turn while the editor's thread detaches; Detach either
// returns before the notifier reads the editor or waits for it, so the
// editor never hears from it once Detach has returned.
TEST(EditorLinkInterleavings, ADetachAtAnyStepOfANotificationOutlastsIt) {
  for (int step = 0;; ++step) {
    TSyncPointController sync;
    TTestLink link;
    link.SyncPoints().Controller = &sync;
    TCountingEditor editor;
    link.Attach(&editor);
    std::thread window;
    std::atomic<bool> returned{false};
    const bool held = RunHeldBeforeOperation(
        step, [&] { link.Notify(kParamDrive); },
        [&] {
          window = std::thread([&] {
            link.Detach(&editor);
            editor.Gone = true;
            returned = true;
            sync.Note();
          });
          // Either Detach has returned or it waits for the held notifier.
          sync.AwaitUntil([&] { return returned.load() || sync.TimesReached(TSyncPoint::spDetachWaiting) > 0; });
        });
    if (window.joinable()) window.join();
    if (!held) break;
    EXPECT_EQ(editor.AfterDetach.load(), 0) << "notified after Detach returned, detach before operation " << step;
    link.Notify(kParamTrim);
    EXPECT_EQ(editor.AfterDetach.load(), 0);
  }
}

// The editor's thread has notified itself (a knob it turned); then another
// thread's notification stands between reading the editor and calling it
// while the editor is closed: the close waits for that call.
TEST(EditorLinkInterleavings, DetachWaitsForACallInFlightAfterTheEditorsOwnNotifications) {
  TSyncPointController sync;
  TTestLink link;
  link.SyncPoints().Controller = &sync;
  TCountingEditor editor;
  link.Attach(&editor);
  link.Notify(kParamTrim);  // on the editor's thread, finished
  sync.Hold(TSyncPoint::spNotifyLoaded);
  std::thread audio([&] { link.Notify(kParamDrive); });
  sync.AwaitStopped(TSyncPoint::spNotifyLoaded);
  std::atomic<bool> returned{false};
  std::thread window([&] {
    link.Detach(&editor);
    editor.Gone = true;
    returned = true;
    sync.Note();
  });
  sync.AwaitUntil([&] { return returned.load() || sync.TimesReached(TSyncPoint::spDetachWaiting) > 0; });
  EXPECT_FALSE(returned.load()) << "Detach returned with a call in flight";
  sync.Release(TSyncPoint::spNotifyLoaded);
  audio.join();
  window.join();
  EXPECT_EQ(editor.AfterDetach.load(), 0);
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
