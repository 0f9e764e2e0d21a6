#include "png/png_chunk_layouts.h"

#include "png/png_chunks_basic.h"
#include "png/png_error.h"

namespace vb {
namespace {

template <class... Ts>
struct TOverload : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
TOverload(Ts...) -> TOverload<Ts...>;

TPngSignificantBits SignificantBitsFor(uint8_t ColorType) {
  switch (ColorType) {
    case 0:
      return TPngSignificantBitsFormat0{};
    case 2:
    case 3:
      return TPngSignificantBitsFormat23{};
    case 4:
      return TPngSignificantBitsFormat4{};
    case 6:
      return TPngSignificantBitsFormat6{};
    default:
      return std::monostate{};
  }
}

TPngBackgroundColor BackgroundFor(uint8_t ColorType) {
  switch (ColorType) {
    case 0:
    case 4:
      return TPngBackgroundColorFormat04{};
    case 2:
    case 6:
      return TPngBackgroundColorFormat26{};
    case 3:
      return TPngBackgroundColorFormat3{};
    default:
      return std::monostate{};
  }
}

TPngTransparency TransparencyFor(uint8_t ColorType) {
  switch (ColorType) {
    case 0:
      return TPngTransparencyFormat0{};
    case 2:
      return TPngTransparencyFormat2{};
    case 3:
      return TPngTransparencyFormat3{};
    default:
      return std::monostate{};
  }
}

// Replaces a layout whose kind no longer fits; a fitting one stays as it is.
template <class TVariant>
void RefitLayout(TVariant& Layout, TVariant Fitting) {
  if (Layout.index() != Fitting.index()) Layout = std::move(Fitting);
}

}  // namespace

size_t LayoutSize(const TPngSignificantBits& Layout) {
  static const size_t kSizes[] = {0, 1, 3, 2, 4};
  return kSizes[Layout.index()];
}

size_t LayoutSize(const TPngBackgroundColor& Layout) {
  static const size_t kSizes[] = {0, 2, 6, 1};
  return kSizes[Layout.index()];
}

size_t LayoutSize(const TPngTransparency& Layout) {
  if (auto* palette = std::get_if<TPngTransparencyFormat3>(&Layout)) return palette->FTransparency.size();
  static const size_t kSizes[] = {0, 2, 6, 0};
  return kSizes[Layout.index()];
}

TChunkPngSignificantBits::TChunkPngSignificantBits(TChunkPngImageHeader* Header)
    : TPngChunkClass(Header), FSignificantBits(SignificantBitsFor(Header->ColorType())) {}

void TChunkPngSignificantBits::HeaderChanged() {
  RefitLayout(FSignificantBits, SignificantBitsFor(FHeader->ColorType()));
}

void TChunkPngSignificantBits::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  if (FSignificantBits.index() == 0) return;
  RequireChunkBytes(Stream, LayoutSize(FSignificantBits));
  std::visit(TOverload{[](std::monostate&) {}, [&](TPngSignificantBitsFormat0& F) { F.FGrayBits = Stream.ReadByte(); },
                       [&](TPngSignificantBitsFormat23& F) {
                         F.FRedBits = Stream.ReadByte();
                         F.FGreenBits = Stream.ReadByte();
                         F.FBlueBits = Stream.ReadByte();
                       },
                       [&](TPngSignificantBitsFormat4& F) {
                         F.FGrayBits = Stream.ReadByte();
                         F.FAlphaBits = Stream.ReadByte();
                       },
                       [&](TPngSignificantBitsFormat6& F) {
                         F.FRedBits = Stream.ReadByte();
                         F.FGreenBits = Stream.ReadByte();
                         F.FBlueBits = Stream.ReadByte();
                         F.FAlphaBits = Stream.ReadByte();
                       }},
             FSignificantBits);
}

void TChunkPngSignificantBits::SaveToStream(TPngMemoryStream& Stream) {
  TPngMemoryStream data;
  std::visit(
      TOverload{[](const std::monostate&) {}, [&](const TPngSignificantBitsFormat0& F) { data.WriteByte(F.FGrayBits); },
                [&](const TPngSignificantBitsFormat23& F) {
                  data.WriteByte(F.FRedBits);
                  data.WriteByte(F.FGreenBits);
                  data.WriteByte(F.FBlueBits);
                },
                [&](const TPngSignificantBitsFormat4& F) {
                  data.WriteByte(F.FGrayBits);
                  data.WriteByte(F.FAlphaBits);
                },
                [&](const TPngSignificantBitsFormat6& F) {
                  data.WriteByte(F.FRedBits);
                  data.WriteByte(F.FGreenBits);
                  data.WriteByte(F.FBlueBits);
                  data.WriteByte(F.FAlphaBits);
                }},
      FSignificantBits);
  SaveChunk(Stream, data);
}

