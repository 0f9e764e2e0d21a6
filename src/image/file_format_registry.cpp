#include "image/file_format_registry.h"

#include <algorithm>
#include <vector>

#include "error/error.h"
#include "image/gui_custom_map.h"

namespace vb {

namespace {

// Written during start-up only (RegisterFileFormat), read afterwards.
constinit std::vector<TGuiFileFormatClassRef> FileFormatRegistry;

}  // namespace

void TGuiCustomFileFormat::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, TFileMode::fmOpenRead);
  LoadFromStream(stream);
}

void TGuiCustomFileFormat::SaveToFile(const std::string& FileName) {
  TFileStream stream(FileName, TFileMode::fmCreate);
  SaveToStream(stream);
}

void TGuiCustomFileFormat::Assign(const TGuiCustomMap&) { throw EGuiError(TErrorCode::ecCannotAssignMapToFormat); }

void TGuiCustomFileFormat::AssignTo(TGuiCustomMap&) const { throw EGuiError(TErrorCode::ecCannotAssignFormatToMap); }

void RegisterFileFormat(TGuiFileFormatClassRef FormatClass) {
  Assert(FormatClass != nullptr, "file_format_registry", "Format class missing");
  Assert(std::find(FileFormatRegistry.begin(), FileFormatRegistry.end(), FormatClass) == FileFormatRegistry.end(),
         "file_format_registry", "File format registered twice");
  FileFormatRegistry.push_back(FormatClass);
}

TGuiFileFormatClassRef FindFileFormatByExtension(std::string_view Ext) {
  for (TGuiFileFormatClassRef formatClass : FileFormatRegistry)
    if (formatClass->CanHandleExtension(Ext)) return formatClass;
  return nullptr;
}

TGuiFileFormatClassRef FindFileFormatByStream(TStream& Stream) {
  const std::int64_t position = Stream.Position();
  for (TGuiFileFormatClassRef formatClass : FileFormatRegistry) {
    const bool accepted = formatClass->CanLoadStream(Stream);
    // A format's test must not move the stream; make sure of it anyway.
    Stream.SetPosition(position);
    if (accepted) return formatClass;
  }
  return nullptr;
}

std::size_t FileFormatCount() { return FileFormatRegistry.size(); }

void ClearFileFormatRegistry() {
  FileFormatRegistry.clear();
  FileFormatRegistry.shrink_to_fit();
}

}  // namespace vb
