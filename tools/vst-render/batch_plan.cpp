#include "batch_plan.h"

#include <algorithm>
#include <set>
#include <utility>

#include "audio_format.h"
#include "platform/system/system_calls.h"

namespace vb {

namespace {

constexpr const char* kNameField = "{name}";

bool IsFolder(const std::string& path) { return PathKind(path).Folder; }

bool IsPattern(const std::string& path) {
  return path.find_first_of("*?[") != std::string::npos && !PathKind(path).Exists;
}

bool NamesFolder(const std::string& output) {
  return !output.empty() && (IsSeparator(output.back()) || IsFolder(output));
}

std::string BaseName(const std::string& path) {
  size_t start = path.size();
  while (start > 0 && !IsSeparator(path[start - 1])) --start;
  return path.substr(start);
}

std::string Stem(const std::string& path) {
  const std::string base = BaseName(path);
  const auto dot = base.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

// The audio files directly in a folder, by name (hidden ones left out).
std::vector<std::string> FolderFiles(const std::string& folder) {
  std::vector<std::string> files;
  const std::string prefix = IsSeparator(folder.back()) ? folder : folder + kSeparator;
  for (const std::string& name : FolderNames(folder))
    if (name[0] != '.' && IsAudioExtension(LowerExtension(name)) && PathKind(prefix + name).Regular)
      files.push_back(prefix + name);
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
  if (MatchFiles(input, files)) return true;
  error = "no file matches '" + input + "'";
  return false;
}

std::string OutputFor(const std::string& input, const std::string& output) {
  if (output.empty()) return {};
  std::string out = output;
  if (const auto at = out.find(kNameField); at != std::string::npos) return out.replace(at, 6, Stem(input));
  return (IsSeparator(out.back()) ? out : out + kSeparator) + BaseName(input);
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
