#pragma once
// The editor window's layout as data: every component of the window in
// creation order, with its place, size, picture or strip, parameter and
// start-up settings. The window (TWndGUI) builds itself from this table and
// the artwork generator (tools/artwork) places its captions and preview by
// it, so a control's position lives here and nowhere else.
//
// Windowless components (pictures, the label) are drawn in table order;
// the windowed ones (dials, switches, meters) lie above all of them.
// Coordinates are window client pixels, left and top edge.

#include <cstdint>
#include <string_view>

#include "editor/editor_artwork.h"
#include "platform/canvas.h"

namespace vb {

// --- The window ------------------------------------------------------------------

constexpr std::int32_t kEditorWidth = 865;  // pixels
// The lowest controls end here; the panel picture is one row shorter and
// the window's colour shows in the last row.
constexpr std::int32_t kEditorHeight = 150;
constexpr TColor kEditorColor = 0x00FFFFFF;  // white
constexpr const char* kEditorCaption = "Vorda Brasswick v1.2";
// The meters' refresh interval, ms.
constexpr std::uint32_t kMeterIntervalMs = 100;
// The page the vendor label opens.
constexpr const char* kVendorUrl = "https://vorda.example/brasswick";

// --- The vendor label's text and font ---------------------------------------------

constexpr const char* kVendorLabelCaption = "by Vorda";
constexpr const char* kVendorLabelFace = "Lucida Console";
constexpr std::int32_t kVendorLabelCellHeight = 12;  // pixels, whole character cell
constexpr TColor kVendorLabelColor = 0x00FFFFFF;
// The label's text is rendered this many times larger and reduced.
constexpr std::int32_t kVendorLabelOversampling = 16;

// --- The components ------------------------------------------------------------------

enum class TEditorControlKind : std::uint8_t {
  eckPicture,    // a windowless PNG picture, scaled down into its box
  eckLabel,      // the windowless vendor label
  eckSwitch,     // steps through its strip's glyphs on clicks
  eckDial,       // a knob
  eckDisplay,    // shows the glyph its owner sets (the meters)
  eckStripList,  // the image list holding the twelve strips (not visible)
  eckTimer,      // the meter timer (not visible)
};

// What a component does in the window beyond being drawn.
enum class TEditorRole : std::uint8_t {
  erNone,
  erFrontPanel,   // Control + click restores every parameter's default
  erVendorLink,   // a click opens kVendorUrl
  erLampOn,       // shown while Power is on
  erLampOff,      // shown while Power is off
  erParameter,    // bound to a parameter both ways (editor_bindings.h)
  erInputMeter,   // input peak; a double click resets it
  erOutputMeter,  // output peak; a double click resets it
  erMeterTimer,   // refreshes both meters
};

struct TEditorControlSpec {
  const char* Name;
  TEditorControlKind Kind;
  TEditorRole Role;
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  // The picture, or the strip a switch, dial or display draws (the strip
  // list's item StripIndex(Art)).
  TArtwork Art = TArtwork::awFrontPanel;
  // Dials: the knob's own default (Control + right click), in its
  // parameter's unit. It is applied before the parameter's range, so it is
  // clamped to the creation range 0..100 only.
  float DefaultValue = 0;
  // Switches and displays.
  std::int32_t GlyphIndex = 0;
  std::int32_t DefaultGlyphIndex = 0;
  TColor Color = 0;  // switches; no visible effect while transparent
  const char* Hint = "";
  bool ShowHint = false;
  bool Visible = true;
  bool AutoSize = false;  // pictures: the box takes the picture's size

