// The drive's open editor as the parameter handlers reach it. Handlers run
// on whichever thread set a parameter, the host's audio thread included,
// while the host may close the editor on its user-interface thread at the
// same moment; the editor must not go away under a running notification.
//
// Notify costs a few atomic operations, allocates nothing and never waits,
// so the audio thread may call it. Detach, on the editor's thread, waits
// for notifications that other threads are running at that moment; an
// editor's update on another thread only marks a parameter, so the wait is
// a few instructions long.
#pragma once

#include <atomic>
#include <thread>

#include "processor/drive_editor.h"

namespace vb {

class TEditorLink {
 public:
  using TUpdate = void (IDriveEditor::*)();

  // Editor's thread: notifications reach Editor from now on.
  void Attach(IDriveEditor* editor);
  // Editor's thread: once this returns, no notification reaches Editor
  // (nothing changes when another editor was attached since).
  void Detach(IDriveEditor* editor);
  // Any thread: calls Update on the attached editor, if any.
  void Notify(TUpdate update);
  bool Attached() const { return FEditor.load(std::memory_order_acquire) != nullptr; }

 private:
  std::atomic<IDriveEditor*> FEditor{nullptr};
  // The thread that attached the editor, and how many notifications it is
  // running now (only that thread touches the count).
  std::atomic<std::thread::id> FEditorThread;
  int FEditorThreadDepth = 0;
  // Notifications running now, on every thread.
  std::atomic<int> FNotifying{0};
};

}  // namespace vb
