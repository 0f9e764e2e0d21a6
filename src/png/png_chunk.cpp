#include "png/png_chunk.h"

#include <typeinfo>

#include "error/error.h"

namespace vb {

void TCustomChunkPng::SaveChunk(TPngMemoryStream& Stream, const TPngMemoryStream& Data) {
  FChunkSize = uint32_t(Data.Size());
  TCustomChunk::SaveToStream(Stream);
  Stream.Write(Data.Memory(), Data.Size());
}

TChunkPngImageHeader::TChunkPngImageHeader() {
  InitChunkName();
  ResetToDefault();
}

void TChunkPngImageHeader::ResetToDefault() {
  FWidth = 0;
  FHeight = 0;
  FBitDepth = 8;
  FColorType = 2;
  FCompressionMethod = 0;
  FFilterMethod = fmAdaptiveFilter;
  FInterlaceMethod = imNone;
}

void TChunkPngImageHeader::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  if (Stream.Remaining() < 13) throw EPngError(TErrorCode::ecChunkSizeTooSmall);
  FWidth = int32_t(ReadBigEndian32(Stream));
  FHeight = int32_t(ReadBigEndian32(Stream));
  FBitDepth = Stream.ReadByte();
  FColorType = Stream.ReadByte();
  bool depthFits = true;
  switch (FColorType) {
    case 0:
      depthFits = FBitDepth == 1 || FBitDepth == 2 || FBitDepth == 4 || FBitDepth == 8 || FBitDepth == 16;
      break;
    case 2:
    case 4:
    case 6:
      depthFits = FBitDepth == 8 || FBitDepth == 16;
      break;
    case 3:
      depthFits = FBitDepth == 1 || FBitDepth == 2 || FBitDepth == 4 || FBitDepth == 8;
      break;
    default:
      break;  // unknown colour types fail when a row size is needed
  }
  if (!depthFits) throw EPngError(TErrorCode::ecWrongBitDepth);
  FCompressionMethod = Stream.ReadByte();
  if (FCompressionMethod != 0) throw EPngError(TErrorCode::ecUnsupportedCompressionMethod);
  const uint8_t filter = Stream.ReadByte();
  if (filter != 0) throw EPngError(TErrorCode::ecUnsupportedFilterMethod);
  FFilterMethod = TFilterMethod(filter);
  const uint8_t interlace = Stream.ReadByte();
  if (interlace > 1) throw EPngError(TErrorCode::ecUnsupportedInterlaceMethod);
  FInterlaceMethod = TInterlaceMethod(interlace);
}

void TChunkPngImageHeader::SaveToStream(TPngMemoryStream& Stream) {
  TPngMemoryStream data;
  WriteBigEndian32(data, uint32_t(FWidth));
  WriteBigEndian32(data, uint32_t(FHeight));
  data.WriteByte(FBitDepth);
  data.WriteByte(FColorType);
  data.WriteByte(FCompressionMethod);
  data.WriteByte(FFilterMethod);
  data.WriteByte(FInterlaceMethod);
  SaveChunk(Stream, data);
}

void TChunkPngImageHeader::AssignTo(TCustomChunk& Dest) const {
  if (auto* other = dynamic_cast<TChunkPngImageHeader*>(&Dest)) {
    *other = *this;
    return;
  }
  TDefinedChunk::AssignTo(Dest);
}

int64_t PngRowBytes(int64_t Width, uint8_t ColorType, uint8_t BitDepth) {
  switch (ColorType) {
    case 0:
    case 3:
      return (Width * BitDepth + 7) / 8;
    case 2:
      return (BitDepth / 8) * 3 * Width;
    case 4:
      return (BitDepth / 8) * 2 * Width;
    case 6:
      return (BitDepth / 8) * 4 * Width;
    default:
      return 0;
  }
}

int64_t TChunkPngImageHeader::BytesPerRow() const {
  switch (FColorType) {
    case 0:
    case 2:
    case 3:
    case 4:
    case 6:
      return PngRowBytes(FWidth, FColorType, FBitDepth);
    default:
      throw EPngError(TErrorCode::ecUnknownColorType);
  }
}

int32_t TChunkPngImageHeader::PixelByteSize() const {
  switch (FColorType) {
    case 0:
      return FBitDepth == 16 ? 2 : 1;
    case 3:
      return 1;
    case 2:
      return FBitDepth * 3 / 8;
    case 4:
      return FBitDepth / 4;
    case 6:
      return FBitDepth / 2;
    default:
      return 0;
  }
}

TCustomChunkPngWithHeader::TCustomChunkPngWithHeader(TChunkPngImageHeader* Header) : FHeader(Header) {
  if (!Header) throw EPngError(TErrorCode::ecInvalidHeader);
}

TCustomChunkPngWithHeader& TCustomChunkPngWithHeader::operator=(const TCustomChunkPngWithHeader& Other) {
  TCustomChunkPng::operator=(Other);
  return *this;
}

void TCustomChunkPngWithHeader::AssignTo(TCustomChunk& Dest) const {
  auto* other = dynamic_cast<TCustomChunkPngWithHeader*>(&Dest);
  if (other && other->FHeader != FHeader) FHeader->AssignTo(*other->FHeader);
  if (other && typeid(*other) == typeid(*this)) {
    CopyFieldsTo(*other);
    return;
  }
  TDefinedChunk::AssignTo(Dest);
}

}  // namespace vb
