#include "plugin_search.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>

#include "platform/system/system_calls.h"

namespace vb {

namespace {

constexpr int kMaxDepth = 4;  // subfolder levels searched below each folder

bool IsFile(const std::string& Path) { return PathKind(Path).Regular; }

bool EndsWithExtension(const std::string& Name) {
  const size_t n = std::char_traits<char>::length(kPluginExtension);
  return Name.size() > n && Name.compare(Name.size() - n, n, kPluginExtension) == 0;
}

// The subfolders of a folder, sorted so the search order never depends on
// the file system; hidden ones left out.
std::vector<std::string> Subfolders(const std::string& Folder) {
  std::vector<std::string> found;
  for (const std::string& name : FolderNames(Folder))
    if (name[0] != '.' && PathKind(Folder + kSeparator + name).Folder) found.push_back(Folder + kSeparator + name);
  std::sort(found.begin(), found.end());
  return found;
}

// NAME or NAME.so in the folder, else in its subfolders (breadth first).
std::string FindBelow(const std::string& Folder, const std::string& Given) {
  std::vector<std::string> level = {Folder};
  for (int depth = 0; depth <= kMaxDepth && !level.empty(); ++depth) {
    for (const std::string& f : level)
      for (const std::string& name : {Given, Given + kPluginExtension})
        if (IsFile(f + kSeparator + name)) return f + kSeparator + name;
    std::vector<std::string> next;
    for (const std::string& f : level)
      for (std::string& sub : Subfolders(f)) next.push_back(std::move(sub));
    level = std::move(next);
  }
  return {};
}

void AddList(const char* List, std::vector<std::string>& Folders) {
  if (!List) return;
  std::string item;
  for (const char* p = List;; ++p) {
    if (*p == ':' || *p == '\0') {
      while (item.size() > 1 && item.back() == '/') item.pop_back();
      if (!item.empty()) Folders.push_back(item);
      item.clear();
      if (*p == '\0') return;
    } else {
      item += *p;
    }
  }
}

}  // namespace

std::vector<std::string> PluginFolders(const char* LxvstPath, const char* VstPath, const char* Home) {
  std::vector<std::string> folders;
  AddList(LxvstPath, folders);
  AddList(VstPath, folders);
  if (Home && *Home) {
    folders.push_back(std::string(Home) + "/.vst");
    folders.push_back(std::string(Home) + "/.lxvst");
  }
  for (const char* f : {"/usr/local/lib/vst", "/usr/local/lib/lxvst", "/usr/lib/vst", "/usr/lib/lxvst"})
    folders.push_back(f);
  return folders;
}

std::vector<std::string> ListPluginFiles(const std::vector<std::string>& Folders) {
  std::vector<std::string> files;
  std::set<std::string> seen;  // real paths
  for (const std::string& folder : Folders) {
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

std::string FindPlugin(const std::string& Given, const std::vector<std::string>& Folders) {
  if (std::any_of(Given.begin(), Given.end(), IsSeparator) || IsFile(Given)) return Given;
  for (const std::string& folder : Folders)
    if (std::string found = FindBelow(folder, Given); !found.empty()) return found;
  return {};
}

}  // namespace vb
