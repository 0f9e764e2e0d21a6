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
std::string WholeNumber(double Value) { return std::to_string(RoundToInt32(Value)); }

[[noreturn]] void RangeError(double Low, double High) {
  throw EInvalidOperation(TErrorCode::ecValueOutOfRange, WholeNumber(Low), WholeNumber(High));
}

}  // namespace

TCustomGuiStitchedDial::TCustomGuiStitchedDial(TGuiWindow* Owner) : TGuiCustomStitchedControl(Owner) { UpdateRange(); }

TCustomGuiStitchedDial::~TCustomGuiStitchedDial() = default;

// --- range, curve, position ------------------------------------------------------

void TCustomGuiStitchedDial::UpdateRange() {
  FRange = float(double(FMaximum) - double(FMinimum));
  FRangeReciprocal = FRange == 0 ? 1.0f : float(1.0 / double(FRange));
}

double TCustomGuiStitchedDial::Curve(double Linear) const {
  return std::copysign(std::pow(std::fabs(Linear), double(FCurveMappingExp)), Linear);
}

double TCustomGuiStitchedDial::Uncurve(double Position) const {
  return std::copysign(std::pow(std::fabs(Position), 1.0 / double(FCurveMappingExp)), Position);
}

double TCustomGuiStitchedDial::PositionOf(double Value) const {
  return Curve((Value - double(FMinimum)) * double(FRangeReciprocal));
}

float TCustomGuiStitchedDial::ClampToRange(float Value) const {
  if (Value < FMinimum) return FMinimum;
  if (Value > FMaximum) return FMaximum;
  return Value;
}

void TCustomGuiStitchedDial::UpdatePosition() {
  // The glyph follows the stored (32-bit) position.
  FNormalizedPosition = float(PositionOf(FValue));
  if (StitchedItem() == nullptr) return;
  const std::int32_t glyph = RoundToInt32(double(FNormalizedPosition) * double(GlyphCount() - 1));
  if (glyph != GlyphIndex()) SetGlyphIndex(glyph);
}

