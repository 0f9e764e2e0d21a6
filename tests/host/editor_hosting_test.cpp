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
  explicit TScriptedEditor(TScript& script) : FScript(script) {}
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

class EditorHosting : public ModuleFixture {
 protected:
  void SetUp() override {
    ModuleFixture::SetUp();
    Module->SetEditorFormClass(nullptr);
    Module->OnEditOpen = [this](TCustomVSTModule&, std::unique_ptr<TVSTEditor>& Editor, void*) {
      Editor = std::make_unique<TScriptedEditor>(Script);
    };
  }
  std::intptr_t Open() { return Dispatch(effEditOpen, 0, 0, &Parent); }

  TScriptedEditor::TScript Script;
  int Parent = 0;
};

TEST_F(EditorHosting, TheRectangleHasTheEditorsSizeBeforeTheEditorOpens) {
  Module->OnEditOpen = nullptr;
  Module->SetEditorFormClass({[](TCustomVSTModule& Owner) -> std::unique_ptr<TVSTEditor> {
                                return std::make_unique<TFakeEditor>(*static_cast<TTestModule&>(Owner).Log);
                              },
                              865, 150});
  ERect* Rect = nullptr;
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &Rect), 1);
  ASSERT_NE(Rect, nullptr);
  EXPECT_EQ((std::vector<int>{Rect->Top, Rect->Left, Rect->Bottom, Rect->Right}), (std::vector<int>{0, 0, 150, 865}));
  EXPECT_EQ(Module->EditorForm(), nullptr) << "asking the size builds no window";
  EXPECT_EQ(Open(), 1);
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &Rect), 1);
  EXPECT_EQ((std::vector<int>{Rect->Bottom, Rect->Right}), (std::vector<int>{150, 865}));
  Dispatch(effEditClose);
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &Rect), 1);
  EXPECT_EQ((std::vector<int>{Rect->Bottom, Rect->Right}), (std::vector<int>{150, 865}));
}

TEST_F(EditorHosting, EveryIdleDrivesTheOpenEditorBesideTheUpdateEvent) {
  int UpdateEvents = 0;
  Module->OnEditIdle = [&](TCustomVSTModule&) { ++UpdateEvents; };
  Dispatch(effEditIdle);  // nothing open: nothing to drive
  ASSERT_EQ(Open(), 1);
  Dispatch(effEditIdle);
  Dispatch(effEditIdle);
  Module->EditorPostUpdate();
  Dispatch(effEditIdle);
  EXPECT_EQ(std::count(Script.Log.begin(), Script.Log.end(), "idle"), 3);
  EXPECT_EQ(UpdateEvents, 1) << "the update event still needs a pending update";
  Dispatch(effEditClose);
  Dispatch(effEditIdle);
  EXPECT_EQ(std::count(Script.Log.begin(), Script.Log.end(), "idle"), 3);
}

TEST_F(EditorHosting, AReentrantIdleReturnsAtOnce) {
  ASSERT_EQ(Open(), 1);
  int Nested = 0;
  // A host that idles from inside its answer to one of our callbacks.
  Script.OnIdle = [&] {
    if (Nested++ < 3) Dispatch(effEditIdle);
  };
  Dispatch(effEditIdle);
  EXPECT_EQ(Script.Log, (std::vector<std::string>{"attached", "idle", "idle done"}));
  // Also while the editor is being opened.
  Script.Log.clear();
  Script.OnIdle = nullptr;
  Script.OnAttach = [&] { Dispatch(effEditIdle); };
  ASSERT_EQ(Open(), 1);
  EXPECT_EQ(Script.Log, (std::vector<std::string>{"destroyed", "attached"}));
}

TEST_F(EditorHosting, AnEditorClosedFromItsOwnCallbackLivesUntilTheCallReturns) {
  ASSERT_EQ(Open(), 1);
  Script.OnIdle = [&] {
    Dispatch(effEditClose);
    Script.Log.push_back(Module->EditorForm() == nullptr ? "closed" : "still open");
  };
  Dispatch(effEditIdle);
  EXPECT_EQ(Script.Log, (std::vector<std::string>{"attached", "idle", "closed", "idle done", "destroyed"}));
  // Closing while opening: no editor, answer 0.
  Script.Log.clear();
  Script.OnIdle = nullptr;
  Script.OnAttach = [&] { Dispatch(effEditClose); };
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(Module->EditorForm(), nullptr);
  EXPECT_EQ(Script.Log, (std::vector<std::string>{"attached", "destroyed"}));
}

TEST_F(EditorHosting, AnEditorThatCannotEmbedIsGivenUpAndAnswersZero) {
  Script.Embeds = false;  // no display, or the host's window is unknown
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(Module->EditorForm(), nullptr);
  EXPECT_EQ(Script.Log, (std::vector<std::string>{"attached", "destroyed"}));
  Dispatch(effEditIdle);
  EXPECT_EQ(Dispatch(effEditClose), 0);
  // An attach that throws is judged the same way.
  Script.Log.clear();
  Script.OnAttach = [] { throw std::runtime_error("no display"); };
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(Script.Log, (std::vector<std::string>{"attached", "destroyed"}));
  // A failing idle does not escape to the host.
  Script.Embeds = true;
  Script.OnAttach = nullptr;
  ASSERT_EQ(Open(), 1);
  Script.OnIdle = [] { throw std::runtime_error("lost"); };
  EXPECT_EQ(Dispatch(effEditIdle), 0);
}

TEST_F(EditorHosting, ClosingTheModuleClosesItsEditorFirst) {
  ASSERT_EQ(Open(), 1);
  Module->OnClose = [&](TCustomVSTModule& Sender) {
    Script.Log.push_back(Sender.EditorForm() == nullptr ? "module closed after its editor" : "editor still open");
  };
  CloseModule();
  EXPECT_EQ(Script.Log, (std::vector<std::string>{"attached", "destroyed", "module closed after its editor"}));
}

}  // namespace
}  // namespace vb::test
