#pragma once
// The rotary knob: a Value between Min and Max shown by the glyph of its
// strip that matches the position on its (optionally curved) travel. A
// vertical drag (Shift: a tenth of the speed), the wheel of the focused dial
// and Control + right click (reset to DefaultValue) change the value; every
// change fires OnChange, and a change that also moves the glyph fires it a
// second time through the glyph change.
//
// Layouts apply DefaultValue before Max and Min, so a default outside the
// final range keeps the value it was clamped to in the creation range
// 0..100; a reset lands on the nearest end of the final range.
//
// Used from the thread that owns the window only.

#include <cstdint>

#include "gui/gui_stitched_control.h"

namespace vb {

class TCustomGuiStitchedDial : public TGuiCustomStitchedControl {
 public:
  explicit TCustomGuiStitchedDial(TGuiWindow* owner);
  ~TCustomGuiStitchedDial() override;

  float Value() const { return FValue; }
  // Clamped to Min .. Max; NaN is ignored. A stored 0 is written directly
  // while loading.
  void SetValue(float value);
  float DefaultValue() const { return FDefaultValue; }
  void SetDefaultValue(float value);
  float Min() const { return FMinimum; }
  // Outside loading, a Min above Max (or a Max below Min) raises
  // EInvalidOperation "Value must be between <low> and <high>".
  void SetMin(float value);
  float Max() const { return FMaximum; }
  void SetMax(float value);
  // The travel's exponent is 2 to this power: 0 linear, 1 squares.
  float CurveMapping() const { return FCurveMapping; }
  void SetCurveMapping(float value);
  // Pixels of vertical drag for the whole travel; values of 0 or less (and
  // NaN) raise EControlError and keep the old range.
  float ScrollRange() const { return FScrollRange; }
  void SetScrollRange(float value);
  // Travel per wheel notch, in units of 1 / ScrollRange.
  float WheelStep() const { return FWheelStep; }
  void SetWheelStep(float value) { FWheelStep = value; }
  bool Wrap() const { return FWrap; }
  void SetWrap(bool value) { FWrap = value; }
  // Hide the pointer and hold it at the dial's centre while dragging.
  bool LockCursor() const { return FLockCursor; }
  void SetLockCursor(bool value) { FLockCursor = value; }

  // Position on the curved travel, 0..1.
  float NormalizedPosition() const { return FNormalizedPosition; }
  // Moves the position by Step (wrapping or clamping) and sets Value from it.
  void MovePosition(double step);
  // Recomputes the position from Value and shows the matching glyph.
  void UpdatePosition();

  void MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) override;
  void MouseMove(TShiftState shift, std::int32_t x, std::int32_t y) override;
  void MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) override;
  bool MouseWheel(TShiftState shift, std::int32_t wheelDelta, TPoint at) override;
  void CaptureLost() override;
  void Loaded() override;

 protected:
  virtual void UpdateRange();
  virtual void CurveMappingChanged();
  virtual void DefaultValueChanged();
  virtual void MaxChanged();
  virtual void MinChanged();
  virtual void ValueChanged();

 private:
  double Curve(double linear) const;
  double Uncurve(double position) const;
  // Position of a value on the curved travel.
  double PositionOf(double value) const;
  float ClampToRange(float value) const;
  TPoint Centre() const { return TPoint{Width() / 2, Height() / 2}; }

  TPoint FOldMousePos;
  float FMaximum = 100;
  float FMinimum = 0;
  float FNormalizedPosition = 0;
  float FValue = 0;
  float FDefaultValue = 0;
  float FRange = 100;
  float FRangeReciprocal = 0.01f;
  float FCurveMapping = 0;
  float FCurveMappingExp = 1;
  float FScrollRange = 400;
  float FWheelStep = 1;
  bool FLockCursor = false;
  bool FIgnoreNextMouseMove = false;
  // A left press on this dial started a drag that has not ended yet.
  bool FDragging = false;
  bool FWrap = false;
};

class TGuiStitchedDial : public TCustomGuiStitchedDial {
 public:
  using TCustomGuiStitchedDial::TCustomGuiStitchedDial;
};

}  // namespace vb