void TCustomGuiStitchedDial::MovePosition(double Step) {
  double position = double(FNormalizedPosition) + Step;
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

void TCustomGuiStitchedDial::SetValue(float Value) {
  if (std::isnan(Value)) return;
  if (Loading() && Value == 0) {
    FValue = 0;
    return;
  }
  Value = ClampToRange(Value);
  if (Value == FValue) return;
  FValue = Value;
  ValueChanged();
}

void TCustomGuiStitchedDial::ValueChanged() {
  UpdatePosition();
  if (!Loading()) DoChange();
  if (!Locked()) BufferChanged();
}

void TCustomGuiStitchedDial::SetDefaultValue(float Value) {
  if (std::isnan(Value)) return;
  if (Loading() && Value == 0) {
    FDefaultValue = 0;
    return;
  }
  Value = ClampToRange(Value);
  if (Value == FDefaultValue) return;
  FDefaultValue = Value;
  DefaultValueChanged();
}

void TCustomGuiStitchedDial::DefaultValueChanged() {
  if (StitchedItem() == nullptr) return;
  SetDefaultGlyphIndex(RoundToInt32(double(float(PositionOf(FDefaultValue))) * double(GlyphCount() - 1)));
}

void TCustomGuiStitchedDial::SetMax(float Value) {
  if (std::isnan(Value) || Value == FMaximum) return;
  if (Loading() && Value == 0) {
    FMaximum = 0;
    return;
  }
  if (Value < FMinimum && !Loading()) RangeError(double(FMinimum) + 1, std::numeric_limits<std::int32_t>::max());
  FMaximum = Value;
  MaxChanged();
}

void TCustomGuiStitchedDial::MaxChanged() {
  if (FValue > FMaximum) FValue = FMaximum;
  UpdateRange();
  UpdatePosition();
  if (!Locked()) BufferChanged();
}

void TCustomGuiStitchedDial::SetMin(float Value) {
  if (std::isnan(Value) || Value == FMinimum) return;
  if (Value > FMaximum && !Loading())
    RangeError(-double(std::numeric_limits<std::int32_t>::max()), double(FMaximum) - 1);
  FMinimum = Value;
  MinChanged();
}

void TCustomGuiStitchedDial::MinChanged() {
  if (FMinimum > FValue) FValue = FMinimum;
  UpdateRange();
  UpdatePosition();
  if (!Locked()) BufferChanged();
}

void TCustomGuiStitchedDial::SetCurveMapping(float Value) {
  if (std::isnan(Value) || Value == FCurveMapping) return;
  FCurveMapping = Value;
  CurveMappingChanged();
}

void TCustomGuiStitchedDial::CurveMappingChanged() {
  FCurveMappingExp = float(std::pow(2.0, double(FCurveMapping)));
  UpdatePosition();
  if (!Locked()) BufferChanged();
}

void TCustomGuiStitchedDial::SetScrollRange(float Value) {
  // Every drag and wheel step divides by it.
  if (!(Value > 0) || std::isinf(Value)) throw EControlError(TErrorCode::ecScrollRangeNotPositive);
  FScrollRange = Value;
}

// --- input -------------------------------------------------------------------------

void TCustomGuiStitchedDial::MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (Button == TMouseButton::mbLeft) {
    SetFocus();
    FOldMousePos = TPoint{X, Y};
    FDragging = true;
  } else if (Button == TMouseButton::mbRight && (Shift & ssCtrl) != 0) {
    SetValue(FDefaultValue);
  }
  if (Enabled()) TGuiCustomStitchedControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGuiStitchedDial::MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y) {
  TGuiCustomStitchedControl::MouseMove(Shift, X, Y);
  if (FIgnoreNextMouseMove) {
    FIgnoreNextMouseMove = false;
    return;
  }
  // Only a drag this dial's press began: after a lost capture the button
  // may still be down while the pointer wanders over it.
  const bool dragging = FDragging && (Shift & ssLeft) != 0;
  if (FLockCursor && dragging && Owner() != nullptr) Owner()->SetPointerHidden(true);
  if (dragging) {
    // Up is positive; horizontal movement does not turn the dial.
    const double distance = double(FOldMousePos.Y) - double(Y);
    const double fine = (Shift & ssShift) != 0 ? 0.1 : 1.0;
    MovePosition(distance * fine / double(FScrollRange));
  }
  if (FLockCursor && dragging && Owner() != nullptr) {
    FOldMousePos = Centre();
    Owner()->WarpPointer(TPoint{Left() + Centre().X, Top() + Centre().Y});
    // The warp comes back as a movement of its own.
    FIgnoreNextMouseMove = true;
  } else {
    FOldMousePos = TPoint{X, Y};
  }
}

void TCustomGuiStitchedDial::MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  FOldMousePos = TPoint{X, Y};
  if (Button == TMouseButton::mbLeft) FDragging = false;
  if (Button == TMouseButton::mbLeft && Owner() != nullptr) {
    if (FLockCursor && Owner()->PointerHidden()) Owner()->WarpPointer(TPoint{Left() + Centre().X, Top() + Centre().Y});
    Owner()->SetPointerHidden(false);
  }
  if (Button != TMouseButton::mbLeft || Enabled()) TGuiCustomStitchedControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGuiStitchedDial::CaptureLost() {
  FDragging = false;
  FIgnoreNextMouseMove = false;
  if (Owner() != nullptr) Owner()->SetPointerHidden(false);
  TGuiCustomStitchedControl::CaptureLost();
}

bool TCustomGuiStitchedDial::MouseWheel(TShiftState Shift, std::int32_t WheelDelta, TPoint At) {
  const double fine = (Shift & ssShift) != 0 ? 0.1 : 1.0;
  MovePosition(double(FWheelStep) * fine * double(WheelDelta) / (double(FScrollRange) * kWheelDeltaPerNotch));
  return TGuiCustomStitchedControl::MouseWheel(Shift, WheelDelta, At);
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
