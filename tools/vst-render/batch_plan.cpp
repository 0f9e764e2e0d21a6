#include "batch_plan.h"

#include <dirent.h>
#include <glob.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <utility>

#include "audio_format.h"

namespace vb {

namespace {

constexpr const char* kNameField = "{name}";

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsPattern(const std::string& path) {
  struct stat st {};
  return path.find_first_of("*?[") != std::string::npos && ::stat(path.c_str(), &st) != 0;
}

bool NamesFolder(const std::string& output) { return !output.empty() && (output.back() == '/' || IsFolder(output)); }

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Stem(const std::string& path) {
  const std::string base = BaseName(path);
  const auto dot = base.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

// The audio files directly in a folder, by name (hidden ones left out).
std::vector<std::string> FolderFiles(const std::string& folder) {
  std::vector<std::string> files;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return files;
  const std::string prefix = folder.back() == '/' ? folder : folder + "/";
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name, path = prefix + name;
    struct stat st {};
    if (name[0] != '.' && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        IsAudioExtension(LowerExtension(name)))
      files.push_back(path);
  }
  ::closedir(dir);
  std::sort(files.begin(), files.end());
  return files;
}

bool Expand(const std::string& input, std::vector<std::string>& files, std::string& error) {
  if (IsFolder(input)) {
    std::vector<std::string> found = FolderFiles(input);
    if (found.empty()) error = "the folder '" + input + "' holds no audio file";
    files.insert(files.end(), found.begin(), found.end());
    return !found.empty();
  }
  if (!IsPattern(input)) {
    files.push_back(input);
    return true;
  }
  glob_t matches{};
  const int rc = ::glob(input.c_str(), 0, nullptr, &matches);
  for (size_t k = 0; rc == 0 && k < matches.gl_pathc; ++k) files.emplace_back(matches.gl_pathv[k]);
  ::globfree(&matches);
  if (rc != 0) error = "no file matches '" + input + "'";
  return rc == 0;
}

std::string OutputFor(const std::string& input, const std::string& output) {
  if (output.empty()) return {};
  std::string out = output;
  if (const auto at = out.find(kNameField); at != std::string::npos) return out.replace(at, 6, Stem(input));
  return (out.back() == '/' ? out : out + "/") + BaseName(input);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

bool IsBatch(const std::vector<std::string>& inputs, const std::string& output) {
  if (inputs.size() > 1 || output.find(kNameField) != std::string::npos || NamesFolder(output)) return true;
  return !inputs.empty() && (IsFolder(inputs[0]) || IsPattern(inputs[0]));
}

bool PlanBatch(const std::vector<std::string>& inputs, const std::string& output, std::vector<TBatchItem>& items,
               std::string& error) {
  if (!output.empty() && output.find(kNameField) == std::string::npos && !NamesFolder(output)) {
    const std::string what = inputs.size() == 1 && IsFolder(inputs[0])
                                 ? "'" + inputs[0] + "': it is a folder, whose audio files"
                                 : std::string("several inputs");
    error = what + " need an output folder (-o out/) or a name pattern (-o 'out/{name}.flac'), not '" + output + "'";
    return false;
  }
  std::vector<std::string> files;
  for (const std::string& input : inputs)
    if (!Expand(input, files, error)) return false;
  std::set<std::string> taken;
  for (const std::string& file : files) {
    TBatchItem item{file, OutputFor(file, output)};
    if (!item.Output.empty() && !taken.insert(item.Output).second) {
      error = "two inputs would both be written to '" + item.Output + "'; use {name} in -o";
      return false;
    }
    if (!item.Output.empty() && (item.Output == file || SameFile(item.Output, file))) {
      error = "'" + file + "' would be written over itself; give another output folder or pattern";
      return false;
    }
    items.push_back(std::move(item));
  }
  return true;
}

}  // namespace vb
