#pragma once
// A windowless label that draws its caption with an oversampled font,
// aligned left, right or centred in its box, on top of its backdrop. The text
// is rendered again only when the front buffer is rebuilt (caption, font,
// size or background change), not on every paint.
//
// Used from the thread that owns the window only.

#include <string>

#include "gui/gui_buffered_control.h"
#include "gui/gui_font.h"

namespace vb {

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

class TCustomGuiLabel : public TCustomGuiGraphicControl {
 public:
  // Renderer defaults to the system's text renderer.
  explicit TCustomGuiLabel(TGuiWindow* Owner, TTextRenderer* Renderer = nullptr);
  ~TCustomGuiLabel() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(std::string Value);
  TAlignment Alignment() const { return FAlignment; }
  // Lays the text out again at once.
  void SetAlignment(TAlignment Value);
  TFontOversampling FontOversampling() const { return FGuiFont.FontOversampling(); }
  void SetFontOversampling(TFontOversampling Value);
  TGuiShadow& Shadow() { return FGuiFont.Shadow(); }
  void SetShadow(const TGuiShadow& Value);
  const TFont& Font() const { return FGuiFont.Font(); }
  void SetFont(const TFont& Value);
  TGuiOversampledGDIFont& GuiFont() { return FGuiFont; }

 protected:
  void UpdateBuffer() override;
  virtual void GuiFontChanged() { BufferChanged(); }
  virtual void AlignmentChanged() { BufferChanged(); }
  virtual void CaptionChanged() { BufferChanged(); }

 private:
  TGuiOversampledGDIFont FGuiFont;
  std::string FCaption;
  TAlignment FAlignment = taLeftJustify;
};

class TGuiLabel : public TCustomGuiLabel {
 public:
  using TCustomGuiLabel::TCustomGuiLabel;
};

}  // namespace vb
