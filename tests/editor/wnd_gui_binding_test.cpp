// Guards the binding of controls to parameters from outside the binding
// table: every control is found where the panel's printed caption says it
// is, moved there, and the parameter of the caption's name must be the one
// that changes; and setting a parameter by name must redraw the panel at
// its caption's control. Two knobs bound to each other's parameters, or a
// control bound to none, fail here.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "front_panel.h"
#include "panel_layout.h"
#include "wnd_gui_rig.h"

namespace vb::test {
namespace {

// What each caption names, as a user reads the panel: the caption, the
// parameter's name as the host lists it, and how the control under it is
// worked.
enum class TWork { twDragKnob, twClickSwitch };
struct TNamedControl {
  const char* Caption;
  const char* Parameter;
  TWork Work;
};
constexpr TNamedControl kNamedControls[] = {
    {"Input", "Input", TWork::twDragKnob},
    {"Drive", "Drive", TWork::twDragKnob},
    {"Trim", "Trim", TWork::twDragKnob},
    {"Curve form", "CurveForm", TWork::twDragKnob},
    {"HiPass", "HiPass", TWork::twDragKnob},
    {"Freq", "Freq", TWork::twDragKnob},
    {"LoPass", "LoPass", TWork::twDragKnob},
    {"Low", "Low", TWork::twDragKnob},
    {"Mid", "Mid", TWork::twDragKnob},
    {"High", "High", TWork::twDragKnob},
    {"Pres", "Pres", TWork::twDragKnob},
    {"Dry/Wet", "DryWet", TWork::twDragKnob},
    {"Output", "Output", TWork::twDragKnob},
    {"Power", "Power", TWork::twClickSwitch},
    {"Stereo", "Stereo", TWork::twClickSwitch},
    {"Asymmetric", "Asymmetric", TWork::twClickSwitch},
    {"16x", "Oversampling", TWork::twClickSwitch},
};

// The printed caption of that text.
const artwork::TCaption& Caption(const char* Text) {
  const auto* found = std::find_if(std::begin(artwork::kCaptions), std::end(artwork::kCaptions),
                                   [&](const artwork::TCaption& C) { return std::string(C.Text) == Text; });
  if (found == std::end(artwork::kCaptions)) throw std::runtime_error(std::string("no caption ") + Text);
  return *found;
}

// Where the control a caption names lies, from the caption's ink alone:
// under a caption printed above it, over one printed below it, left of one
// printed beside it.
TPoint ControlPointOf(const artwork::TCaption& Caption, TWork Work) {
  const artwork::TBox box = artwork::CaptionBox(Caption);
  const auto centreX = std::int32_t((box.Left + box.Right) / 2);
  switch (Caption.Place) {
    case artwork::TCaptionPlace::cpAbove:
      return TPoint{centreX, std::int32_t(box.Bottom) + 25};
    case artwork::TCaptionPlace::cpBelow:
      return TPoint{centreX, std::int32_t(box.Top) - (Work == TWork::twDragKnob ? 25 : 15)};
    default:
      return TPoint{std::int32_t(box.Left) - 13, std::int32_t(box.Bottom) - 2};
  }
}

std::int32_t ParameterNamed(TWndGuiRig& Rig, const char* Name) {
  const std::int32_t index = Rig.Module().ParameterProperties().IndexOfName(Name);
  if (index < 0) throw std::runtime_error(std::string("no parameter ") + Name);
  return index;
}

// Every parameter halfway, so that any knob can move both ways.
void EverythingHalfway(TWndGuiRig& Rig) {
  for (std::int32_t p = 0; p < kParamCount; ++p) Rig.Host().SetParameter(p, 0.5f);
  Rig.Idle();
}

TEST(WndGuiBinding, TheControlUnderEachCaptionMovesTheParameterOfItsName) {
  for (const TNamedControl& named : kNamedControls) {
    SCOPED_TRACE(named.Caption);
    TWndGuiRig rig;
    rig.Open();
    EverythingHalfway(rig);
    std::vector<float> before;
    for (std::int32_t p = 0; p < kParamCount; ++p) before.push_back(rig.Module().GetParameter(p));
    const TPoint at = ControlPointOf(Caption(named.Caption), named.Work);
    THeadlessWindow& screen = rig.Screen();
    screen.AdvanceClock(1000);
    screen.MoveTo(at);
    screen.Press(at);
    if (named.Work == TWork::twDragKnob) screen.MoveTo(TPoint{at.X, at.Y - 20});
    screen.Release(named.Work == TWork::twDragKnob ? TPoint{at.X, at.Y - 20} : at);
    rig.Idle();
    const std::int32_t expected = ParameterNamed(rig, named.Parameter);
    for (std::int32_t p = 0; p < kParamCount; ++p) {
      if (p == expected)
        EXPECT_NE(rig.Module().GetParameter(p), before[std::size_t(p)]) << "did not move";
      else
        EXPECT_EQ(rig.Module().GetParameter(p), before[std::size_t(p)]) << "moved parameter " << p;
    }
  }
}

TEST(WndGuiBinding, SettingAParameterByNameRedrawsTheControlUnderItsCaption) {
  TWndGuiRig rig;
  rig.Open();
  EverythingHalfway(rig);
  for (const TNamedControl& named : kNamedControls) {
    SCOPED_TRACE(named.Caption);
    rig.Idle();
    std::vector<std::uint32_t> before;
    for (std::int32_t y = 0; y < kEditorHeight; ++y)
      for (std::int32_t x = 0; x < kEditorWidth; ++x) before.push_back(rig.Screen().ScreenPixel(x, y));
    rig.Host().SetParameter(ParameterNamed(rig, named.Parameter), 1.0f);
    rig.Idle();
    std::int32_t left = kEditorWidth, top = kEditorHeight, right = -1, bottom = -1;
    for (std::int32_t y = 0; y < kEditorHeight; ++y)
      for (std::int32_t x = 0; x < kEditorWidth; ++x) {
        if (rig.Screen().ScreenPixel(x, y) == before[std::size_t(y * kEditorWidth + x)]) continue;
        left = std::min(left, x), top = std::min(top, y), right = std::max(right, x), bottom = std::max(bottom, y);
      }
    const TPoint at = ControlPointOf(Caption(named.Caption), named.Work);
    ASSERT_GE(right, 0) << "nothing redrawn";
    EXPECT_TRUE(at.X >= left && at.X <= right) << left << ".." << right << " misses " << at.X;
    // One control (and Power's lamp above its switch), not a neighbour too.
    EXPECT_LE(right - left, 60);
  }
}

}  // namespace
}  // namespace vb::test
