#pragma once
// Antialiased drawing onto one of our 32-bit pixel maps: shapes filled with
// paints, soft shadows and text. Every pixel is composited through the
// bound blending routines (CompositePixelTo), so transparent maps stay
// correct for strips that are later drawn over the panel with their alpha.
//
// The drawing is described in logical pixels (the 1x artwork's) and drawn at
// the canvas's scale: shapes, paints and soft edges are scaled, a crisp
// edge stays one device pixel wide, and text is set in the font's pixel size
// times the factor. At 1x logical and device pixels are the same.

#include <cstdint>
#include <string_view>

#include "editor/editor_scale.h"
#include "image/gui_custom_pixel_map.h"
#include "paints.h"
#include "platform/text_renderer.h"
#include "shapes.h"

namespace vb::artwork {

enum class TAlign : std::uint8_t { alLeft, alCentre, alRight };

class TVectorCanvas {
 public:
  explicit TVectorCanvas(TGuiCustomPixelMap& target, TEditorScale scale = TEditorScale::esOne)
      : FTarget(target), FScale(scale), FFactor(ScaleFactor(scale)) {}

  // Device pixels.
  std::int32_t Width() const { return FTarget.Width(); }
  std::int32_t Height() const { return FTarget.Height(); }
  // The target's size in logical pixels (fractional at 1.5x).
  double LogicalWidth() const { return FTarget.Width() / FFactor; }
  double LogicalHeight() const { return FTarget.Height() / FFactor; }
  TEditorScale Scale() const { return FScale; }

  // Fills Shape with Paint. Edge is the width in pixels over which the
  // border fades (1 or less = a crisp antialiased edge of that many device
  // pixels; larger = soft, in logical pixels).
  void Fill(const TShape& shape, const TPaint& paint, double opacity = 1.0, double edge = 1.0);
  // A blurred copy of Shape moved by (Dx, Dy): Blur pixels of fade on each
  // side of the outline.
  void Shadow(const TShape& shape, double dx, double dy, double blur, const TRgba& colour);

  // Text with its baseline at Y; X is its left end, centre or right end by
  // Align. Tracking adds that many pixels between letters. Returns the
  // width drawn.
  double Text(const TFontDescription& font, std::string_view text, double x, double y, const TPaint& paint,
              TAlign align = TAlign::alLeft, double tracking = 0);
  // The width Text draws, in logical pixels.
  double MeasuredWidth(const TFontDescription& font, std::string_view text, double tracking = 0) const;
  // The width at 1x, where a logical pixel is a device pixel.
  static double TextWidth(const TFontDescription& font, std::string_view text, double tracking = 0);

  // Composites one pixel (device pixels) of Colour with coverage Cover (0..1).
  void Blend(std::int32_t x, std::int32_t y, const TRgba& colour, double cover);

 private:
  double TextRun(const TFontDescription& font, std::string_view text, std::int32_t x, std::int32_t y,
                 const TPaint& paint);

  TGuiCustomPixelMap& FTarget;
  TEditorScale FScale;
  double FFactor;  // device pixels per logical pixel
};

}  // namespace vb::artwork

namespace vb::artwork {

// Font as drawn at Scale: the pixel height times the factor, rounded as
// the editor rounds lengths.
TFontDescription ScaledFont(const TFontDescription& font, TEditorScale scale);

// Copies Source unchanged (alpha included) to (Left, Top) of Target; the
// caller keeps it inside Target.
void CopyPixels(const TGuiCustomPixelMap& source, TGuiCustomPixelMap& target, std::int32_t left, std::int32_t top);

}  // namespace vb::artwork
