#pragma once
// A byte stream with a position, as used by the image formats and the
// persistence of maps: an abstract TStream, a growable TMemoryStream and a
// TFileStream. Sizes and positions are in bytes.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "error/error.h"

namespace vb {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;

  // Reads up to Count bytes; returns how many were read (0 at the end).
  virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
  // Writes up to Count bytes; returns how many were written.
  virtual std::int64_t Write(const void* Buffer, std::int64_t Count) = 0;
  // Moves the position; returns the new position. Seeking before the start
  // raises EStreamError "Invalid stream position".
  virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;
  virtual std::int64_t Size();
  // Truncates or extends the stream (not every stream can).
  virtual void SetSize(std::int64_t NewSize);

  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t Position) { Seek(Position, TSeekOrigin::soBeginning); }
  std::int64_t Remaining() { return Size() - Position(); }

  // Read exactly Count bytes or raise EReadError (position then undefined).
  void ReadBuffer(void* Buffer, std::int64_t Count);
  // Write exactly Count bytes or raise EWriteError.
  void WriteBuffer(const void* Buffer, std::int64_t Count);
  // Copies Count bytes from Source's position; Count 0 copies the whole of
  // Source from its start. Returns the number of bytes copied.
  std::int64_t CopyFrom(TStream& Source, std::int64_t Count);
};

// A stream over a growable block of memory it owns. Memory() stays valid
// until the next write that grows the stream or SetSize.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  // A stream holding a copy of Count bytes at Data, positioned at 0.
  TMemoryStream(const void* Data, std::int64_t Count);

  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  std::int64_t Size() override { return std::int64_t(FData.size()); }
  void SetSize(std::int64_t NewSize) override;

  std::uint8_t* Memory() { return FData.data(); }
  const std::uint8_t* Memory() const { return FData.data(); }
  const std::vector<std::uint8_t>& Bytes() const { return FData; }
  void Clear();
  // Replaces the content with the whole of Source (read from its start).
  void LoadFromStream(TStream& Source);
  void LoadFromFile(const std::string& FileName);
  void SaveToStream(TStream& Dest) const;
  void SaveToFile(const std::string& FileName) const;

 private:
  std::vector<std::uint8_t> FData;
  std::int64_t FPosition = 0;
};

enum class TFileMode { fmOpenRead, fmCreate, fmOpenReadWrite };

// A stream on a file. fmOpenRead opens an existing file for reading only;
// fmCreate creates (or empties) a file for writing and reading.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& FileName, TFileMode Mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  std::int64_t Size() override;

  const std::string& FileName() const { return FFileName; }

 private:
  std::FILE* FFile = nullptr;
  std::string FFileName;
};

}  // namespace vb
