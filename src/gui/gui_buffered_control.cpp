#include "gui/gui_buffered_control.h"

#include <cstring>

#include "image/image_errors.h"

namespace vb {

namespace {
constexpr const char* kUnit = "gui_buffered_control";
}

TGuiBufferedControl::TGuiBufferedControl(TGuiWindow* Owner) : TGuiControl(Owner) {}

TGuiBufferedControl::~TGuiBufferedControl() = default;

void TGuiBufferedControl::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  TransparentChanged();
}

void TGuiBufferedControl::TransparentChanged() { BackBufferChanged(); }

void TGuiBufferedControl::BufferChanged() {
  FUpdateBuffer = true;
  Invalidate();
}

void TGuiBufferedControl::BackBufferChanged() {
  FUpdateBackBuffer = true;
  Invalidate();
}

void TGuiBufferedControl::BackdropChanged() {
  if (FTransparent) BackBufferChanged();
}

void TGuiBufferedControl::Paint(TCanvas& Canvas) {
  if (FUpdateBackBuffer) UpdateBackBuffer();
  if (FUpdateBuffer) UpdateBuffer();
  BuffersUpdated();
  FBuffer.PaintTo(Canvas);
}

void TGuiBufferedControl::UpdateBackBuffer() {
  FUpdateBackBuffer = false;
  if (FTransparent)
    FBackBuffer.CopyParentImage(*this);
  else
    FBackBuffer.FillRect(FBackBuffer.ClientRect(), ColorToPixel(Color()));
  if (OpaqueBackBuffer()) FBackBuffer.MakeOpaque();
  FUpdateBuffer = true;
}

void TGuiBufferedControl::UpdateBuffer() {
  FUpdateBuffer = false;
  Assert(FBuffer.Width() == FBackBuffer.Width() && FBuffer.Height() == FBackBuffer.Height(), kUnit,
         "Buffers of different sizes");
  if (FBuffer.DataSize() > 0)
    std::memcpy(FBuffer.DataPointer(), FBackBuffer.DataPointer(), std::size_t(FBuffer.DataSize()));
}

void TGuiBufferedControl::Loaded() {
  TGuiControl::Loaded();
  Resized();
}

void TGuiBufferedControl::Resized() {
  FBuffer.SetSize(Width(), Height());
  FBackBuffer.SetSize(Width(), Height());
  BackBufferChanged();
  DoResize();
}

void TGuiBufferedControl::ColorChanged() {
  if (!FTransparent) BackBufferChanged();
}

void TGuiBufferedControl::Moved() {
  // The window's picture behind the control is another one now. (Windowless
  // controls too: a transparent label moved must not show its old place.)
  if (FTransparent) BackBufferChanged();
}

void TGuiCustomControl::ParentColorChanged() {
  const TColor before = Color();
  TGuiBufferedControl::ParentColorChanged();
  // A colour taken over from the window has already rebuilt the backdrop.
  if (Color() == before && !Transparent()) BackBufferChanged();
}

void TCustomGuiGraphicControl::BuffersUpdated() {
  if (FOnPaint) FOnPaint(*this);
}

}  // namespace vb
