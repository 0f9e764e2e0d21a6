#include "gui/gui_stitched_item.h"

#include "gui/gui_errors.h"
#include "gui/gui_stitched_control.h"
#include "gui/gui_stitched_list.h"

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

void TGuiStitchedPNGCollectionItem::SetPortableNetworkGraphic(const TPortableNetworkGraphicPixel32& value) {
  FPng.Assign(value);
  RefreshPixelMap();
}

void TGuiStitchedPNGCollectionItem::LoadPng(const std::uint8_t* data, std::size_t size) {
  FPng.LoadFromMemory(data, size);
}

void TGuiStitchedPNGCollectionItem::RefreshPixelMap() {
  if (FPng.GetWidth() <= 0 || FPng.GetHeight() <= 0) return;
  // A hostile header must not size a giant map before decoding fails.
  FPng.CheckImageLimits();
  PixelMap().SetSize(FPng.GetWidth(), FPng.GetHeight());
  FPng.DrawToPixelMap(PixelMap());
}

}  // namespace vb
