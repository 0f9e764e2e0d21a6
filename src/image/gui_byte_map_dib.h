#pragma once
// A byte map whose storage a drawing context can draw into: the text
// renderer draws white text into Handle(), and the coverage ends up in the
// map's bytes. A new storage block starts cleared to 0. Storage and
// context are replaced on every size change (a new context object each
// time, so a changed Handle tells that fonts must be selected again).

#include <cstdint>
#include <memory>

#include "image/gui_custom_byte_map.h"
#include "platform/memory_canvas.h"

namespace vb {

class TGuiByteMapDIB : public TGuiCustomByteMap {
 public:
  TGuiByteMapDIB() = default;
  ~TGuiByteMapDIB() override;

  using TGuiCustomByteMap::Draw;
  using TGuiCustomByteMap::PaintTo;

  // The drawing context over the storage; null while the map is empty.
  TMemoryCanvas* Handle() const { return FDC.get(); }

  // Does nothing: a platform bitmap is not copied into this map.
  void Draw(const TRasterView& Bitmap, std::int32_t X, std::int32_t Y) override;
  void PaintTo(TCanvas& Canvas, std::int32_t X, std::int32_t Y) override;
  void PaintTo(TCanvas& Canvas, const TRect& Rect, std::int32_t X, std::int32_t Y) override;
  // Keeps the top-left content in a new storage block and context.
  void Resize(std::int32_t Width, std::int32_t Height) override;
  // Rotates in place (same storage, same context, now Height x Width).
  void Turn(bool CounterClockwise = false) override;

 protected:
  void SizeChanged(std::int32_t Width, std::int32_t Height) override;
  void HeightChanged(bool UpdateBitmap) override;
  void WidthChanged(bool UpdateBitmap) override;
  // Replaces storage and context for the current size.
  void AllocateStorage();

 private:
  struct TFreeBytes {
    void operator()(std::uint8_t* P) const;
  };
  void Release();
  void ReleaseAfterFailure();

  std::unique_ptr<std::uint8_t, TFreeBytes> FBitmapHandle;  // the storage block
  std::unique_ptr<TMemoryCanvas> FDC;
};

}  // namespace vb
