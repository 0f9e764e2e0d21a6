// Guards the host's touch automation against edits it cannot record: the
// begin/end gestures a host sees around a drag, a wheel notch, a switch
// click, a knob's own reset and the panel's reset, and gestures that a
// closed editor, a lost pointer or a destroyed module would leave open.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gui/gui_stitched_dial.h"
#include "wnd_gui_rig.h"

namespace vb::test {
namespace {

using TEdits = std::vector<std::string>;

// A spot of the front panel that no other control covers (the title).
constexpr TPoint kBarePanel{560, 20};

TEST(WndGuiGestures, EachUserChangeIsOneGestureAroundItsReports) {
  TWndGuiRig rig;
  rig.Open();
  rig.ClearCalls();
  rig.DragUp("DialFreq", 10);
  EXPECT_EQ(rig.Edits(), (TEdits{"+Freq", "Freq", "-Freq"}));
  // The drive's handler reports Trim again inside the drive's gesture.
  rig.ClearCalls();
  rig.DragUp("DialDrive", 8);
  EXPECT_EQ(rig.Edits(), (TEdits{"+Drive", "Trim", "Drive", "-Drive"}));
  // A press that moves nothing still touches the knob.
  rig.ClearCalls();
  rig.DragUp("DialLow", 0);
  EXPECT_EQ(rig.Edits(), (TEdits{"+Low", "-Low"}));
  // The wheel turns the knob that took the focus.
  rig.ClearCalls();
  rig.WheelNotchAt("DialLow");
  EXPECT_EQ(rig.Edits(), (TEdits{"+Low", "Low", "-Low"}));
  rig.ClearCalls();
  rig.ClickAt("SwitchStereo");
  EXPECT_EQ(rig.Edits(), (TEdits{"+Stereo", "Stereo", "-Stereo"}));
  rig.ClearCalls();
  rig.ClickAt("SwitchOversampling");
  EXPECT_EQ(rig.Edits(), (TEdits{"+Oversampling", "Oversampling", "-Oversampling"}));
  rig.ClearCalls();
  rig.ClickAt("DialDryWet", ssCtrl, TMouseButton::mbRight);
  EXPECT_EQ(rig.Edits(), (TEdits{"+DryWet", "DryWet", "-DryWet"}));
  // What the host changes itself comes back without a gesture: a switch
  // reports itself once, a knob not at all.
  rig.ClearCalls();
  rig.Host().SetParameter(kParamAsymmetric, 1.0f);
  rig.Host().SetParameter(kParamLow, 0.75f);
  EXPECT_EQ(rig.Edits(), (TEdits{"Asymmetric"}));
}

TEST(WndGuiGestures, ThePanelsResetHoldsEveryParameterWhileItReports) {
  TWndGuiRig rig;
  rig.Open();
  rig.Module().SetParameter(kParamPower, 0);
  rig.ClearCalls();
  rig.ClickAt(kBarePanel, ssCtrl);
  const TEdits edits = rig.Edits();
  ASSERT_GT(edits.size(), std::size_t(2 * kParamCount));
  for (std::int32_t p = 0; p < kParamCount; ++p) {
    const std::string& name = rig.Module().ParameterProperties()[p].DisplayName();
    EXPECT_EQ(edits[std::size_t(p)], "+" + name);
    EXPECT_EQ(edits[edits.size() - std::size_t(kParamCount) + std::size_t(p)], "-" + name);
  }
  // Between them only reports: every parameter once, some again (Trim
  // after Drive, Power's switch echo).
  const TEdits reports(edits.begin() + kParamCount, edits.end() - kParamCount);
  for (const std::string& report : reports) EXPECT_TRUE(report[0] != '+' && report[0] != '-') << report;
  EXPECT_EQ(std::count(reports.begin(), reports.end(), "Power"), 2);
}

TEST(WndGuiGestures, NoGestureOutlivesItsDrag) {
  // The pointer lost mid-drag (the window unmapped): the gesture ends, and
  // the knob no longer follows the button still held.
  {
    TWndGuiRig rig;
    rig.Open();
    rig.ClearCalls();
    rig.PressAndDragUp("DialLow", 10);
    EXPECT_EQ(rig.Edits(), (TEdits{"+Low", "Low"}));
    rig.Screen().LoseCapture();
    rig.Idle();
    EXPECT_EQ(rig.Edits(), (TEdits{"+Low", "Low", "-Low"}));
    const float low = rig.Module().GetParameter(kParamLow);
    rig.Screen().MoveTo(TWndGuiRig::CentreOf("DialLow"));
    rig.Screen().Release(TWndGuiRig::CentreOf("DialLow"));
    rig.Idle();
    EXPECT_EQ(rig.Module().GetParameter(kParamLow), low);
    EXPECT_EQ(rig.Edits().size(), 3u);
  }
  // The editor closed mid-drag.
  {
    TWndGuiRig rig;
    rig.Open();
    rig.ClearCalls();
    rig.PressAndDragUp("DialMid", 10);
    rig.Close();
    EXPECT_EQ(rig.Edits(), (TEdits{"+Mid", "Mid", "-Mid"}));
  }
  // The module destroyed with its editor mid-drag.
  {
    TWndGuiRig rig;
    rig.Open();
    rig.ClearCalls();
    rig.PressAndDragUp("DialHigh", 10);
    rig.DestroyModule();
    EXPECT_EQ(rig.Host().CountCalls(amBeginEdit), 1u);
    EXPECT_EQ(rig.Host().CountCalls(amEndEdit), 1u);
  }
}

}  // namespace
}  // namespace vb::test
