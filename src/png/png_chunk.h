#pragma once
// PNG chunk bases: the PNG header layout (big-endian length, then type),
// the image header chunk IHDR, and the base of every chunk that needs the
// image header to interpret its data.
#include <cstdint>
#include <memory>

#include "png/chunk.h"

namespace vb {

enum TFilterMethod : uint8_t { fmAdaptiveFilter = 0 };
enum TInterlaceMethod : uint8_t { imNone = 0, imAdam7 = 1 };

class TCustomChunkPng : public TDefinedChunk {
 protected:
  TCustomChunkPng() { FChunkFlags = cfSizeFirst | cfReversedByteOrder; }
  TCustomChunkPng(const TCustomChunkPng&) = default;
  TCustomChunkPng& operator=(const TCustomChunkPng&) = default;
  // Sets the size, writes the header, then the Data bytes.
  void SaveChunk(TPngMemoryStream& Stream, const TPngMemoryStream& Data);
};

// "IHDR": size, bit depth, colour type and methods of the image.
class TChunkPngImageHeader : public TCustomChunkPng {
 public:
  TChunkPngImageHeader();
  TChunkPngImageHeader(const TChunkPngImageHeader&) = default;
  TChunkPngImageHeader& operator=(const TChunkPngImageHeader&) = default;

  TChunkName GetClassChunkName() const override { return MakeChunkName("IHDR"); }
  virtual void ResetToDefault();

  void LoadFromStream(TPngMemoryStream& Stream) override;
  void SaveToStream(TPngMemoryStream& Stream) override;
  void AssignTo(TCustomChunk& Dest) const override;

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  uint8_t BitDepth() const { return FBitDepth; }
  uint8_t ColorType() const { return FColorType; }
  uint8_t CompressionMethod() const { return FCompressionMethod; }
  TFilterMethod FilterMethod() const { return FFilterMethod; }
  TInterlaceMethod InterlaceMethod() const { return FInterlaceMethod; }
  void SetWidth(int32_t Value) { FWidth = Value; }
  void SetHeight(int32_t Value) { FHeight = Value; }
  void SetBitDepth(uint8_t Value) { FBitDepth = Value; }
  void SetColorType(uint8_t Value) { FColorType = Value; }
  void SetCompressionMethod(uint8_t Value) { FCompressionMethod = Value; }
  void SetFilterMethod(TFilterMethod Value) { FFilterMethod = Value; }
  void SetInterlaceMethod(TInterlaceMethod Value) { FInterlaceMethod = Value; }

  // Bytes of one row without the filter-type byte; "Unknown color type!"
  // for colour types other than 0, 2, 3, 4 and 6. 64-bit: a hostile width
  // cannot wrap it.
  int64_t BytesPerRow() const;
  // Distance in bytes to the left neighbour for the filters (0 when unknown).
  int32_t PixelByteSize() const;
  bool HasPalette() const { return FColorType == 3; }

 private:
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  uint8_t FBitDepth = 8;
  uint8_t FColorType = 2;
  uint8_t FCompressionMethod = 0;
  TFilterMethod FFilterMethod = fmAdaptiveFilter;
  TInterlaceMethod FInterlaceMethod = imNone;
};

// Row size for Width pixels of the given format (used for Adam7 passes as
// well); 0 for unknown colour types.
int64_t PngRowBytes(int64_t Width, uint8_t ColorType, uint8_t BitDepth);

class TCustomChunkPngWithHeader : public TCustomChunkPng {
 public:
  // Refuses a null header with "The provided header is not valid!".
  explicit TCustomChunkPngWithHeader(TChunkPngImageHeader* Header);

  TChunkPngImageHeader& Header() const { return *FHeader; }
  // Called when the header's colour type may have changed.
  virtual void HeaderChanged() {}
  // A new chunk of the same class bound to Header (for list copies).
  virtual std::unique_ptr<TCustomChunkPngWithHeader> CreateSameClass(TChunkPngImageHeader& Header) const = 0;

  // Same class: the header's fields, then every field of the chunk.
  void AssignTo(TCustomChunk& Dest) const override;

 protected:
  TCustomChunkPngWithHeader(const TCustomChunkPngWithHeader&) = default;
  // Keeps this chunk's own header reference.
  TCustomChunkPngWithHeader& operator=(const TCustomChunkPngWithHeader& Other);
  // Copies every field of a chunk known to be of this chunk's class.
  virtual void CopyFieldsTo(TCustomChunkPngWithHeader& Dest) const = 0;

  TChunkPngImageHeader* FHeader;
};

// Gives a concrete chunk class its name, factory and field copy.
template <class TDerived, class TBase = TCustomChunkPngWithHeader>
class TPngChunkClass : public TBase {
 public:
  explicit TPngChunkClass(TChunkPngImageHeader* Header) : TBase(Header) { this->InitChunkName(); }

  static TChunkName ClassChunkName() { return MakeChunkName(TDerived::kChunkName); }
  TChunkName GetClassChunkName() const override { return ClassChunkName(); }
  std::unique_ptr<TCustomChunkPngWithHeader> CreateSameClass(TChunkPngImageHeader& Header) const override {
    return std::make_unique<TDerived>(&Header);
  }

 protected:
  void CopyFieldsTo(TCustomChunkPngWithHeader& Dest) const override {
    static_cast<TDerived&>(Dest) = static_cast<const TDerived&>(*this);
  }
};

// A raw PNG chunk of a type the codec does not define.
class TUnknownPngChunk : public TUnknownChunk {
 public:
  TUnknownPngChunk() { FChunkFlags = cfSizeFirst | cfReversedByteOrder; }
};

}  // namespace vb
