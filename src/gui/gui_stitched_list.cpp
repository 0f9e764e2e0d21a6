#include "gui/gui_stitched_list.h"

#include <algorithm>

#include "gui/gui_errors.h"

namespace vb {

namespace {
constexpr const char* kUnit = "gui_stitched_list";
}

TGuiStitchedImageCollection::TGuiStitchedImageCollection(TItemFactory Factory) : FFactory(std::move(Factory)) {}

TGuiStitchedImageCollection::~TGuiStitchedImageCollection() { Clear(); }

TGuiCustomStitchedCollectionItem& TGuiStitchedImageCollection::Add() { return Insert(Count()); }

TGuiCustomStitchedCollectionItem& TGuiStitchedImageCollection::Insert(std::int32_t Index) {
  Index = std::clamp(Index, 0, Count());
  auto item = FFactory(this);
  Assert(item != nullptr, kUnit, "No item built");
  TGuiCustomStitchedCollectionItem& result = *item;
  FItems.insert(FItems.begin() + Index, std::move(item));
  return result;
}

void TGuiStitchedImageCollection::CheckIndex(std::int32_t Index) const {
  if (Index < 0 || Index >= Count()) throw EListIndexError(Index);
}

void TGuiStitchedImageCollection::Delete(std::int32_t Index) { Extract(Index).reset(); }

std::unique_ptr<TGuiCustomStitchedCollectionItem> TGuiStitchedImageCollection::Extract(std::int32_t Index) {
  CheckIndex(Index);
  // Controls are detached while the item still has its place (and index).
  FItems[std::size_t(Index)]->UnlinkAllControls();
  auto item = std::move(FItems[std::size_t(Index)]);
  FItems.erase(FItems.begin() + Index);
  return item;
}

void TGuiStitchedImageCollection::Clear() {
  while (!FItems.empty()) Delete(Count() - 1);
}

TGuiCustomStitchedCollectionItem& TGuiStitchedImageCollection::GetItem(std::int32_t Index) const {
  CheckIndex(Index);
  return *FItems[std::size_t(Index)];
}

void TGuiStitchedImageCollection::SetItem(std::int32_t Index, const TGuiCustomStitchedCollectionItem& Item) {
  TGuiCustomStitchedCollectionItem& target = GetItem(Index);
  if (&target == &Item) return;
  target.SetDisplayName(Item.DisplayName());
  TGuiPixelMapMemory strip;
  Item.CopyStripTo(strip);
  target.SetPixelMap(strip);
  target.SetGlyphCount(Item.GlyphCount());
  target.SetStitchKind(Item.StitchKind());
}

std::int32_t TGuiStitchedImageCollection::IndexOf(const TGuiCustomStitchedCollectionItem* Item) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == Item) return std::int32_t(i);
  return -1;
}

TGuiCustomStitchedList::TGuiCustomStitchedList(TGuiWindow* Owner, TGuiStitchedImageCollection::TItemFactory Factory)
    : TGuiCustomImageList(Owner), FStitchedCollection(std::move(Factory)) {}

TGuiCustomStitchedList::~TGuiCustomStitchedList() { UnlinkAllControls(); }

TGuiCustomStitchedCollectionItem& TGuiCustomStitchedList::GetStitchedItems(std::int32_t Index) const {
  if (Index < 0 || Index >= FStitchedCollection.Count()) throw EListIndexError(Index);
  return FStitchedCollection.GetItem(Index);
}

TGuiStitchedPNGList::TGuiStitchedPNGList(TGuiWindow* Owner)
    : TGuiCustomStitchedList(Owner, [](TGuiStitchedImageCollection* Collection) {
        return std::make_unique<TGuiStitchedPNGCollectionItem>(Collection);
      }) {}

TGuiStitchedPNGCollectionItem& TGuiStitchedPNGList::GetItems(std::int32_t Index) const {
  auto* item = dynamic_cast<TGuiStitchedPNGCollectionItem*>(&GetStitchedItems(Index));
  Assert(item != nullptr, kUnit, "Item is not a PNG strip");
  return *item;
}

TGuiStitchedPNGCollectionItem& TGuiStitchedPNGList::AddPng(const std::uint8_t* Data, std::size_t Size,
                                                           std::string DisplayName, std::int32_t GlyphCount,
                                                           TGuiStitchKind StitchKind) {
  const std::span<const std::uint8_t> file[] = {{Data, Size}};
  return AddPngPieces(file, 1, std::move(DisplayName), GlyphCount, StitchKind);
}

TGuiStitchedPNGCollectionItem& TGuiStitchedPNGList::AddPngPieces(std::span<const std::span<const std::uint8_t>> Pieces,
                                                                 std::int32_t GlyphsPerPiece, std::string DisplayName,
                                                                 std::int32_t GlyphCount, TGuiStitchKind StitchKind) {
  auto& item = static_cast<TGuiStitchedPNGCollectionItem&>(StitchedPNGs().Add());
  try {
    item.SetDisplayName(std::move(DisplayName));
    item.SetGlyphCount(GlyphCount);
    item.SetStitchKind(StitchKind);
    item.LoadPngPieces(Pieces, GlyphsPerPiece);
    if (!Loading()) item.RefreshPixelMap();
  } catch (...) {
    // A strip that cannot be read does not stay behind half-built.
    StitchedPNGs().Delete(StitchedPNGs().Count() - 1);
    throw;
  }
  return item;
}

void TGuiStitchedPNGList::Loaded() {
  TGuiCustomStitchedList::Loaded();
  for (std::int32_t i = 0; i < Count(); ++i) GetItems(i).RefreshPixelMap();
}

}  // namespace vb
