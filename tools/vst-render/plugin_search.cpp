#include "plugin_search.h"

#include <sys/stat.h>

namespace vb {

namespace {

bool IsFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void AddList(const char* list, std::vector<std::string>& folders) {
  if (!list) return;
  std::string item;
  for (const char* p = list;; ++p) {
    if (*p == ':' || *p == '\0') {
      while (item.size() > 1 && item.back() == '/') item.pop_back();
      if (!item.empty()) folders.push_back(item);
      item.clear();
      if (*p == '\0') return;
    } else {
      item += *p;
    }
  }
}

}  // namespace

std::vector<std::string> PluginFolders(const char* lxvstPath, const char* vstPath, const char* home) {
  std::vector<std::string> folders;
  AddList(lxvstPath, folders);
  AddList(vstPath, folders);
  if (home && *home) folders.push_back(std::string(home) + "/.vst");
  folders.push_back("/usr/local/lib/vst");
  folders.push_back("/usr/lib/vst");
  return folders;
}

std::string FindPlugin(const std::string& given, const std::vector<std::string>& folders) {
  if (given.find('/') != std::string::npos || IsFile(given)) return given;
  for (const std::string& folder : folders)
    for (const std::string& name : {given, given + ".so"})
      if (IsFile(folder + "/" + name)) return folder + "/" + name;
  return {};
}

}  // namespace vb
