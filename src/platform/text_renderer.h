#pragma once
// The text contract between the GUI and the platform.
//
// A text renderer measures a UTF-8 string in a described font and draws it in
// white into an 8-bit coverage raster (0 = no ink, 255 = full ink). It needs
// no display, so headless code and tests render real glyphs. The system
// renderer (SystemTextRenderer) uses FreeType on faces held in memory, never
// the machine's fonts; this folder is the only place that includes FreeType.
//
// Geometry: a string occupies a box Width x Height whose top row lies Ascent
// pixels above the baseline. Every glyph pixel that Draw produces lies inside
// that box, nothing outside it is touched.
//
// Threads: any thread may call a renderer, calls are serialised inside; it is
// user-interface code and never belongs on the audio path.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/canvas.h"

namespace vb {

struct TFontDescription {
  // A family name as the user knows it ("DejaVu Sans", "Lucida Console").
  // A family the renderer does not hold is replaced by the face answering
  // for its kind (fixed-pitch, serif, sans-serif); "Default" or an empty
  // name asks for the default sans-serif face.
  std::string FaceName = "Default";
  // The em size in pixels (the height a capital plus descender is designed
  // around), or, with CellHeight, the height of the whole line cell
  // (ascent + descent). At least 1.
  std::int32_t PixelHeight = 12;
  bool CellHeight = false;
  bool Bold = false;
  bool Italic = false;
  // False renders one-bit glyphs (coverage 0 or 255 only).
  bool Antialiased = true;

  friend bool operator==(const TFontDescription&, const TFontDescription&) = default;
};

struct TTextExtent {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  // Rows from the top of the box down to the baseline.
  std::int32_t Ascent = 0;

  friend bool operator==(const TTextExtent&, const TTextExtent&) = default;
};

// What a font description resolved to on this system.
struct TFaceInfo {
  std::string Family;
  std::string Style;
  bool FixedPitch = false;
  // True when the face lacks the asked weight or slant and the renderer
  // makes it up (emboldened outlines, oblique shear).
  bool SyntheticBold = false;
  bool SyntheticItalic = false;
};

enum class TTextAnchor : std::uint8_t {
  taTopLeft,   // (X, Y) is the top-left corner of the text's box
  taBaseline,  // (X, Y) is the left end of the baseline
};

class TTextRenderer {
 public:
  virtual ~TTextRenderer() = default;

  // The box the text needs; Width and Height are 0 for an empty string.
  // Height and Ascent depend only on the font for ordinary text; they grow
  // only for glyphs reaching beyond the face's line metrics.
  virtual TTextExtent Measure(const TFontDescription& Font, std::string_view Utf8) = 0;

  // Draws the text in white: each target byte becomes
  // b + (255 - b) * coverage / 255, so white on a cleared raster gives the
  // coverage itself and overlapping glyphs never darken. Target must be an
  // rfGrey8 raster; parts outside it are clipped. Returns the box that was
  // drawn into, in target coordinates (before clipping).
  virtual TRect Draw(const TFontDescription& Font, std::string_view Utf8, const TRasterView& Target, std::int32_t X,
                     std::int32_t Y, TTextAnchor Anchor = TTextAnchor::taTopLeft) = 0;

  virtual TFaceInfo Describe(const TFontDescription& Font) = 0;
};

// A font file (TrueType or OpenType, or a collection of them) in memory
// that stays valid for the rest of the process.
struct TFontFile {
  const std::uint8_t* Data = nullptr;
  std::size_t Size = 0;
};

// The faces compiled into the library from the repository's fonts/ folder:
// the ones the plug-in draws with. The first is the default sans-serif.
std::span<const TFontFile> BundledFontFiles();

// The process's FreeType renderer over the bundled faces and those added
// below, created on first use with its own FreeType library (nothing a host
// may share is touched) and kept until the library unloads.
TTextRenderer& SystemTextRenderer();

// Adds faces the system renderer may draw with (a build tool drawing with
// more faces than the plug-in carries). Any thread; descriptions resolve
// again afterwards.
void AddSystemFontFiles(std::span<const TFontFile> Files);

}  // namespace vb
