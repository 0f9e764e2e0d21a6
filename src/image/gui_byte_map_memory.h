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
  void Draw(const TRasterView& bitmap, std::int32_t x, std::int32_t y) override;
  void PaintTo(TCanvas& canvas, std::int32_t x, std::int32_t y) override;
  void PaintTo(TCanvas& canvas, const TRect& rect, std::int32_t x, std::int32_t y) override;
  void Resize(std::int32_t width, std::int32_t height) override;
  void Turn(bool counterClockwise = false) override;

 protected:
  void SizeChanged(std::int32_t width, std::int32_t height) override;
  void HeightChanged(bool updateBitmap) override;
  void WidthChanged(bool updateBitmap) override;
  virtual void AllocateStorage();
};

}  // namespace vb
