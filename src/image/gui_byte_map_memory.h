#pragma once
// A byte map whose bytes live in one plain heap block that it owns; sized
// after the notifications of a size change and cleared to 0 whenever its
// byte size changes.

#include <cstdint>

#include "image/gui_custom_byte_map.h"

namespace vb {

class TGuiByteMapMemory : public TGuiCustomByteMap {
 public:
  TGuiByteMapMemory() = default;
  ~TGuiByteMapMemory() override;

  using TGuiCustomByteMap::Draw;
  using TGuiCustomByteMap::PaintTo;

  // Converts the bitmap to grey into the storage from (0, 0); X and Y are
  // not used. Only the overlap of bitmap and map is converted.
  void Draw(const TRasterView& Bitmap, std::int32_t X, std::int32_t Y) override;
  void PaintTo(TCanvas& Canvas, std::int32_t X, std::int32_t Y) override;
  void PaintTo(TCanvas& Canvas, const TRect& Rect, std::int32_t X, std::int32_t Y) override;
  void Resize(std::int32_t Width, std::int32_t Height) override;
  void Turn(bool CounterClockwise = false) override;

 protected:
  void SizeChanged(std::int32_t Width, std::int32_t Height) override;
  void HeightChanged(bool UpdateBitmap) override;
  void WidthChanged(bool UpdateBitmap) override;
  virtual void AllocateStorage();
};

}  // namespace vb
