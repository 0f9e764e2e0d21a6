#include "png/portable_network_graphic.h"

#include <algorithm>
#include <cstring>

#include "png/png_chunk_registry.h"
#include "png/png_crc.h"
#include "png/png_decoder.h"
#include "png/png_error.h"
#include "png/zlib_block.h"

namespace vb {

const uint8_t kPngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

namespace {

const uint8_t kIendChunk[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};

[[noreturn]] void RaiseInvalid() { throw EPngError(TErrorCode::ecNotAValidPng); }

// Fuzzing builds accept any CRC so that mutated inputs reach the decoders.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr bool kCheckCrc = false;
#else
constexpr bool kCheckCrc = true;
#endif

// Loads a chunk that may appear only once into its field.
template <class TChunk>
void LoadSingle(std::unique_ptr<TChunk>& Field, TErrorCode TwiceError, TChunkPngImageHeader& Header,
                TPngMemoryStream& Chunk) {
  if (Field) throw EPngError(TwiceError);
  auto chunk = std::make_unique<TChunk>(&Header);
  chunk->LoadFromStream(Chunk);
  Field = std::move(chunk);
}

// Copies Source's optional chunk into Dest's (creating or freeing it).
template <class TChunk>
void AssignOptional(std::unique_ptr<TChunk>& Dest, const TChunk* Source, TChunkPngImageHeader& Header) {
  if (!Source) {
    Dest.reset();
    return;
  }
  if (!Dest) Dest = std::make_unique<TChunk>(&Header);
  Source->AssignTo(*Dest);
}

void SaveChunkWithCrc(TCustomChunk& Chunk, TPngMemoryStream& Output) {
  TPngMemoryStream work;
  Chunk.SaveToStream(work);
  Output.Write(work.Memory(), work.Size());
  WriteBigEndian32(Output, PngCrc32(work.Memory() + 4, work.Size() - 4));
}

}  // namespace

TPortableNetworkGraphic::TPortableNetworkGraphic() = default;
TPortableNetworkGraphic::~TPortableNetworkGraphic() = default;

bool TPortableNetworkGraphic::CanLoad(const std::string& FileName) {
  try {
    TFileStream stream(FileName, TFileMode::fmOpenRead);
    return CanLoad(stream);
  } catch (const EStreamError&) {
    return false;
  }
}

bool TPortableNetworkGraphic::CanLoad(TStream& Stream) {
  const int64_t start = Stream.Position();
  if (Stream.Size() - start <= 3) return false;
  uint8_t head[4] = {};
  const int64_t got = Stream.Read(head, 4);
  Stream.SetPosition(start);
  return got == 4 && std::memcmp(head, kPngSignature, 4) == 0;
}

bool TPortableNetworkGraphic::CanHandleExtension(std::string_view Ext) {
  return Ext.find("png") != std::string_view::npos;
}

void TPortableNetworkGraphic::SetWidth(int32_t) { throw EPngError(TErrorCode::ecWidthFixed); }
void TPortableNetworkGraphic::SetHeight(int32_t) { throw EPngError(TErrorCode::ecHeightFixed); }
void TPortableNetworkGraphic::SetBitDepth(uint8_t) { throw EPngError(TErrorCode::ecBitDepthFixed); }
void TPortableNetworkGraphic::SetCompressionMethod(uint8_t) { throw EPngError(TErrorCode::ecCompressionMethodFixed); }
void TPortableNetworkGraphic::SetFilterMethod(TFilterMethod) { throw EPngError(TErrorCode::ecFilterMethodFixed); }
void TPortableNetworkGraphic::SetInterlaceMethod(TInterlaceMethod) {
  throw EPngError(TErrorCode::ecInterlaceMethodFixed);
}
void TPortableNetworkGraphic::SetGamma(float) { throw EPngError(TErrorCode::ecGammaFixed); }

void TPortableNetworkGraphic::SetCompressionLevel(uint8_t Value) {
  if (Value < 1 || Value > 9) throw EPngError(TErrorCode::ecInvalidCompressionLevel);
  if (Value == FCompressionLevel) return;
  FCompressionLevel = Value;
  RecompressImageData();
}

float TPortableNetworkGraphic::Gamma() const { return FGammaChunk ? FGammaChunk->GammaAsSingle() : 1.0f; }

double TPortableNetworkGraphic::ModifiedTime() const { return FTimeChunk ? FTimeChunk->ModifiedDateTime() : 0.0; }

void TPortableNetworkGraphic::SetModifiedTime(double Value) {
  if (FTimeChunk) FTimeChunk->SetModifiedDateTime(Value);
}

uint32_t TPortableNetworkGraphic::PixelsPerUnitX() const {
  return FPhysicalDimensions ? FPhysicalDimensions->PixelsPerUnitX() : 1;
}
uint32_t TPortableNetworkGraphic::PixelsPerUnitY() const {
  return FPhysicalDimensions ? FPhysicalDimensions->PixelsPerUnitY() : 1;
}
uint8_t TPortableNetworkGraphic::PixelUnit() const {
  return FPhysicalDimensions ? FPhysicalDimensions->PixelUnit() : 0;
}

void TPortableNetworkGraphic::SetPixelsPerUnitX(uint32_t Value) {
  if (Value == 0) throw EPngError(TErrorCode::ecPixelsPerUnitZero);
  if (!FPhysicalDimensions) FPhysicalDimensions = std::make_unique<TChunkPngPhysicalPixelDimensions>(&FImageHeader);
  FPhysicalDimensions->SetPixelsPerUnitX(Value);
}

void TPortableNetworkGraphic::SetPixelsPerUnitY(uint32_t Value) {
  if (Value == 0) throw EPngError(TErrorCode::ecPixelsPerUnitZero);
  if (!FPhysicalDimensions) FPhysicalDimensions = std::make_unique<TChunkPngPhysicalPixelDimensions>(&FImageHeader);
  FPhysicalDimensions->SetPixelsPerUnitY(Value);
}

void TPortableNetworkGraphic::SetPixelUnit(uint8_t Value) {
  if (Value > 1) throw EPngError(TErrorCode::ecUnspecifiedUnit);
  if (!FPhysicalDimensions) FPhysicalDimensions = std::make_unique<TChunkPngPhysicalPixelDimensions>(&FImageHeader);
  FPhysicalDimensions->SetPixelUnit(Value);
}

TRGB24 TPortableNetworkGraphic::PaletteEntry(int Index) const {
  if (!FPaletteChunk) RaiseIndexOutOfBounds(Index);
  return FPaletteChunk->PaletteEntry(Index);
}

void TPortableNetworkGraphic::SetSignificantBitsChunk(const TChunkPngSignificantBits* Value) {
  AssignOptional(FSignificantBits, Value, FImageHeader);
}

void TPortableNetworkGraphic::SetPrimaryChromaticitiesChunk(const TChunkPngPrimaryChromaticities* Value) {
  AssignOptional(FChromaChunk, Value, FImageHeader);
}

const TChunkPngTransparency* TPortableNetworkGraphic::TransparencyChunk() const {
  for (int i = 0; i < FAdditionalChunkList.Count(); ++i)
    if (auto* t = dynamic_cast<const TChunkPngTransparency*>(&FAdditionalChunkList[i])) return t;
  return nullptr;
}

void TPortableNetworkGraphic::ResetChunks() {
  FDataChunkList.Clear();
  FAdditionalChunkList.Clear();
  FImageHeader.ResetToDefault();
  FPaletteChunk.reset();
  FGammaChunk.reset();
  FChromaChunk.reset();
  FTimeChunk.reset();
  FSignificantBits.reset();
  FPhysicalDimensions.reset();
}

void TPortableNetworkGraphic::LoadFromStream(TStream& Stream) {
  // The PNG is parsed from memory; a stream cannot hand over more bytes
  // than it holds, so this copy is bounded by the input itself.
  const int64_t start = Stream.Position();
  const int64_t available = std::max<int64_t>(Stream.Size() - start, 0);
  std::vector<uint8_t> bytes(static_cast<size_t>(available));
  const int64_t got = available ? Stream.Read(bytes.data(), available) : 0;
  bytes.resize(size_t(std::max<int64_t>(got, 0)));
  size_t used = 0;
  struct TRestorePosition {
    TStream& S;
    int64_t At;
    const size_t& Used;
    ~TRestorePosition() { S.SetPosition(At + int64_t(Used)); }
  } restore{Stream, start, used};
  used = LoadFromMemory(bytes.data(), bytes.size());
}

size_t TPortableNetworkGraphic::LoadFromMemory(const uint8_t* Data, size_t Size) { return Load(Data, Size, false); }

void TPortableNetworkGraphic::LoadHeaderFromMemory(const uint8_t* Data, size_t Size) { Load(Data, Size, true); }

size_t TPortableNetworkGraphic::Load(const uint8_t* Data, size_t Size, bool HeaderOnly) {
  ResetChunks();
  if (Size < 8 || std::memcmp(Data, kPngSignature, 8) != 0) RaiseInvalid();
  size_t pos = 8;
  TPngMemoryStream work;
  bool first = true;
  while (pos < Size) {
    // Length, type, data and CRC must all lie inside the input.
    if (Size - pos < 12) RaiseInvalid();
    const uint32_t length = LoadBigEndian32(Data + pos);
    if (length > 0x7FFFFFFFu || length > Size - pos - 12) RaiseInvalid();
    const uint8_t* type = Data + pos + 4;
    const TChunkName name{char(type[0]), char(type[1]), char(type[2]), char(type[3])};
    const uint32_t storedCrc = LoadBigEndian32(Data + pos + 8 + length);
    const uint32_t crc = PngCrc32(type, size_t(length) + 4);
    if (first) {
      if (name != MakeChunkName("IHDR")) RaiseInvalid();
    } else if (name == MakeChunkName("IEND")) {
      if (kCheckCrc && storedCrc != crc) throw EPngError(TErrorCode::ecCrcError);
      return pos + size_t(length) + 12;  // whatever follows IEND is ignored
    } else if (name == MakeChunkName("IHDR")) {
      RaiseInvalid();
    }
    work.Clear();
    work.Write(Data + pos, size_t(length) + 8);
    work.SetPosition(0);
    if (first)
      FImageHeader.LoadFromStream(work);
    else
      ReadChunk(name, work);
    if (kCheckCrc && storedCrc != crc) throw EPngError(TErrorCode::ecCrcError);
    first = false;
    pos += size_t(length) + 12;
    if (HeaderOnly) return pos;
  }
  if (first) RaiseInvalid();
  return pos;
}

void TPortableNetworkGraphic::ReadChunk(const TChunkName& Type, TPngMemoryStream& Chunk) {
  if (Type == MakeChunkName("IDAT")) {
    auto chunk = std::make_unique<TChunkPngImageData>(&FImageHeader);
    chunk->LoadFromStream(Chunk);
    FDataChunkList.Add(std::move(chunk));
  } else if (Type == MakeChunkName("gAMA")) {
    LoadSingle(FGammaChunk, TErrorCode::ecGammaTwice, FImageHeader, Chunk);
  } else if (Type == MakeChunkName("cHRM")) {
    LoadSingle(FChromaChunk, TErrorCode::ecChromaticitiesTwice, FImageHeader, Chunk);
  } else if (Type == MakeChunkName("tIME")) {
    LoadSingle(FTimeChunk, TErrorCode::ecTimeTwice, FImageHeader, Chunk);
  } else if (Type == MakeChunkName("sBIT")) {
    LoadSingle(FSignificantBits, TErrorCode::ecSignificantBitsTwice, FImageHeader, Chunk);
  } else if (Type == MakeChunkName("pHYs")) {
    LoadSingle(FPhysicalDimensions, TErrorCode::ecPhysicalDimensionsTwice, FImageHeader, Chunk);
  } else if (Type == MakeChunkName("PLTE")) {
    LoadSingle(FPaletteChunk, TErrorCode::ecPaletteTwice, FImageHeader, Chunk);
  } else if (const TPngChunkClassInfo* info = FindPngChunkClassByName(Type)) {
    auto chunk = info->Create(FImageHeader);
    chunk->LoadFromStream(Chunk);
    FAdditionalChunkList.Add(std::move(chunk));
  } else {
    if (uint8_t(Type[0]) & 0x80) throw EPngError(TErrorCode::ecUnknownCriticalChunk);
    auto chunk = std::make_unique<TUnknownPngChunk>();
    chunk->LoadFromStream(Chunk);
    FAdditionalChunkList.Add(std::move(chunk));
  }
}

void TPortableNetworkGraphic::SaveToStream(TStream& Stream) {
  TPngMemoryStream output;
  SaveToMemory(output);
  Stream.WriteBuffer(output.Memory(), int64_t(output.Size()));
}

void TPortableNetworkGraphic::SaveToMemory(TPngMemoryStream& Output) {
  // Built completely before anything reaches Output, so a chunk that
  // refuses to be written leaves no half file behind.
  TPngMemoryStream file;
  file.Write(kPngSignature, 8);
  SaveChunkWithCrc(FImageHeader, file);
  if (FPhysicalDimensions) SaveChunkWithCrc(*FPhysicalDimensions, file);
  if (FSignificantBits) SaveChunkWithCrc(*FSignificantBits, file);
  if (FGammaChunk) SaveChunkWithCrc(*FGammaChunk, file);
  if (FChromaChunk) SaveChunkWithCrc(*FChromaChunk, file);
  // Colour-space chunks must precede the palette, or readers refuse the file.
  auto beforePalette = [](const TCustomChunk& Chunk) {
    const std::string name = Chunk.GetChunkName();
    return name == "sRGB" || name == "iCCP";
  };
  for (int i = 0; i < FAdditionalChunkList.Count(); ++i)
    if (beforePalette(FAdditionalChunkList[i])) SaveChunkWithCrc(FAdditionalChunkList[i], file);
  if (FPaletteChunk) SaveChunkWithCrc(*FPaletteChunk, file);
  for (int i = 0; i < FAdditionalChunkList.Count(); ++i)
    if (!beforePalette(FAdditionalChunkList[i])) SaveChunkWithCrc(FAdditionalChunkList[i], file);
  for (int i = 0; i < FDataChunkList.Count(); ++i) SaveChunkWithCrc(FDataChunkList[i], file);
  file.Write(kIendChunk, 12);
  Output.Write(file.Memory(), file.Size());
}

void TPortableNetworkGraphic::Assign(const TPortableNetworkGraphic& Source) {
  if (&Source == this) return;
  Source.FImageHeader.AssignTo(FImageHeader);
  AssignOptional(FPaletteChunk, Source.FPaletteChunk.get(), FImageHeader);
  AssignOptional(FGammaChunk, Source.FGammaChunk.get(), FImageHeader);
  AssignOptional(FTimeChunk, Source.FTimeChunk.get(), FImageHeader);
  AssignOptional(FSignificantBits, Source.FSignificantBits.get(), FImageHeader);
  AssignOptional(FPhysicalDimensions, Source.FPhysicalDimensions.get(), FImageHeader);
  AssignOptional(FChromaChunk, Source.FChromaChunk.get(), FImageHeader);
  Source.FDataChunkList.AssignTo(FDataChunkList, FImageHeader);
  Source.FAdditionalChunkList.AssignTo(FAdditionalChunkList, FImageHeader);
  FCompressionLevel = Source.FCompressionLevel;
}

uint64_t TPortableNetworkGraphic::CompressedDataSize() const {
  uint64_t total = 0;
  for (int i = 0; i < FDataChunkList.Count(); ++i)
    total += static_cast<const TChunkPngImageData&>(FDataChunkList[i]).Data().Size();
  return total;
}

void TPortableNetworkGraphic::DecompressImageData(TPngMemoryStream& Output) const {
  if (FImageHeader.CompressionMethod() != 0) throw EPngError(TErrorCode::ecCompressionMethodNotSupported);
  // One IDAT chunk (what the codec itself writes) is inflated where it
  // lies; several are joined first.
  std::vector<uint8_t> joined;
  const uint8_t* packed = nullptr;
  size_t packedSize = 0;
  if (FDataChunkList.Count() == 1) {
    const auto& data = static_cast<const TChunkPngImageData&>(FDataChunkList[0]).Data();
    packed = data.Memory();
    packedSize = data.Size();
  } else {
    joined.reserve(size_t(CompressedDataSize()));
    for (int i = 0; i < FDataChunkList.Count(); ++i) {
      const auto& data = static_cast<const TChunkPngImageData&>(FDataChunkList[i]).Data();
      joined.insert(joined.end(), data.Memory(), data.Memory() + data.Size());
    }
    packed = joined.data();
    packedSize = joined.size();
  }
  const uint64_t expected = PngImageDataSize(FImageHeader);
  // At most 8 bytes a pixel plus a filter byte a row for any image whose
  // pixel map fits the limit.
  if (expected > 3 * kPngMaxPixelMapBytes) throw EPngError(TErrorCode::ecImageTooLarge);
  // Deflate expands at most about 1032:1; a header that asks for more than
  // the data could ever hold is refused before anything is allocated.
  if (expected > uint64_t(packedSize) * 1040 + 1024) throw EPngError(TErrorCode::ecDataNotComplete);
  const size_t start = Output.Size();
  Output.SetSize(start + size_t(expected));
  const size_t written = expected ? DecompressInto(packed, packedSize, Output.Memory() + start, size_t(expected)) : 0;
  Output.SetSize(start + written);
  Output.SetPosition(start);
}

void TPortableNetworkGraphic::CompressImageData(const TPngMemoryStream& Source) {
  FImageHeader.SetCompressionMethod(0);
  auto chunk = std::make_unique<TChunkPngImageData>(&FImageHeader);
  CompressData(Source.Memory(), Source.Size(), chunk->Data().Bytes(), FCompressionLevel);
  FDataChunkList.Clear();
  FDataChunkList.Add(std::move(chunk));
}

void TPortableNetworkGraphic::RecompressImageData() {
  if (FDataChunkList.Count() == 0) return;
  TPngMemoryStream raw;
  DecompressImageData(raw);
  raw.SetPosition(0);
  CompressImageData(raw);
}

}  // namespace vb
