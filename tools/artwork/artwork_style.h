#pragma once
// The house look of the artwork in one place: colours, fonts and the light
// direction every part is shaded for (from the top left).

#include <numbers>

#include "paints.h"
#include "platform/text_renderer.h"

namespace vb::artwork {

// The light comes from the upper left: highlights sit up-left, shadows fall
// down-right by this offset (pixels per pixel of height above the panel).
constexpr TVec kShadowDirection{0.45, 0.8};

inline const TRgba kPanelTop = Rgb(0x2E2C29);
inline const TRgba kPanelBottom = Rgb(0x1D1C1A);
inline const TRgba kInk = Rgb(0xECE3CB);        // printed captions
inline const TRgba kScaleInk = Rgb(0xD2CBB9);   // scale numbers, a step quieter
inline const TRgba kBrass = Rgb(0xC9A55A);      // polished brass
inline const TRgba kBrassDark = Rgb(0x7A5C25);  // brass in shadow
inline const TRgba kChrome = Rgb(0xD8DADC);

// The panel's printing: one condensed face in three sizes, pixels.
inline TFontDescription PanelFont(std::int32_t PixelHeight, bool Bold) {
  TFontDescription font;
  font.FaceName = "DejaVu Sans Condensed";
  font.PixelHeight = PixelHeight;
  font.Bold = Bold;
  return font;
}

inline TFontDescription CaptionFont() { return PanelFont(10, true); }
inline TFontDescription ScaleFont() { return PanelFont(8, true); }
// Positions of a switch (Stereo, Mono, 16x ...): smaller than captions.
inline TFontDescription PositionFont() { return PanelFont(9, false); }

constexpr double Radians(double Degrees) { return Degrees * std::numbers::pi / 180.0; }

}  // namespace vb::artwork
