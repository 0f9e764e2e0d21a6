#pragma once
// Where the editor places its pictures and controls (window pixels), as
// the artwork needs them, read from the editor's own layout table
// (editor/editor_layout.h): captions are printed by the controls they name,
// and the preview composes every strip at its place. Dials stand at their
// parameters' defaults over their parameters' ranges (editor_bindings.h),
// so the preview shows what a user sees first.

#include <array>
#include <cstdint>
#include <string_view>

#include "editor/editor_artwork.h"
#include "editor/editor_bindings.h"
#include "editor/editor_layout.h"

namespace vb::artwork {

// A control that draws a strip, as the artwork sees it.
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

// What the preview shows beyond the start-up values: music playing through
// the effect in stereo at 8x.
struct TPreviewGlyph {
  const char* Name;
  std::int32_t Glyph;
};
inline constexpr TPreviewGlyph kPreviewGlyphs[] = {
    {"SwitchStereo", 1},
    {"SwitchOversampling", 1},
    {"VUInMeter", 52},
    {"VUOutMeter", 61},
};

namespace detail {

constexpr std::size_t CountStripControls() {
  std::size_t count = 0;
  for (const TEditorControlSpec& spec : kEditorLayout) count += spec.DrawsStrip();
  return count;
}

// The range and default of the parameter a dial shows.
constexpr TDriveParameterRange DialRange(const TEditorControlSpec& Spec) {
  for (const TEditorBinding& binding : kEditorBindings)
    if (std::string_view(binding.Control) == Spec.Name) return ParameterRange(binding.Parameter);
  return TDriveParameterRange{0, 100, 0};
}

constexpr double PreviewValue(const TEditorControlSpec& Spec) {
  if (Spec.Kind == TEditorControlKind::eckDial) return DialRange(Spec).Default;
  for (const TPreviewGlyph& preview : kPreviewGlyphs)
    if (std::string_view(preview.Name) == Spec.Name) return preview.Glyph;
  return Spec.GlyphIndex;
}

constexpr std::array<TPlacedControl, CountStripControls()> PlaceControls() {
  std::array<TPlacedControl, CountStripControls()> placed{};
  std::size_t i = 0;
  for (const TEditorControlSpec& spec : kEditorLayout) {
    if (!spec.DrawsStrip()) continue;
    const bool dial = spec.Kind == TEditorControlKind::eckDial;
    const TDriveParameterRange range = DialRange(spec);
    placed[i++] = TPlacedControl{
        spec.Name,          spec.Art, spec.Left, spec.Top, dial ? range.Min : 0.0, dial ? range.Max : 0.0,
        PreviewValue(spec), dial};
  }
  return placed;
}

}  // namespace detail

// The editor's controls that draw strips, from its layout table, in
// creation order; the strips' glyph sizes are the controls' sizes.
inline constexpr std::array<TPlacedControl, detail::CountStripControls()> kPlacedControls = detail::PlaceControls();

// The lamp pictures' boxes (drawn scaled down into them, aspect kept) and
// the vendor label, drawn at run time over a plain part of the panel.
struct TPictureBox {
  std::int32_t Left;
  std::int32_t Top;
  std::int32_t Width;
  std::int32_t Height;
};
// (No pointers in these constant expressions: sanitizer builds cannot
// evaluate pointer tests at compile time.)
constexpr TPictureBox LayoutBox(std::string_view Name) {
  for (const TEditorControlSpec& spec : kEditorLayout)
    if (Name == spec.Name) return TPictureBox{spec.Left, spec.Top, spec.Width, spec.Height};
  return TPictureBox{};
}
inline constexpr TPictureBox kLampOnBox = LayoutBox("LEDOn");
inline constexpr TPictureBox kLampOffBox = LayoutBox("LEDOff");
inline constexpr TPictureBox kVendorLabelBox = LayoutBox("LblByVorda");
inline constexpr const char* kVendorLabel = kVendorLabelCaption;
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
const TPlacedControl* FindPlacedControl(const char* Name);

// The glyph a control shows for its Value: dials round their position in
// the range to the nearest glyph (ties to even), others show Value.
std::int32_t PlacedGlyph(const TPlacedControl& Control);

}  // namespace vb::artwork
