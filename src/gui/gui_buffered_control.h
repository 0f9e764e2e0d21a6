#pragma once
// The double-buffered control bases. Each control keeps two pixel maps of its
// own size: the back buffer holds what lies behind the control (a copy of the
// window's picture there when Transparent, else the control's colour), the
// front buffer the back buffer plus the control's content. Two flags mark
// which one is stale; a paint rebuilds only those and copies the front
// buffer to the window. Content changes mark only the front buffer, so
// turning a knob never re-reads the window behind it.
//
//  - TGuiCustomControl: windowed (dials, switches, displays); also rebuilds
//    its backdrop when the window's colour changes or when it moves.
//  - TCustomGuiGraphicControl: windowless, drawn on the window's surface
//    (labels, pictures); its back buffer is made opaque, and OnPaint fires
//    once the buffers are up to date.
//
// Used from the thread that owns the window only.

#include "gui/gui_control.h"
#include "image/gui_pixel_map_memory.h"

namespace vb {

class TGuiBufferedControl : public TGuiControl {
 public:
  explicit TGuiBufferedControl(TGuiWindow* Owner);
  ~TGuiBufferedControl() override;

  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);

  // Rebuilds the stale buffers, then copies the front buffer to Canvas.
  void Paint(TCanvas& Canvas) override;
  // Sizes the buffers (and so marks the back buffer stale).
  void Loaded() override;

  // Marks the front (content) buffer stale and asks for a repaint.
  void BufferChanged();
  // Marks the back (background) buffer stale and asks for a repaint.
  void BackBufferChanged();
  bool BufferStale() const { return FUpdateBuffer; }
  bool BackBufferStale() const { return FUpdateBackBuffer; }

  const TGuiCustomPixelMap& Buffer() const { return FBuffer; }
  const TGuiCustomPixelMap& BackBuffer() const { return FBackBuffer; }

  void BackdropChanged() override;

 protected:
  // Clears its flag, fills the back buffer and marks the front buffer stale.
  virtual void UpdateBackBuffer();
  // Clears its flag and copies the back buffer into the front buffer;
  // descendants draw their content over it afterwards.
  virtual void UpdateBuffer();
  virtual void TransparentChanged();
  // Runs between the buffer updates and the copy to the window.
  virtual void BuffersUpdated() {}
  // Whether the back buffer is made opaque after it is filled.
  virtual bool OpaqueBackBuffer() const { return false; }

  void ColorChanged() override;
  void Resized() override;
  void Moved() override;

  TGuiPixelMapMemory& FrontBuffer() { return FBuffer; }

 private:
  TGuiPixelMapMemory FBuffer;
  TGuiPixelMapMemory FBackBuffer;
  bool FUpdateBackBuffer = false;
  bool FUpdateBuffer = false;
  bool FTransparent = false;
};

class TGuiCustomControl : public TGuiBufferedControl {
 public:
  using TGuiBufferedControl::TGuiBufferedControl;
  bool Windowed() const override { return true; }
  void ParentColorChanged() override;
};

class TCustomGuiGraphicControl : public TGuiBufferedControl {
 public:
  using TGuiBufferedControl::TGuiBufferedControl;
  bool Windowed() const override { return false; }
  // Fired after the buffers are up to date, before the copy to the window.
  void SetOnPaint(TNotifyEvent Handler) { FOnPaint = std::move(Handler); }

 protected:
  void BuffersUpdated() override;
  bool OpaqueBackBuffer() const override { return true; }

 private:
  TNotifyEvent FOnPaint;
};

}  // namespace vb
