#include "editor/parameter_binding.h"

#include <array>

#include "gui/gui_picture.h"
#include "gui/gui_rounding.h"
#include "gui/gui_stitched_dial.h"

namespace vb {

namespace {

// The oversampling switch's glyphs and the factors they stand for.
constexpr std::array<std::uint8_t, 3> kOversamplingFactors = {1, 8, 16};

std::int32_t OversamplingGlyph(int Factor) { return Factor == 8 ? 1 : Factor == 16 ? 2 : 0; }

// Marks the binding as showing Value for the life of the scope; restores
// what was there (a show may run inside another one's echo).
class TShowingScope {
 public:
  TShowingScope(bool& Showing, float& ShownValue, float Value)
      : FShowing(Showing), FOld(Showing), FShownValue(ShownValue), FOldValue(ShownValue) {
    Showing = true;
    ShownValue = Value;
  }
  ~TShowingScope() {
    FShowing = FOld;
    FShownValue = FOldValue;
  }
  TShowingScope(const TShowingScope&) = delete;
  TShowingScope& operator=(const TShowingScope&) = delete;

 private:
  bool& FShowing;
  bool FOld;
  float& FShownValue;
  float FOldValue;
};

}  // namespace

TParameterBinding::TParameterBinding(const TEditorBinding& Row, TGuiCustomStitchedControl& Control,
                                     IDriveProcessor& Processor)
    : FRow(Row), FControl(Control), FProcessor(Processor) {
  Control.SetOnChange([this](TGuiComponent&) { ControlChanged(); });
  if (Row.Rule != TShowRule::srDial) return;
  Control.SetOnMouseDown([this](TGuiComponent&, TMouseButton Button, TShiftState, std::int32_t, std::int32_t) {
    if (Button == TMouseButton::mbLeft) Pressed();
  });
  Control.SetOnMouseUp([this](TGuiComponent&, TMouseButton Button, TShiftState, std::int32_t, std::int32_t) {
    if (Button == TMouseButton::mbLeft) EndGesture();
  });
  Control.SetOnCaptureLost([this](TGuiComponent&) { EndGesture(); });
}

TParameterBinding::~TParameterBinding() { EndGesture(); }

void TParameterBinding::SetLamps(TGuiPicture* On, TGuiPicture* Off) {
  FLampOn = On;
  FLampOff = Off;
}

// ---------------------------------------------------------------------------
// Parameter to control

void TParameterBinding::Show() {
  switch (FRow.Rule) {
    case TShowRule::srDial: {
      auto& dial = static_cast<TGuiStitchedDial&>(FControl);
      const float value = FProcessor.Value(FRow.Parameter);
      if (value == dial.Value()) return;
      // The dial clamps and fires OnChange (twice when its glyph moves
      // too); ControlChanged finds the value it was shown and stops.
      TShowingScope showing(FShowing, FShownValue, value);
      dial.SetValue(value);
      return;
    }
    case TShowRule::srSwitch:
    case TShowRule::srPower: {
      const float value = FProcessor.Value(FRow.Parameter);
      ShowGlyph(RoundToInt32(value), value);
      if (FRow.Rule != TShowRule::srPower) return;
      const bool on = value == 1.0f;
      if (FLampOff != nullptr) FLampOff->SetVisible(!on);
      if (FLampOn != nullptr) FLampOn->SetVisible(on);
      return;
    }
    case TShowRule::srOversampling: {
      const int factor = FProcessor.OversamplingFactor();
      ShowGlyph(OversamplingGlyph(factor), float(factor));
      return;
    }
  }
}

void TParameterBinding::ShowGlyph(std::int32_t Glyph, float Value) {
  if (Glyph == FControl.GlyphIndex()) return;
  TShowingScope showing(FShowing, FShownValue, Value);
  FControl.SetGlyphIndex(Glyph);
}

// ---------------------------------------------------------------------------
// Control to parameter

bool TParameterBinding::ControlValue(float& Value) const {
  switch (FRow.Rule) {
    case TShowRule::srDial:
      Value = static_cast<const TGuiStitchedDial&>(FControl).Value();
      return true;
    case TShowRule::srSwitch:
    case TShowRule::srPower:
      Value = FControl.GlyphIndex() == 1 ? 1.0f : 0.0f;
      return true;
    case TShowRule::srOversampling: {
      const std::int32_t glyph = FControl.GlyphIndex();
      if (glyph < 0 || glyph >= std::int32_t(kOversamplingFactors.size())) return false;
      Value = kOversamplingFactors[std::size_t(glyph)];
      return true;
    }
  }
  return false;
}

void TParameterBinding::ControlChanged() {
  float value = 0;
  if (!ControlValue(value)) return;
  // Showing a value: the parameter held it a moment ago and may hold a
  // newer one from another thread by now, which must stay. (A value the
  // dial clamped is still written.)
  const bool echo = FShowing && value == FShownValue;
  if (FRow.Rule == TShowRule::srDial) {
    if (!echo && FProcessor.Value(FRow.Parameter) != value) Store(value);
    return;
  }
  // A switch's glyph stands for its value every time it changes: the host
  // hears of it even as an echo, only without storing it again.
  if (echo)
    FProcessor.Report(FRow.Parameter, value);
  else
    Store(value);
}

void TParameterBinding::Store(float Value) {
  if (FGestureOpen) return FProcessor.Change(FRow.Parameter, Value);
  FProcessor.BeginEdit(FRow.Parameter);
  FProcessor.Change(FRow.Parameter, Value);
  FProcessor.EndEdit(FRow.Parameter);
}

// ---------------------------------------------------------------------------
// Gestures

void TParameterBinding::Pressed() {
  if (FGestureOpen) return;
  FGestureOpen = true;
  FProcessor.BeginEdit(FRow.Parameter);
}

void TParameterBinding::EndGesture() {
  if (!FGestureOpen) return;
  FGestureOpen = false;
  FProcessor.EndEdit(FRow.Parameter);
}

}  // namespace vb
