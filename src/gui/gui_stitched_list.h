#pragma once
// Stitched image lists: an owned, ordered collection of strips and the image
// list that publishes it. Deleting or extracting a strip detaches every
// control that showed it (their ImageIndex becomes -1).
//
// Used from the thread that owns the window only.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "gui/gui_image_list.h"
#include "gui/gui_stitched_item.h"

namespace vb {

class TGuiStitchedImageCollection {
 public:
  using TItemFactory = std::function<std::unique_ptr<TGuiCustomStitchedCollectionItem>(TGuiStitchedImageCollection*)>;

  // Factory builds the items of this collection's one item class.
  explicit TGuiStitchedImageCollection(TItemFactory Factory);
  ~TGuiStitchedImageCollection();
  TGuiStitchedImageCollection(const TGuiStitchedImageCollection&) = delete;
  TGuiStitchedImageCollection& operator=(const TGuiStitchedImageCollection&) = delete;

  std::int32_t Count() const { return std::int32_t(FItems.size()); }
  TGuiCustomStitchedCollectionItem& Add();
  // Index is clamped to 0 .. Count.
  TGuiCustomStitchedCollectionItem& Insert(std::int32_t Index);
  // Detaches the item's controls, then frees it (EListIndexError outside).
  void Delete(std::int32_t Index);
  // Detaches the item's controls and hands it out of the collection.
  std::unique_ptr<TGuiCustomStitchedCollectionItem> Extract(std::int32_t Index);
  void Clear();
  TGuiCustomStitchedCollectionItem& GetItem(std::int32_t Index) const;
  // Copies pixel map, name, glyph count and stitch kind of Item into item
  // Index.
  void SetItem(std::int32_t Index, const TGuiCustomStitchedCollectionItem& Item);
  std::int32_t IndexOf(const TGuiCustomStitchedCollectionItem* Item) const;

 private:
  void CheckIndex(std::int32_t Index) const;

  TItemFactory FFactory;
  std::vector<std::unique_ptr<TGuiCustomStitchedCollectionItem>> FItems;
};

class TGuiCustomStitchedList : public TGuiCustomImageList {
 public:
  TGuiCustomStitchedList(TGuiWindow* Owner, TGuiStitchedImageCollection::TItemFactory Factory);
  // Detaches the linked controls before the strips go.
  ~TGuiCustomStitchedList() override;

  std::int32_t Count() const override { return FStitchedCollection.Count(); }
  TGuiCustomImageCollectionItem& ImageItem(std::int32_t Index) override { return GetStitchedItems(Index); }
  // EListIndexError "Index out of bounds (<index>)" outside 0 .. Count - 1.
  TGuiCustomStitchedCollectionItem& GetStitchedItems(std::int32_t Index) const;
  TGuiStitchedImageCollection& StitchedCollection() { return FStitchedCollection; }

 private:
  TGuiStitchedImageCollection FStitchedCollection;
};

// The stitched list of PNG strips. When loading ends each strip decodes its
// PNG into its pixel map, in collection order; strips in pieces decode each
// piece when it is first drawn.
class TGuiStitchedPNGList : public TGuiCustomStitchedList {
 public:
  explicit TGuiStitchedPNGList(TGuiWindow* Owner);

  TGuiStitchedImageCollection& StitchedPNGs() { return StitchedCollection(); }
  TGuiStitchedPNGCollectionItem& GetItems(std::int32_t Index) const;
  // Appends a strip from PNG file bytes held in memory.
  TGuiStitchedPNGCollectionItem& AddPng(const std::uint8_t* Data, std::size_t Size, std::string DisplayName,
                                        std::int32_t GlyphCount, TGuiStitchKind StitchKind);
  // Appends a strip from PNG files held in memory, GlyphsPerPiece glyphs a
  // file (see TGuiStitchedPNGCollectionItem::LoadPngPieces); the bytes must
  // outlive the list.
  TGuiStitchedPNGCollectionItem& AddPngPieces(std::span<const std::span<const std::uint8_t>> Pieces,
                                              std::int32_t GlyphsPerPiece, std::string DisplayName,
                                              std::int32_t GlyphCount, TGuiStitchKind StitchKind);
  void Loaded() override;
};

}  // namespace vb
