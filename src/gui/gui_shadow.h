#pragma once
// The shadow settings a font carries: blur radius in target pixels, colour,
// offset from the text, opacity, tone (saturation) and visibility. Every
// change fires OnChange, which the owning font uses to refresh its shadow
// pixel and tone curve.
//
// Used from the thread that owns the window only.

#include <cstdint>
#include <functional>

#include "platform/canvas.h"
#include "platform/rect.h"

namespace vb {

class TGuiShadow;
using TShadowNotifyEvent = std::function<void(TGuiShadow& Sender)>;

class TGuiShadow {
 public:
  TGuiShadow() = default;
  TGuiShadow(const TGuiShadow&) = delete;
  TGuiShadow& operator=(const TGuiShadow&) = delete;

  float Blur() const { return FBlur; }
  // Below 0 (or NaN) raises EControlError "Must be positive!" and keeps the blur.
  void SetBlur(float Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  std::int32_t OffsetX() const { return FOffset.X; }
  std::int32_t OffsetY() const { return FOffset.Y; }
  TPoint Offset() const { return FOffset; }
  void SetOffsetX(std::int32_t Value);
  void SetOffsetY(std::int32_t Value);
  void SetOffset(TPoint Value);
  std::uint8_t Opacity() const { return FOpacity; }
  void SetOpacity(std::uint8_t Value);
  float Saturation() const { return FSaturation; }
  void SetSaturation(float Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  void SetOnChange(TShadowNotifyEvent Handler) { FOnChange = std::move(Handler); }

  // Copies every setting of Source without firing this shadow's OnChange;
  // this shadow keeps its own OnChange handler.
  void Assign(const TGuiShadow& Source);

 protected:
  virtual void Changed();

 private:
  TShadowNotifyEvent FOnChange;
  TPoint FOffset{1, 1};
  float FBlur = 0;
  float FSaturation = 0;
  TColor FColor = 0;
  std::uint8_t FOpacity = 255;
  bool FVisible = false;
};

}  // namespace vb
