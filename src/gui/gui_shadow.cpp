#include "gui/gui_shadow.h"

#include <cmath>

#include "image/image_errors.h"

namespace vb {

void TGuiShadow::SetBlur(float Value) {
  if (!(Value >= 0)) throw EControlError(TErrorCode::ecBlurNegative);
  if (Value == FBlur) return;
  FBlur = Value;
  Changed();
}

void TGuiShadow::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TGuiShadow::SetOffsetX(std::int32_t Value) { SetOffset(TPoint{Value, FOffset.Y}); }

void TGuiShadow::SetOffsetY(std::int32_t Value) { SetOffset(TPoint{FOffset.X, Value}); }

void TGuiShadow::SetOffset(TPoint Value) {
  if (Value == FOffset) return;
  FOffset = Value;
  Changed();
}

void TGuiShadow::SetOpacity(std::uint8_t Value) {
  if (Value == FOpacity) return;
  FOpacity = Value;
  Changed();
}

void TGuiShadow::SetSaturation(float Value) {
  if (std::isnan(Value) || Value == FSaturation) return;
  FSaturation = Value;
  Changed();
}

void TGuiShadow::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Changed();
}

void TGuiShadow::Assign(const TGuiShadow& Source) {
  if (&Source == this) return;
  FBlur = Source.FBlur;
  FColor = Source.FColor;
  FOffset = Source.FOffset;
  FOpacity = Source.FOpacity;
  FSaturation = Source.FSaturation;
  FVisible = Source.FVisible;
}

void TGuiShadow::Changed() {
  if (FOnChange) FOnChange(*this);
}

}  // namespace vb
