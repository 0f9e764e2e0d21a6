#include "processor/editor_link.h"

namespace vb {

void TEditorLink::Attach(IDriveEditor* editor) {
  FEditorThread.store(std::this_thread::get_id(), std::memory_order_seq_cst);
  FEditor.store(editor, std::memory_order_seq_cst);
}

void TEditorLink::Detach(IDriveEditor* editor) {
  IDriveEditor* expected = editor;
  FEditor.compare_exchange_strong(expected, nullptr, std::memory_order_seq_cst);
  // A notification that read the pointer before it was cleared counted
  // itself first: wait until every one on another thread has left. (The
  // editor's own thread may close it from inside one of its own
  // notifications; waiting for those would never end.)
  while (FNotifying.load(std::memory_order_seq_cst) > FEditorThreadDepth) std::this_thread::yield();
}

void TEditorLink::Notify(TUpdate update) {
  FNotifying.fetch_add(1, std::memory_order_seq_cst);
  const bool editorThread = std::this_thread::get_id() == FEditorThread.load(std::memory_order_relaxed);
  if (editorThread) ++FEditorThreadDepth;
  if (IDriveEditor* editor = FEditor.load(std::memory_order_seq_cst)) (editor->*update)();
  if (editorThread) --FEditorThreadDepth;
  FNotifying.fetch_sub(1, std::memory_order_release);
}

}  // namespace vb
