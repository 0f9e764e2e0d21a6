#include "gui/gui_stitched_dial.h"

#include <cmath>
#include <limits>
#include <string>

#include "gui/gui_errors.h"
#include "gui/gui_rounding.h"
#include "gui/gui_window.h"

namespace vb {

namespace {

// A range bound as the whole number shown in the range error.
std::string WholeNumber(double value) { return std::to_string(RoundToInt32(value)); }

[[noreturn]] void RangeError(double low, double high) {
  throw EInvalidOperation(TErrorCode::ecValueOutOfRange, WholeNumber(low), WholeNumber(high));
}

}  // namespace

TCustomGuiStitchedDial::TCustomGuiStitchedDial(TGuiWindow* owner) : TGuiCustomStitchedControl(owner) { UpdateRange(); }

TCustomGuiStitchedDial::~TCustomGuiStitchedDial() = default;

// --- range, curve, position ------------------------------------------------------

void TCustomGuiStitchedDial::UpdateRange() {
  FRange = float(double(FMaximum) - double(FMinimum));
  FRangeReciprocal = FRange == 0 ? 1.0f : float(1.0 / double(FRange));
}

double TCustomGuiStitchedDial::Curve(double linear) const {
  return std::copysign(std::pow(std::fabs(linear), double(FCurveMappingExp)), linear);
}

double TCustomGuiStitchedDial::Uncurve(double position) const {
  return std::copysign(std::pow(std::fabs(position), 1.0 / double(FCurveMappingExp)), position);
}

double TCustomGuiStitchedDial::PositionOf(double value) const {
  return Curve((value - double(FMinimum)) * double(FRangeReciprocal));
}

float TCustomGuiStitchedDial::ClampToRange(float value) const {
  if (value < FMinimum) return FMinimum;
  if (value > FMaximum) return FMaximum;
  return value;
}

void TCustomGuiStitchedDial::UpdatePosition() {
  // The glyph follows the stored (32-bit) position.
  FNormalizedPosition = float(PositionOf(FValue));
  if (StitchedItem() == nullptr) return;
  const std::int32_t glyph = RoundToInt32(double(FNormalizedPosition) * double(GlyphCount() - 1));
  if (glyph != GlyphIndex()) SetGlyphIndex(glyph);
}

void TCustomGuiStitchedDial::MovePosition(double step) {
  double position = double(FNormalizedPosition) + step;
  if (!std::isfinite(position)) return;
  if (FWrap) {
    while (position < 0) position += 1;
    while (position > 1) position -= 1;
  } else {
    position = std::clamp(position, 0.0, 1.0);
  }
  FNormalizedPosition = float(position);
  SetValue(float(double(FMinimum) + Uncurve(FNormalizedPosition) * double(FRange)));
}

// --- properties --------------------------------------------------------------------

void TCustomGuiStitchedDial::SetValue(float value) {
  if (std::isnan(value)) return;
  if (Loading() && value == 0) {
    FValue = 0;
    return;
  }
  value = ClampToRange(value);
  if (value == FValue) return;
  FValue = value;
  ValueChanged();
}

void TCustomGuiStitchedDial::ValueChanged() {
  UpdatePosition();
  if (!Loading()) DoChange();
  if (!Locked()) BufferChanged();
}

void TCustomGuiStitchedDial::SetDefaultValue(float value) {
  if (std::isnan(value)) return;
  if (Loading() && value == 0) {
    FDefaultValue = 0;
    return;
  }
  value = ClampToRange(value);
  if (value == FDefaultValue) return;
  FDefaultValue = value;
  DefaultValueChanged();
}

void TCustomGuiStitchedDial::DefaultValueChanged() {
  if (StitchedItem() == nullptr) return;
  SetDefaultGlyphIndex(RoundToInt32(double(float(PositionOf(FDefaultValue))) * double(GlyphCount() - 1)));
}

void TCustomGuiStitchedDial::SetMax(float value) {
  if (std::isnan(value) || value == FMaximum) return;
  if (Loading() && value == 0) {
    FMaximum = 0;
    return;
  }
  if (value < FMinimum && !Loading()) RangeError(double(FMinimum) + 1, std::numeric_limits<std::int32_t>::max());
  FMaximum = value;
  MaxChanged();
}

void TCustomGuiStitchedDial::MaxChanged() {
  if (FValue > FMaximum) FValue = FMaximum;
  UpdateRange();
  UpdatePosition();
  if (!Locked()) BufferChanged();
}

void TCustomGuiStitchedDial::SetMin(float value) {
  if (std::isnan(value) || value == FMinimum) return;
  if (value > FMaximum && !Loading())
    RangeError(-double(std::numeric_limits<std::int32_t>::max()), double(FMaximum) - 1);
  FMinimum = value;
  MinChanged();
}

void TCustomGuiStitchedDial::MinChanged() {
  if (FMinimum > FValue) FValue = FMinimum;
  UpdateRange();
  UpdatePosition();
  if (!Locked()) BufferChanged();
}

void TCustomGuiStitchedDial::SetCurveMapping(float value) {
  if (std::isnan(value) || value == FCurveMapping) return;
  FCurveMapping = value;
  CurveMappingChanged();
}

void TCustomGuiStitchedDial::CurveMappingChanged() {
  FCurveMappingExp = float(std::pow(2.0, double(FCurveMapping)));
  UpdatePosition();
  if (!Locked()) BufferChanged();
}

void TCustomGuiStitchedDial::SetScrollRange(float value) {
  // Every drag and wheel step divides by it.
  if (!(value > 0) || std::isinf(value)) throw EControlError(TErrorCode::ecScrollRangeNotPositive);
  FScrollRange = value;
}

// --- input -------------------------------------------------------------------------

void TCustomGuiStitchedDial::MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) {
  if (button == TMouseButton::mbLeft) {
    SetFocus();
    FOldMousePos = TPoint{x, y};
    FDragging = true;
  } else if (button == TMouseButton::mbRight && (shift & ssCtrl) != 0) {
    SetValue(FDefaultValue);
  }
  if (Enabled()) TGuiCustomStitchedControl::MouseDown(button, shift, x, y);
}

