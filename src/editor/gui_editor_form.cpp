#include "editor/gui_editor_form.h"

#include "platform/native_window.h"

namespace vb {

namespace {

std::unique_ptr<TPlatformWindow> WindowOrNative(std::unique_ptr<TPlatformWindow> Platform) {
  return Platform ? std::move(Platform) : CreateNativeWindow();
}

}  // namespace

TGuiEditorForm::TGuiEditorForm(TCustomVSTModule& Owner, std::unique_ptr<TPlatformWindow> Platform)
    : FOwner(Owner), FWindow(WindowOrNative(std::move(Platform))) {
  // The platform's pulse does what a host's effEditIdle does.
  FWindow.SetOnPulse([this] { Idle(); });
  FWindow.SetOnScaleChanged([this] { FRebuildWanted = true; });
}

TGuiEditorForm::~TGuiEditorForm() = default;

void TGuiEditorForm::AttachToParent(void* ParentWindow) {
  FEmbedded = FWindow.Platform().Embed(reinterpret_cast<std::uintptr_t>(ParentWindow));
  if (!FEmbedded) return;
  // Showing composes and presents the whole frame: hosts that idle late
  // still show a complete editor at once.
  ApplyPendingUpdates();
  FWindow.Show();
}

void TGuiEditorForm::Idle() {
  if (!FEmbedded) return;
  ApplyPendingUpdates();
  FWindow.Idle();
}

}  // namespace vb
