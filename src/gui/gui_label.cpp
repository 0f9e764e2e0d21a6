#include "gui/gui_label.h"

namespace vb {

TCustomGuiLabel::TCustomGuiLabel(TGuiWindow* Owner, TTextRenderer* Renderer)
    : TCustomGuiGraphicControl(Owner), FGuiFont(Renderer) {
  FGuiFont.SetOnChange([this](TGuiCustomFont&) { GuiFontChanged(); });
}

TCustomGuiLabel::~TCustomGuiLabel() = default;

void TCustomGuiLabel::SetCaption(std::string Value) {
  if (Value == FCaption) return;
  FCaption = std::move(Value);
  CaptionChanged();
}

void TCustomGuiLabel::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  AlignmentChanged();
}

void TCustomGuiLabel::SetFontOversampling(TFontOversampling Value) {
  FGuiFont.SetFontOversampling(Value);
  BufferChanged();
}

void TCustomGuiLabel::SetShadow(const TGuiShadow& Value) {
  FGuiFont.SetShadow(Value);
  BufferChanged();
}

void TCustomGuiLabel::SetFont(const TFont& Value) {
  FGuiFont.SetFont(Value);
  BufferChanged();
}

void TCustomGuiLabel::UpdateBuffer() {
  TCustomGuiGraphicControl::UpdateBuffer();
  const TTextExtent extent = FGuiFont.TextExtent(FCaption);
  std::int32_t x = 0;
  if (FAlignment == taRightJustify) x = Width() - extent.Width;
  if (FAlignment == taCenter) x = (Width() - extent.Width) / 2;
  FGuiFont.TextOut(FCaption, &FrontBuffer(), x, 0);
}

}  // namespace vb
