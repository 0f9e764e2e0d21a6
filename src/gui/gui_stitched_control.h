#pragma once
// A windowed control that shows one glyph of a stitched strip: glyph
// GlyphIndex of the linked item is blended over the back buffer. The dial,
// switch and display differ only in how they choose the glyph.
//
// Used from the thread that owns the window only; GlyphIndex may be set from
// the editor's update operations, which only store it and request a repaint.

#include <cstdint>

#include "gui/gui_image_control.h"
#include "gui/gui_stitched_item.h"

namespace vb {

class TGuiCustomStitchedList;

class TGuiCustomStitchedControl : public TGuiCustomImageControl {
 public:
  explicit TGuiCustomStitchedControl(TGuiWindow* Owner);
  ~TGuiCustomStitchedControl() override;

  // The linked list when it is a stitched list, else null.
  TGuiCustomStitchedList* StitchedList() const;
  // The linked strip, or null.
  TGuiCustomStitchedCollectionItem* StitchedItem() const;

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  // -1 shows nothing. Clamped to 0 .. GlyphCount - 1 with a strip, -1
  // without; stored unchanged while loading. A change fires OnChange and
  // (unless locked) redraws.
  std::int32_t GlyphIndex() const { return FGlyphIndex; }
  void SetGlyphIndex(std::int32_t Value);
  // A stored glyph for a default state; clamped like GlyphIndex, never drawn.
  std::int32_t DefaultGlyphIndex() const { return FDefaultGlyphIndex; }
  void SetDefaultGlyphIndex(std::int32_t Value);
  // The strip's glyph count; 0 without a strip.
  std::int32_t GlyphCount() const;

  // Sizes the control to one glyph of its strip.
  virtual void SizeToGlyph();
  void Loaded() override;

 protected:
  void UpdateBuffer() override;
  void ImageItemChanged() override;
  virtual void DoGlyphChange() { DoChange(); }
  virtual void DefaultGlyphIndexChanged() {}
  virtual void GlyphIndexChanged();
  // Writes the glyph index without clamping or notice (loading).
  void StoreGlyphIndex(std::int32_t Value) { FGlyphIndex = Value; }
  // The index clamped to the strip as the setters do.
  std::int32_t ClampGlyph(std::int32_t Value) const;

 private:
  void DrawGlyph();

  std::int32_t FGlyphIndex = 0;
  std::int32_t FDefaultGlyphIndex = 0;
  bool FAutoSize = false;
};

}  // namespace vb
