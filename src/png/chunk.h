#pragma once
// Format-neutral chunks: a four-letter name, a data size and the flags that
// say how a particular file format lays out the 8-byte chunk header.
#include <array>
#include <cstdint>
#include <string>

#include "png/png_memory_stream.h"

namespace vb {

using TChunkName = std::array<char, 4>;

enum TChunkFlag : uint8_t {
  cfSizeFirst = 1 << 0,           // size field before the name field
  cfReversedByteOrder = 1 << 1,   // size field is big-endian
  cfPadSize = 1 << 2,             // odd-sized data is followed by one zero byte
  cfIncludeChunkInSize = 1 << 3,  // size counts the 8 header bytes too
};
using TChunkFlags = uint8_t;

class TCustomChunk {
 public:
  TCustomChunk() = default;
  virtual ~TCustomChunk() = default;

  virtual std::string GetChunkName() const;
  virtual uint32_t GetChunkSize() const { return FChunkSize; }
  // Copies the first min(length, 4) characters over the name.
  virtual void SetChunkName(const std::string& Value);
  const TChunkName& ChunkNameBytes() const { return FChunkName; }

  TChunkFlags ChunkFlags() const { return FChunkFlags; }
  void SetChunkFlags(TChunkFlags Flags) { FChunkFlags = Flags; }

  // Reads the 8-byte header at the stream's position (see the flags).
  virtual void LoadFromStream(TPngMemoryStream& Stream);
  // Writes the 8-byte header.
  virtual void SaveToStream(TPngMemoryStream& Stream);
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

  // Copies name and size (not the flags) into another chunk.
  virtual void AssignTo(TCustomChunk& Dest) const;
  void Assign(const TCustomChunk& Source) { Source.AssignTo(*this); }

 protected:
  TCustomChunk(const TCustomChunk&) = default;
  TCustomChunk& operator=(const TCustomChunk& Other);
  // One zero byte after odd-sized data when cfPadSize is set.
  void WritePadding(TPngMemoryStream& Stream) const;
  uint32_t PadSize() const { return (FChunkFlags & cfPadSize) ? (FChunkSize & 1u) : 0u; }

  TChunkName FChunkName{0, 0, 0, 0};
  uint32_t FChunkSize = 0;
  TChunkFlags FChunkFlags = 0;
};

// A chunk whose layout the system does not define, held as raw bytes.
class TUnknownChunk : public TCustomChunk {
 public:
  TUnknownChunk() = default;

  const TPngMemoryStream& DataStream() const { return FDataStream; }
  TPngMemoryStream& DataStream() { return FDataStream; }
  uint8_t GetData(int Index) const;
  void SetData(int Index, uint8_t Value);

  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;
  void AssignTo(TCustomChunk& Dest) const override;

 protected:
  TPngMemoryStream FDataStream;
};

// A chunk whose layout a concrete class defines; its name is fixed.
class TDefinedChunk : public TCustomChunk {
 public:
  virtual TChunkName GetClassChunkName() const = 0;
  uint32_t FilePosition() const { return FFilePosition; }

  // Checks that the stream holds a chunk of this class, then reads the header.
  void LoadFromStream(TPngMemoryStream& Stream) override;
  // A defined chunk can only be "renamed" to its own name.
  void SetChunkName(const std::string& Value) override;
  void AssignTo(TCustomChunk& Dest) const override;

 protected:
  TDefinedChunk() = default;
  TDefinedChunk(const TDefinedChunk&) = default;
  TDefinedChunk& operator=(const TDefinedChunk&) = default;
  // Sets the name from GetClassChunkName; concrete constructors call it.
  void InitChunkName() { FChunkName = GetClassChunkName(); }

  uint32_t FFilePosition = 0;
};

inline TChunkName MakeChunkName(const char (&Name)[5]) { return {Name[0], Name[1], Name[2], Name[3]}; }

}  // namespace vb
