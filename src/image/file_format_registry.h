#pragma once
// Image file formats and the process-wide registry of format classes.
//
// A format class can read and write one kind of image file and converts to
// and from maps. Maps find a format by the content of a stream (loading) or
// by a file extension (saving) without knowing the formats. Formats register
// during start-up (after ImageStartUp) and the registry is emptied by
// ImageShutDown; both run on the thread that loads the library. Look-ups are
// made from the editor's thread.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "image/stream.h"

namespace vb {

class TGuiCustomMap;

class TGuiCustomFileFormat {
 public:
  TGuiCustomFileFormat() = default;
  virtual ~TGuiCustomFileFormat() = default;
  TGuiCustomFileFormat(const TGuiCustomFileFormat&) = delete;
  TGuiCustomFileFormat& operator=(const TGuiCustomFileFormat&) = delete;

  virtual std::int32_t GetWidth() const = 0;
  virtual std::int32_t GetHeight() const = 0;
  virtual void SetWidth(std::int32_t Value) = 0;
  virtual void SetHeight(std::int32_t Value) = 0;
  std::int32_t Width() const { return GetWidth(); }
  std::int32_t Height() const { return GetHeight(); }

  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void SaveToStream(TStream& Stream) = 0;
  // Opens the file for reading and calls LoadFromStream.
  virtual void LoadFromFile(const std::string& FileName);
  // Creates (or replaces) the file and calls SaveToStream.
  virtual void SaveToFile(const std::string& FileName);

  // Takes the image of a map (a format supports the map kinds it can encode).
  // The default raises EGuiError "Cannot assign a <map> to a <format>".
  virtual void Assign(const TGuiCustomMap& Source);
  // Hands the image to a map (sizing it). The default raises EGuiError.
  virtual void AssignTo(TGuiCustomMap& Dest) const;
};

// What the registry holds about a format: the class-level questions and the
// constructor. One constant object per format; its address is its identity.
struct TGuiFileFormatClass {
  const char* Name;
  // Can the format read the named file?
  bool (*CanLoadFile)(const std::string& FileName);
  // Can the format read the stream from its position? The position is the
  // same afterwards.
  bool (*CanLoadStream)(TStream& Stream);
  // Does the format handle extension Ext (with its dot, e.g. ".png")?
  bool (*CanHandleExtension)(std::string_view Ext);
  std::unique_ptr<TGuiCustomFileFormat> (*Create)();
};
using TGuiFileFormatClassRef = const TGuiFileFormatClass*;

// The class record of a format type T that has the static members
// CanLoad(const std::string&), CanLoad(TStream&) and
// CanHandleExtension(std::string_view), and a default constructor.
template <class T>
TGuiFileFormatClassRef FileFormatClassOf(const char* Name) {
  static const TGuiFileFormatClass record{
      Name,
      [](const std::string& FileName) { return T::CanLoad(FileName); },
      [](TStream& Stream) { return T::CanLoad(Stream); },
      [](std::string_view Ext) { return T::CanHandleExtension(Ext); },
      []() -> std::unique_ptr<TGuiCustomFileFormat> { return std::make_unique<T>(); },
  };
  return &record;
}

// Appends a format class. Registering a class twice is an assertion error.
void RegisterFileFormat(TGuiFileFormatClassRef FormatClass);
// The first registered class that handles Ext, or null.
TGuiFileFormatClassRef FindFileFormatByExtension(std::string_view Ext);
// The first registered class that can load Stream from its position, or null.
// The stream's position is restored.
TGuiFileFormatClassRef FindFileFormatByStream(TStream& Stream);
// Number of registered classes (for diagnostics and tests).
std::size_t FileFormatCount();
// Empties the registry (ImageShutDown does this).
void ClearFileFormatRegistry();

}  // namespace vb
