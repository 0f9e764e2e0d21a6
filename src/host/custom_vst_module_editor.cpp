// Editor hosting and key forwarding of TCustomVSTModule (user-interface
// thread).
#include <algorithm>
#include <cmath>

#include "host/custom_vst_module.h"
#include "host/failure_trace.h"
#include "host/vst_key_translation.h"

namespace vb {

namespace {
// Rectangle answered while no editor, no size event and no editor class
// size say otherwise.
constexpr std::int16_t kDefaultEditorHeight = 32;
constexpr std::int16_t kDefaultEditorWidth = 64;

std::int16_t ToRectCoordinate(std::int32_t Value) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(Value, INT16_MIN, INT16_MAX));
}
}  // namespace

// Marks an editor call in progress; editors closed meanwhile are destroyed
// when the outermost one ends, never under the feet of the running call.
class TCustomVSTModule::TEditorCallScope {
 public:
  explicit TEditorCallScope(TCustomVSTModule& Module) : FModule(Module) { ++FModule.FEditorCallDepth; }
  ~TEditorCallScope() {
    if (--FModule.FEditorCallDepth > 0) return;
    // Moved out first: an editor's destructor may not call back into us,
    // but if a host does, the list is not being cleared under it.
    std::vector<std::unique_ptr<TVSTEditor>> retired;
    retired.swap(FModule.FRetiredEditors);
  }
  TEditorCallScope(const TEditorCallScope&) = delete;
  TEditorCallScope& operator=(const TEditorCallScope&) = delete;

 private:
  TCustomVSTModule& FModule;
};

void TCustomVSTModule::RetireEditor() {
  if (!FEditorForm) return;
  if (FEditorCallDepth > 0)
    FRetiredEditors.push_back(std::move(FEditorForm));
  else
    FEditorForm.reset();
}

void TCustomVSTModule::DestroyEditors() {
  FEditorForm.reset();
  FRetiredEditors.clear();
}

std::intptr_t TCustomVSTModule::HostCallEditOpen(std::int32_t, std::intptr_t, void* Ptr, float) {
  if (!HasFlag(effFlagsHasEditor) || !Ptr) return 0;
  // A host that opens again without closing gets a fresh editor; the old
  // one would stay on screen, never idled, holding its display connection.
  RetireEditor();
  TEditorCallScope scope(*this);
  FEditorParent = Ptr;
  return BuildEditorInto(Ptr) ? 1 : 0;
}

bool TCustomVSTModule::BuildEditorInto(void* Parent) {
  if (FEditorFormClass) FEditorForm = FEditorFormClass(*this);
  if (OnEditOpen) OnEditOpen(*this, FEditorForm, Parent);
  if (!FEditorForm) return false;
  try {
    FEditorForm->AttachToParent(Parent);
  } catch (...) {
    // Judged below by where the window ended up; the host sees only the 0.
    LibraryFailureTrace().Report("effEditOpen", effEditOpen);
  }
  // No display, or the host's window is unknown: leave nothing behind. (A
  // host may also have closed the editor from a callback meanwhile.)
  if (!FEditorForm || !FEditorForm->Embedded()) {
    RetireEditor();
    return false;
  }
  return true;
}

void TCustomVSTModule::RebuildEditor() {
  const std::int32_t oldWidth = FEditorForm->ClientWidth();
  const std::int32_t oldHeight = FEditorForm->ClientHeight();
  // The old window goes when the current editor call ends, after the new
  // one is in place: the host's window is never left empty.
  RetireEditor();
  if (!BuildEditorInto(FEditorParent)) return;
  const std::int32_t width = FEditorForm->ClientWidth();
  const std::int32_t height = FEditorForm->ClientHeight();
  // Hosts that ignore the request keep their frame: the editor stays
  // usable in it, clipped or with a border.
  if (width != oldWidth || height != oldHeight) SizeWindow(width, height);
}

std::intptr_t TCustomVSTModule::HostCallEditClose(std::int32_t, std::intptr_t, void*, float) {
  if (!HasFlag(effFlagsHasEditor)) return 0;
  bool mayClose = true;
  if (OnEditClose) OnEditClose(*this, mayClose);
  if (mayClose) RetireEditor();
  return 0;
}

