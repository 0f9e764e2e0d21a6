#pragma once
// Font objects that render text into an 8-bit coverage buffer with the
// platform's text renderer (platform/text_renderer.h), optionally blur a copy
// into a soft shadow, and blend the coverage into a pixel map in the font's
// colour. The oversampled font renders at 2 to 16 times the size and
// box-reduces the coverage to the target size, which antialiases even
// one-bit glyphs.
//
// Used from the thread that owns the window only.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "gui/gui_filters.h"
#include "gui/gui_shadow.h"
#include "image/gui_byte_map_memory.h"
#include "image/pixel32.h"
#include "platform/system_colors.h"
#include "platform/text_renderer.h"

namespace vb {

class TGuiCustomPixelMap;

enum TFontOversampling : std::uint8_t { foNone, fo2x, fo3x, fo4x, fo6x, fo8x, fo12x, fo16x };
enum TFontTurn : std::uint8_t { ftNone, ftClockwise, ftCounterClockwise };

// The oversampling factor of each TFontOversampling (1, 2, 3, 4, 6, 8, 12, 16).
std::int32_t OversamplingFactor(TFontOversampling Value);

// A platform font as controls carry it: face, height, style and colour.
struct TFont {
  // A family name; "Default" asks for the system's default face.
  std::string Name = "Default";
  // Pixels: above 0 the height of the whole character cell, below 0 the
  // character (em) height.
  std::int32_t Height = -11;
  bool Bold = false;
  bool Italic = false;
  TColor Color = clWindowText;

  friend bool operator==(const TFont&, const TFont&) = default;
};

class TGuiCustomFont;
using TFontNotifyEvent = std::function<void(TGuiCustomFont& Sender)>;

class TGuiCustomFont {
 public:
  TGuiCustomFont();
  virtual ~TGuiCustomFont();
  TGuiCustomFont(const TGuiCustomFont&) = delete;
  TGuiCustomFont& operator=(const TGuiCustomFont&) = delete;

  // Ask the renderer for antialiased glyphs (off: one-bit glyphs).
  bool Antialiasing() const { return FAntiAliasing; }
  void SetAntialiasing(bool Value);
  // Overall opacity of the text: the coverage is scaled by it below 255.
  std::uint8_t Alpha() const { return FAlpha; }
  void SetAlpha(std::uint8_t Value);
  TGuiShadow& Shadow() { return FShadow; }
  // Copies Value's settings, then Changed.
  void SetShadow(const TGuiShadow& Value);
  // The shadow's colour with its opacity as alpha.
  TPixel32 ShadowColor() const { return FShadowColor; }

  void SetOnChange(TFontNotifyEvent Handler) { FOnChange = std::move(Handler); }

  // Size of Text as drawn, in target pixels.
  virtual TTextExtent TextExtent(std::string_view Text) = 0;
  // Draws Text (and its shadow) with its top-left corner at X, Y; with no
  // map it still renders into its buffers.
  virtual void TextOut(std::string_view Text, TGuiCustomPixelMap* Map, std::int32_t X, std::int32_t Y) = 0;

 protected:
  virtual void AntialiasingChanged() { Changed(); }
  virtual void ShadowChanged();
  virtual void Changed();

  TGuiSaturationFilter& SaturationFilter() { return FSaturation; }
  TGuiCustomBlurFilter& BlurFilter() { return *FBlurFilter; }

 private:
  TGuiShadow FShadow;
  TGuiSaturationFilter FSaturation;
  std::unique_ptr<TGuiCustomBlurFilter> FBlurFilter;
  TFontNotifyEvent FOnChange;
  TPixel32 FShadowColor = Pixel32(0xFF000000);
  std::uint8_t FAlpha = 255;
  bool FAntiAliasing = false;
};

// Renders with the platform's text renderer into a coverage buffer whose
// sides are multiples of 4, so its rows are contiguous.
class TGuiCustomGDIFont : public TGuiCustomFont {
 public:
  // Renderer defaults to the system's (FreeType on the bundled faces).
  explicit TGuiCustomGDIFont(TTextRenderer* Renderer = nullptr);
  ~TGuiCustomGDIFont() override;

