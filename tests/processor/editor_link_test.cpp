// Guards the editor link against an editor destroyed under a running
// update: detaching waits for an update another thread is running, none
// arrives afterwards, and a second editor's link survives the first one's
// detach.
#include "processor/editor_link.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace vb {
namespace {

// Counts updates; an update can be held until the test lets it go.
class THeldEditor : public IDriveEditor {
 public:
  void UpdateInput() override {
    ++Updates;
    Inside = true;
    while (Hold.load()) std::this_thread::yield();
    Finished = true;
  }
  void UpdateDrive() override { ++Updates; }
  void UpdateTrim() override {}
  void UpdateCurveForm() override {}
  void UpdateHiPass() override {}
  void UpdateFreq() override {}
  void UpdateLoPass() override {}
  void UpdateLow() override {}
  void UpdateMid() override {}
  void UpdateHigh() override {}
  void UpdatePres() override {}
  void UpdateDryWet() override {}
  void UpdateOutput() override {}
  void UpdatePower() override {}
  void UpdateStereo() override {}
  void UpdateAsymmetric() override {}
  void UpdateOversampling() override {}

  std::atomic<int> Updates{0};
  std::atomic<bool> Hold{false};
  std::atomic<bool> Inside{false};
  std::atomic<bool> Finished{false};
};

TEST(EditorLink, DetachWaitsForAnUpdateRunningOnAnotherThread) {
  TEditorLink link;
  THeldEditor editor;
  editor.Hold = true;
  std::atomic<bool> attached{false}, detached{false};
  // The editor's thread attaches, and detaches while the writer's update runs.
  std::thread window([&] {
    link.Attach(&editor);
    attached = true;
    while (!editor.Inside.load()) std::this_thread::yield();
    link.Detach(&editor);
    detached = true;
  });
  std::thread writer([&] {
    while (!attached.load()) std::this_thread::yield();
    link.Notify(&IDriveEditor::UpdateInput);
  });
  while (!editor.Inside.load()) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(detached.load()) << "detached while the update still ran";
  editor.Hold = false;
  window.join();
  writer.join();
  EXPECT_TRUE(editor.Finished.load());
  link.Notify(&IDriveEditor::UpdateDrive);
  EXPECT_EQ(editor.Updates.load(), 1) << "no update after the detach";
  EXPECT_FALSE(link.Attached());
}

// An editor replaced by a newer one detaches without cutting the newer one
// off; an editor's own update on its thread may detach it without waiting
// for itself.
TEST(EditorLink, DetachLeavesANewerEditorAndNeverWaitsForItsOwnThread) {
  TEditorLink link;
  THeldEditor first;
  struct TClosingEditor : THeldEditor {
    TEditorLink* Link = nullptr;
    void UpdateDrive() override { Link->Detach(this); }
  } second;
  second.Link = &link;
  link.Attach(&first);
  link.Attach(&second);
  link.Detach(&first);
  EXPECT_TRUE(link.Attached());
  link.Notify(&IDriveEditor::UpdateDrive);  // returns: no wait for itself
  EXPECT_EQ(first.Updates.load(), 0);
  EXPECT_FALSE(link.Attached());
}

}  // namespace
}  // namespace vb