void TCustomGuiStitchedDial::MouseMove(TShiftState shift, std::int32_t x, std::int32_t y) {
  TGuiCustomStitchedControl::MouseMove(shift, x, y);
  if (FIgnoreNextMouseMove) {
    FIgnoreNextMouseMove = false;
    return;
  }
  // Only a drag this dial's press began: after a lost capture the button
  // may still be down while the pointer wanders over it.
  const bool dragging = FDragging && (shift & ssLeft) != 0;
  if (FLockCursor && dragging && Owner() != nullptr) Owner()->SetPointerHidden(true);
  if (dragging) {
    // Up is positive; horizontal movement does not turn the dial.
    const double distance = double(FOldMousePos.Y) - double(y);
    const double fine = (shift & ssShift) != 0 ? 0.1 : 1.0;
    MovePosition(distance * fine / double(FScrollRange));
  }
  if (FLockCursor && dragging && Owner() != nullptr) {
    FOldMousePos = Centre();
    Owner()->WarpPointer(TPoint{Left() + Centre().X, Top() + Centre().Y});
    // The warp comes back as a movement of its own.
    FIgnoreNextMouseMove = true;
  } else {
    FOldMousePos = TPoint{x, y};
  }
}

void TCustomGuiStitchedDial::MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) {
  FOldMousePos = TPoint{x, y};
  if (button == TMouseButton::mbLeft) FDragging = false;
  if (button == TMouseButton::mbLeft && Owner() != nullptr) {
    if (FLockCursor && Owner()->PointerHidden()) Owner()->WarpPointer(TPoint{Left() + Centre().X, Top() + Centre().Y});
    Owner()->SetPointerHidden(false);
  }
  if (button != TMouseButton::mbLeft || Enabled()) TGuiCustomStitchedControl::MouseUp(button, shift, x, y);
}

void TCustomGuiStitchedDial::CaptureLost() {
  FDragging = false;
  FIgnoreNextMouseMove = false;
  if (Owner() != nullptr) Owner()->SetPointerHidden(false);
  TGuiCustomStitchedControl::CaptureLost();
}

bool TCustomGuiStitchedDial::MouseWheel(TShiftState shift, std::int32_t wheelDelta, TPoint at) {
  const double fine = (shift & ssShift) != 0 ? 0.1 : 1.0;
  MovePosition(double(FWheelStep) * fine * double(wheelDelta) / (double(FScrollRange) * kWheelDeltaPerNotch));
  return TGuiCustomStitchedControl::MouseWheel(shift, wheelDelta, at);
}

void TCustomGuiStitchedDial::Loaded() {
  TGuiCustomStitchedControl::Loaded();
  // Stored zeros were written without a range update.
  UpdateRange();
  if (StitchedItem() == nullptr) return;
  FNormalizedPosition = float(PositionOf(FValue));
  StoreGlyphIndex(GlyphCount() > 0 ? RoundToInt32(double(FNormalizedPosition) * double(GlyphCount() - 1)) : -1);
}

}  // namespace vb