TChunkPngBackgroundColor::TChunkPngBackgroundColor(TChunkPngImageHeader* Header)
    : TPngChunkClass(Header), FBackground(BackgroundFor(Header->ColorType())) {}

void TChunkPngBackgroundColor::HeaderChanged() { RefitLayout(FBackground, BackgroundFor(FHeader->ColorType())); }

void TChunkPngBackgroundColor::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  if (FBackground.index() == 0) return;
  RequireChunkBytes(Stream, LayoutSize(FBackground));
  std::visit(TOverload{[](std::monostate&) {},
                       [&](TPngBackgroundColorFormat04& F) { F.FGraySampleValue = ReadBigEndian16(Stream); },
                       [&](TPngBackgroundColorFormat26& F) {
                         F.FRedSampleValue = ReadBigEndian16(Stream);
                         F.FGreenSampleValue = ReadBigEndian16(Stream);
                         F.FBlueSampleValue = ReadBigEndian16(Stream);
                       },
                       [&](TPngBackgroundColorFormat3& F) { F.FIndex = Stream.ReadByte(); }},
             FBackground);
}

void TChunkPngBackgroundColor::SaveToStream(TPngMemoryStream& Stream) {
  TPngMemoryStream data;
  std::visit(TOverload{[](const std::monostate&) {},
                       [&](const TPngBackgroundColorFormat04& F) { WriteBigEndian16(data, F.FGraySampleValue); },
                       [&](const TPngBackgroundColorFormat26& F) {
                         WriteBigEndian16(data, F.FRedSampleValue);
                         WriteBigEndian16(data, F.FGreenSampleValue);
                         WriteBigEndian16(data, F.FBlueSampleValue);
                       },
                       [&](const TPngBackgroundColorFormat3& F) { data.WriteByte(F.FIndex); }},
             FBackground);
  SaveChunk(Stream, data);
}

TChunkPngTransparency::TChunkPngTransparency(TChunkPngImageHeader* Header)
    : TPngChunkClass(Header), FTransparency(TransparencyFor(Header->ColorType())) {}

int TChunkPngTransparency::Count() const { return int(LayoutSize(FTransparency) * (FTransparency.index() == 3)); }

uint8_t TChunkPngTransparency::TransparencyAt(int Index) const {
  auto* palette = std::get_if<TPngTransparencyFormat3>(&FTransparency);
  if (!palette || Index < 0 || size_t(Index) >= palette->FTransparency.size()) RaiseIndexOutOfBounds(Index);
  return palette->FTransparency[size_t(Index)];
}

void TChunkPngTransparency::HeaderChanged() { RefitLayout(FTransparency, TransparencyFor(FHeader->ColorType())); }

void TChunkPngTransparency::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  if (FTransparency.index() == 0) return;
  // The fixed layouts need their bytes; the palette form takes what is there.
  RequireChunkBytes(Stream, LayoutSize(FTransparency));
  std::visit(TOverload{[](std::monostate&) {},
                       [&](TPngTransparencyFormat0& F) { F.FGraySampleValue = ReadBigEndian16(Stream); },
                       [&](TPngTransparencyFormat2& F) {
                         F.FRedSampleValue = ReadBigEndian16(Stream);
                         F.FGreenSampleValue = ReadBigEndian16(Stream);
                         F.FBlueSampleValue = ReadBigEndian16(Stream);
                       },
                       [&](TPngTransparencyFormat3& F) {
                         F.FTransparency.resize(Stream.Remaining());
                         Stream.ReadBuffer(F.FTransparency.data(), F.FTransparency.size());
                       }},
             FTransparency);
}

void TChunkPngTransparency::SaveToStream(TPngMemoryStream& Stream) {
  // Checked before anything is written, so a refused chunk leaves no bytes.
  if (FTransparency.index() != 0 && FTransparency.index() != TransparencyFor(FHeader->ColorType()).index())
    throw EPngError(TErrorCode::ecWrongTransparencyFormat);
  TPngMemoryStream data;
  std::visit(
      TOverload{[](const std::monostate&) {},
                [&](const TPngTransparencyFormat0& F) { WriteBigEndian16(data, F.FGraySampleValue); },
                [&](const TPngTransparencyFormat2& F) {
                  WriteBigEndian16(data, F.FRedSampleValue);
                  WriteBigEndian16(data, F.FGreenSampleValue);
                  WriteBigEndian16(data, F.FBlueSampleValue);
                },
                [&](const TPngTransparencyFormat3& F) { data.Write(F.FTransparency.data(), F.FTransparency.size()); }},
      FTransparency);
  SaveChunk(Stream, data);
}

}  // namespace vb
