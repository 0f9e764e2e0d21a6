#pragma once
// The PNG file format: reads a PNG stream into chunk objects (checking the
// signature, chunk order, CRCs and declared lengths), keeps the compressed
// image data, and writes the chunks back in a fixed order.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "image/file_format_registry.h"
#include "png/png_chunk_layouts.h"
#include "png/png_chunk_list.h"
#include "png/png_chunks_basic.h"
#include "png/png_memory_stream.h"

namespace vb {

// The largest pixel map a PNG may ask for (4 bytes a pixel), in bytes.
constexpr uint64_t kPngMaxPixelMapBytes = 256u << 20;

class TPortableNetworkGraphic : public TGuiCustomFileFormat {
 public:
  TPortableNetworkGraphic();
  ~TPortableNetworkGraphic() override;

  static bool CanLoad(const std::string& FileName);
  // True when the stream's next four bytes are 0x89 'P' 'N' 'G'; the
  // position is restored.
  static bool CanLoad(TStream& Stream);
  // True when Ext contains the letters "png".
  static bool CanHandleExtension(std::string_view Ext);

  int32_t GetWidth() const override { return FImageHeader.Width(); }
  int32_t GetHeight() const override { return FImageHeader.Height(); }
  void SetWidth(int32_t) override;
  void SetHeight(int32_t) override;
  uint8_t BitDepth() const { return FImageHeader.BitDepth(); }
  uint8_t CompressionMethod() const { return FImageHeader.CompressionMethod(); }
  TFilterMethod FilterMethod() const { return FImageHeader.FilterMethod(); }
  TInterlaceMethod InterlaceMethod() const { return FImageHeader.InterlaceMethod(); }
  void SetBitDepth(uint8_t);
  void SetCompressionMethod(uint8_t);
  void SetFilterMethod(TFilterMethod);
  void SetInterlaceMethod(TInterlaceMethod);

  uint8_t CompressionLevel() const { return FCompressionLevel; }
  // 1..9, else "Invalid compression level"; a new level recompresses.
  void SetCompressionLevel(uint8_t Value);
  float Gamma() const;
  void SetGamma(float);
  double ModifiedTime() const;
  void SetModifiedTime(double Value);
  uint32_t PixelsPerUnitX() const;
  uint32_t PixelsPerUnitY() const;
  uint8_t PixelUnit() const;
  void SetPixelsPerUnitX(uint32_t Value);
  void SetPixelsPerUnitY(uint32_t Value);
  void SetPixelUnit(uint8_t Value);
  int PaletteEntryCount() const { return FPaletteChunk ? FPaletteChunk->Count() : 0; }
  TRGB24 PaletteEntry(int Index) const;

  const TChunkPngSignificantBits* SignificantBitsChunk() const { return FSignificantBits.get(); }
  void SetSignificantBitsChunk(const TChunkPngSignificantBits* Value);
  const TChunkPngPrimaryChromaticities* PrimaryChromaticitiesChunk() const { return FChromaChunk.get(); }
  void SetPrimaryChromaticitiesChunk(const TChunkPngPrimaryChromaticities* Value);

  bool HasGammaInformation() const { return bool(FGammaChunk); }
  bool HasModifiedTimeInformation() const { return bool(FTimeChunk); }
  bool HasPhysicalPixelDimensionsInformation() const { return bool(FPhysicalDimensions); }
  void RemoveGammaInformation() { FGammaChunk.reset(); }
  void RemoveModifiedTimeInformation() { FTimeChunk.reset(); }
  void RemovePhysicalPixelDimensionsInformation() { FPhysicalDimensions.reset(); }

  const TChunkPngImageHeader& ImageHeader() const { return FImageHeader; }
  const TChunkPngPalette* PaletteChunk() const { return FPaletteChunk.get(); }
  const TChunkPngGamma* GammaChunk() const { return FGammaChunk.get(); }
  const TPngChunkList& DataChunkList() const { return FDataChunkList; }
  const TPngChunkList& AdditionalChunkList() const { return FAdditionalChunkList; }
  // The first tRNS chunk of the additional list, or null.
  const TChunkPngTransparency* TransparencyChunk() const;

  // Replaces everything with the PNG at the stream's position; on return
  // the position is after the last byte read. Failures raise EPngError and
  // leave the chunks read before the error.
  void LoadFromStream(TStream& Stream) override;
  // Returns the number of bytes used (up to and with IEND).
  size_t LoadFromMemory(const uint8_t* Data, size_t Size);
  // Reads the signature and the image header only (its CRC checked), for a
  // picture's size and format without touching its data; every other chunk
  // is left empty. Fails as LoadFromMemory does.
  void LoadHeaderFromMemory(const uint8_t* Data, size_t Size);
  void SaveToStream(TStream& Stream) override;
  void SaveToMemory(TPngMemoryStream& Output);

  // Copies header, optional chunks and both chunk lists of Source.
  void Assign(const TPortableNetworkGraphic& Source);
  void AssignTo(TPortableNetworkGraphic& Dest) const { Dest.Assign(*this); }
  using TGuiCustomFileFormat::Assign;
  using TGuiCustomFileFormat::AssignTo;

  virtual void ResetChunks();
  virtual void RecompressImageData();

  // All IDAT data inflated into Output: exactly the bytes the header's image
  // needs, or fewer when the data ends early (surplus bytes are dropped).
  void DecompressImageData(TPngMemoryStream& Output) const;
  // Deflates Source into one IDAT chunk that replaces the data chunks.
  void CompressImageData(const TPngMemoryStream& Source);

 protected:
  uint8_t FCompressionLevel = 9;
  TChunkPngImageHeader FImageHeader;
  std::unique_ptr<TChunkPngPalette> FPaletteChunk;
  std::unique_ptr<TChunkPngGamma> FGammaChunk;
  std::unique_ptr<TChunkPngTime> FTimeChunk;
  std::unique_ptr<TChunkPngSignificantBits> FSignificantBits;
  std::unique_ptr<TChunkPngPhysicalPixelDimensions> FPhysicalDimensions;
  std::unique_ptr<TChunkPngPrimaryChromaticities> FChromaChunk;
  TPngChunkList FDataChunkList;
  TPngChunkList FAdditionalChunkList;

  // Bytes of compressed image data in the IDAT chunks.
  uint64_t CompressedDataSize() const;

 private:
  size_t Load(const uint8_t* Data, size_t Size, bool HeaderOnly);
  void ReadChunk(const TChunkName& Type, TPngMemoryStream& Chunk);
};

// The PNG signature and the CRC of an empty IEND chunk.
extern const uint8_t kPngSignature[8];

}  // namespace vb