  constexpr bool DrawsStrip() const {
    return Kind == TEditorControlKind::eckSwitch || Kind == TEditorControlKind::eckDial ||
           Kind == TEditorControlKind::eckDisplay;
  }
};

constexpr std::int32_t StripIndex(TArtwork Art) { return std::int32_t(Art) - std::int32_t(kFirstStrip); }

namespace layout {

constexpr std::int32_t kKnobSize = 60;  // pixels, every knob
constexpr TColor kSwitchColor = 103128;

constexpr TEditorControlSpec Picture(const char* Name, TEditorRole Role, std::int32_t Left, std::int32_t Top,
                                     std::int32_t Width, std::int32_t Height, TArtwork Art, bool Visible = true) {
  TEditorControlSpec spec{Name, TEditorControlKind::eckPicture, Role, Left, Top, Width, Height, Art};
  spec.Visible = Visible;
  spec.AutoSize = Role == TEditorRole::erFrontPanel;
  return spec;
}

constexpr TEditorControlSpec Label(const char* Name, std::int32_t Left, std::int32_t Top, std::int32_t Width,
                                   std::int32_t Height, const char* Hint) {
  TEditorControlSpec spec{Name, TEditorControlKind::eckLabel, TEditorRole::erVendorLink, Left, Top, Width, Height};
  spec.Hint = Hint;
  spec.ShowHint = true;
  return spec;
}

constexpr TEditorControlSpec Switch(const char* Name, std::int32_t Left, std::int32_t Top, std::int32_t Width,
                                    std::int32_t Height, TArtwork Strip, const char* Hint,
                                    TColor Color = kSwitchColor) {
  TEditorControlSpec spec{Name, TEditorControlKind::eckSwitch, TEditorRole::erParameter, Left, Top, Width, Height,
                          Strip};
  spec.Color = Color;
  spec.Hint = Hint;
  return spec;
}

constexpr TEditorControlSpec Dial(const char* Name, std::int32_t Left, std::int32_t Top, TArtwork Strip,
                                  float DefaultValue = 0) {
  TEditorControlSpec spec{Name, TEditorControlKind::eckDial, TEditorRole::erParameter, Left, Top, kKnobSize, kKnobSize,
                          Strip};
  spec.DefaultValue = DefaultValue;
  return spec;
}

constexpr TEditorControlSpec Meter(const char* Name, TEditorRole Role, std::int32_t Left, std::int32_t Top,
                                   std::int32_t Width, std::int32_t Height) {
  return TEditorControlSpec{Name, TEditorControlKind::eckDisplay, Role, Left, Top, Width, Height, TArtwork::awMeter};
}

}  // namespace layout

// Creation order. The dials' DefaultValue (a Control + right click) is the
// knob's own, not the parameter's default.
inline constexpr TEditorControlSpec kEditorLayout[] = {
    layout::Picture("ImgFront", TEditorRole::erFrontPanel, 0, 0, 865, 149, TArtwork::awFrontPanel),
    layout::Label("LblByVorda", 812, 68, 50, 14, "Visit website"),
    layout::Picture("LEDOn", TEditorRole::erLampOn, 762, 14, 35, 35, TArtwork::awLampOn),
    layout::Picture("LEDOff", TEditorRole::erLampOff, 775, 27, 9, 9, TArtwork::awLampOff, false),
    layout::Switch("SwitchStereo", 450, 110, 20, 40, TArtwork::awSwitch2, "Stereo"),
    layout::Dial("DialDrive", 173, 8, TArtwork::awKnob2),
    layout::Switch("SwitchOversampling", 630, 110, 20, 40, TArtwork::awSwitch3, "Oversampling"),
    layout::Switch("SwitchAsymmetric", 540, 110, 20, 40, TArtwork::awSwitch2, "Asymmetrical"),
    layout::Dial("DialDryWet", 591, 44, TArtwork::awKnob2),
    layout::Dial("DialPres", 517, 44, TArtwork::awKnob7),
    layout::Dial("DialOutput", 645, 44, TArtwork::awKnob8),
    layout::Dial("DialInput", 99, 44, TArtwork::awKnob1),
    layout::Dial("DialMid", 409, 44, TArtwork::awKnob7),
    layout::Dial("DialLoPass", 281, 80, TArtwork::awKnob6, 100),
    layout::Dial("DialLow", 355, 44, TArtwork::awKnob7),
    layout::Dial("DialHigh", 463, 44, TArtwork::awKnob7),
    layout::Dial("DialHiPass", 173, 80, TArtwork::awKnob4),
    layout::Dial("DialFreq", 227, 80, TArtwork::awKnob5),
    layout::Dial("DialCurveForm", 281, 8, TArtwork::awKnob3),
    layout::Dial("DialTrim", 227, 8, TArtwork::awKnob2),
    layout::Switch("SwitchPower", 765, 55, 30, 40, TArtwork::awRectSwitch, "", 0),
    layout::Meter("VUInMeter", TEditorRole::erInputMeter, 79, 32, 20, 84),
    layout::Meter("VUOutMeter", TEditorRole::erOutputMeter, 706, 32, 20, 84),
    {"GSPL", TEditorControlKind::eckStripList, TEditorRole::erNone},
    {"TimerVU", TEditorControlKind::eckTimer, TEditorRole::erMeterTimer},
};

inline constexpr std::size_t kEditorLayoutCount = std::size(kEditorLayout);

// The component of that name (null when there is none).
constexpr const TEditorControlSpec* FindEditorControl(std::string_view Name) {
  for (const TEditorControlSpec& spec : kEditorLayout) {
    if (Name == spec.Name) return &spec;
  }
  return nullptr;
}

namespace layout {

// Strips are cut into glyphs of the control's size; a strip drawn into a box
// of another size would show parts of its neighbours or leave gaps.
constexpr bool EveryStripFitsItsControl() {
  for (const TEditorControlSpec& spec : kEditorLayout) {
    if (!spec.DrawsStrip()) continue;
    const TArtworkInfo& info = ArtworkInfo(spec.Art);
    if (info.Direction == TStripDirection::sdNone || info.GlyphWidth() != spec.Width ||
        info.GlyphHeight() != spec.Height)
      return false;
  }
  return true;
}

constexpr bool EverythingInsideTheWindow() {
  for (const TEditorControlSpec& spec : kEditorLayout) {
    if (spec.Left < 0 || spec.Top < 0 || spec.Left + spec.Width > kEditorWidth ||
        spec.Top + spec.Height > kEditorHeight)
      return false;
  }
  return true;
}

static_assert(EveryStripFitsItsControl());
static_assert(EverythingInsideTheWindow());

}  // namespace layout

}  // namespace vb
