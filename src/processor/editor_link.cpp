#include "processor/editor_link.h"

#include <thread>

namespace vb {

namespace {
// Notifications the calling thread is running now (a handler of the editor's
// own thread may close it from inside one; waiting for itself would never
// end).
thread_local int tNotifyDepth = 0;
}  // namespace

void TEditorLink::Attach(IDriveEditor* editor) { FEditor.store(editor, std::memory_order_seq_cst); }

void TEditorLink::Detach(IDriveEditor* editor) {
  IDriveEditor* expected = editor;
  FEditor.compare_exchange_strong(expected, nullptr, std::memory_order_seq_cst);
  // A notification that read the pointer before it was cleared counted
  // itself first: wait until every such one has left.
  while (FNotifying.load(std::memory_order_seq_cst) > tNotifyDepth) std::this_thread::yield();
}

void TEditorLink::Notify(TUpdate update) {
  FNotifying.fetch_add(1, std::memory_order_seq_cst);
  ++tNotifyDepth;
  if (IDriveEditor* editor = FEditor.load(std::memory_order_seq_cst)) (editor->*update)();
  --tNotifyDepth;
  FNotifying.fetch_sub(1, std::memory_order_release);
}

}  // namespace vb
