#include "gui/gui_stitched_list.h"

#include <algorithm>

#include "gui/gui_errors.h"

namespace vb {

namespace {
constexpr const char* kUnit = "gui_stitched_list";
}

TGuiStitchedImageCollection::TGuiStitchedImageCollection(TItemFactory factory) : FFactory(std::move(factory)) {}

TGuiStitchedImageCollection::~TGuiStitchedImageCollection() { Clear(); }

TGuiCustomStitchedCollectionItem& TGuiStitchedImageCollection::Add() { return Insert(Count()); }

TGuiCustomStitchedCollectionItem& TGuiStitchedImageCollection::Insert(std::int32_t index) {
  index = std::clamp(index, 0, Count());
  auto item = FFactory(this);
  Assert(item != nullptr, kUnit, "No item built");
  TGuiCustomStitchedCollectionItem& result = *item;
  FItems.insert(FItems.begin() + index, std::move(item));
  return result;
}

void TGuiStitchedImageCollection::CheckIndex(std::int32_t index) const {
  if (index < 0 || index >= Count()) throw EListIndexError(index);
}

void TGuiStitchedImageCollection::Delete(std::int32_t index) { Extract(index).reset(); }

std::unique_ptr<TGuiCustomStitchedCollectionItem> TGuiStitchedImageCollection::Extract(std::int32_t index) {
  CheckIndex(index);
  // Controls are detached while the item still has its place (and index).
  FItems[std::size_t(index)]->UnlinkAllControls();
  auto item = std::move(FItems[std::size_t(index)]);
  FItems.erase(FItems.begin() + index);
  return item;
}

void TGuiStitchedImageCollection::Clear() {
  while (!FItems.empty()) Delete(Count() - 1);
}

TGuiCustomStitchedCollectionItem& TGuiStitchedImageCollection::GetItem(std::int32_t index) const {
  CheckIndex(index);
  return *FItems[std::size_t(index)];
}

void TGuiStitchedImageCollection::SetItem(std::int32_t index, const TGuiCustomStitchedCollectionItem& item) {
  TGuiCustomStitchedCollectionItem& target = GetItem(index);
  if (&target == &item) return;
  target.SetDisplayName(item.DisplayName());
  TGuiPixelMapMemory strip;
  item.CopyStripTo(strip);
  target.SetPixelMap(strip);
  target.SetGlyphCount(item.GlyphCount());
  target.SetStitchKind(item.StitchKind());
}

std::int32_t TGuiStitchedImageCollection::IndexOf(const TGuiCustomStitchedCollectionItem* item) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == item) return std::int32_t(i);
  return -1;
}

TGuiCustomStitchedList::TGuiCustomStitchedList(TGuiWindow* owner, TGuiStitchedImageCollection::TItemFactory factory)
    : TGuiCustomImageList(owner), FStitchedCollection(std::move(factory)) {}

TGuiCustomStitchedList::~TGuiCustomStitchedList() { UnlinkAllControls(); }

TGuiCustomStitchedCollectionItem& TGuiCustomStitchedList::GetStitchedItems(std::int32_t index) const {
  if (index < 0 || index >= FStitchedCollection.Count()) throw EListIndexError(index);
  return FStitchedCollection.GetItem(index);
}

TGuiStitchedPNGList::TGuiStitchedPNGList(TGuiWindow* owner)
    : TGuiCustomStitchedList(owner, [](TGuiStitchedImageCollection* collection) {
        return std::make_unique<TGuiStitchedPNGCollectionItem>(collection);
      }) {}

TGuiStitchedPNGCollectionItem& TGuiStitchedPNGList::GetItems(std::int32_t index) const {
  auto* item = dynamic_cast<TGuiStitchedPNGCollectionItem*>(&GetStitchedItems(index));
  Assert(item != nullptr, kUnit, "Item is not a PNG strip");
  return *item;
}

TGuiStitchedPNGCollectionItem& TGuiStitchedPNGList::AddPng(const std::uint8_t* data, std::size_t size,
                                                           std::string displayName, std::int32_t glyphCount,
                                                           TGuiStitchKind stitchKind) {
  const std::span<const std::uint8_t> file[] = {{data, size}};
  return AddPngPieces(file, 1, std::move(displayName), glyphCount, stitchKind);
}

TGuiStitchedPNGCollectionItem& TGuiStitchedPNGList::AddPngPieces(std::span<const std::span<const std::uint8_t>> pieces,
                                                                 std::int32_t glyphsPerPiece, std::string displayName,
                                                                 std::int32_t glyphCount, TGuiStitchKind stitchKind) {
  auto& item = static_cast<TGuiStitchedPNGCollectionItem&>(StitchedPNGs().Add());
  try {
    item.SetDisplayName(std::move(displayName));
    item.SetGlyphCount(glyphCount);
    item.SetStitchKind(stitchKind);
    item.LoadPngPieces(pieces, glyphsPerPiece);
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
