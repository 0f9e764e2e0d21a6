#include "artwork_set.h"

#include <algorithm>

#include "front_panel.h"
#include "knob_strip.h"
#include "lamp_pictures.h"
#include "meter_strip.h"
#include "png/png_memory_stream.h"
#include "png/portable_network_graphic_pixel32.h"
#include "switch_strips.h"

namespace vb::artwork {
namespace {

// The scale printed around each knob strip, by strip: low end, top, high end,
// in the unit the user reads (Input and Output in dB, Curve form as a
// factor). The dials map linearly, so the top number is the middle of the
// range: the low-pass dial's is 2750 Hz.
constexpr TKnobArtwork kKnobScales[] = {
    {TArtwork::awKnob1, {"\u221220", "0", "20"}}, {TArtwork::awKnob2, {"0", "50", "100"}},
    {TArtwork::awKnob3, {"0", "1", "2"}},         {TArtwork::awKnob4, {"0", "250", "500"}},
    {TArtwork::awKnob5, {"0", "500", "1000"}},    {TArtwork::awKnob6, {"500", "2750", "5000"}},
    {TArtwork::awKnob7, {"\u221215", "0", "15"}}, {TArtwork::awKnob8, {"\u221210", "0", "10"}},
};

void DrawGlyphs(TArtwork Id, TGuiPixelMapMemory& Map, TEditorScale Scale) {
  const TArtworkInfo& info = ArtworkInfo(Id);
  switch (Id) {
    case TArtwork::awFrontPanel:
      DrawFrontPanel(Map, Scale);
      return;
    case TArtwork::awLampOn:
      DrawLampOn(Map, Scale);
      return;
    case TArtwork::awLampOff:
      DrawLampOff(Map, Scale);
      return;
    case TArtwork::awRectSwitch:
      DrawRockerStrip(Map, info.GlyphCount, Scale);
      return;
    case TArtwork::awSwitch2:
    case TArtwork::awSwitch3:
      DrawLeverStrip(Map, info.GlyphCount, Scale);
      return;
    case TArtwork::awMeter:
      DrawMeterStrip(Map, info.GlyphCount, Scale);
      return;
    default:
      break;
  }
  if (const TKnobScale* knob = KnobScale(Id)) DrawKnobStrip(Map, *knob, info.GlyphCount, Scale);
}

}  // namespace

const TKnobScale* KnobScale(TArtwork Id) {
  for (const TKnobArtwork& knob : kKnobScales) {
    if (knob.Id == Id) return &knob.Scale;
  }
  return nullptr;
}

void DrawArtwork(TArtwork Id, TGuiPixelMapMemory& Map, TEditorScale Scale) {
  const TArtworkInfo info = ScaledArtworkInfo(Id, Scale);
  Map.SetSize(info.Width, info.Height);
  Map.Clear(TPixel32{0, 0, 0, 0});
  DrawGlyphs(Id, Map, Scale);
}

std::vector<std::uint8_t> EncodeRgbaPng(const TGuiCustomPixelMap& Map, std::uint8_t Level) {
  TPortableNetworkGraphicPixel32 png;
  png.SetStorageFormat(psfRGBA);
  png.SetCompressionLevel(Level);
  png.Assign(Map);
  TPngMemoryStream out;
  png.SaveToMemory(out);
  return out.Bytes();
}

std::vector<std::vector<std::uint8_t>> EncodeArtworkPieces(const TGuiCustomPixelMap& Map, TArtwork Id,
                                                           TEditorScale Scale) {
  const TArtworkInfo info = ScaledArtworkInfo(Id, Scale);
  const bool across = info.Direction == TStripDirection::sdHorizontal;
  std::vector<std::vector<std::uint8_t>> files;
  if (ArtworkPieceCount(Id) == 1) {
    files.push_back(EncodeRgbaPng(Map, PngLevel(Scale)));
    return files;
  }
  TGuiPixelMapMemory piece;
  for (std::int32_t p = 0; p < ArtworkPieceCount(Id); ++p) {
    const TArtworkPiece glyphs = ArtworkPiece(Id, p);
    const std::int32_t x0 = across ? glyphs.FirstGlyph * info.GlyphWidth() : 0;
    const std::int32_t y0 = across ? 0 : glyphs.FirstGlyph * info.GlyphHeight();
    piece.SetSize(across ? glyphs.GlyphCount * info.GlyphWidth() : info.Width,
                  across ? info.Height : glyphs.GlyphCount * info.GlyphHeight());
    for (std::int32_t y = 0; y < piece.Height(); ++y)
      std::copy_n(Map.ScanLine(y0 + y) + x0, piece.Width(), piece.ScanLine(y));
    files.push_back(EncodeRgbaPng(piece, PngLevel(Scale)));
  }
  return files;
}

}  // namespace vb::artwork
