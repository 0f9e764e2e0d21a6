#pragma once
// The editor's scale factor for high-density screens (1, 1.5 or 2) and the
// one rounding rule that turns logical pixels (the layout table's, and those
// of the 1x artwork) into device pixels.
//
// The factor is held exactly, as a count of halves, so 1.5 never meets a
// floating-point rounding. Device coordinates are found by scaling edges,
// never sizes: Scaled(Left + Width) - Scaled(Left) is the device width, so
// rectangles that abut in logical pixels abut on the screen too.
//
// How the factor is chosen, first source that is set and valid:
//   1. VB_EDITOR_SCALE: 1, 1.5, 2 or auto;
//   2. "scale = ..." in $XDG_CONFIG_HOME/vorda-brasswick/editor.conf
//      (~/.config when XDG_CONFIG_HOME is unset; on Windows
//      %APPDATA%\Vorda Brasswick\editor.conf): 1, 1.5, 2 or auto;
//   3. auto: the X server's Xft.dpi, on Windows the system's dpi (96 dpi
//      is 1; nearest factor, ties to the larger one), else GDK_SCALE
//      (nearest factor), else 1.
// An invalid value in one source passes on to the next; choosing never fails.
//
// Everything here but DetectEditorScale is pure and may be called from any
// thread.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/rect.h"

namespace vb {

// The value is the factor in halves.
enum class TEditorScale : std::uint8_t { esOne = 2, esOneAndHalf = 3, esTwo = 4 };

inline constexpr TEditorScale kEditorScales[] = {TEditorScale::esOne, TEditorScale::esOneAndHalf, TEditorScale::esTwo};

constexpr std::int32_t ScaleHalves(TEditorScale Scale) { return std::int32_t(Scale); }
// The factor as a number (exact: 1.0, 1.5 or 2.0), for drawing code.
constexpr double ScaleFactor(TEditorScale Scale) { return ScaleHalves(Scale) / 2.0; }

// A logical coordinate or length in device pixels: logical x factor, a half
// rounded up (towards +infinity). Exact at 1 and 2.
constexpr std::int32_t Scaled(std::int32_t Logical, TEditorScale Scale) {
  const std::int64_t twice = std::int64_t(Logical) * ScaleHalves(Scale) + 1;
  return std::int32_t(twice >= 0 ? twice / 2 : (twice - 1) / 2);  // floor(twice / 2)
}

// The logical pixel a device pixel belongs to: the largest L with
// Scaled(L) <= Device. A device point lies in Scaled(R) exactly when its
// Unscaled point lies in R, so hit tests may be made in either space.
constexpr std::int32_t Unscaled(std::int32_t Device, TEditorScale Scale) {
  const std::int64_t twice = std::int64_t(Device) * 2;
  const std::int64_t halves = ScaleHalves(Scale);
  return std::int32_t(twice >= 0 ? twice / halves : -((-twice + halves - 1) / halves));
}

// A logical distance (a drag, a wheel step) measured on the screen, back in
// logical pixels; fractional at 1.5.
constexpr double UnscaledDistance(double Device, TEditorScale Scale) { return Device * 2.0 / ScaleHalves(Scale); }

constexpr TRect Scaled(const TRect& Logical, TEditorScale Scale) {
  return TRect{Scaled(Logical.Left, Scale), Scaled(Logical.Top, Scale), Scaled(Logical.Right, Scale),
               Scaled(Logical.Bottom, Scale)};
}

// --- Choosing the factor ----------------------------------------------------------

// A setting's value: 1, 1.5 or 2 in any decimal spelling ("2.0", "1.50"),
// or auto (any letter case); spaces around it are ignored. Empty when the
// text is none of these.
struct TScaleSetting {
  bool Automatic = false;
  TEditorScale Scale = TEditorScale::esOne;  // when not Automatic
};
std::optional<TScaleSetting> ParseScaleSetting(std::string_view Text);

// The value, spaces removed, of the last "scale = ..." line of an
// editor.conf text (lines starting with # or ; are comments). Empty when
// there is none.
std::optional<std::string_view> ConfigScaleValue(std::string_view Config);

// Xft.dpi out of an X resource string (RESOURCE_MANAGER: "name:\tvalue"
// lines). Empty when absent or not a positive number.
std::optional<double> XftDpi(std::string_view Resources);

// What the sources said; a null pointer is a variable that is not set.
struct TScaleSources {
  const char* Environment = nullptr;  // VB_EDITOR_SCALE
  std::string_view Config;            // editor.conf's text, empty when there is none
  std::string_view Resources;         // the X resource string
  const char* GdkScale = nullptr;     // GDK_SCALE
};

// The pure decision, in the order described at the top.
TEditorScale ChooseEditorScale(const TScaleSources& Sources);

// Where editor.conf lives for these XDG_CONFIG_HOME and HOME values (null:
// not set); empty when neither gives a directory.
std::string EditorConfigPath(const char* XdgConfigHome, const char* Home);
// Windows: %APPDATA%\Vorda Brasswick\editor.conf; empty without APPDATA.
std::filesystem::path WindowsEditorConfigPath(const wchar_t* AppData);
// The settings file of this system's user (either of the two above).
std::filesystem::path UserEditorConfigFile();

// Reads this process's environment and the user's editor.conf and decides.
// Resources is called only when the automatic sources are needed (it may
// open a display connection): pass the platform's reader, or a function
// returning nothing when there is no display. Changes no process-wide
// state. User-interface thread; once per editor opening.
using TResourceReader = std::function<std::string()>;
TEditorScale DetectEditorScale(TResourceReader Resources);

}  // namespace vb
