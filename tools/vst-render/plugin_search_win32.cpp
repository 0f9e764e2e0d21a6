#include <windows.h>

#include "platform/wide_text.h"
#include "plugin_search.h"
#include "system_calls.h"

namespace vb {

namespace {

// A string, REG_EXPAND_SZ ones expanded (asking for REG_EXPAND_SZ as such
// would need RRF_NOEXPAND).
constexpr DWORD kStringValue = RRF_RT_REG_SZ;

// The VSTPluginsPath value under HKLM\SOFTWARE\VST, where installers record
// the shared plug-in folder; empty when there is none.
std::string RegisteredFolder() {
  DWORD bytes = 0;
  const wchar_t* key = L"SOFTWARE\\VST";
  const wchar_t* value = L"VSTPluginsPath";
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key, value, kStringValue, nullptr, nullptr, &bytes) != ERROR_SUCCESS ||
      bytes < sizeof(wchar_t))
    return {};
  std::wstring text(bytes / sizeof(wchar_t), L'\0');
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key, value, kStringValue, nullptr, text.data(), &bytes) != ERROR_SUCCESS)
    return {};
  text.resize(wcsnlen(text.c_str(), text.size()));
  return Utf8FromWide(text);
}

void AddBelow(const std::string& root, const char* sub, std::vector<std::string>& folders) {
  if (!root.empty()) folders.push_back(root + sub);
}

}  // namespace

const char* const kPluginExtension = ".dll";
const char* const kPluginFolderHelp =
    "NAME or NAME.dll in %VST_PATH% (';'-separated),\n"
    "%CommonProgramFiles%\\VST2, %ProgramFiles%\\VSTPlugins,\n"
    "%ProgramFiles%\\Steinberg\\VSTPlugins and the VSTPluginsPath value under\n"
    "HKLM\\SOFTWARE\\VST";

std::vector<std::string> HostPluginFolders() {
  std::vector<std::string> folders;
  // $VST_PATH first, ';'-separated as Windows lists are.
  std::string item;
  for (char c : Environment("VST_PATH") + ";") {
    if (c != ';') {
      item += c;
      continue;
    }
    while (item.size() > 1 && IsSeparator(item.back())) item.pop_back();
    if (!item.empty()) folders.push_back(item);
    item.clear();
  }
  AddBelow(Environment("CommonProgramFiles"), "\\VST2", folders);
  AddBelow(Environment("ProgramFiles"), "\\VSTPlugins", folders);
  AddBelow(Environment("ProgramFiles"), "\\Steinberg\\VSTPlugins", folders);
  if (std::string registered = RegisteredFolder(); !registered.empty()) folders.push_back(registered);
  return folders;
}

}  // namespace vb
