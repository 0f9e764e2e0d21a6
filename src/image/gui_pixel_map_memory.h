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

  void PaintTo(TCanvas& Canvas, std::int32_t X, std::int32_t Y) override;
  void PaintTo(TCanvas& Canvas, const TRect& Rect, std::int32_t X, std::int32_t Y) override;
  void Draw(const TRasterView& Bitmap, std::int32_t X, std::int32_t Y) override;
  void Resize(std::int32_t Width, std::int32_t Height) override;
  void Turn(bool CounterClockwise = false) override;

 protected:
  void SizeChanged(std::int32_t Width, std::int32_t Height) override;
  void HeightChanged(bool UpdateBitmap) override;
  void WidthChanged(bool UpdateBitmap) override;
  // Gives the storage 4 * Width * Height bytes: nothing when the byte size
  // is unchanged (old bytes stay), else reallocated and cleared to 0.
  virtual void AllocateStorage();
};

}  // namespace vb
