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

void TGuiCustomImageCollectionItem::SetPixelMap(const TGuiCustomPixelMap& Value) {
  // Assign takes the source's notification handlers too; the item keeps its
  // own, so that linked controls still hear of the new size.
  TMapNotifyEvent onChange = FPixelMap.OnChange();
  TMapNotifyEvent onResize = FPixelMap.OnResize();
  FPixelMap.Assign(Value);
  FPixelMap.SetOnChange(std::move(onChange));
  FPixelMap.SetOnResize(std::move(onResize));
}

void TGuiCustomImageCollectionItem::SetWidth(std::int32_t Value) {
  if (Value >= 0) FPixelMap.SetWidth(Value);
}

void TGuiCustomImageCollectionItem::SetHeight(std::int32_t Value) {
  if (Value >= 0) FPixelMap.SetHeight(Value);
}

void TGuiCustomImageCollectionItem::LinkControl(TGuiCustomImageControl& Control) {
  if (std::find(FLinkedControls.begin(), FLinkedControls.end(), &Control) == FLinkedControls.end())
    FLinkedControls.push_back(&Control);
}

void TGuiCustomImageCollectionItem::UnlinkControl(TGuiCustomImageControl* Control) {
  if (Control == nullptr) return;
  std::erase(FLinkedControls, Control);
  Control->SetImageIndex(-1);
  // While loading the index setter only stores: drop the item explicitly.
  if (Control->ImageItem() == this) Control->SetImageItem(nullptr);
}

void TGuiCustomImageCollectionItem::UnlinkAllControls() {
  while (!FLinkedControls.empty()) UnlinkControl(FLinkedControls.front());
}

void TGuiCustomImageCollectionItem::ForgetControl(TGuiCustomImageControl& Control) {
  std::erase(FLinkedControls, &Control);
}

void TGuiCustomImageCollectionItem::PixelMapResized() {
  for (TGuiCustomImageControl* control : FLinkedControls)
    if (!control->Locked()) control->BufferChanged();
}

TGuiCustomImageList::TGuiCustomImageList(TGuiWindow* Owner) : TGuiComponent(Owner) {}

TGuiCustomImageList::~TGuiCustomImageList() { UnlinkAllControls(); }

void TGuiCustomImageList::LinkControl(TGuiCustomImageControl& Control) {
  if (std::find(FLinkedControls.begin(), FLinkedControls.end(), &Control) == FLinkedControls.end())
    FLinkedControls.push_back(&Control);
}

void TGuiCustomImageList::UnlinkControl(TGuiCustomImageControl* Control) {
  if (Control != nullptr) std::erase(FLinkedControls, Control);
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
