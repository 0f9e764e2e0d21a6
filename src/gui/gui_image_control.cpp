#include "gui/gui_image_control.h"

#include <algorithm>

#include "gui/gui_errors.h"
#include "gui/gui_image_list.h"

namespace vb {

TGuiCustomImageControl::TGuiCustomImageControl(TGuiWindow* Owner) : TGuiCustomControl(Owner) {}

TGuiCustomImageControl::~TGuiCustomImageControl() {
  BeginDestroy();
  if (FImageItem != nullptr) FImageItem->ForgetControl(*this);
  if (FImageList != nullptr) FImageList->UnlinkControl(this);
}

void TGuiCustomImageControl::SetImageList(TGuiCustomImageList* List) {
  if (List == FImageList) return;
  if (List != nullptr) {
    if (FImageList != nullptr) FImageList->UnlinkControl(this);
    FImageList = List;
    List->LinkControl(*this);
  } else {
    SetImageItem(nullptr);
    FImageList->UnlinkControl(this);
    FImageList = nullptr;
  }
  ImageListChanged();
}

void TGuiCustomImageControl::ImageListChanged() {
  SetImageItem(nullptr);
  if (!Locked()) BufferChanged();
}

std::int32_t TGuiCustomImageControl::ImageIndex() const { return FImageItem != nullptr ? FImageItem->Index() : -1; }

void TGuiCustomImageControl::SetImageIndex(std::int32_t Index) {
  if (Loading()) {
    FImageIndex = Index;
    return;
  }
  if (FImageList == nullptr) return;
  Index = Index < 0 ? -1 : std::min(Index, FImageList->Count() - 1);
  if (Index == ImageIndex()) return;
  FImageIndex = Index;
  SetImageItem(Index >= 0 ? &FImageList->ImageItem(Index) : nullptr);
  ImageIndexChanged();
}

void TGuiCustomImageControl::SetImageItem(TGuiCustomImageCollectionItem* Item) {
  if (Item == FImageItem) return;
  if (Item != nullptr) {
    // The old item unlinks us first (our index becomes -1 on the way).
    if (FImageItem != nullptr) FImageItem->UnlinkControl(this);
    FImageItem = Item;
    Item->LinkControl(*this);
  } else {
    TGuiCustomImageCollectionItem* old = FImageItem;
    FImageItem = nullptr;
    old->UnlinkControl(this);
  }
  ImageItemChanged();
}

void TGuiCustomImageControl::ImageIndexChanged() {
  if (!Locked()) BufferChanged();
}

void TGuiCustomImageControl::EndUpdate() {
  if (FLockCount <= 0) throw EControlError(TErrorCode::ecControlNotLocked);
  if (--FLockCount == 0) BufferChanged();
}

void TGuiCustomImageControl::DoChange() {
  NotifyParentOfChange();
  if (FOnChange && !Loading() && !Destroying()) FOnChange(*this);
}

void TGuiCustomImageControl::Loaded() {
  TGuiCustomControl::Loaded();
  if (FImageList == nullptr) return;
  if (FImageIndex >= FImageList->Count()) {
    FImageIndex = -1;
    SetImageItem(nullptr);
  } else if (FImageIndex >= 0) {
    SetImageItem(&FImageList->ImageItem(FImageIndex));
  }
  ImageIndexChanged();
}

}  // namespace vb