std::intptr_t TCustomVSTModule::HostCallEditGetRect(std::int32_t, std::intptr_t, void* Ptr, float) {
  if (!Ptr) return 0;
  *static_cast<ERect**>(Ptr) = &FEditorRect;
  FEditorRect.Top = 0;
  FEditorRect.Left = 0;
  // Hosts size their window from this before they open the editor, so the
  // editor class's size counts when no window exists yet.
  const bool knownSize = !OnEditGetSize && FEditorFormClass.HasSize();
  if (OnEditGetSize) {
    std::int32_t width = FEditorRect.Right;
    std::int32_t height = FEditorRect.Bottom;
    OnEditGetSize(*this, width, height);
    FEditorRect.Right = ToRectCoordinate(width);
    FEditorRect.Bottom = ToRectCoordinate(height);
  } else if (knownSize && FEditorForm && FEditorFormClass.SizeQuery) {
    // An open window has the size the query gave when it opened; the
    // screen's density may have changed since, the window has not.
    FEditorRect.Bottom = 0;
    FEditorRect.Right = 0;
  } else if (knownSize) {
    std::int32_t width = 0, height = 0;
    FEditorFormClass.ClientSize(width, height);
    FEditorRect.Bottom = ToRectCoordinate(height);
    FEditorRect.Right = ToRectCoordinate(width);
  } else {
    FEditorRect.Bottom = kDefaultEditorHeight;
    FEditorRect.Right = kDefaultEditorWidth;
  }
  if (!FEditorForm) return knownSize ? 1 : 0;
  FEditorRect.Bottom = std::max(FEditorRect.Bottom, ToRectCoordinate(FEditorForm->ClientHeight()));
  FEditorRect.Right = std::max(FEditorRect.Right, ToRectCoordinate(FEditorForm->ClientWidth()));
  return 1;
}

std::intptr_t TCustomVSTModule::HostCallEditIdle(std::int32_t, std::intptr_t, void*, float) {
  // Called from inside one of our own editor calls (a host idling from its
  // amAutomate answer): the editor is busy, come back later.
  if (FEditorCallDepth > 0) return 0;
  TEditorCallScope scope(*this);
  if (FEditorForm) {
    try {
      FEditorForm->Idle();
      if (FEditorForm && FEditorForm->WantsRebuild()) RebuildEditor();
    } catch (...) {
      // One failed idle must not take the host down; the next one retries.
      LibraryFailureTrace().Report("effEditIdle", effEditIdle);
    }
  }
  if (HasFlag(effFlagsHasEditor) && EditorNeedUpdate() && FEditorForm) {
    if (OnEditIdle) OnEditIdle(*this);
    SetEditorNeedUpdate(false);
  }
  return 0;
}

std::intptr_t TCustomVSTModule::HostCallEditTop(std::int32_t, std::intptr_t, void*, float) {
  if (OnEditTop) OnEditTop(*this);
  return 0;
}

std::intptr_t TCustomVSTModule::HostCallEditSleep(std::int32_t, std::intptr_t, void*, float) {
  if (OnEditSleep) OnEditSleep(*this);
  return 0;
}

std::intptr_t TCustomVSTModule::HostCallEditKeyDown(std::int32_t Index, std::intptr_t Value, void*, float Opt) {
  return ForwardKey(Index, Value, Opt, true);
}

std::intptr_t TCustomVSTModule::HostCallEditKeyUp(std::int32_t Index, std::intptr_t Value, void*, float Opt) {
  return ForwardKey(Index, Value, Opt, false);
}

std::intptr_t TCustomVSTModule::ForwardKey(std::int32_t Index, std::intptr_t Value, float Opt, bool IsKeyDown) {
  if (!FKeysRequired) return -1;
  if (!FEditorForm) return 0;
  TEditorCallScope scope(*this);
  try {
    TVstKeyCode key{};
    key.Character = Index;
    key.Virt = static_cast<std::uint8_t>(Value);
    key.Modifier = std::isfinite(Opt) ? static_cast<std::uint8_t>(std::lrint(std::clamp(Opt, 0.0f, 255.0f))) : 0;
    const std::int32_t code = TranslateKeyCode(key);
    const bool withAlt = (key.Modifier & mkAlternate) != 0;
    if (IsKeyDown) {
      FEditorForm->KeyDown(code, withAlt);
      if (FEditorForm) FEditorForm->KeyChar(code);
      if (OnEditorKeyDown) OnEditorKeyDown(*this, key);
    } else {
      if (FEditorForm) FEditorForm->KeyUp(code, withAlt);
      if (OnEditorKeyUp) OnEditorKeyUp(*this, key);
    }
    return (OnCheckKey && OnCheckKey(*this, code)) ? 1 : -1;
  } catch (...) {
    LibraryFailureTrace().Report(IsKeyDown ? "effEditKeyDown" : "effEditKeyUp",
                                 IsKeyDown ? effEditKeyDown : effEditKeyUp);
    return -1;
  }
}

}  // namespace vb
