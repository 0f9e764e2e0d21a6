#pragma once
// The base of editor windows built from GUI controls: a GUI window on the
// platform's native window, hosted by the module as its TVSTEditor.
//
// A descendant builds its controls on Window() in its constructor (sizing
// the window with SetClientSize); the module then calls AttachToParent,
// which embeds the native window in the host's window, shows it (the
// window's OnShow runs first) and presents the first complete frame before
// the host's effEditOpen returns. From then on every effEditIdle calls Idle:
// pending updates, the window's events, due timers, the repaint of what
// changed. Registering an editor class is one line at library start-up:
//
//   Module.SetEditorFormClass({&TMyEditor::Create, 865, 150});
//
// User-interface thread only.

#include <cstdint>
#include <memory>

#include "gui/gui_window.h"
#include "host/vst_editor.h"
#include "platform/platform_window.h"

namespace vb {

class TCustomVSTModule;

class TGuiEditorForm : public TVSTEditor {
 public:
  // Platform is the window to build on, not yet embedded; null takes the
  // native one (X11). Tests pass a headless window.
  explicit TGuiEditorForm(TCustomVSTModule& Owner, std::unique_ptr<TPlatformWindow> Platform = nullptr);
  ~TGuiEditorForm() override;

  std::int32_t ClientWidth() const override { return FWindow.ClientWidth(); }
  std::int32_t ClientHeight() const override { return FWindow.ClientHeight(); }
  // ParentWindow is the host's native window id carried in a pointer.
  void AttachToParent(void* ParentWindow) override;
  bool Embedded() const override { return FEmbedded; }
  bool WantsRebuild() const override { return FRebuildWanted; }
  void Idle() override;

  TGuiWindow& Window() { return FWindow; }
  const TGuiWindow& Window() const { return FWindow; }
  TCustomVSTModule& Owner() const { return FOwner; }

 protected:
  // Runs first in every idle call: controls catch up with parameter values
  // that other threads changed since the last call.
  virtual void ApplyPendingUpdates() {}

 private:
  TCustomVSTModule& FOwner;
  TGuiWindow FWindow;
  bool FEmbedded = false;
  bool FRebuildWanted = false;
};

}  // namespace vb
