#include "gui/gui_shadow.h"

#include <cmath>

#include "image/image_errors.h"

namespace vb {

void TGuiShadow::SetBlur(float value) {
  if (!(value >= 0)) throw EControlError(TErrorCode::ecBlurNegative);
  if (value == FBlur) return;
  FBlur = value;
  Changed();
}

void TGuiShadow::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  Changed();
}

void TGuiShadow::SetOffsetX(std::int32_t value) { SetOffset(TPoint{value, FOffset.Y}); }

void TGuiShadow::SetOffsetY(std::int32_t value) { SetOffset(TPoint{FOffset.X, value}); }

void TGuiShadow::SetOffset(TPoint value) {
  if (value == FOffset) return;
  FOffset = value;
  Changed();
}

void TGuiShadow::SetOpacity(std::uint8_t value) {
  if (value == FOpacity) return;
  FOpacity = value;
  Changed();
}

void TGuiShadow::SetSaturation(float value) {
  if (std::isnan(value) || value == FSaturation) return;
  FSaturation = value;
  Changed();
}

void TGuiShadow::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  Changed();
}

void TGuiShadow::Assign(const TGuiShadow& source) {
  if (&source == this) return;
  FBlur = source.FBlur;
  FColor = source.FColor;
  FOffset = source.FOffset;
  FOpacity = source.FOpacity;
  FSaturation = source.FSaturation;
  FVisible = source.FVisible;
}

void TGuiShadow::Changed() {
  if (FOnChange) FOnChange(*this);
}

}  // namespace vb
