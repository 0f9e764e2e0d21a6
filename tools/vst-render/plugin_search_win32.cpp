#include "platform/system/system_calls.h"
#include "plugin_search.h"

namespace vb {

namespace {

void AddBelow(const std::string& Root, const char* Sub, std::vector<std::string>& Folders) {
  if (!Root.empty()) Folders.push_back(Root + Sub);
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
  if (std::string registered = MachineSetting("SOFTWARE\\VST", "VSTPluginsPath"); !registered.empty())
    folders.push_back(registered);
  return folders;
}

}  // namespace vb
