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

std::string_view Trim(std::string_view text) {
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

bool IsAuto(std::string_view text) {
  if (text.size() != 4) return false;
  for (std::size_t i = 0; i < 4; ++i)
    if ((text[i] | 0x20) != "auto"[i]) return false;
  return true;
}

// A plain decimal number ("144", "1.5"): digits, at most one point. No
// sign, exponent or locale: std::from_chars reads the C notation only.
std::optional<double> ParseDecimal(std::string_view text) {
  text = Trim(text);
  if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// The supported factor nearest to Factor; a tie goes to the larger one.
TEditorScale NearestScale(double factor) {
  TEditorScale best = TEditorScale::esOne;
  for (const TEditorScale scale : kEditorScales) {
    if (std::abs(factor - ScaleFactor(scale)) <= std::abs(factor - ScaleFactor(best))) best = scale;
  }
  return best;
}

std::optional<TEditorScale> AutomaticScale(const TScaleSources& sources) {
  if (const std::optional<double> dpi = XftDpi(sources.Resources)) return NearestScale(*dpi / kBaseDpi);
  if (sources.GdkScale != nullptr) {
    const std::optional<double> gdk = ParseDecimal(sources.GdkScale);
    if (gdk && *gdk > 0) return NearestScale(*gdk);
  }
  return std::nullopt;
}

// The user's choice: the environment's when valid, else editor.conf's.
std::optional<TScaleSetting> UserSetting(const TScaleSources& sources) {
  if (sources.Environment != nullptr) {
    if (const std::optional<TScaleSetting> setting = ParseScaleSetting(sources.Environment)) return setting;
  }
  const std::optional<std::string_view> value = ConfigScaleValue(sources.Config);
  return value ? ParseScaleSetting(*value) : std::nullopt;
}

std::string ReadConfig(const std::filesystem::path& path) {
  // Only a plain file: a pipe or device there would block the host's
  // user-interface thread.
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error)) return {};
  std::ifstream in(path, std::ios::binary);
  std::string text(kMaxConfigBytes, '\0');
  in.read(text.data(), std::streamsize(text.size()));
  text.resize(std::size_t(in.gcount()));
  return text;
}

}  // namespace

std::optional<TScaleSetting> ParseScaleSetting(std::string_view text) {
  text = Trim(text);
  if (IsAuto(text)) return TScaleSetting{true};
  const std::optional<double> value = ParseDecimal(text);
  if (!value) return std::nullopt;
  for (const TEditorScale scale : kEditorScales) {
    if (*value == ScaleFactor(scale)) return TScaleSetting{false, scale};
  }
  return std::nullopt;
}

std::optional<std::string_view> ConfigScaleValue(std::string_view config) {
  std::optional<std::string_view> value;
  while (!config.empty()) {
    const std::size_t end = config.find('\n');
    const std::string_view line = Trim(config.substr(0, end));
    config = end == std::string_view::npos ? std::string_view() : config.substr(end + 1);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos && Trim(line.substr(0, equals)) == "scale")
      value = Trim(line.substr(equals + 1));
  }
  return value;
}

std::optional<double> XftDpi(std::string_view resources) {
  std::optional<double> dpi;
  while (!resources.empty()) {
    const std::size_t end = resources.find('\n');
    const std::string_view line = resources.substr(0, end);
    resources = end == std::string_view::npos ? std::string_view() : resources.substr(end + 1);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || Trim(line.substr(0, colon)) != "Xft.dpi") continue;
    const std::optional<double> value = ParseDecimal(line.substr(colon + 1));
    // The server keeps the last line of a name; so do we, valid or not.
    dpi = value && *value > 0 ? value : std::nullopt;
  }
  return dpi;
}

TEditorScale ChooseEditorScale(const TScaleSources& sources) {
  const std::optional<TScaleSetting> setting = UserSetting(sources);
  if (setting && !setting->Automatic) return setting->Scale;
  return AutomaticScale(sources).value_or(TEditorScale::esOne);
}

std::string EditorConfigPath(const char* xdgConfigHome, const char* home) {
  // The XDG rules ignore a relative XDG_CONFIG_HOME.
  std::string base;
  if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/')
    base = xdgConfigHome;
  else if (home != nullptr && home[0] == '/')
    base = std::string(home) + "/.config";
  else
    return {};
  return base + "/vorda-brasswick/editor.conf";
}

std::filesystem::path WindowsEditorConfigPath(const wchar_t* appData) {
  if (appData == nullptr || appData[0] == L'\0') return {};
  return std::filesystem::path(appData) / L"Vorda Brasswick" / L"editor.conf";
}

std::filesystem::path UserEditorConfigFile() {
#if defined(_WIN32)
  // The wide variable: a user name outside the ANSI code page stays whole.
  return WindowsEditorConfigPath(_wgetenv(L"APPDATA"));
#else
  return EditorConfigPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
#endif
}

TEditorScale DetectEditorScale(TResourceReader resources) {
  TScaleSources sources;
  sources.Environment = std::getenv("VB_EDITOR_SCALE");
  const std::string config = ReadConfig(UserEditorConfigFile());
  sources.Config = config;
  // Only the automatic sources need the display: ask it only then.
  std::string resourceText;
  const std::optional<TScaleSetting> setting = UserSetting(sources);
  if (!setting || setting->Automatic) {
    if (resources) resourceText = resources();
    sources.Resources = resourceText;
    sources.GdkScale = std::getenv("GDK_SCALE");
  }
  return ChooseEditorScale(sources);
}

}  // namespace vb
