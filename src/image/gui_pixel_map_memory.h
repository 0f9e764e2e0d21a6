#pragma once
// The concrete pixel map: its pixels live in one plain heap block that it
// owns. Storage is sized after the notifications of a size change and
// cleared to 0 whenever its byte size changes.

#include <cstdint>

#include "image/gui_custom_pixel_map.h"

namespace vb {

class TGuiPixelMapMemory : public TGuiCustomPixelMap {
 public:
  TGuiPixelMapMemory() = default;
  ~TGuiPixelMapMemory() override;

  using TGuiCustomPixelMap::Draw;
  using TGuiCustomPixelMap::PaintTo;

  void PaintTo(TCanvas& canvas, std::int32_t x, std::int32_t y) override;
  void PaintTo(TCanvas& canvas, const TRect& rect, std::int32_t x, std::int32_t y) override;
  void Draw(const TRasterView& bitmap, std::int32_t x, std::int32_t y) override;
  void Resize(std::int32_t width, std::int32_t height) override;
  void Turn(bool counterClockwise = false) override;

 protected:
  void SizeChanged(std::int32_t width, std::int32_t height) override;
  void HeightChanged(bool updateBitmap) override;
  void WidthChanged(bool updateBitmap) override;
  // Gives the storage 4 * Width * Height bytes: nothing when the byte size
  // is unchanged (old bytes stay), else reallocated and cleared to 0.
  virtual void AllocateStorage();
};

}  // namespace vb
