// Guards the drive's editor window against controls that disagree with
// their parameters: opening, the knobs' and switches' two-way coupling and
// its echo to the host, the oversampling steps, the meters and their reset,
// the defaults on Control + click, the knobs' own defaults, updates from
// other threads, and the vendor label.
#include "editor/wnd_gui.h"

#include <malloc.h>

#include <algorithm>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "editor/scaled_artwork.h"
#include "gui/gui_label.h"
#include "gui/gui_picture.h"
#include "gui/gui_stitched_dial.h"
#include "gui/gui_stitched_list.h"
#include "gui/gui_stitched_switch.h"
#include "image/pixel_storage.h"
#include "wnd_gui_rig.h"

namespace vb::test {
namespace {

// A spot of the front panel that no other control covers (the title).
constexpr TPoint kBareFrontPanel{560, 20};

// The normalised value the host hears for Value of Parameter.
float Normalised(TProcessModule& Module, std::int32_t Parameter, float Value) {
  return Module.ParameterProperties()[Parameter].Parameter2VSTParameter(Value);
}

TEST(WndGui, OpensWithEveryControlOnItsParameterAndReportsPowerOnce) {
  TWndGuiRig rig;
  rig.Open();
  TWndGUI& editor = rig.Editor();
  EXPECT_EQ(editor.Switch(kParamPower)->GlyphIndex(), 1);
  EXPECT_TRUE(editor.LampOn().Visible());
  EXPECT_FALSE(editor.LampOff().Visible());
  // The power switch's glyph moved from 0 to 1 on show: one echo, nothing else.
  EXPECT_EQ(rig.Automations(kParamPower), (std::vector<float>{1.0f}));
  EXPECT_EQ(rig.AutomationCount(), 1u);
  for (std::int32_t p = 0; p < kParamCount; ++p) {
    TGuiStitchedDial* dial = editor.Dial(TDriveParameter(p));
    if (dial == nullptr) continue;
    EXPECT_EQ(dial->Value(), rig.Module().GetParameter(p)) << p;
    // Each knob spans its parameter's range.
    EXPECT_EQ(dial->Min(), rig.Module().ParameterProperties()[p].Min()) << p;
    EXPECT_EQ(dial->Max(), rig.Module().ParameterProperties()[p].Max()) << p;
  }
  EXPECT_EQ(editor.Dial(kParamLoPass)->GlyphIndex(), 55);  // 2500 of 4500 Hz over 99 glyphs
  EXPECT_EQ(editor.Switch(kParamOversampling)->GlyphIndex(), 0);
  EXPECT_EQ(editor.ClientWidth(), 865);
  EXPECT_EQ(editor.ClientHeight(), 150);
}

// An open editor holds the pieces of the knob strips it shows, far less
// than the eight strips decoded whole; closing it unmaps every byte it
// mapped.
TEST(WndGui, AnOpenEditorHoldsPiecesOfTheStripsAndClosingGivesThemBack) {
  const std::size_t before = PixelStorageMappedBytes();
  const std::size_t heapBefore = mallinfo2().uordblks;
  {
    TWndGuiRig rig;
    rig.Open();
    rig.Idle();
    const std::size_t held = PixelStorageMappedBytes() - before + (mallinfo2().uordblks - heapBefore);
    EXPECT_LT(held, std::size_t(8) * 60 * 6000 * 4) << "bytes held by the open editor";
    // Of a long strip, only the few pieces of the glyphs shown are decoded,
    // never the whole picture.
    const TGuiStitchedPNGList& strips = rig.Editor().Strips();
    std::size_t kept = 0;
    for (std::int32_t i = 0; i < strips.Count(); ++i) {
      const TGuiStitchedPNGCollectionItem& strip = strips.GetItems(i);
      const std::size_t whole = std::size_t(strip.Width()) * std::size_t(strip.Height()) * 4;
      const std::size_t piece = whole * kGlyphsPerPiece / std::size_t(strip.GlyphCount());
      const std::size_t most = std::min(whole, piece * TGuiStitchedPNGCollectionItem::kKeptPieces);
      EXPECT_LE(strip.DecodedBytes(), most) << "strip " << i << " of " << strip.GlyphCount() << " glyphs";
      kept += most;
    }
    EXPECT_GT(rig.Editor().DecodedStripBytes(), 0u);
    EXPECT_LE(rig.Editor().DecodedStripBytes(), kept);
  }
  EXPECT_EQ(PixelStorageMappedBytes(), before);
}

// A module destroyed with its editor open (a library unloaded with modules
// the host never closed): the module's own members go before its base
// destroys the editor, so the editor must be gone first (the
// undefined-behaviour sanitizer sees a window that detaches from a
// half-destroyed module).
TEST(WndGui, AModuleDestroyedWithItsEditorOpenTakesTheEditorAlong) {
  TWndGuiRig rig;
  rig.Open();
  rig.Idle();
  rig.DestroyModule();
}

TEST(WndGui, PowerHalfWayShowsOffWithItsLamp) {
  TWndGuiRig rig;
  rig.Module().SetParameter(kParamPower, 0.5f);
  rig.ClearCalls();
  rig.Open();
  TWndGUI& editor = rig.Editor();
  EXPECT_EQ(editor.Switch(kParamPower)->GlyphIndex(), 0);  // 0.5 rounds to even
  EXPECT_TRUE(editor.LampOff().Visible());
  EXPECT_FALSE(editor.LampOn().Visible());
  EXPECT_TRUE(rig.Automations(kParamPower).empty());
  // While open, 1 and then 0.5 again.
  rig.Module().SetParameter(kParamPower, 1.0f);
  EXPECT_TRUE(editor.LampOn().Visible());
  rig.Module().SetParameter(kParamPower, 0.5f);
  EXPECT_EQ(editor.Switch(kParamPower)->GlyphIndex(), 0);
  EXPECT_TRUE(editor.LampOff().Visible());
  EXPECT_FALSE(editor.LampOn().Visible());
}

TEST(WndGui, OversamplingSwitchStepsThroughTheFactors) {
  TWndGuiRig rig;
  rig.Module().SetParameter(kParamOversampling, 8);
  rig.Open();
  TWndGUI& editor = rig.Editor();
  ASSERT_EQ(rig.Module().OSFactor(), 8);
  EXPECT_EQ(editor.Switch(kParamOversampling)->GlyphIndex(), 1);
  rig.ClearCalls();
  rig.ClickAt("SwitchOversampling");
  EXPECT_EQ(editor.Switch(kParamOversampling)->GlyphIndex(), 2);
  EXPECT_EQ(rig.Module().GetParameter(kParamOversampling), 16);
  EXPECT_EQ(rig.Module().OSFactor(), 16);
  rig.ClickAt("SwitchOversampling");
  EXPECT_EQ(editor.Switch(kParamOversampling)->GlyphIndex(), 0);
  EXPECT_EQ(rig.Module().OSFactor(), 1);
  EXPECT_EQ(rig.Automations(kParamOversampling), (std::vector<float>{1.0f, 0.0f}));
  // A host setting 5 gets 8 stored, and the switch the middle position.
  rig.Host().SetParameter(kParamOversampling, Normalised(rig.Module(), kParamOversampling, 5));
  EXPECT_EQ(editor.Switch(kParamOversampling)->GlyphIndex(), 1);
}

TEST(WndGui, MeterGlyphsCoverTheLast25DbInThreeGlyphsPerDb) {
  // A 75-glyph display shows at most glyph 74.
  auto shown = [](float Db) { return std::min(TWndGUI::MeterGlyph(Db, 75), 74); };
  EXPECT_EQ(shown(-30), 0);
  EXPECT_EQ(shown(-20), 15);
  EXPECT_EQ(shown(-12.5f), 37);  // 37.4999992 with 0.04 as a Single
  EXPECT_EQ(shown(-1), 72);
  EXPECT_EQ(TWndGUI::MeterGlyph(0, 75), 75);
  EXPECT_EQ(shown(0), 74);
  EXPECT_EQ(shown(3), 74);
  EXPECT_EQ(TWndGUI::MeterGlyph(std::numeric_limits<float>::quiet_NaN(), 75), 0);
}

TEST(WndGui, MetersFollowThePeaksAtEveryTickAndADoubleClickEmptiesOne) {
  TWndGuiRig rig;
  rig.Open();
  TWndGUI& editor = rig.Editor();
  rig.Module().SetInputPeakLevel(0.1f);   // -20 dB
  rig.Module().SetOutputPeakLevel(2.0f);  // +6 dB
  rig.Idle();
  EXPECT_EQ(editor.InputMeter().GlyphIndex(), 0) << "no tick yet";
  rig.Tick();
  EXPECT_EQ(editor.InputMeter().GlyphIndex(), 15);
  EXPECT_EQ(editor.OutputMeter().GlyphIndex(), 74);
  rig.DoubleClickAt("VUInMeter");
  rig.Tick();
  EXPECT_EQ(editor.InputMeter().GlyphIndex(), 0);
  EXPECT_EQ(editor.OutputMeter().GlyphIndex(), 74);
  // No audio: the reset stays.
  rig.Tick();
  rig.Tick();
  EXPECT_EQ(editor.InputMeter().GlyphIndex(), 0);
  rig.DoubleClickAt("VUOutMeter");
  rig.Tick();
  EXPECT_EQ(editor.OutputMeter().GlyphIndex(), 0);
}

TEST(WndGui, ControlClickOnThePanelRestoresTheDefaultsAndAPlainClickDoesNothing) {
  TWndGuiRig rig;
  rig.Open();
  TWndGUI& editor = rig.Editor();
  TProcessModule& module = rig.Module();
  for (std::int32_t p = 0; p <= kParamOutput; ++p) module.SetParameter(p, module.ParameterProperties()[p].Max());
  module.SetParameter(kParamPower, 0);
  module.SetParameter(kParamStereo, 1);
  module.SetParameter(kParamAsymmetric, 1);
  module.SetParameter(kParamOversampling, 16);
  module.SetInputPeakLevel(1);
  module.SetOutputPeakLevel(1);
  rig.Tick();
  ASSERT_EQ(editor.InputMeter().GlyphIndex(), 74);

  rig.ClickAt(kBareFrontPanel);
  EXPECT_EQ(editor.Dial(kParamDrive)->Value(), 100);
  EXPECT_EQ(editor.Switch(kParamPower)->GlyphIndex(), 0);
  EXPECT_EQ(editor.Switch(kParamOversampling)->GlyphIndex(), 2);

  rig.ClickAt(kBareFrontPanel, ssCtrl);
  const std::pair<TDriveParameter, float> defaults[] = {
      {kParamTrim, 45},    {kParamCurveForm, 80}, {kParamHiPass, 20}, {kParamFreq, 275}, {kParamLoPass, 3000},
      {kParamDryWet, 100}, {kParamInput, 0},      {kParamDrive, 0},   {kParamLow, 0},    {kParamMid, 0},
      {kParamHigh, 0},     {kParamPres, 0},       {kParamOutput, 0}};
  for (const auto& [parameter, value] : defaults) EXPECT_EQ(editor.Dial(parameter)->Value(), value) << parameter;
  EXPECT_EQ(editor.Switch(kParamPower)->GlyphIndex(), 1);
  EXPECT_TRUE(editor.LampOn().Visible());
  EXPECT_FALSE(editor.LampOff().Visible());
  EXPECT_EQ(editor.Switch(kParamStereo)->GlyphIndex(), 0);
  EXPECT_EQ(editor.Switch(kParamAsymmetric)->GlyphIndex(), 0);
  EXPECT_EQ(editor.Switch(kParamOversampling)->GlyphIndex(), 0);
  // The click's idle ran the meter timer after the click.
  EXPECT_EQ(editor.InputMeter().GlyphIndex(), 0);
  EXPECT_EQ(editor.OutputMeter().GlyphIndex(), 0);
}

TEST(WndGui, ADragThatMovesAKnobGlyphSetsItsParameterOnce) {
  TWndGuiRig rig;
  rig.Open();
  TWndGUI& editor = rig.Editor();
  const std::int32_t glyphBefore = editor.Dial(kParamFreq)->GlyphIndex();
  rig.ClearCalls();
  rig.DragUp("DialFreq", 10);  // 10 of 400 pixels over 0..1000 Hz: +25 Hz
  EXPECT_EQ(editor.Dial(kParamFreq)->Value(), 300);
  EXPECT_NE(editor.Dial(kParamFreq)->GlyphIndex(), glyphBefore);
  EXPECT_EQ(rig.Module().GetParameter(kParamFreq), 300);
  EXPECT_EQ(rig.Automations(kParamFreq), (std::vector<float>{0.3f}));
  EXPECT_EQ(rig.AutomationCount(), 1u);
}

TEST(WndGui, ControlRightClickPutsAKnobOnItsOwnDefault) {
  TWndGuiRig rig;
  rig.Open();
  rig.ClickAt("DialDryWet", ssCtrl, TMouseButton::mbRight);
  EXPECT_EQ(rig.Module().GetParameter(kParamDryWet), 0);  // the knob's default, not the parameter's
  // 100 was kept below the range 500..5000 and lands on its lower end.
  rig.ClickAt("DialLoPass", ssCtrl, TMouseButton::mbRight);
  EXPECT_EQ(rig.Module().GetParameter(kParamLoPass), 500);
  rig.ClickAt("DialCurveForm", ssCtrl, TMouseButton::mbRight);
  EXPECT_EQ(rig.Module().GetParameter(kParamCurveForm), 1);
  // A right click without Control leaves the knob alone.
  rig.ClickAt("DialTrim", 0, TMouseButton::mbRight);
  EXPECT_EQ(rig.Module().GetParameter(kParamTrim), 45);
}

TEST(WndGui, HostChangesMoveTheControlsAndOnlySwitchesEchoThem) {
  TWndGuiRig rig;
  rig.Open();
  TWndGUI& editor = rig.Editor();
  std::vector<std::string> changed;
  editor.Window().SetOnControlChange([&](TGuiControl& Control) { changed.push_back(Control.Name()); });
  rig.ClearCalls();
  // The value the knob shows already: nothing fires.
  rig.Host().SetParameter(kParamLoPass, Normalised(rig.Module(), kParamLoPass, 3000));
  EXPECT_TRUE(changed.empty());
  EXPECT_EQ(rig.AutomationCount(), 0u);
  // A knob follows silently.
  rig.Host().SetParameter(kParamLow, 0.75f);
  EXPECT_EQ(editor.Dial(kParamLow)->Value(), 7.5f);
  EXPECT_EQ(rig.AutomationCount(), 0u);
  // A switch follows and reports itself once.
  rig.Host().SetParameter(kParamStereo, 1.0f);
  EXPECT_EQ(editor.Switch(kParamStereo)->GlyphIndex(), 1);
  EXPECT_EQ(rig.Automations(kParamStereo), (std::vector<float>{1.0f}));
  EXPECT_EQ(rig.AutomationCount(), 1u);
}

TEST(WndGui, UpdatesFromAnotherThreadWaitForTheNextIdle) {
  TWndGuiRig rig;
  rig.Open();
  TWndGUI& editor = rig.Editor();
  rig.ClearCalls();
  std::thread([&] {
    rig.Host().SetParameter(kParamLow, 0.25f);
    rig.Host().SetParameter(kParamAsymmetric, 1.0f);
  }).join();
  EXPECT_EQ(editor.Dial(kParamLow)->Value(), 0);
  EXPECT_EQ(editor.Switch(kParamAsymmetric)->GlyphIndex(), 0);
  EXPECT_TRUE(editor.Pending().IsMarked(kParamLow));
  rig.Idle();
  EXPECT_EQ(editor.Dial(kParamLow)->Value(), -7.5f);
  EXPECT_EQ(editor.Switch(kParamAsymmetric)->GlyphIndex(), 1);
  EXPECT_FALSE(editor.Pending().IsMarked(kParamLow));
  // The switch's echo reaches the host from the window's thread; the knob
  // sends nothing.
  EXPECT_EQ(rig.Automations(kParamAsymmetric), (std::vector<float>{1.0f}));
  EXPECT_EQ(rig.AutomationCount(), 1u);
  EXPECT_EQ(rig.Module().GetParameter(kParamLow), -7.5f);
}

// Showing a value that another thread replaces meanwhile must not write the
// shown one back over the newer one.
TEST(WndGui, ShowingAValueNeverOverwritesANewerOne) {
  TWndGuiRig rig;
  rig.Open();
  TWndGUI& editor = rig.Editor();
  std::thread([&] {
    rig.Module().StoreParameter(kParamMid, 5);
    rig.Module().StoreParameter(kParamStereo, 1);
  }).join();
  // The knob's and the switch's change events run while the next idle shows
  // those values; a newer value lands in between.
  editor.Dial(kParamMid)->SetOnChange([&](TGuiComponent&) {
    std::thread([&] { rig.Module().StoreParameter(kParamMid, -7); }).join();
    editor.Binding(kParamMid).ControlChanged();
  });
  editor.Switch(kParamStereo)->SetOnChange([&](TGuiComponent&) {
    std::thread([&] { rig.Module().StoreParameter(kParamStereo, 0); }).join();
    editor.Binding(kParamStereo).ControlChanged();
  });
  rig.ClearCalls();
  rig.Idle();
  EXPECT_EQ(rig.Module().GetParameter(kParamMid), -7);
  EXPECT_EQ(rig.Module().GetParameter(kParamStereo), 0);
  // The host still hears of the switch it moved.
  EXPECT_EQ(rig.Automations(kParamStereo), (std::vector<float>{1.0f}));
  // And the next idle shows the newer values.
  editor.Dial(kParamMid)->SetOnChange(nullptr);
  editor.Switch(kParamStereo)->SetOnChange(nullptr);
  rig.Idle();
  EXPECT_EQ(editor.Dial(kParamMid)->Value(), -7);
  EXPECT_EQ(editor.Switch(kParamStereo)->GlyphIndex(), 0);
}

TEST(WndGui, TheVendorLabelOpensThePageAndShowsItsHint) {
  TWndGuiRig rig;
  rig.Open();
  TWndGUI& editor = rig.Editor();
  std::vector<std::string> opened;
  editor.SetOpenUrl([&](const char* Url) { opened.push_back(Url); });
  // Control + click on the label is the label's, not the panel's.
  rig.Module().SetParameter(kParamDrive, 50);
  rig.ClickAt("LblByVorda", ssCtrl);
  EXPECT_EQ(opened, (std::vector<std::string>{kVendorUrl}));
  EXPECT_EQ(rig.Module().GetParameter(kParamDrive), 50);
  EXPECT_EQ(editor.Window().ActiveHint(), "Visit website");
  rig.Screen().MoveTo(TWndGuiRig::CentreOf("SwitchStereo"));
  rig.Idle();
  EXPECT_EQ(editor.Window().ActiveHint(), "") << "switches carry hints but do not show them";
}

}  // namespace
}  // namespace vb::test
