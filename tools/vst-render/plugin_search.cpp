#include "plugin_search.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>

#include "platform/system/system_calls.h"

namespace vb {

namespace {

constexpr int kMaxDepth = 4;  // subfolder levels searched below each folder

bool IsFile(const std::string& path) { return PathKind(path).Regular; }

bool EndsWithExtension(const std::string& name) {
  const size_t n = std::char_traits<char>::length(kPluginExtension);
  return name.size() > n && name.compare(name.size() - n, n, kPluginExtension) == 0;
}

// The subfolders of a folder, sorted so the search order never depends on
// the file system; hidden ones left out.
std::vector<std::string> Subfolders(const std::string& folder) {
  std::vector<std::string> found;
  for (const std::string& name : FolderNames(folder))
    if (name[0] != '.' && PathKind(folder + kSeparator + name).Folder) found.push_back(folder + kSeparator + name);
  std::sort(found.begin(), found.end());
  return found;
}

// NAME or NAME.so in the folder, else in its subfolders (breadth first).
std::string FindBelow(const std::string& folder, const std::string& given) {
  std::vector<std::string> level = {folder};
  for (int depth = 0; depth <= kMaxDepth && !level.empty(); ++depth) {
    for (const std::string& f : level)
      for (const std::string& name : {given, given + kPluginExtension})
        if (IsFile(f + kSeparator + name)) return f + kSeparator + name;
    std::vector<std::string> next;
    for (const std::string& f : level)
      for (std::string& sub : Subfolders(f)) next.push_back(std::move(sub));
    level = std::move(next);
  }
  return {};
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
  if (home && *home) {
    folders.push_back(std::string(home) + "/.vst");
    folders.push_back(std::string(home) + "/.lxvst");
  }
  for (const char* f : {"/usr/local/lib/vst", "/usr/local/lib/lxvst", "/usr/lib/vst", "/usr/lib/lxvst"})
    folders.push_back(f);
  return folders;
}

std::vector<std::string> ListPluginFiles(const std::vector<std::string>& folders) {
  std::vector<std::string> files;
  std::set<std::string> seen;  // real paths
  for (const std::string& folder : folders) {
    std::vector<std::string> level = {folder};
    for (int depth = 0; depth <= kMaxDepth && !level.empty(); ++depth) {
      std::vector<std::string> next;
      for (const std::string& f : level) {
        std::vector<std::string> here;
        for (const std::string& name : FolderNames(f))
          if (name[0] != '.' && EndsWithExtension(name) && IsFile(f + kSeparator + name))
            here.push_back(f + kSeparator + name);
        std::sort(here.begin(), here.end());
        for (const std::string& path : here) {
          const std::string real = CanonicalPath(path);
          if (!real.empty() && seen.insert(real).second) files.push_back(path);
        }
        for (std::string& sub : Subfolders(f)) next.push_back(std::move(sub));
      }
      level = std::move(next);
    }
  }
  return files;
}

std::string FindPlugin(const std::string& given, const std::vector<std::string>& folders) {
  if (std::any_of(given.begin(), given.end(), IsSeparator) || IsFile(given)) return given;
  for (const std::string& folder : folders)
    if (std::string found = FindBelow(folder, given); !found.empty()) return found;
  return {};
}

}  // namespace vb
