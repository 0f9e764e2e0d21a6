#pragma once
// Where the editor places its pictures and controls (window pixels), as
// the artwork needs them: captions are printed by the controls they name,
// and the preview composes every strip at its place. The values are the
// controls' start-up values, so the preview shows what a user sees first.

#include <cstdint>

#include "editor/editor_artwork.h"

namespace vb::artwork {

constexpr std::int32_t kEditorWidth = 865;
constexpr std::int32_t kEditorHeight = 150;

struct TPlacedControl {
  const char* Name;
  TArtwork Strip;
  std::int32_t Left;
  std::int32_t Top;
  double Min;  // a dial's range; switches and meters show Value as a glyph
  double Max;
  double Value;
  bool IsDial;
};

// The strips' glyph sizes give each control's width and height.
inline constexpr TPlacedControl kPlacedControls[] = {
    {"SwitchStereo", TArtwork::awSwitch2, 450, 110, 0, 1, 1, false},
    {"DialDrive", TArtwork::awKnob2, 173, 8, 0, 100, 0, true},
    {"SwitchOversampling", TArtwork::awSwitch3, 630, 110, 0, 2, 1, false},
    {"SwitchAsymmetric", TArtwork::awSwitch2, 540, 110, 0, 1, 0, false},
    {"DialDryWet", TArtwork::awKnob2, 591, 44, 0, 100, 100, true},
    {"DialPres", TArtwork::awKnob7, 517, 44, -15, 15, 0, true},
    {"DialOutput", TArtwork::awKnob8, 645, 44, -100, 100, 0, true},
    {"DialInput", TArtwork::awKnob1, 99, 44, -200, 200, 0, true},
    {"DialMid", TArtwork::awKnob7, 409, 44, -15, 15, 0, true},
    {"DialLoPass", TArtwork::awKnob6, 281, 80, 500, 5000, 3000, true},
    {"DialLow", TArtwork::awKnob7, 355, 44, -15, 15, 0, true},
    {"DialHigh", TArtwork::awKnob7, 463, 44, -15, 15, 0, true},
    {"DialHiPass", TArtwork::awKnob4, 173, 80, 0, 500, 20, true},
    {"DialFreq", TArtwork::awKnob5, 227, 80, 0, 1000, 275, true},
    {"DialCurveForm", TArtwork::awKnob3, 281, 8, 1, 200, 80, true},
    {"DialTrim", TArtwork::awKnob2, 227, 8, 0, 100, 45, true},
    {"SwitchPower", TArtwork::awRectSwitch, 765, 55, 0, 1, 1, false},
    {"VUInMeter", TArtwork::awMeter, 79, 32, 0, 74, 52, false},
    {"VUOutMeter", TArtwork::awMeter, 706, 32, 0, 74, 61, false},
};

// The lamp pictures' boxes (drawn scaled down into them, aspect kept) and
// the vendor label, drawn at run time over a plain part of the panel.
struct TPictureBox {
  std::int32_t Left;
  std::int32_t Top;
  std::int32_t Width;
  std::int32_t Height;
};
inline constexpr TPictureBox kLampOnBox{762, 14, 35, 35};
inline constexpr TPictureBox kLampOffBox{775, 27, 9, 9};
inline constexpr TPictureBox kVendorLabelBox{812, 68, 50, 14};
inline constexpr const char* kVendorLabel = "by Vorda";
inline constexpr const char* kProductName = "Brasswick";
inline constexpr const char* kVendorName = "VORDA";
inline constexpr const char* kVersion = "v1.2";

// Where a caption sits relative to its control.
enum class TCaptionPlace : std::uint8_t {
  cpAbove,
  cpBelow,
  cpRightTop,     // beside the control, level with its upper end
  cpRightMiddle,  // beside it, level with its middle
  cpRightBottom,  // beside it, level with its lower end
};

struct TCaption {
  const char* Text;
  const char* Control;
  TCaptionPlace Place;
};

inline constexpr TCaption kCaptions[] = {
    {"Drive", "DialDrive", TCaptionPlace::cpAbove},
    {"Trim", "DialTrim", TCaptionPlace::cpAbove},
    {"Curve form", "DialCurveForm", TCaptionPlace::cpAbove},
    {"Input", "DialInput", TCaptionPlace::cpBelow},
    {"Low", "DialLow", TCaptionPlace::cpBelow},
    {"Mid", "DialMid", TCaptionPlace::cpBelow},
    {"High", "DialHigh", TCaptionPlace::cpBelow},
    {"Pres", "DialPres", TCaptionPlace::cpBelow},
    {"Dry/Wet", "DialDryWet", TCaptionPlace::cpBelow},
    {"Output", "DialOutput", TCaptionPlace::cpBelow},
    {"Power", "SwitchPower", TCaptionPlace::cpBelow},
    {"HiPass", "DialHiPass", TCaptionPlace::cpBelow},
    {"Freq", "DialFreq", TCaptionPlace::cpBelow},
    {"LoPass", "DialLoPass", TCaptionPlace::cpBelow},
    {"Stereo", "SwitchStereo", TCaptionPlace::cpRightTop},
    {"Mono", "SwitchStereo", TCaptionPlace::cpRightBottom},
    {"Asymmetric", "SwitchAsymmetric", TCaptionPlace::cpRightTop},
    {"Symmetric", "SwitchAsymmetric", TCaptionPlace::cpRightBottom},
    {"16x", "SwitchOversampling", TCaptionPlace::cpRightTop},
    {"8x", "SwitchOversampling", TCaptionPlace::cpRightMiddle},
    {"No", "SwitchOversampling", TCaptionPlace::cpRightBottom},
};

// The control of that name (null when there is none).
const TPlacedControl* FindPlacedControl(const char* name);

// The glyph a control shows for its Value: dials round their position in
// the range to the nearest glyph (ties to even), others show Value.
std::int32_t PlacedGlyph(const TPlacedControl& control);

}  // namespace vb::artwork
