#pragma once
// The host's side of editor embedding: a top-level window of our own on the
// current display that a plug-in's editor can be opened in (its native id
// goes to effEditOpen), with its events pumped and its picture, the
// editor's included, read back as pixels. The test host and the tools
// (vst-render's editor snapshot) use it; the plug-in never does.
//
// Used from the thread that created it only.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/memory_canvas.h"

namespace vb {

class THostWindow {
 public:
  virtual ~THostWindow() = default;

  // The native window id to hand to effEditOpen; 0 once destroyed.
  virtual std::uintptr_t NativeHandle() const = 0;
  // Client size in pixels (hosts size it from effEditGetRect).
  virtual void SetSize(std::int32_t Width, std::int32_t Height) = 0;
  virtual std::int32_t Width() const = 0;
  virtual std::int32_t Height() const = 0;
  // Maps the window and waits (at most TimeoutMs) until it is viewable.
  virtual bool Show(std::int32_t TimeoutMs = 2000) = 0;
  // Reads the pending events without blocking. False once the window was
  // destroyed or the user asked the window manager to close it.
  virtual bool Pump() = 0;
  // The window's pixels as the screen shows them, child windows included,
  // as opaque 32-bit pixels; null when they cannot be read (not viewable,
  // display gone).
  virtual std::unique_ptr<TMemoryBitmap> Grab() = 0;
  // Destroys the native window now, as a host does that closes its window
  // before it closes the editor.
  virtual void Destroy() = 0;
};

// A window of Width x Height on DisplayName (null: $DISPLAY), not mapped
// yet. Null when no display can be reached; Error then says why.
std::unique_ptr<THostWindow> CreateHostWindow(std::int32_t Width, std::int32_t Height, const std::string& Title,
                                              const char* DisplayName = nullptr, std::string* Error = nullptr);

}  // namespace vb
