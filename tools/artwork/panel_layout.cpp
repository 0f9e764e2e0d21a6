#include "panel_layout.h"

#include <cmath>
#include <cstring>

namespace vb::artwork {

const TPlacedControl* FindPlacedControl(const char* Name) {
  for (const TPlacedControl& control : kPlacedControls) {
    if (std::strcmp(control.Name, Name) == 0) return &control;
  }
  return nullptr;
}

std::int32_t PlacedGlyph(const TPlacedControl& Control) {
  if (!Control.IsDial) return std::int32_t(Control.Value);
  const std::int32_t glyphs = ArtworkInfo(Control.Strip).GlyphCount;
  const double position = (Control.Value - Control.Min) / (Control.Max - Control.Min);
  return std::int32_t(std::nearbyint(position * (glyphs - 1)));
}

}  // namespace vb::artwork