  const TFont& Font() const { return FFont; }
  // Copies Value, then FontChanged.
  void SetFont(const TFont& Value);
  TFontTurn FontTurn() const { return FFontTurn; }
  void SetFontTurn(TFontTurn Value);

  TTextExtent TextExtent(std::string_view Text) override;
  void TextOut(std::string_view Text, TGuiCustomPixelMap* Map, std::int32_t X, std::int32_t Y) override;

  // The coverage buffers (their content is only meaningful during TextOut).
  const TGuiCustomByteMap& Buffer() const { return FBuffer; }
  const TGuiCustomByteMap* ShadowBuffer() const { return FShadowBuffer.get(); }

 protected:
  void AntialiasingChanged() override;
  virtual void FontChanged();
  // Builds the renderer's description of the font text is rendered with.
  virtual void SelectFont();
  virtual void FontTurnChanged() { Changed(); }
  // 1 for the simple font.
  virtual std::int32_t Factor() const { return 1; }
  // Oversampled fonts draw into rectangles and shape the shadow's tone.
  virtual bool Oversampled() const { return false; }
  // Reduces the rendered coverage to the target size (nothing at factor 1).
  virtual void Downsample(TGuiCustomByteMap& Map) {}
  // The font text is rendered with (scaled by Factor for oversampling).
  virtual TFont RenderFont() const { return FFont; }
  TTextRenderer& Renderer() { return *FRenderer; }

 private:
  TTextExtent MeasureScaled(std::string_view Text);
  // Renders Text in white at (Border, Border) of a cleared buffer sized for
  // it, with Alpha applied.
  void RenderCoverage(std::string_view Text, const TTextExtent& Extent, std::int32_t Border);
  void Turn(TGuiCustomByteMap& Map) const;
  void DrawShadow(TGuiCustomPixelMap* Map, std::int32_t X, std::int32_t Y, std::int32_t Border);
  void DrawText(TGuiCustomPixelMap* Map, std::int32_t X, std::int32_t Y, std::int32_t Border);

  TTextRenderer* FRenderer;
  TFont FFont;
  TFontDescription FSelected;
  TGuiByteMapMemory FBuffer;
  std::unique_ptr<TGuiByteMapMemory> FShadowBuffer;
  TFontTurn FFontTurn = ftNone;
};

class TGuiCustomSimpleGDIFont : public TGuiCustomGDIFont {
 public:
  using TGuiCustomGDIFont::TGuiCustomGDIFont;
};

class TGuiSimpleGDIFont : public TGuiCustomSimpleGDIFont {
 public:
  using TGuiCustomSimpleGDIFont::TGuiCustomSimpleGDIFont;
};

class TGuiCustomOversampledGDIFont : public TGuiCustomGDIFont {
 public:
  using TGuiCustomGDIFont::TGuiCustomGDIFont;

  TFontOversampling FontOversampling() const { return FFontOversampling; }
  void SetFontOversampling(TFontOversampling Value);

  // The cascade of box reductions for the oversampling factor (fo6x: by 3,
  // then by 2; fo8x: 4, 2; fo12x: 4, 3; fo16x: 4, 4): the reduced coverage
  // ends in the top-left (width / factor) x (height / factor) bytes of Map,
  // whose size does not change.
  void Downsample(TGuiCustomByteMap& Map) override;

 protected:
  virtual void FontOversamplingChanged();
  std::int32_t Factor() const override { return FOSFactor; }
  bool Oversampled() const override { return true; }
  TFont RenderFont() const override;

 private:
  TFontOversampling FFontOversampling = foNone;
  std::int32_t FOSFactor = 1;
};

class TGuiOversampledGDIFont : public TGuiCustomOversampledGDIFont {
 public:
  using TGuiCustomOversampledGDIFont::TGuiCustomOversampledGDIFont;
};

// One box reduction by K (2, 3 or 4) over the whole of Map, in place: byte
// (i, j) becomes the truncated mean of the K x K bytes at (K i, K j).
void BoxReduce(TGuiCustomByteMap& Map, std::int32_t K);

}  // namespace vb
