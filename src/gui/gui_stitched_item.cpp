#include "gui/gui_stitched_item.h"

#include <algorithm>

#include "gui/gui_errors.h"
#include "gui/gui_stitched_control.h"
#include "gui/gui_stitched_list.h"
#include "png/png_error.h"

namespace vb {

namespace {
constexpr const char* kUnit = "gui_stitched_item";
}

TGuiCustomStitchedCollectionItem::TGuiCustomStitchedCollectionItem(TGuiStitchedImageCollection* Collection)
    : FCollection(Collection) {}

TGuiCustomStitchedCollectionItem::~TGuiCustomStitchedCollectionItem() = default;

std::int32_t TGuiCustomStitchedCollectionItem::Index() const {
  return FCollection != nullptr ? FCollection->IndexOf(this) : -1;
}

void TGuiCustomStitchedCollectionItem::SetGlyphCount(std::int32_t Value) {
  if (Value <= 0) throw EControlError(TErrorCode::ecGlyphCountNotPositive);
  if (Value == FGlyphCount) return;
  FGlyphCount = Value;
  GlyphCountChanged();
}

void TGuiCustomStitchedCollectionItem::SetStitchKind(TGuiStitchKind Value) {
  if (Value == FStitchKind) return;
  FStitchKind = Value;
  StitchKindChanged();
}

TGuiCustomStitchedControl& TGuiCustomStitchedCollectionItem::LinkedStitched(std::size_t Index) const {
  auto* control = dynamic_cast<TGuiCustomStitchedControl*>(LinkedControls()[Index]);
  Assert(control != nullptr, kUnit, "Linked control is not a stitched control");
  return *control;
}

void TGuiCustomStitchedCollectionItem::GlyphCountChanged() {
  // Setters may fire change events; index, so a handler cannot invalidate the walk.
  for (std::size_t i = 0; i < LinkedControls().size(); ++i) {
    TGuiCustomStitchedControl& control = LinkedStitched(i);
    if (control.DefaultGlyphIndex() >= FGlyphCount) control.SetDefaultGlyphIndex(FGlyphCount - 1);
    if (control.GlyphIndex() >= FGlyphCount) control.SetGlyphIndex(FGlyphCount - 1);
    if (control.AutoSize()) control.SizeToGlyph();
  }
}

void TGuiCustomStitchedCollectionItem::StitchKindChanged() {
  for (std::size_t i = 0; i < LinkedControls().size(); ++i) {
    TGuiCustomStitchedControl& control = LinkedStitched(i);
    if (control.AutoSize()) control.SizeToGlyph();
  }
}

TGuiCustomStitchedCollectionItem::TGlyphSource TGuiCustomStitchedCollectionItem::GlyphSource(std::int32_t Index,
                                                                                             std::int32_t Width,
                                                                                             std::int32_t Height) {
  const std::int64_t extent = FStitchKind == skHorizontal ? Width : Height;
  return {&PixelMap(), std::int64_t(Index) * extent};
}

void TGuiCustomStitchedCollectionItem::CopyStripTo(TGuiCustomPixelMap& Target) const {
  const TGuiCustomPixelMap& strip = PixelMap();
  Target.SetSize(strip.Width(), strip.Height());
  if (strip.DataPointer() != nullptr)
    std::copy_n(strip.DataPointer(), std::size_t(strip.Width()) * std::size_t(strip.Height()), Target.DataPointer());
}

TGuiStitchedPNGCollectionItem::~TGuiStitchedPNGCollectionItem() = default;

void TGuiStitchedPNGCollectionItem::SetPortableNetworkGraphic(const TPortableNetworkGraphicPixel32& Value) {
  FPng.Assign(Value);
  RefreshPixelMap();
}

void TGuiStitchedPNGCollectionItem::LoadPng(const std::uint8_t* Data, std::size_t Size) {
  FPng.LoadFromMemory(Data, Size);
  FPieces.clear();
  FWholeStrip.SetSize(0, 0);
}

void TGuiStitchedPNGCollectionItem::LoadPngPieces(std::span<const std::span<const std::uint8_t>> Pieces,
                                                  std::int32_t GlyphsPerPiece) {
  if (Pieces.size() == 1) return LoadPng(Pieces[0].data(), Pieces[0].size());
  std::vector<TPiece> read(Pieces.size());
  for (std::size_t i = 0; i < Pieces.size(); ++i) {
    TPortableNetworkGraphicPixel32 header;
    header.LoadHeaderFromMemory(Pieces[i].data(), Pieces[i].size());
    read[i].File = Pieces[i];
    read[i].Width = header.GetWidth();
    read[i].Height = header.GetHeight();
  }
  if (!PiecesFit(read, GlyphsPerPiece)) throw EControlError(TErrorCode::ecStripPiecesDoNotFit);
  // The whole strip is made when a glyph reaches across two pieces: hostile
  // headers must not ask for more than one PNG may.
  const auto side = std::uint64_t(PieceSide(read.front()));
  const auto length = std::uint64_t(StripExtent(read));
  if (length > kPngMaxPixelMapBytes || side > kPngMaxPixelMapBytes || length * side * 4 > kPngMaxPixelMapBytes)
    throw EPngError(TErrorCode::ecImageTooLarge);
  FPng.ResetChunks();
  FPieces = std::move(read);
  FWholeStrip.SetSize(0, 0);
  // Linked controls hear of the change through the map's resize.
  PixelMap().SetSize(0, 0);
}

bool TGuiStitchedPNGCollectionItem::PiecesFit(const std::vector<TPiece>& Pieces, std::int32_t GlyphsPerPiece) const {
  if (Pieces.empty() || GlyphsPerPiece <= 0) return false;
  const std::int64_t full = PieceExtent(Pieces.front());
  if (full <= 0 || full % GlyphsPerPiece != 0) return false;
  const std::int64_t glyph = full / GlyphsPerPiece;
  for (std::size_t i = 0; i < Pieces.size(); ++i) {
    const std::int64_t extent = PieceExtent(Pieces[i]);
    if (PieceSide(Pieces[i]) != PieceSide(Pieces.front())) return false;
    const bool last = i + 1 == Pieces.size();
    if (last ? extent <= 0 || extent > full || extent % glyph != 0 : extent != full) return false;
  }
  return true;
}

void TGuiStitchedPNGCollectionItem::RefreshPixelMap() {
  if (!FPieces.empty()) {
    for (TPiece& piece : FPieces) piece.Pixels.SetSize(0, 0);
    FWholeStrip.SetSize(0, 0);
    return;
  }
  if (FPng.GetWidth() <= 0 || FPng.GetHeight() <= 0) return;
  // A hostile header must not size a giant map before decoding fails.
  FPng.CheckImageLimits();
  PixelMap().SetSize(FPng.GetWidth(), FPng.GetHeight());
  FPng.DrawToPixelMap(PixelMap());
}

std::int32_t TGuiStitchedPNGCollectionItem::Width() const {
  if (FPieces.empty()) return TGuiCustomStitchedCollectionItem::Width();
  return Horizontal() ? std::int32_t(StripExtent(FPieces)) : FPieces.front().Width;
}

std::int32_t TGuiStitchedPNGCollectionItem::Height() const {
  if (FPieces.empty()) return TGuiCustomStitchedCollectionItem::Height();
  return Horizontal() ? FPieces.front().Height : std::int32_t(StripExtent(FPieces));
}

std::int64_t TGuiStitchedPNGCollectionItem::StripExtent(const std::vector<TPiece>& Pieces) const {
  std::int64_t extent = 0;
  for (const TPiece& piece : Pieces) extent += PieceExtent(piece);
  return extent;
}

TGuiCustomStitchedCollectionItem::TGlyphSource TGuiStitchedPNGCollectionItem::GlyphSource(std::int32_t Index,
                                                                                          std::int32_t Width,
                                                                                          std::int32_t Height) {
  if (FPieces.empty()) return TGuiCustomStitchedCollectionItem::GlyphSource(Index, Width, Height);
  const std::int64_t extent = Horizontal() ? Width : Height;
  const std::int64_t start = std::int64_t(Index) * extent;
  const std::int64_t full = PieceExtent(FPieces.front());
  const std::size_t p = std::size_t(start / full);
  // Past the strip's end: an empty map, nothing drawn.
  if (start < 0 || p >= FPieces.size()) return {&FWholeStrip, start};
  const std::int64_t offset = start - std::int64_t(p) * full;
  if (offset + extent <= PieceExtent(FPieces[p]) || p + 1 == FPieces.size()) return {&Decoded(FPieces[p]), offset};
  // A control of another size than the glyphs reaches across two pieces:
  // the whole strip, decoded once.
  if (FWholeStrip.DataPointer() == nullptr) CopyStripTo(FWholeStrip);
  return {&FWholeStrip, start};
}

const TGuiCustomPixelMap& TGuiStitchedPNGCollectionItem::Decoded(TPiece& Piece) {
  Piece.LastDrawn = ++FDrawClock;
  if (Piece.Pixels.DataPointer() != nullptr) return Piece.Pixels;
  if (DecodedPieces() >= kKeptPieces) {
    TPiece* oldest = nullptr;
    for (TPiece& held : FPieces)
      if (held.Pixels.DataPointer() != nullptr && (oldest == nullptr || held.LastDrawn < oldest->LastDrawn))
        oldest = &held;
    oldest->Pixels.SetSize(0, 0);
  }
  DecodeInto(Piece, Piece.Pixels);
  return Piece.Pixels;
}

void TGuiStitchedPNGCollectionItem::DecodeInto(const TPiece& Piece, TGuiCustomPixelMap& Map) {
  TPortableNetworkGraphicPixel32 png;
  png.LoadFromMemory(Piece.File.data(), Piece.File.size());
  // A hostile header must not size a giant map before decoding fails.
  png.CheckImageLimits();
  Map.SetSize(Piece.Width, Piece.Height);
  png.DrawToPixelMap(Map);
}

std::size_t TGuiStitchedPNGCollectionItem::DecodedPieces() const {
  std::size_t count = 0;
  for (const TPiece& piece : FPieces) count += piece.Pixels.DataPointer() != nullptr ? 1 : 0;
  return count;
}

std::size_t TGuiStitchedPNGCollectionItem::DecodedBytes() const {
  const auto bytes = [](const TGuiCustomPixelMap& Map) {
    return Map.DataPointer() == nullptr ? 0 : std::size_t(Map.Width()) * std::size_t(Map.Height()) * sizeof(TPixel32);
  };
  std::size_t total = bytes(PixelMap()) + bytes(FWholeStrip);
  for (const TPiece& piece : FPieces) total += bytes(piece.Pixels);
  return total;
}

void TGuiStitchedPNGCollectionItem::CopyStripTo(TGuiCustomPixelMap& Target) const {
  if (FPieces.empty()) return TGuiCustomStitchedCollectionItem::CopyStripTo(Target);
  Target.SetSize(Width(), Height());
  TGuiPixelMapMemory piece;
  std::int64_t at = 0;
  for (const TPiece& held : FPieces) {
    const TGuiCustomPixelMap* pixels = &held.Pixels;
    if (held.Pixels.DataPointer() == nullptr) {
      DecodeInto(held, piece);
      pixels = &piece;
    }
    for (std::int32_t y = 0; y < held.Height; ++y) {
      TPixel32* row = Horizontal() ? Target.ScanLine(y) + at : Target.ScanLine(std::int32_t(at) + y);
      std::copy_n(pixels->ScanLine(y), held.Width, row);
    }
    at += PieceExtent(held);
  }
}

}  // namespace vb
