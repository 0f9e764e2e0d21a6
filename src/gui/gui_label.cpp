#include "gui/gui_label.h"

namespace vb {

TCustomGuiLabel::TCustomGuiLabel(TGuiWindow* owner, TTextRenderer* renderer)
    : TCustomGuiGraphicControl(owner), FGuiFont(renderer) {
  FGuiFont.SetOnChange([this](TGuiCustomFont&) { GuiFontChanged(); });
}

TCustomGuiLabel::~TCustomGuiLabel() = default;

void TCustomGuiLabel::SetCaption(std::string value) {
  if (value == FCaption) return;
  FCaption = std::move(value);
  CaptionChanged();
}

void TCustomGuiLabel::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  AlignmentChanged();
}

void TCustomGuiLabel::SetFontOversampling(TFontOversampling value) {
  FGuiFont.SetFontOversampling(value);
  BufferChanged();
}

void TCustomGuiLabel::SetShadow(const TGuiShadow& value) {
  FGuiFont.SetShadow(value);
  BufferChanged();
}

void TCustomGuiLabel::SetFont(const TFont& value) {
  FGuiFont.SetFont(value);
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
