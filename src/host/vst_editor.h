// The editor window as the module hosts it. The real window (built on the
// platform layer) derives from TVSTEditor; the module creates it through the
// factory named by EditorFormClass on effEditOpen and owns it. All calls are
// made on the host's user-interface thread.
#pragma once

#include <cstdint>
#include <memory>

namespace vb {

class TCustomVSTModule;

class TVSTEditor {
 public:
  virtual ~TVSTEditor();

  // Client size in pixels.
  virtual std::int32_t ClientWidth() const = 0;
  virtual std::int32_t ClientHeight() const = 0;
  // Makes the window a visible, borderless child of the host's native
  // window, placed at (0, 0) with its own size, and requests a repaint.
  virtual void AttachToParent(void* ParentWindow) = 0;
  // Key messages forwarded from the host, sent to the focused control or
  // the window. Code is a platform key code; WithAlt tells whether the Alt
  // modifier was held (the platform's system-key variant).
  virtual void KeyDown(std::int32_t Code, bool WithAlt);
  virtual void KeyChar(std::int32_t Code);
  virtual void KeyUp(std::int32_t Code, bool WithAlt);
};

// Builds a new editor window owned by Owner.
using TEditorFormClass = std::unique_ptr<TVSTEditor> (*)(TCustomVSTModule& Owner);

}  // namespace vb
