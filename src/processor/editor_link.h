// The drive's open editor as the parameter handlers reach it. Handlers run
// on whichever thread set a parameter, the host's audio thread included,
// while the host may close the editor on its user-interface thread at the
// same moment; the editor must not go away under a running notification.
//
// Notify costs a few atomic operations, allocates nothing and never waits,
// so the audio thread may call it. Detach, on the editor's thread, waits
// for notifications that other threads are running at that moment; an
// editor's notification on another thread only marks a parameter, so the
// wait is a few instructions long.
//
// The protocol: a notification counts itself as running before it reads the
// editor, and Detach clears the editor before it reads the count. So either
// the notification reads the cleared editor, or Detach sees it counted and
// waits until it has left. TSync marks the gaps (sync_points.h).
#pragma once

#include <atomic>
#include <thread>

#include "processor/drive_editor.h"
#include "processor/sync_points.h"

namespace vb {

template <class TSync>
class TBasicEditorLink {
 public:
  // Editor's thread: notifications reach Editor from now on.
  void Attach(IDriveEditor* Editor);
  // Editor's thread: once this returns, no notification reaches Editor
  // (nothing changes when another editor was attached since).
  void Detach(IDriveEditor* Editor);
  // Any thread: tells the attached editor, if any, that Parameter changed.
  void Notify(TDriveParameter Parameter);
  bool Attached() const { return FEditor.load(std::memory_order_acquire) != nullptr; }

  // Tests only: the policy that observes the protocol's steps.
  TSync& SyncPoints() { return FSync; }

 private:
  template <class T>
  using TAtomic = typename TSync::template TAtomic<T>;

  TAtomic<IDriveEditor*> FEditor{nullptr};
  // The thread that attached the editor, and how many notifications it is
  // running now (only that thread touches the count).
  TAtomic<std::thread::id> FEditorThread;
  int FEditorThreadDepth = 0;
  // Notifications running now, on every thread.
  TAtomic<int> FNotifying{0};
  [[no_unique_address]] TSync FSync;
};

template <class TSync>
void TBasicEditorLink<TSync>::Attach(IDriveEditor* Editor) {
  FEditorThread.store(std::this_thread::get_id(), std::memory_order_seq_cst);
  FEditor.store(Editor, std::memory_order_seq_cst);
}

template <class TSync>
void TBasicEditorLink<TSync>::Detach(IDriveEditor* Editor) {
  IDriveEditor* expected = Editor;
  FEditor.compare_exchange_strong(expected, nullptr, std::memory_order_seq_cst);
  FSync.Reached(TSyncPoint::spDetachCleared);
  // A notification that read the pointer before it was cleared counted
  // itself first: wait until every one on another thread has left. (The
  // editor's own thread may close it from inside one of its own
  // notifications; waiting for those would never end.)
  while (FNotifying.load(std::memory_order_seq_cst) > FEditorThreadDepth) {
    FSync.Reached(TSyncPoint::spDetachWaiting);
    std::this_thread::yield();
  }
}

template <class TSync>
void TBasicEditorLink<TSync>::Notify(TDriveParameter Parameter) {
  FNotifying.fetch_add(1, std::memory_order_seq_cst);
  const bool editorThread = std::this_thread::get_id() == FEditorThread.load(std::memory_order_relaxed);
  if (editorThread) ++FEditorThreadDepth;
  FSync.Reached(TSyncPoint::spNotifyCounted);
  if (IDriveEditor* editor = FEditor.load(std::memory_order_seq_cst)) {
    FSync.Reached(TSyncPoint::spNotifyLoaded);
    editor->ParameterChanged(Parameter);
  }
  if (editorThread) --FEditorThreadDepth;
  FNotifying.fetch_sub(1, std::memory_order_release);
}

extern template class TBasicEditorLink<TNoSyncPoints>;
using TEditorLink = TBasicEditorLink<TNoSyncPoints>;

}  // namespace vb
