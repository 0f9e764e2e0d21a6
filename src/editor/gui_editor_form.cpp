#include "editor/gui_editor_form.h"

#include "platform/native_window.h"

namespace vb {

namespace {

std::unique_ptr<TPlatformWindow> WindowOrNative(std::unique_ptr<TPlatformWindow> platform) {
  return platform ? std::move(platform) : CreateNativeWindow();
}

}  // namespace

TGuiEditorForm::TGuiEditorForm(TCustomVSTModule& owner, std::unique_ptr<TPlatformWindow> platform)
    : FOwner(owner), FWindow(WindowOrNative(std::move(platform))) {
  // The platform's pulse does what a host's effEditIdle does.
  FWindow.SetOnPulse([this] { Idle(); });
  FWindow.SetOnScaleChanged([this] { FRebuildWanted = true; });
}

TGuiEditorForm::~TGuiEditorForm() = default;

void TGuiEditorForm::AttachToParent(void* parentWindow) {
  FEmbedded = FWindow.Platform().Embed(reinterpret_cast<std::uintptr_t>(parentWindow));
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
