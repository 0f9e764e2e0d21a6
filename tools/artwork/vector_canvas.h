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
  explicit TVectorCanvas(TGuiCustomPixelMap& Target, TEditorScale Scale = TEditorScale::esOne)
      : FTarget(Target), FScale(Scale), FFactor(ScaleFactor(Scale)) {}

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
  void Fill(const TShape& Shape, const TPaint& Paint, double Opacity = 1.0, double Edge = 1.0);
  // A blurred copy of Shape moved by (Dx, Dy): Blur pixels of fade on each
  // side of the outline.
  void Shadow(const TShape& Shape, double Dx, double Dy, double Blur, const TRgba& Colour);

  // Text with its baseline at Y; X is its left end, centre or right end by
  // Align. Tracking adds that many pixels between letters. Returns the
  // width drawn.
  double Text(const TFontDescription& Font, std::string_view Text, double X, double Y, const TPaint& Paint,
              TAlign Align = TAlign::alLeft, double Tracking = 0);
  // The width Text draws, in logical pixels.
  double MeasuredWidth(const TFontDescription& Font, std::string_view Text, double Tracking = 0) const;
  // The width at 1x, where a logical pixel is a device pixel.
  static double TextWidth(const TFontDescription& Font, std::string_view Text, double Tracking = 0);

  // Composites one pixel (device pixels) of Colour with coverage Cover (0..1).
  void Blend(std::int32_t X, std::int32_t Y, const TRgba& Colour, double Cover);

 private:
  double TextRun(const TFontDescription& Font, std::string_view Text, std::int32_t X, std::int32_t Y,
                 const TPaint& Paint);

  TGuiCustomPixelMap& FTarget;
  TEditorScale FScale;
  double FFactor;  // device pixels per logical pixel
};

}  // namespace vb::artwork

namespace vb::artwork {

// Font as drawn at Scale: the pixel height times the factor, rounded as
// the editor rounds lengths.
TFontDescription ScaledFont(const TFontDescription& Font, TEditorScale Scale);

// Copies Source unchanged (alpha included) to (Left, Top) of Target; the
// caller keeps it inside Target.
void CopyPixels(const TGuiCustomPixelMap& Source, TGuiCustomPixelMap& Target, std::int32_t Left, std::int32_t Top);

}  // namespace vb::artwork
