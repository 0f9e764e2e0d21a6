#include "editor/editor_scale.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace vb {
namespace {

// Xft.dpi of an ordinary desktop, where the factor is 1.
constexpr double kBaseDpi = 96;
// editor.conf is read this far at most; a real one holds a line or two.
constexpr std::size_t kMaxConfigBytes = 64 * 1024;

std::string_view Trim(std::string_view Text) {
  const auto space = [](char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\n' || C == '\v' || C == '\f'; };
  while (!Text.empty() && space(Text.front())) Text.remove_prefix(1);
  while (!Text.empty() && space(Text.back())) Text.remove_suffix(1);
  return Text;
}

bool IsAuto(std::string_view Text) {
  if (Text.size() != 4) return false;
  for (std::size_t i = 0; i < 4; ++i)
    if ((Text[i] | 0x20) != "auto"[i]) return false;
  return true;
}

// A plain decimal number ("144", "1.5"): digits, at most one point. No
// sign, exponent or locale: std::from_chars reads the C notation only.
std::optional<double> ParseDecimal(std::string_view Text) {
  Text = Trim(Text);
  if (Text.empty() || Text.find_first_not_of("0123456789.") != std::string_view::npos) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
  if (error != std::errc() || end != Text.data() + Text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// The supported factor nearest to Factor; a tie goes to the larger one.
TEditorScale NearestScale(double Factor) {
  TEditorScale best = TEditorScale::esOne;
  for (const TEditorScale scale : kEditorScales) {
    if (std::abs(Factor - ScaleFactor(scale)) <= std::abs(Factor - ScaleFactor(best))) best = scale;
  }
  return best;
}

std::optional<TEditorScale> AutomaticScale(const TScaleSources& Sources) {
  if (const std::optional<double> dpi = XftDpi(Sources.Resources)) return NearestScale(*dpi / kBaseDpi);
  if (Sources.GdkScale != nullptr) {
    const std::optional<double> gdk = ParseDecimal(Sources.GdkScale);
    if (gdk && *gdk > 0) return NearestScale(*gdk);
  }
  return std::nullopt;
}

// The user's choice: the environment's when valid, else editor.conf's.
std::optional<TScaleSetting> UserSetting(const TScaleSources& Sources) {
  if (Sources.Environment != nullptr) {
    if (const std::optional<TScaleSetting> setting = ParseScaleSetting(Sources.Environment)) return setting;
  }
  const std::optional<std::string_view> value = ConfigScaleValue(Sources.Config);
  return value ? ParseScaleSetting(*value) : std::nullopt;
}

std::string ReadConfig(const std::filesystem::path& Path) {
  // Only a plain file: a pipe or device there would block the host's
  // user-interface thread.
  std::error_code error;
  if (Path.empty() || !std::filesystem::is_regular_file(Path, error)) return {};
  std::ifstream in(Path, std::ios::binary);
  std::string text(kMaxConfigBytes, '\0');
  in.read(text.data(), std::streamsize(text.size()));
  text.resize(std::size_t(in.gcount()));
  return text;
}

}  // namespace

std::optional<TScaleSetting> ParseScaleSetting(std::string_view Text) {
  Text = Trim(Text);
  if (IsAuto(Text)) return TScaleSetting{true};
  const std::optional<double> value = ParseDecimal(Text);
  if (!value) return std::nullopt;
  for (const TEditorScale scale : kEditorScales) {
    if (*value == ScaleFactor(scale)) return TScaleSetting{false, scale};
  }
  return std::nullopt;
}

std::optional<std::string_view> ConfigScaleValue(std::string_view Config) {
  std::optional<std::string_view> value;
  while (!Config.empty()) {
    const std::size_t end = Config.find('\n');
    const std::string_view line = Trim(Config.substr(0, end));
    Config = end == std::string_view::npos ? std::string_view() : Config.substr(end + 1);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos && Trim(line.substr(0, equals)) == "scale")
      value = Trim(line.substr(equals + 1));
  }
  return value;
}

std::optional<double> XftDpi(std::string_view Resources) {
  std::optional<double> dpi;
  while (!Resources.empty()) {
    const std::size_t end = Resources.find('\n');
    const std::string_view line = Resources.substr(0, end);
    Resources = end == std::string_view::npos ? std::string_view() : Resources.substr(end + 1);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || Trim(line.substr(0, colon)) != "Xft.dpi") continue;
    const std::optional<double> value = ParseDecimal(line.substr(colon + 1));
    // The server keeps the last line of a name; so do we, valid or not.
    dpi = value && *value > 0 ? value : std::nullopt;
  }
  return dpi;
}

TEditorScale ChooseEditorScale(const TScaleSources& Sources) {
  const std::optional<TScaleSetting> setting = UserSetting(Sources);
  if (setting && !setting->Automatic) return setting->Scale;
  return AutomaticScale(Sources).value_or(TEditorScale::esOne);
}

std::string EditorConfigPath(const char* XdgConfigHome, const char* Home) {
  // The XDG rules ignore a relative XDG_CONFIG_HOME.
  std::string base;
  if (XdgConfigHome != nullptr && XdgConfigHome[0] == '/')
    base = XdgConfigHome;
  else if (Home != nullptr && Home[0] == '/')
    base = std::string(Home) + "/.config";
  else
    return {};
  return base + "/vorda-brasswick/editor.conf";
}

std::filesystem::path WindowsEditorConfigPath(const wchar_t* AppData) {
  if (AppData == nullptr || AppData[0] == L'\0') return {};
  return std::filesystem::path(AppData) / L"Vorda Brasswick" / L"editor.conf";
}

std::filesystem::path UserEditorConfigFile() {
#if defined(_WIN32)
  // The wide variable: a user name outside the ANSI code page stays whole.
  return WindowsEditorConfigPath(_wgetenv(L"APPDATA"));
#else
  return EditorConfigPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
#endif
}

TEditorScale DetectEditorScale(TResourceReader Resources) {
  TScaleSources sources;
  sources.Environment = std::getenv("VB_EDITOR_SCALE");
  const std::string config = ReadConfig(UserEditorConfigFile());
  sources.Config = config;
  // Only the automatic sources need the display: ask it only then.
  std::string resourceText;
  const std::optional<TScaleSetting> setting = UserSetting(sources);
  if (!setting || setting->Automatic) {
    if (Resources) resourceText = Resources();
    sources.Resources = resourceText;
    sources.GdkScale = std::getenv("GDK_SCALE");
  }
  return ChooseEditorScale(sources);
}

}  // namespace vb
