// Guards against an editor that a real Linux host cannot live with, driven
// through the built "Control Panel" test plug-in under a real X server: a
// window tree or first picture that differs from what the host expects
// right after effEditOpen, input that does not reach the controls or the
// host's automation, a pointer left hidden or away after a locked drag,
// threads started by the plug-in, descriptors or memory that grow with each
// open and close, two editors that disturb each other, and hosts that
// destroy their window first, open twice, never idle, idle re-entrantly or
// have no display at all. Skips without $DISPLAY (the test command starts
// Xvfb), except where no display is the point.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "control_panel_editor.h"
#include "control_panel_module.h"
#include "gui/gui_stitched_dial.h"
#include "platform/headless_window.h"
#include "support/editor_test_host.h"
#include "support/editor_x11_fixture.h"
#include "support/test_host.h"
#include "support/x11_probe.h"

namespace vb::test {
namespace {

// Normalised values the tests start from (Drive 30 %, Trim 45 %, Output 0,
// Stereo on, Level 40 of 74).
constexpr float kStartValues[cpParameterCount] = {0.3f, 0.45f, 0.5f, 1.0f, 40.0f / 74.0f};

// Each cycle builds the whole editor (its strips decoded) and a connection;
// sanitizer builds run a fifth of them to stay within the test budget.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kOpenCloseCycles = 40;
#else
constexpr int kOpenCloseCycles = 200;
#endif

TPoint Centre(const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }

class TEditorX11Hosting : public TEditorX11Fixture {
 protected:
  void SetUp() override {
    StartHost(VB_CONTROLPANEL_PATH);
    if (IsSkipped() || HasFatalFailure()) return;
    for (std::int32_t i = 0; i < cpParameterCount; ++i) FPlugin->SetParameter(i, kStartValues[i]);
  }
};

TEST_F(TEditorX11Hosting, OpensAsOneChildShowingItsFirstFrameAtOnceAndStartsNoThread) {
  EXPECT_EQ(FEditor->RectWidth(), kControlPanelWidth) << "the size is known before the editor opens";
  EXPECT_EQ(FEditor->RectHeight(), kControlPanelHeight);
  const std::int32_t threads = TEditorTestHost::ThreadCount();
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  EXPECT_EQ(TEditorTestHost::ThreadCount(), threads);
  // No effEditIdle yet: the window is there and shows the whole editor.
  const xcb_window_t child = Child();
  ASSERT_NE(child, 0u);
  const TX11Geometry g = FProbe.Geometry(child);
  EXPECT_EQ((std::vector<int>{g.X, g.Y, g.Width, g.Height}), (std::vector<int>{0, 0, 865, 150}));
  const auto hints = FProbe.Property32(child, XCB_ATOM_WM_NORMAL_HINTS);
  ASSERT_EQ(hints.size(), 18u);
  EXPECT_EQ((std::vector<std::uint32_t>{hints[5], hints[6], hints[7], hints[8]}),
            (std::vector<std::uint32_t>{865, 150, 865, 150}));
  const auto shot = FEditor->Window().Grab();
  ASSERT_NE(shot, nullptr);

  // The same state rendered in-process on a headless window.
  std::unique_ptr<TControlPanelModule> module(CreateVSTModule<TControlPanelModule>(nullptr));
  for (std::int32_t i = 0; i < cpParameterCount; ++i)
    module->Effect()->SetParameter(module->Effect(), i, kStartValues[i]);
  auto headless = std::make_unique<THeadlessWindow>();
  THeadlessWindow& screen = *headless;
  TControlPanelEditor reference(*module, std::move(headless));
  reference.AttachToParent(reinterpret_cast<void*>(std::uintptr_t(1)));
  std::int32_t wrong = 0;
  for (std::int32_t y = 0; y < kControlPanelHeight; ++y)
    for (std::int32_t x = 0; x < kControlPanelWidth; ++x)
      if (shot->PixelARGB(x, y) != (screen.ScreenPixel(x, y) | 0xFF000000u)) ++wrong;
  EXPECT_EQ(wrong, 0) << "the screen shows exactly the headless rendering";

  FEditor->RunFor(100);
  EXPECT_EQ(TEditorTestHost::ThreadCount(), threads);
  EXPECT_EQ(FEditor->CloseEditor(), 0);
  EXPECT_TRUE(FProbe.Children(FEditor->WindowId()).empty());
  EXPECT_EQ(TEditorTestHost::ThreadCount(), threads);
}

TEST_F(TEditorX11Hosting, DragsWheelAndClicksReachTheControlsAndTheHost) {
  if (!FProbe.HasXTest()) GTEST_SKIP() << "the X server has no XTEST";
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  FEditor->RunFor(60);
  FPlugin->ClearCalls();
  // 40 pixels up of a 400-pixel travel: a tenth of the range.
  Drag(Centre(kControlPanelDials[0].Bounds), 0, -40);
  EXPECT_NEAR(FPlugin->GetParameter(cpDrive), 0.4f, 1e-4f);
  EXPECT_GE(AutomationsOf(cpDrive).size(), 1u);
  // The dial took the focus with the press; one notch turns it 1/400.
  const float before = FPlugin->GetParameter(cpDrive);
  const TPoint drive = Centre(kControlPanelDials[0].Bounds);
  FProbe.MovePointer(Child(), drive.X, drive.Y);  // wheels turn what lies under the pointer
  FProbe.Wheel(true);
  ASSERT_TRUE(FEditor->IdleUntil([&] { return FPlugin->GetParameter(cpDrive) != before; }));
  EXPECT_NEAR(FPlugin->GetParameter(cpDrive) - before, 1.0f / 400.0f, 1e-5f);
  // A click on the switch flips Stereo off.
  FProbe.MovePointer(Child(), Centre(kControlPanelSwitch).X, Centre(kControlPanelSwitch).Y);
  FProbe.Button(1, true);
  FProbe.Button(1, false);
  ASSERT_TRUE(FEditor->IdleUntil([&] { return FPlugin->GetParameter(cpStereo) == 0.0f; }));
  EXPECT_EQ(AutomationsOf(cpStereo).size(), 1u);
  // And the host's own changes reach the controls at the next idle.
  const auto shotBefore = FEditor->Window().Grab();
  FPlugin->SetParameter(cpTrim, 1.0f);
  FEditor->RunFor(60);
  const auto shotAfter = FEditor->Window().Grab();
  ASSERT_TRUE(shotBefore && shotAfter);
  const TPoint trim = Centre(kControlPanelDials[1].Bounds);
  std::int32_t changed = 0;
  for (std::int32_t y = trim.Y - 25; y < trim.Y + 25; ++y)
    for (std::int32_t x = trim.X - 25; x < trim.X + 25; ++x)
      if (shotBefore->PixelARGB(x, y) != shotAfter->PixelARGB(x, y)) ++changed;
  EXPECT_GT(changed, 20) << "the Trim dial turned on screen";
}

TEST_F(TEditorX11Hosting, ALockedDragHidesThePointerAndBringsItBack) {
  if (!FProbe.HasXTest()) GTEST_SKIP() << "the X server has no XTEST";
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  FEditor->RunFor(60);
  const TPoint centre = Centre(kControlPanelDials[2].Bounds);
  const float before = FPlugin->GetParameter(cpOutput);
  Drag(centre, 0, -30);
  EXPECT_GT(FPlugin->GetParameter(cpOutput), before);
  std::int32_t x = 0, y = 0;
  ASSERT_TRUE(FProbe.PointerIn(Child(), x, y));
  EXPECT_EQ((TPoint{x, y}), centre) << "the pointer is back at the dial's centre";
}

TEST_F(TEditorX11Hosting, TheTimerRunsFromTheHostsIdle) {
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  const auto before = FEditor->Window().Grab();
  FEditor->RunFor(250);  // more than two 100 ms ticks
  const auto after = FEditor->Window().Grab();
  ASSERT_TRUE(before && after);
  std::int32_t changed = 0;
  for (std::int32_t y = kControlPanelMeter.Top; y < kControlPanelMeter.Bottom; ++y)
    for (std::int32_t x = kControlPanelMeter.Left; x < kControlPanelMeter.Right; ++x)
      if (before->PixelARGB(x, y) != after->PixelARGB(x, y)) ++changed;
  EXPECT_GT(changed, 0) << "the meter shows the Level parameter after a tick";
}

TEST_F(TEditorX11Hosting, ManyOpensAndClosesLeaveNoDescriptorsOrMemoryBehind) {
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  FEditor->IdleOnce();
  FEditor->CloseEditor();
  const std::int32_t files = TEditorTestHost::OpenFileCount();
  const std::size_t heap = TEditorTestHost::HeapInUse();
  for (int cycle = 0; cycle < kOpenCloseCycles; ++cycle) {
    ASSERT_EQ(FEditor->OpenEditor(), 1) << "cycle " << cycle;
    FEditor->IdleOnce();
    FEditor->CloseEditor();
  }
  EXPECT_EQ(TEditorTestHost::OpenFileCount(), files);
#if !defined(__SANITIZE_ADDRESS__)
  // Allocator bookkeeping may shift a little; a leak per cycle would not.
  EXPECT_LT(TEditorTestHost::HeapInUse(), heap + 64 * 1024);
#else
  (void)heap;  // LeakSanitizer watches this build
#endif
  EXPECT_TRUE(FProbe.Children(FEditor->WindowId()).empty());
}

TEST_F(TEditorX11Hosting, TwoInstancesKeepTheirOwnEditors) {
  TTestHost second(VB_CONTROLPANEL_PATH);
  ASSERT_NE(second.StartUp(), nullptr);
  TEditorTestHost secondEditor(second);
  ASSERT_TRUE(secondEditor.CreateWindow());
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  ASSERT_EQ(secondEditor.OpenEditor(), 1);
  FEditor->RunFor(40);
  secondEditor.RunFor(40);
  EXPECT_EQ(FProbe.Children(FEditor->WindowId()).size(), 1u);
  EXPECT_EQ(FProbe.Children(secondEditor.WindowId()).size(), 1u);
  // Closing one leaves the other working.
  FEditor->CloseEditor();
  second.SetParameter(cpTrim, 0.9f);
  secondEditor.RunFor(40);
  EXPECT_EQ(FProbe.Children(secondEditor.WindowId()).size(), 1u);
  EXPECT_EQ(secondEditor.CloseEditor(), 0);
}

TEST_F(TEditorX11Hosting, HostsThatDestroyTheirWindowFirstOpenTwiceOrNeverIdle) {
  // Opened twice: the first editor goes, one child remains.
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  EXPECT_EQ(FProbe.Children(FEditor->WindowId()).size(), 1u);
  // Never idled between open and close.
  EXPECT_EQ(FEditor->CloseEditor(), 0);
  EXPECT_TRUE(FProbe.Children(FEditor->WindowId()).empty());
  EXPECT_EQ(FEditor->CloseEditor(), 0) << "a second close is harmless";
  // The host's window destroyed while the editor is open.
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  FEditor->RunFor(40);
  FEditor->Window().Destroy();
  FPlugin->Dispatch(effEditIdle);
  FPlugin->SetParameter(cpDrive, 0.9f);
  FPlugin->Dispatch(effEditIdle);
  EXPECT_EQ(FEditor->CloseEditor(), 0);
  // The plug-in still works: audio and a new editor in a new window.
  const Channels32 out = FPlugin->Process32({{0.5f, -0.5f}, {0.25f, 0.0f}});
  EXPECT_EQ(out[0][0], 0.5f);
  TEditorTestHost again(*FPlugin);
  ASSERT_TRUE(again.CreateWindow());
  EXPECT_EQ(again.OpenEditor(), 1);
  again.RunFor(40);
}

TEST_F(TEditorX11Hosting, AnIdleFromInsideTheAutomationAnswerReturnsAtOnce) {
  if (!FProbe.HasXTest()) GTEST_SKIP() << "the X server has no XTEST";
  ASSERT_EQ(FEditor->OpenEditor(), 1);
  FEditor->RunFor(40);
  int nested = 0;
  FPlugin->OnCallback = [&](const THostCall& Call) {
    if (Call.Opcode != amAutomate) return;
    ++nested;
    FPlugin->Dispatch(effEditIdle);
    FPlugin->Dispatch(effEditIdle);
  };
  Drag(Centre(kControlPanelDials[0].Bounds), 0, -20);
  FPlugin->OnCallback = nullptr;
  EXPECT_GT(nested, 0);
  EXPECT_NEAR(FPlugin->GetParameter(cpDrive), 0.35f, 1e-4f);
}

TEST(EditorWithoutDisplay, OpenAnswersZeroAndTheEffectKeepsWorking) {
  TTestHost plugin(VB_CONTROLPANEL_PATH);
  ASSERT_NE(plugin.StartUp(), nullptr);
  const char* saved = std::getenv("DISPLAY");
  const std::string restore = saved != nullptr ? saved : "";
  const std::int32_t files = TEditorTestHost::OpenFileCount();
  for (const char* display : {static_cast<const char*>(nullptr), ":4095"}) {
    if (display == nullptr)
      unsetenv("DISPLAY");
    else
      setenv("DISPLAY", display, 1);
    // Any window id: there is no server to ask.
    EXPECT_EQ(plugin.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(std::uintptr_t(0x400001))), 0);
    plugin.Dispatch(effEditIdle);
    EXPECT_EQ(plugin.Dispatch(effEditClose), 0);
  }
  if (saved != nullptr) setenv("DISPLAY", restore.c_str(), 1);
  EXPECT_EQ(TEditorTestHost::OpenFileCount(), files) << "no connection stays open";
  const Channels32 out = plugin.Process32({{0.5f}, {0.25f}});
  EXPECT_EQ(out[1][0], 0.25f);
  // With a display but a window id nobody made, the answer is 0 too.
  if (saved != nullptr && TEditorTestHost::DisplayAvailable()) {
    EXPECT_EQ(plugin.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(std::uintptr_t(0x1FFFFF))), 0);
  }
}

}  // namespace
}  // namespace vb::test
