#include "gui/gui_image_list.h"

#include <algorithm>

#include "gui/gui_image_control.h"

namespace vb {

TGuiCustomImageCollectionItem::TGuiCustomImageCollectionItem() {
  FPixelMap.SetOnResize([this](TGuiCustomMap&) { PixelMapResized(); });
}

TGuiCustomImageCollectionItem::~TGuiCustomImageCollectionItem() {
  // Controls must not keep pointing at a freed item.
  UnlinkAllControls();
}

void TGuiCustomImageCollectionItem::SetPixelMap(const TGuiCustomPixelMap& value) {
  // Assign takes the source's notification handlers too; the item keeps its
  // own, so that linked controls still hear of the new size.
  TMapNotifyEvent onChange = FPixelMap.OnChange();
  TMapNotifyEvent onResize = FPixelMap.OnResize();
  FPixelMap.Assign(value);
  FPixelMap.SetOnChange(std::move(onChange));
  FPixelMap.SetOnResize(std::move(onResize));
}

void TGuiCustomImageCollectionItem::SetWidth(std::int32_t value) {
  if (value >= 0) FPixelMap.SetWidth(value);
}

void TGuiCustomImageCollectionItem::SetHeight(std::int32_t value) {
  if (value >= 0) FPixelMap.SetHeight(value);
}

void TGuiCustomImageCollectionItem::LinkControl(TGuiCustomImageControl& control) {
  if (std::find(FLinkedControls.begin(), FLinkedControls.end(), &control) == FLinkedControls.end())
    FLinkedControls.push_back(&control);
}

void TGuiCustomImageCollectionItem::UnlinkControl(TGuiCustomImageControl* control) {
  if (control == nullptr) return;
  std::erase(FLinkedControls, control);
  control->SetImageIndex(-1);
  // While loading the index setter only stores: drop the item explicitly.
  if (control->ImageItem() == this) control->SetImageItem(nullptr);
}

void TGuiCustomImageCollectionItem::UnlinkAllControls() {
  while (!FLinkedControls.empty()) UnlinkControl(FLinkedControls.front());
}

void TGuiCustomImageCollectionItem::ForgetControl(TGuiCustomImageControl& control) {
  std::erase(FLinkedControls, &control);
}

void TGuiCustomImageCollectionItem::PixelMapResized() {
  for (TGuiCustomImageControl* control : FLinkedControls)
    if (!control->Locked()) control->BufferChanged();
}

TGuiCustomImageList::TGuiCustomImageList(TGuiWindow* owner) : TGuiComponent(owner) {}

TGuiCustomImageList::~TGuiCustomImageList() { UnlinkAllControls(); }

void TGuiCustomImageList::LinkControl(TGuiCustomImageControl& control) {
  if (std::find(FLinkedControls.begin(), FLinkedControls.end(), &control) == FLinkedControls.end())
    FLinkedControls.push_back(&control);
}

void TGuiCustomImageList::UnlinkControl(TGuiCustomImageControl* control) {
  if (control != nullptr) std::erase(FLinkedControls, control);
}

void TGuiCustomImageList::UnlinkAllControls() {
  while (!FLinkedControls.empty()) {
    TGuiCustomImageControl* first = FLinkedControls.front();
    first->SetImageList(nullptr);
    // Whatever happens in the control, the loop must end.
    UnlinkControl(first);
  }
}

}  // namespace vb
