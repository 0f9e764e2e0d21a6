#pragma once
// A windowed control that shows one item of an image list. Content changes
// made between BeginUpdate and the final EndUpdate only store state; the
// final EndUpdate asks for one repaint.
//
// Used from the thread that owns the window only.

#include <cstdint>

#include "gui/gui_buffered_control.h"

namespace vb {

class TGuiCustomImageList;
class TGuiCustomImageCollectionItem;

class TGuiCustomImageControl : public TGuiCustomControl {
 public:
  explicit TGuiCustomImageControl(TGuiWindow* Owner);
  // Detaches the control from its item and its list.
  ~TGuiCustomImageControl() override;

  TGuiCustomImageList* ImageList() const { return FImageList; }
  // Links to List (null unlinks); the shown item is dropped.
  void SetImageList(TGuiCustomImageList* List);
  // The linked item's index in its list, -1 when none is linked.
  std::int32_t ImageIndex() const;
  // Clamped to -1 .. Count - 1; without a list the call has no effect; while
  // loading the index is stored and resolved by Loaded.
  void SetImageIndex(std::int32_t Index);
  TGuiCustomImageCollectionItem* ImageItem() const { return FImageItem; }
  void SetImageItem(TGuiCustomImageCollectionItem* Item);

  void BeginUpdate() { ++FLockCount; }
  // Raises EControlError "Control is not locked" without a BeginUpdate to match.
  void EndUpdate();
  bool Locked() const { return FLockCount > 0; }

  void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }
  void Loaded() override;

 protected:
  // The change notice to the window, then OnChange (not while loading or
  // being destroyed).
  virtual void DoChange();
  virtual void ImageIndexChanged();
  virtual void ImageListChanged();
  virtual void ImageItemChanged() {}
  // The index stored while loading.
  std::int32_t StoredImageIndex() const { return FImageIndex; }

 private:
  TNotifyEvent FOnChange;
  TGuiCustomImageList* FImageList = nullptr;
  TGuiCustomImageCollectionItem* FImageItem = nullptr;
  std::int32_t FImageIndex = 0;
  std::int32_t FLockCount = 0;
};

}  // namespace vb
