#include "gui/gui_stitched_control.h"

#include <algorithm>

#include "gui/gui_stitched_list.h"
#include "image/image_errors.h"
#include "image/pixel_blend.h"

namespace vb {

namespace {
constexpr const char* kUnit = "gui_stitched_control";
}

TGuiCustomStitchedControl::TGuiCustomStitchedControl(TGuiWindow* Owner) : TGuiCustomImageControl(Owner) {}

TGuiCustomStitchedControl::~TGuiCustomStitchedControl() = default;

TGuiCustomStitchedList* TGuiCustomStitchedControl::StitchedList() const {
  return dynamic_cast<TGuiCustomStitchedList*>(ImageList());
}

TGuiCustomStitchedCollectionItem* TGuiCustomStitchedControl::StitchedItem() const {
  if (ImageItem() == nullptr) return nullptr;
  auto* item = dynamic_cast<TGuiCustomStitchedCollectionItem*>(ImageItem());
  Assert(item != nullptr, kUnit, "Linked item is not a stitched item");
  return item;
}

std::int32_t TGuiCustomStitchedControl::GlyphCount() const {
  const TGuiCustomStitchedCollectionItem* item = StitchedItem();
  return item != nullptr ? item->GlyphCount() : 0;
}

std::int32_t TGuiCustomStitchedControl::ClampGlyph(std::int32_t Value) const {
  if (StitchedItem() == nullptr) return -1;
  return std::clamp(Value, 0, GlyphCount() - 1);
}

void TGuiCustomStitchedControl::SetGlyphIndex(std::int32_t Value) {
  if (Loading()) {
    FGlyphIndex = Value;
    return;
  }
  Value = ClampGlyph(Value);
  if (Value == FGlyphIndex) return;
  FGlyphIndex = Value;
  GlyphIndexChanged();
}

void TGuiCustomStitchedControl::GlyphIndexChanged() {
  DoGlyphChange();
  if (!Locked()) BufferChanged();
}

void TGuiCustomStitchedControl::SetDefaultGlyphIndex(std::int32_t Value) {
  if (Loading()) {
    FDefaultGlyphIndex = Value;
    return;
  }
  Value = ClampGlyph(Value);
  if (Value == FDefaultGlyphIndex) return;
  FDefaultGlyphIndex = Value;
  DefaultGlyphIndexChanged();
}

void TGuiCustomStitchedControl::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  if (Value) SizeToGlyph();
}

void TGuiCustomStitchedControl::SizeToGlyph() {
  const TGuiCustomStitchedCollectionItem* item = StitchedItem();
  if (item == nullptr || item->GlyphCount() == 0) return;
  if (item->StitchKind() == skVertical)
    SetSize(item->Width(), item->Height() / item->GlyphCount());
  else
    SetSize(item->Width() / item->GlyphCount(), item->Height());
}

void TGuiCustomStitchedControl::ImageItemChanged() {
  if (StitchedItem() != nullptr && FAutoSize) SizeToGlyph();
  SetGlyphIndex(-1);
}

void TGuiCustomStitchedControl::Loaded() {
  TGuiCustomImageControl::Loaded();
  const std::int32_t count = GlyphCount();
  // Stored indexes beyond the strip show nothing rather than a wrong glyph.
  if (FGlyphIndex >= 0 && FGlyphIndex >= count) FGlyphIndex = -1;
  if (FDefaultGlyphIndex >= 0 && FDefaultGlyphIndex >= count) FDefaultGlyphIndex = -1;
}

void TGuiCustomStitchedControl::UpdateBuffer() {
  TGuiCustomImageControl::UpdateBuffer();
  DrawGlyph();
}

void TGuiCustomStitchedControl::DrawGlyph() {
  TGuiCustomStitchedCollectionItem* item = StitchedItem();
  if (item == nullptr || FGlyphIndex < 0 || item->GlyphCount() == 0) return;
  TGuiPixelMapMemory& buffer = FrontBuffer();
  const std::int32_t w = buffer.Width();
  const std::int32_t h = buffer.Height();
  if (buffer.DataPointer() == nullptr) return;
  // The strip, or the piece of it that holds the glyph.
  const auto [map, offset] = item->GlyphSource(FGlyphIndex, w, h);
  const TGuiCustomPixelMap& strip = *map;
  if (strip.DataPointer() == nullptr) return;
  // Only the part of the glyph inside both the strip and the control.
  if (item->StitchKind() == skHorizontal) {
    const std::int64_t x0 = offset;
    if (x0 >= strip.Width()) return;
    const std::int32_t count = std::int32_t(std::min<std::int64_t>(w, strip.Width() - x0));
    const std::int32_t rows = std::min(h, strip.Height());
    for (std::int32_t y = 0; y < rows; ++y) BlendRow(strip.ScanLine(y) + x0, buffer.ScanLine(y), count);
  } else {
    const std::int64_t y0 = offset;
    if (y0 >= strip.Height()) return;
    const std::int32_t rows = std::int32_t(std::min<std::int64_t>(h, strip.Height() - y0));
    if (strip.Width() == w) {
      // Strip rows and buffer rows are of equal width: one run.
      BlendRow(strip.ScanLine(std::int32_t(y0)), buffer.DataPointer(), rows * w);
    } else {
      const std::int32_t count = std::min(w, strip.Width());
      for (std::int32_t y = 0; y < rows; ++y) BlendRow(strip.ScanLine(std::int32_t(y0) + y), buffer.ScanLine(y), count);
    }
  }
  FinishBlend();
}

}  // namespace vb
