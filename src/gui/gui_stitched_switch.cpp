#include "gui/gui_stitched_switch.h"

namespace vb {

namespace {
constexpr TPixel32 kSwitchOff = Pixel32(0xFF00FF00);  // glyph 0 without a strip
constexpr TPixel32 kSwitchOn = Pixel32(0xFFFF0000);
}  // namespace

void TCustomGuiStitchedSwitch::MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (!FReadOnly) {
    if (StitchedItem() == nullptr) {
      SetGlyphIndex(-1);
    } else {
      const std::int32_t last = GlyphCount() - 1;
      const std::int32_t glyph = GlyphIndex();
      if (Button == TMouseButton::mbLeft) SetGlyphIndex(glyph < last ? glyph + 1 : 0);
      if (Button == TMouseButton::mbRight) SetGlyphIndex(glyph > 0 ? glyph - 1 : last);
    }
  }
  TGuiCustomStitchedControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGuiStitchedSwitch::UpdateBuffer() {
  TGuiCustomStitchedControl::UpdateBuffer();
  if ((ImageList() == nullptr || ImageIndex() < 0) && FrontBuffer().DataSize() > 0)
    FrontBuffer().FillRect(FrontBuffer().ClientRect(), GlyphIndex() == 0 ? kSwitchOff : kSwitchOn);
}

void TCustomGuiStitchedDisplay::UpdateBuffer() {
  TGuiCustomStitchedControl::UpdateBuffer();
  if ((ImageList() == nullptr || ImageIndex() < 0) && FrontBuffer().DataSize() > 0)
    FrontBuffer().FillRect(FrontBuffer().ClientRect(), ColorToPixel(Color()));
}

}  // namespace vb
