// Guards the built plug-in's editor in a real (virtual) X server, driven
// like a Linux host drives it: it must open inside the host's window at its
// size, take real pointer and keyboard input (a knob drag reaching the host
// as automation, the oversampling switch stepping the factor, Control +
// click restoring the defaults), move its meters while audio plays, and
// show exactly what the headless rendering shows. Skips without $DISPLAY
// (the test command starts Xvfb).
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "editor/editor_layout.h"
#include "support/editor_test_host.h"
#include "support/editor_x11_fixture.h"
#include "support/test_host.h"
#include "support/x11_probe.h"
#include "wnd_gui_rig.h"

namespace vb::test {
namespace {

constexpr xcb_keysym_t kControlLeft = 0xFFE3;

// The key code that types Keysym on this server (0 when none does).
xcb_keycode_t KeycodeOf(xcb_connection_t* Connection, xcb_keysym_t Keysym) {
  const xcb_setup_t* setup = xcb_get_setup(Connection);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> mapping(
      xcb_get_keyboard_mapping_reply(
          Connection, xcb_get_keyboard_mapping(Connection, setup->min_keycode, std::uint8_t(count)), nullptr),
      &std::free);
  if (!mapping) return 0;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(mapping.get());
  const int perCode = mapping->keysyms_per_keycode;
  for (int code = 0; code < count; ++code)
    for (int i = 0; i < perCode; ++i)
      if (syms[code * perCode + i] == Keysym) return xcb_keycode_t(setup->min_keycode + code);
  return 0;
}

class TWndGuiX11 : public TEditorX11Fixture {
 protected:
  void SetUp() override { StartHost(VB_PLUGIN_PATH); }
  void Key(xcb_keycode_t Code, bool Press) {
    xcb_test_fake_input(FProbe.Get(), Press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, Code, XCB_CURRENT_TIME, XCB_NONE, 0, 0,
                        0);
    FProbe.Sync();
  }
  // Pixels of Area that differ between two grabs.
  static std::int32_t Changed(const TMemoryBitmap& A, const TMemoryBitmap& B, const TEditorControlSpec& Area) {
    std::int32_t changed = 0;
    for (std::int32_t y = Area.Top; y < Area.Top + Area.Height; ++y)
      for (std::int32_t x = Area.Left; x < Area.Left + Area.Width; ++x)
        changed += A.PixelARGB(x, y) != B.PixelARGB(x, y);
    return changed;
  }
};

TEST_F(TWndGuiX11, OpensInsideTheHostsWindowShowingTheHeadlessRendering) {
  EXPECT_EQ(FEditor->RectWidth(), kEditorWidth) << "the size is known before the editor opens";
  EXPECT_EQ(FEditor->RectHeight(), kEditorHeight);
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  const xcb_window_t child = Child();
  ASSERT_NE(child, 0u);
  const TX11Geometry g = FProbe.Geometry(child);
  EXPECT_EQ((std::vector<int>{g.X, g.Y, g.Width, g.Height}), (std::vector<int>{0, 0, kEditorWidth, kEditorHeight}));
  EXPECT_TRUE(FProbe.Viewable(child));
  FEditor->RunFor(60);
  const auto shot = FEditor->Window().Grab();
  ASSERT_NE(shot, nullptr);

  TWndGuiRig reference;
  reference.Open();
  reference.Idle();
  std::int32_t wrong = 0;
  for (std::int32_t y = 0; y < kEditorHeight; ++y)
    for (std::int32_t x = 0; x < kEditorWidth; ++x)
      wrong += shot->PixelARGB(x, y) != (reference.Screen().ScreenPixel(x, y) | 0xFF000000u);
  EXPECT_EQ(wrong, 0) << "the screen shows exactly the headless rendering";
}

// The user asked for 2x: the host learns the size before it opens the
// editor, the editor fills it, shows the headless 2x rendering, and a drag
// of 40 logical pixels (80 on the screen) reaches the host as at 1x.
class TWndGuiX11At2x : public TWndGuiX11 {
 protected:
  void SetUp() override {
    setenv("VB_EDITOR_SCALE", "2", 1);
    TWndGuiX11::SetUp();
  }
  void TearDown() override {
    TWndGuiX11::TearDown();
    unsetenv("VB_EDITOR_SCALE");
  }
};

TEST_F(TWndGuiX11At2x, OpensAt1730By300AndADragReachesTheHostAsAt1x) {
  EXPECT_EQ(FEditor->RectWidth(), 1730);
  EXPECT_EQ(FEditor->RectHeight(), 300);
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  const TX11Geometry g = FProbe.Geometry(Child());
  EXPECT_EQ((std::vector<int>{g.X, g.Y, g.Width, g.Height}), (std::vector<int>{0, 0, 1730, 300}));
  FEditor->RunFor(60);
  const auto shot = FEditor->Window().Grab();
  ASSERT_NE(shot, nullptr);
  TWndGuiRig reference(TEditorScale::esTwo);
  reference.Open();
  reference.Idle();
  std::int32_t wrong = 0;
  for (std::int32_t y = 0; y < 300; ++y)
    for (std::int32_t x = 0; x < 1730; ++x)
      wrong += shot->PixelARGB(x, y) != (reference.Screen().ScreenPixel(x, y) | 0xFF000000u);
  EXPECT_EQ(wrong, 0) << "the screen shows exactly the headless 2x rendering";
  if (!FProbe.HasXTest()) GTEST_SKIP() << "the X server has no XTEST";
  FPlugin->ClearCalls();
  Drag(reference.Device(TWndGuiRig::CentreOf("DialDrive")), 0, -80);
  EXPECT_NEAR(FPlugin->GetParameter(kParamDrive), 0.1f, 1e-5f);
  ASSERT_FALSE(AutomationsOf(kParamDrive).empty());
  EXPECT_NEAR(AutomationsOf(kParamDrive).back(), 0.1f, 1e-5f);
}

TEST_F(TWndGuiX11, KnobsAndSwitchesTakeRealInputAndTheHostHearsOfIt) {
  if (!FProbe.HasXTest()) GTEST_SKIP() << "the X server has no XTEST";
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  FEditor->RunFor(60);
  FPlugin->ClearCalls();
  // 40 pixels up of 400 on 0..100 %: Drive 10 %.
  Drag(TWndGuiRig::CentreOf("DialDrive"), 0, -40);
  EXPECT_NEAR(FPlugin->GetParameter(kParamDrive), 0.1f, 1e-5f);
  ASSERT_FALSE(AutomationsOf(kParamDrive).empty());
  EXPECT_NEAR(AutomationsOf(kParamDrive).back(), 0.1f, 1e-5f);

  // Oversampling 1x -> 8x -> 16x.
  FPlugin->ClearCalls();
  Click(TWndGuiRig::CentreOf("SwitchOversampling"));
  EXPECT_NEAR(FPlugin->GetParameter(kParamOversampling), 7.0f / 15.0f, 1e-6f);  // 8 of 1..16
  Click(TWndGuiRig::CentreOf("SwitchOversampling"));
  EXPECT_EQ(FPlugin->GetParameter(kParamOversampling), 1.0f);
  EXPECT_EQ(AutomationsOf(kParamOversampling).size(), 2u);
}

TEST_F(TWndGuiX11, ControlClickOnThePanelRestoresTheDefaults) {
  if (!FProbe.HasXTest()) GTEST_SKIP() << "the X server has no XTEST";
  const xcb_keycode_t control = KeycodeOf(FProbe.Get(), kControlLeft);
  if (control == 0) GTEST_SKIP() << "no Control key on this server";
  FPlugin->SetParameter(kParamDrive, 0.8f);
  FPlugin->SetParameter(kParamStereo, 1.0f);
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  FEditor->RunFor(60);
  const TPoint bare{560, 20};  // the title, no control above it
  Click(bare);
  EXPECT_NEAR(FPlugin->GetParameter(kParamDrive), 0.8f, 1e-6f) << "a plain click changes nothing";
  FEditor->RunFor(600);  // not a double click
  Key(control, true);
  Click(bare);
  Key(control, false);
  EXPECT_EQ(FPlugin->GetParameter(kParamDrive), 0.0f);
  EXPECT_EQ(FPlugin->GetParameter(kParamStereo), 0.0f);
  EXPECT_NEAR(FPlugin->GetParameter(kParamTrim), 0.45f, 1e-6f);
}

TEST_F(TWndGuiX11, MetersMoveWhileAudioPlays) {
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  FEditor->RunFor(150);
  const auto silent = FEditor->Window().Grab();
  std::vector<float> tone(512);
  for (std::size_t i = 0; i < tone.size(); ++i) tone[i] = 0.5f * float(std::sin(0.05 * double(i)));
  for (int block = 0; block < 20; ++block) FPlugin->Process32({tone, tone});
  FEditor->RunFor(250);
  const auto playing = FEditor->Window().Grab();
  ASSERT_TRUE(silent && playing);
  EXPECT_GT(Changed(*silent, *playing, *FindEditorControl("VUInMeter")), 20);
  EXPECT_GT(Changed(*silent, *playing, *FindEditorControl("VUOutMeter")), 20);
}

}  // namespace
}  // namespace vb::test
