#include "panel_layout.h"

#include <cmath>
#include <cstring>

namespace vb::artwork {

const TPlacedControl* FindPlacedControl(const char* name) {
  for (const TPlacedControl& control : kPlacedControls) {
    if (std::strcmp(control.Name, name) == 0) return &control;
  }
  return nullptr;
}

std::int32_t PlacedGlyph(const TPlacedControl& control) {
  if (!control.IsDial) return std::int32_t(control.Value);
  const std::int32_t glyphs = ArtworkInfo(control.Strip).GlyphCount;
  const double position = (control.Value - control.Min) / (control.Max - control.Min);
  return std::int32_t(std::nearbyint(position * (glyphs - 1)));
}

}  // namespace vb::artwork
