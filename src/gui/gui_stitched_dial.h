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
  explicit TCustomGuiStitchedDial(TGuiWindow* Owner);
  ~TCustomGuiStitchedDial() override;

  float Value() const { return FValue; }
  // Clamped to Min .. Max; NaN is ignored. A stored 0 is written directly
  // while loading.
  void SetValue(float Value);
  float DefaultValue() const { return FDefaultValue; }
  void SetDefaultValue(float Value);
  float Min() const { return FMinimum; }
  // Outside loading, a Min above Max (or a Max below Min) raises
  // EInvalidOperation "Value must be between <low> and <high>".
  void SetMin(float Value);
  float Max() const { return FMaximum; }
  void SetMax(float Value);
  // The travel's exponent is 2 to this power: 0 linear, 1 squares.
  float CurveMapping() const { return FCurveMapping; }
  void SetCurveMapping(float Value);
  // Pixels of vertical drag for the whole travel; values of 0 or less (and
  // NaN) raise EControlError and keep the old range.
  float ScrollRange() const { return FScrollRange; }
  void SetScrollRange(float Value);
  // Travel per wheel notch, in units of 1 / ScrollRange.
  float WheelStep() const { return FWheelStep; }
  void SetWheelStep(float Value) { FWheelStep = Value; }
  bool Wrap() const { return FWrap; }
  void SetWrap(bool Value) { FWrap = Value; }
  // Hide the pointer and hold it at the dial's centre while dragging.
  bool LockCursor() const { return FLockCursor; }
  void SetLockCursor(bool Value) { FLockCursor = Value; }

  // Position on the curved travel, 0..1.
  float NormalizedPosition() const { return FNormalizedPosition; }
  // Moves the position by Step (wrapping or clamping) and sets Value from it.
  void MovePosition(double Step);
  // Recomputes the position from Value and shows the matching glyph.
  void UpdatePosition();

  void MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) override;
  void MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) override;
  bool MouseWheel(TShiftState Shift, std::int32_t WheelDelta, TPoint At) override;
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
  double Curve(double Linear) const;
  double Uncurve(double Position) const;
  // Position of a value on the curved travel.
  double PositionOf(double Value) const;
  float ClampToRange(float Value) const;
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
