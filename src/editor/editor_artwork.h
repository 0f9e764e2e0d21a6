#pragma once
// The editor's pictures: the front panel, the two lamps and the twelve image
// strips, as PNG files embedded in the library. The build draws them with
// tools/artwork and compiles the bytes in (editor_artwork_data.cpp, generated;
// scaled_artwork.h gives them), so the plug-in reads no files; the editor
// decodes them with the PNG codec as it shows them.
//
// The strip entries follow the image list's item order: strip i of the list
// is picture kFirstStrip + i.

#include <array>
#include <cstdint>

namespace vb {

enum class TArtwork : std::uint8_t {
  awFrontPanel,
  awLampOn,
  awLampOff,
  awRectSwitch,
  awSwitch2,
  awSwitch3,
  awMeter,
  awKnob1,
  awKnob2,
  awKnob3,
  awKnob4,
  awKnob5,
  awKnob6,
  awKnob7,
  awKnob8,
};

constexpr std::size_t kArtworkCount = 15;
constexpr TArtwork kFirstStrip = TArtwork::awRectSwitch;
constexpr std::size_t kStripCount = 12;

// How the glyphs of a strip are stitched together: side by side, or one
// below the other.
enum class TStripDirection : std::uint8_t { sdNone, sdHorizontal, sdVertical };

struct TArtworkInfo {
  TArtwork Id;
  // The image list's DisplayName for strips, a file stem for the others.
  const char* DisplayName;
  std::int32_t Width;  // pixels of the whole picture
  std::int32_t Height;
  std::int32_t GlyphCount;  // 1 for single pictures
  TStripDirection Direction;

  constexpr std::int32_t GlyphWidth() const {
    return Direction == TStripDirection::sdHorizontal ? Width / GlyphCount : Width;
  }
  constexpr std::int32_t GlyphHeight() const {
    return Direction == TStripDirection::sdVertical ? Height / GlyphCount : Height;
  }
};

constexpr std::array<TArtworkInfo, kArtworkCount> kArtworkTable{{
    {TArtwork::awFrontPanel, "FrontPanel", 865, 149, 1, TStripDirection::sdNone},
    {TArtwork::awLampOn, "LampOn", 256, 256, 1, TStripDirection::sdNone},
    {TArtwork::awLampOff, "LampOff", 297, 298, 1, TStripDirection::sdNone},
    {TArtwork::awRectSwitch, "RectSwitch", 60, 40, 2, TStripDirection::sdHorizontal},
    {TArtwork::awSwitch2, "Switch2", 20, 80, 2, TStripDirection::sdVertical},
    {TArtwork::awSwitch3, "Switch3", 20, 120, 3, TStripDirection::sdVertical},
    {TArtwork::awMeter, "VU", 1500, 84, 75, TStripDirection::sdHorizontal},
    {TArtwork::awKnob1, "Knob1", 60, 6000, 100, TStripDirection::sdVertical},
    {TArtwork::awKnob2, "Knob2", 60, 6000, 100, TStripDirection::sdVertical},
    {TArtwork::awKnob3, "Knob3", 60, 6000, 100, TStripDirection::sdVertical},
    {TArtwork::awKnob4, "Knob4", 60, 6000, 100, TStripDirection::sdVertical},
    {TArtwork::awKnob5, "Knob5", 60, 6000, 100, TStripDirection::sdVertical},
    {TArtwork::awKnob6, "Knob6", 60, 6000, 100, TStripDirection::sdVertical},
    {TArtwork::awKnob7, "Knob7", 60, 6000, 100, TStripDirection::sdVertical},
    {TArtwork::awKnob8, "Knob8", 60, 6000, 100, TStripDirection::sdVertical},
}};

constexpr const TArtworkInfo& ArtworkInfo(TArtwork Id) { return kArtworkTable[std::size_t(Id)]; }
constexpr TArtwork StripArtwork(std::size_t StripIndex) { return TArtwork(std::size_t(kFirstStrip) + StripIndex); }

}  // namespace vb
