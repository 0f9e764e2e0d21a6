// Editor hosting and key forwarding of TCustomVSTModule (user-interface
// thread).
#include <algorithm>
#include <cmath>

#include "host/custom_vst_module.h"
#include "host/vst_key_translation.h"

namespace vb {

namespace {
// Rectangle answered while no editor and no size event say otherwise.
constexpr std::int16_t kDefaultEditorHeight = 32;
constexpr std::int16_t kDefaultEditorWidth = 64;

std::int16_t ToRectCoordinate(std::int32_t Value) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(Value, INT16_MIN, INT16_MAX));
}
}  // namespace

std::intptr_t TCustomVSTModule::HostCallEditOpen(std::int32_t, std::intptr_t, void* Ptr, float) {
  if (!HasFlag(effFlagsHasEditor) || !Ptr) return 0;
  if (FEditorFormClass) {
    std::unique_ptr<TVSTEditor> Editor = FEditorFormClass(*this);
    if (FEditorForm) FReplacedEditors.push_back(std::move(FEditorForm));
    FEditorForm = std::move(Editor);
  }
  if (OnEditOpen) OnEditOpen(*this, FEditorForm, Ptr);
  if (!FEditorForm) return 0;
  try {
    FEditorForm->AttachToParent(Ptr);
  } catch (...) {
    // Embedding failures leave a detached window; the host still gets 1.
  }
  return 1;
}

std::intptr_t TCustomVSTModule::HostCallEditClose(std::int32_t, std::intptr_t, void*, float) {
  if (!HasFlag(effFlagsHasEditor)) return 0;
  bool MayClose = true;
  if (OnEditClose) OnEditClose(*this, MayClose);
  if (MayClose) FEditorForm.reset();
  return 0;
}

std::intptr_t TCustomVSTModule::HostCallEditGetRect(std::int32_t, std::intptr_t, void* Ptr, float) {
  if (!Ptr) return 0;
  *static_cast<ERect**>(Ptr) = &FEditorRect;
  FEditorRect.Top = 0;
  FEditorRect.Left = 0;
  if (OnEditGetSize) {
    std::int32_t Width = FEditorRect.Right;
    std::int32_t Height = FEditorRect.Bottom;
    OnEditGetSize(*this, Width, Height);
    FEditorRect.Right = ToRectCoordinate(Width);
    FEditorRect.Bottom = ToRectCoordinate(Height);
  } else {
    FEditorRect.Bottom = kDefaultEditorHeight;
    FEditorRect.Right = kDefaultEditorWidth;
  }
  if (!FEditorForm) return 0;
  FEditorRect.Bottom = std::max(FEditorRect.Bottom, ToRectCoordinate(FEditorForm->ClientHeight()));
  FEditorRect.Right = std::max(FEditorRect.Right, ToRectCoordinate(FEditorForm->ClientWidth()));
  return 1;
}

std::intptr_t TCustomVSTModule::HostCallEditIdle(std::int32_t, std::intptr_t, void*, float) {
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
  try {
    TVstKeyCode Key{};
    Key.Character = Index;
    Key.Virt = static_cast<std::uint8_t>(Value);
    Key.Modifier = std::isfinite(Opt) ? static_cast<std::uint8_t>(std::lrint(std::clamp(Opt, 0.0f, 255.0f))) : 0;
    const std::int32_t Code = TranslateKeyCode(Key);
    const bool WithAlt = (Key.Modifier & mkAlternate) != 0;
    if (IsKeyDown) {
      FEditorForm->KeyDown(Code, WithAlt);
      FEditorForm->KeyChar(Code);
      if (OnEditorKeyDown) OnEditorKeyDown(*this, Key);
    } else {
      FEditorForm->KeyUp(Code, WithAlt);
      if (OnEditorKeyUp) OnEditorKeyUp(*this, Key);
    }
    return (OnCheckKey && OnCheckKey(*this, Code)) ? 1 : -1;
  } catch (...) {
    return -1;
  }
}

}  // namespace vb
