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

TGuiCustomStitchedCollectionItem::TGuiCustomStitchedCollectionItem(TGuiStitchedImageCollection* collection)
    : FCollection(collection) {}

TGuiCustomStitchedCollectionItem::~TGuiCustomStitchedCollectionItem() = default;

std::int32_t TGuiCustomStitchedCollectionItem::Index() const {
  return FCollection != nullptr ? FCollection->IndexOf(this) : -1;
}

void TGuiCustomStitchedCollectionItem::SetGlyphCount(std::int32_t value) {
  if (value <= 0) throw EControlError(TErrorCode::ecGlyphCountNotPositive);
  if (value == FGlyphCount) return;
  FGlyphCount = value;
  GlyphCountChanged();
}

void TGuiCustomStitchedCollectionItem::SetStitchKind(TGuiStitchKind value) {
  if (value == FStitchKind) return;
  FStitchKind = value;
  StitchKindChanged();
}

TGuiCustomStitchedControl& TGuiCustomStitchedCollectionItem::LinkedStitched(std::size_t index) const {
  auto* control = dynamic_cast<TGuiCustomStitchedControl*>(LinkedControls()[index]);
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

TGuiCustomStitchedCollectionItem::TGlyphSource TGuiCustomStitchedCollectionItem::GlyphSource(std::int32_t index,
                                                                                            std::int32_t width,
                                                                                            std::int32_t height) {
  const std::int64_t extent = FStitchKind == skHorizontal ? width : height;
  return {&PixelMap(), std::int64_t(index) * extent};
}

void TGuiCustomStitchedCollectionItem::CopyStripTo(TGuiCustomPixelMap& target) const {
  const TGuiCustomPixelMap& strip = PixelMap();
  target.SetSize(strip.Width(), strip.Height());
  if (strip.DataPointer() != nullptr)
    std::copy_n(strip.DataPointer(), std::size_t(strip.Width()) * std::size_t(strip.Height()), target.DataPointer());
}

TGuiStitchedPNGCollectionItem::~TGuiStitchedPNGCollectionItem() = default;

void TGuiStitchedPNGCollectionItem::SetPortableNetworkGraphic(const TPortableNetworkGraphicPixel32& value) {
  FPng.Assign(value);
  RefreshPixelMap();
}

void TGuiStitchedPNGCollectionItem::LoadPng(const std::uint8_t* data, std::size_t size) {
  FPng.LoadFromMemory(data, size);
  FPieces.clear();
  FWholeStrip.SetSize(0, 0);
}

void TGuiStitchedPNGCollectionItem::LoadPngPieces(std::span<const std::span<const std::uint8_t>> pieces,
                                                  std::int32_t glyphsPerPiece) {
  if (pieces.size() == 1) return LoadPng(pieces[0].data(), pieces[0].size());
  std::vector<TPiece> read(pieces.size());
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    TPortableNetworkGraphicPixel32 header;
    header.LoadHeaderFromMemory(pieces[i].data(), pieces[i].size());
    read[i].File = pieces[i];
    read[i].Width = header.GetWidth();
    read[i].Height = header.GetHeight();
  }
  if (!PiecesFit(read, glyphsPerPiece)) throw EControlError(TErrorCode::ecStripPiecesDoNotFit);
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

bool TGuiStitchedPNGCollectionItem::PiecesFit(const std::vector<TPiece>& pieces, std::int32_t glyphsPerPiece) const {
  if (pieces.empty() || glyphsPerPiece <= 0) return false;
  const std::int64_t full = PieceExtent(pieces.front());
  if (full <= 0 || full % glyphsPerPiece != 0) return false;
  const std::int64_t glyph = full / glyphsPerPiece;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const std::int64_t extent = PieceExtent(pieces[i]);
    if (PieceSide(pieces[i]) != PieceSide(pieces.front())) return false;
    const bool last = i + 1 == pieces.size();
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

std::int64_t TGuiStitchedPNGCollectionItem::StripExtent(const std::vector<TPiece>& pieces) const {
  std::int64_t extent = 0;
  for (const TPiece& piece : pieces) extent += PieceExtent(piece);
  return extent;
}

TGuiCustomStitchedCollectionItem::TGlyphSource TGuiStitchedPNGCollectionItem::GlyphSource(std::int32_t index,
                                                                                         std::int32_t width,
                                                                                         std::int32_t height) {
  if (FPieces.empty()) return TGuiCustomStitchedCollectionItem::GlyphSource(index, width, height);
  const std::int64_t extent = Horizontal() ? width : height;
  const std::int64_t start = std::int64_t(index) * extent;
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

const TGuiCustomPixelMap& TGuiStitchedPNGCollectionItem::Decoded(TPiece& piece) {
  piece.LastDrawn = ++FDrawClock;
  if (piece.Pixels.DataPointer() != nullptr) return piece.Pixels;
  if (DecodedPieces() >= kKeptPieces) {
    TPiece* oldest = nullptr;
    for (TPiece& held : FPieces)
      if (held.Pixels.DataPointer() != nullptr && (oldest == nullptr || held.LastDrawn < oldest->LastDrawn))
        oldest = &held;
    oldest->Pixels.SetSize(0, 0);
  }
  DecodeInto(piece, piece.Pixels);
  return piece.Pixels;
}

void TGuiStitchedPNGCollectionItem::DecodeInto(const TPiece& piece, TGuiCustomPixelMap& map) {
  TPortableNetworkGraphicPixel32 png;
  png.LoadFromMemory(piece.File.data(), piece.File.size());
  // A hostile header must not size a giant map before decoding fails.
  png.CheckImageLimits();
  map.SetSize(piece.Width, piece.Height);
  png.DrawToPixelMap(map);
}

std::size_t TGuiStitchedPNGCollectionItem::DecodedPieces() const {
  std::size_t count = 0;
  for (const TPiece& piece : FPieces) count += piece.Pixels.DataPointer() != nullptr ? 1 : 0;
  return count;
}

std::size_t TGuiStitchedPNGCollectionItem::DecodedBytes() const {
  const auto bytes = [](const TGuiCustomPixelMap& map) {
    return map.DataPointer() == nullptr ? 0 : std::size_t(map.Width()) * std::size_t(map.Height()) * sizeof(TPixel32);
  };
  std::size_t total = bytes(PixelMap()) + bytes(FWholeStrip);
  for (const TPiece& piece : FPieces) total += bytes(piece.Pixels);
  return total;
}

void TGuiStitchedPNGCollectionItem::CopyStripTo(TGuiCustomPixelMap& target) const {
  if (FPieces.empty()) return TGuiCustomStitchedCollectionItem::CopyStripTo(target);
  target.SetSize(Width(), Height());
  TGuiPixelMapMemory piece;
  std::int64_t at = 0;
  for (const TPiece& held : FPieces) {
    const TGuiCustomPixelMap* pixels = &held.Pixels;
    if (held.Pixels.DataPointer() == nullptr) {
      DecodeInto(held, piece);
      pixels = &piece;
    }
    for (std::int32_t y = 0; y < held.Height; ++y) {
      TPixel32* row = Horizontal() ? target.ScanLine(y) + at : target.ScanLine(std::int32_t(at) + y);
      std::copy_n(pixels->ScanLine(y), held.Width, row);
    }
    at += PieceExtent(held);
  }
}

}  // namespace vb
