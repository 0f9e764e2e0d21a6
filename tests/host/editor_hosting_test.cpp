// Guards against editor hosting that real Linux hosts break: a rectangle too
// small before the editor opens, an editor never driven because no update
// was pending, re-entrant idle calls that run the editor inside itself,
// editors destroyed under their own feet when a host closes them from a
// callback, a failed embedding that still answers 1 and keeps a window, and
// a module closed with its editor still reading it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/module_fixture.h"

namespace vb::test {
namespace {

// An editor whose idle, embedding and destruction are scripted by the test.
class TScriptedEditor : public TVSTEditor {
 public:
  struct TScript {
    std::vector<std::string> Log;
    bool Embeds = true;
    std::function<void()> OnIdle;
    std::function<void()> OnAttach;
  };
  explicit TScriptedEditor(TScript& Script) : FScript(Script) {}
  ~TScriptedEditor() override { FScript.Log.push_back("destroyed"); }
  std::int32_t ClientWidth() const override { return 865; }
  std::int32_t ClientHeight() const override { return 150; }
  void AttachToParent(void*) override {
    FScript.Log.push_back("attached");
    if (FScript.OnAttach) FScript.OnAttach();
  }
  bool Embedded() const override { return FScript.Embeds; }
  void Idle() override {
    FScript.Log.push_back("idle");
    if (FScript.OnIdle) FScript.OnIdle();
    FScript.Log.push_back("idle done");
  }

 private:
  TScript& FScript;
};

class TEditorHosting : public TModuleFixture {
 protected:
  void SetUp() override {
    TModuleFixture::SetUp();
    FModule->SetEditorFormClass(nullptr);
    FModule->OnEditOpen = [this](TCustomVSTModule&, std::unique_ptr<TVSTEditor>& Editor, void*) {
      Editor = std::make_unique<TScriptedEditor>(FScript);
    };
  }
  std::intptr_t Open() { return Dispatch(effEditOpen, 0, 0, &FParent); }

  TScriptedEditor::TScript FScript;
  int FParent = 0;
};

TEST_F(TEditorHosting, TheRectangleHasTheEditorsSizeBeforeTheEditorOpens) {
  FModule->OnEditOpen = nullptr;
  FModule->SetEditorFormClass({[](TCustomVSTModule& Owner) -> std::unique_ptr<TVSTEditor> {
                                 return std::make_unique<TFakeEditor>(*static_cast<TTestModule&>(Owner).Log);
                               },
                               865, 150});
  ERect* rect = nullptr;
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ((std::vector<int>{rect->Top, rect->Left, rect->Bottom, rect->Right}), (std::vector<int>{0, 0, 150, 865}));
  EXPECT_EQ(FModule->EditorForm(), nullptr) << "asking the size builds no window";
  EXPECT_EQ(Open(), 1);
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ((std::vector<int>{rect->Bottom, rect->Right}), (std::vector<int>{150, 865}));
  Dispatch(effEditClose);
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ((std::vector<int>{rect->Bottom, rect->Right}), (std::vector<int>{150, 865}));
}

TEST_F(TEditorHosting, EveryIdleDrivesTheOpenEditorBesideTheUpdateEvent) {
  int updateEvents = 0;
  FModule->OnEditIdle = [&](TCustomVSTModule&) { ++updateEvents; };
  Dispatch(effEditIdle);  // nothing open: nothing to drive
  ASSERT_EQ(Open(), 1);
  Dispatch(effEditIdle);
  Dispatch(effEditIdle);
  FModule->EditorPostUpdate();
  Dispatch(effEditIdle);
  EXPECT_EQ(std::count(FScript.Log.begin(), FScript.Log.end(), "idle"), 3);
  EXPECT_EQ(updateEvents, 1) << "the update event still needs a pending update";
  Dispatch(effEditClose);
  Dispatch(effEditIdle);
  EXPECT_EQ(std::count(FScript.Log.begin(), FScript.Log.end(), "idle"), 3);
}

TEST_F(TEditorHosting, AReentrantIdleReturnsAtOnce) {
  ASSERT_EQ(Open(), 1);
  int nested = 0;
  // A host that idles from inside its answer to one of our callbacks.
  FScript.OnIdle = [&] {
    if (nested++ < 3) Dispatch(effEditIdle);
  };
  Dispatch(effEditIdle);
  EXPECT_EQ(FScript.Log, (std::vector<std::string>{"attached", "idle", "idle done"}));
  // Also while the editor is being opened.
  FScript.Log.clear();
  FScript.OnIdle = nullptr;
  FScript.OnAttach = [&] { Dispatch(effEditIdle); };
  ASSERT_EQ(Open(), 1);
  EXPECT_EQ(FScript.Log, (std::vector<std::string>{"destroyed", "attached"}));
}

TEST_F(TEditorHosting, AnEditorClosedFromItsOwnCallbackLivesUntilTheCallReturns) {
  ASSERT_EQ(Open(), 1);
  FScript.OnIdle = [&] {
    Dispatch(effEditClose);
    FScript.Log.push_back(FModule->EditorForm() == nullptr ? "closed" : "still open");
  };
  Dispatch(effEditIdle);
  EXPECT_EQ(FScript.Log, (std::vector<std::string>{"attached", "idle", "closed", "idle done", "destroyed"}));
  // Closing while opening: no editor, answer 0.
  FScript.Log.clear();
  FScript.OnIdle = nullptr;
  FScript.OnAttach = [&] { Dispatch(effEditClose); };
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(FModule->EditorForm(), nullptr);
  EXPECT_EQ(FScript.Log, (std::vector<std::string>{"attached", "destroyed"}));
}

TEST_F(TEditorHosting, AnEditorThatCannotEmbedIsGivenUpAndAnswersZero) {
  FScript.Embeds = false;  // no display, or the host's window is unknown
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(FModule->EditorForm(), nullptr);
  EXPECT_EQ(FScript.Log, (std::vector<std::string>{"attached", "destroyed"}));
  Dispatch(effEditIdle);
  EXPECT_EQ(Dispatch(effEditClose), 0);
  // An attach that throws is judged the same way.
  FScript.Log.clear();
  FScript.OnAttach = [] { throw std::runtime_error("no display"); };
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(FScript.Log, (std::vector<std::string>{"attached", "destroyed"}));
  // A failing idle does not escape to the host.
  FScript.Embeds = true;
  FScript.OnAttach = nullptr;
  ASSERT_EQ(Open(), 1);
  FScript.OnIdle = [] { throw std::runtime_error("lost"); };
  EXPECT_EQ(Dispatch(effEditIdle), 0);
}

TEST_F(TEditorHosting, ClosingTheModuleClosesItsEditorFirst) {
  ASSERT_EQ(Open(), 1);
  FModule->OnClose = [&](TCustomVSTModule& Sender) {
    FScript.Log.push_back(Sender.EditorForm() == nullptr ? "module closed after its editor" : "editor still open");
  };
  CloseModule();
  EXPECT_EQ(FScript.Log, (std::vector<std::string>{"attached", "destroyed", "module closed after its editor"}));
}

}  // namespace
}  // namespace vb::test
