#include "batch_plan.h"

#include <algorithm>
#include <set>
#include <utility>

#include "audio_format.h"
#include "platform/system/system_calls.h"

namespace vb {

namespace {

constexpr const char* kNameField = "{name}";

bool IsFolder(const std::string& Path) { return PathKind(Path).Folder; }

bool IsPattern(const std::string& Path) {
  return Path.find_first_of("*?[") != std::string::npos && !PathKind(Path).Exists;
}

bool NamesFolder(const std::string& Output) {
  return !Output.empty() && (IsSeparator(Output.back()) || IsFolder(Output));
}

std::string BaseName(const std::string& Path) {
  size_t start = Path.size();
  while (start > 0 && !IsSeparator(Path[start - 1])) --start;
  return Path.substr(start);
}

std::string Stem(const std::string& Path) {
  const std::string base = BaseName(Path);
  const auto dot = base.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

// The audio files directly in a folder, by name (hidden ones left out).
std::vector<std::string> FolderFiles(const std::string& Folder) {
  std::vector<std::string> files;
  const std::string prefix = IsSeparator(Folder.back()) ? Folder : Folder + kSeparator;
  for (const std::string& name : FolderNames(Folder))
    if (name[0] != '.' && IsAudioExtension(LowerExtension(name)) && PathKind(prefix + name).Regular)
      files.push_back(prefix + name);
  std::sort(files.begin(), files.end());
  return files;
}

bool Expand(const std::string& Input, std::vector<std::string>& Files, std::string& Error) {
  if (IsFolder(Input)) {
    std::vector<std::string> found = FolderFiles(Input);
    if (found.empty()) Error = "the folder '" + Input + "' holds no audio file";
    Files.insert(Files.end(), found.begin(), found.end());
    return !found.empty();
  }
  if (!IsPattern(Input)) {
    Files.push_back(Input);
    return true;
  }
  if (MatchFiles(Input, Files)) return true;
  Error = "no file matches '" + Input + "'";
  return false;
}

std::string OutputFor(const std::string& Input, const std::string& Output) {
  if (Output.empty()) return {};
  std::string out = Output;
  if (const auto at = out.find(kNameField); at != std::string::npos) return out.replace(at, 6, Stem(Input));
  return (IsSeparator(out.back()) ? out : out + kSeparator) + BaseName(Input);
}

}  // namespace

bool IsBatch(const std::vector<std::string>& Inputs, const std::string& Output) {
  if (Inputs.size() > 1 || Output.find(kNameField) != std::string::npos || NamesFolder(Output)) return true;
  return !Inputs.empty() && (IsFolder(Inputs[0]) || IsPattern(Inputs[0]));
}

bool PlanBatch(const std::vector<std::string>& Inputs, const std::string& Output, std::vector<TBatchItem>& Items,
               std::string& Error) {
  if (!Output.empty() && Output.find(kNameField) == std::string::npos && !NamesFolder(Output)) {
    const std::string what = Inputs.size() == 1 && IsFolder(Inputs[0])
                                 ? "'" + Inputs[0] + "': it is a folder, whose audio files"
                                 : std::string("several inputs");
    Error = what + " need an output folder (-o out/) or a name pattern (-o 'out/{name}.flac'), not '" + Output + "'";
    return false;
  }
  std::vector<std::string> files;
  for (const std::string& input : Inputs)
    if (!Expand(input, files, Error)) return false;
  std::set<std::string> taken;
  for (const std::string& file : files) {
    TBatchItem item{file, OutputFor(file, Output)};
    if (!item.Output.empty() && !taken.insert(item.Output).second) {
      Error = "two inputs would both be written to '" + item.Output + "'; use {name} in -o";
      return false;
    }
    if (!item.Output.empty() && (item.Output == file || SameFile(item.Output, file))) {
      Error = "'" + file + "' would be written over itself; give another output folder or pattern";
      return false;
    }
    Items.push_back(std::move(item));
  }
  return true;
}

}  // namespace vb
