#pragma once
// A windowless picture box: shows a pixel map with per-pixel transparency
// over what lies behind it. With AutoSize the box takes the picture's size;
// otherwise a larger picture is scaled down to fit the box with its aspect
// kept (area-averaged, alpha-weighted) and centred; a smaller one is centred
// unscaled.
//
// Used from the thread that owns the window only.

#include <cstddef>
#include <cstdint>

#include "gui/gui_buffered_control.h"
#include "image/gui_pixel_map_memory.h"

namespace vb {

class TGuiPicture : public TCustomGuiGraphicControl {
 public:
  explicit TGuiPicture(TGuiWindow* Owner);
  ~TGuiPicture() override;

  const TGuiCustomPixelMap& Picture() const { return FPicture; }
  void SetPicture(const TGuiCustomPixelMap& Picture);
  // Decodes PNG file bytes held in memory (EPngError on broken data).
  void LoadPng(const std::uint8_t* Data, std::size_t Size);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);

  // The picture as drawn: scaled to the box (exposed for tests).
  const TGuiCustomPixelMap& Scaled();

 protected:
  void UpdateBuffer() override;
  void Resized() override;

 private:
  void PictureChanged();

  TGuiPixelMapMemory FPicture;
  TGuiPixelMapMemory FScaled;
  bool FScaledValid = false;
  bool FAutoSize = false;
};

// Scales Source down into Dest (whose size is set by the caller, at most the
// source's) by averaging the source pixels each target pixel covers, weighted
// by their alpha so that transparent pixels lend no colour.
void ScalePixelMapDown(const TGuiCustomPixelMap& Source, TGuiCustomPixelMap& Dest);

}  // namespace vb
