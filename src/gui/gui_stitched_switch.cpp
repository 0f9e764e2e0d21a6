#include "gui/gui_stitched_switch.h"

namespace vb {

namespace {
constexpr TPixel32 kSwitchOff = Pixel32(0xFF00FF00);  // glyph 0 without a strip
constexpr TPixel32 kSwitchOn = Pixel32(0xFFFF0000);
}  // namespace

void TCustomGuiStitchedSwitch::MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) {
  if (!FReadOnly) {
    if (StitchedItem() == nullptr) {
      SetGlyphIndex(-1);
    } else {
      const std::int32_t last = GlyphCount() - 1;
      const std::int32_t glyph = GlyphIndex();
      if (button == TMouseButton::mbLeft) SetGlyphIndex(glyph < last ? glyph + 1 : 0);
      if (button == TMouseButton::mbRight) SetGlyphIndex(glyph > 0 ? glyph - 1 : last);
    }
  }
  TGuiCustomStitchedControl::MouseDown(button, shift, x, y);
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
