#include "control_panel_editor.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "editor/editor_artwork.h"
#include "editor/scaled_artwork.h"
#include "gui/gui_picture.h"
#include "gui/gui_stitched_dial.h"
#include "gui/gui_stitched_list.h"
#include "gui/gui_stitched_switch.h"
#include "gui/gui_timer.h"
#include "host/vst_module.h"

namespace vb::test {

namespace {

// The image list's strips, in list order.
constexpr std::array<TArtwork, 4> kStrips = {TArtwork::awKnob2, TArtwork::awKnob8, TArtwork::awSwitch2,
                                             TArtwork::awMeter};
constexpr std::int32_t kKnob2 = 0, kKnob8 = 1, kSwitch2 = 2, kMeter = 3;
constexpr std::uint32_t kMeterIntervalMs = 100;

TGuiStitchKind StitchKind(TStripDirection Direction) {
  return Direction == TStripDirection::sdHorizontal ? skHorizontal : skVertical;
}

}  // namespace

TControlPanelEditor::TControlPanelEditor(TCustomVSTModule& Owner, std::unique_ptr<TPlatformWindow> Platform)
    : TGuiEditorForm(Owner, std::move(Platform)) {
  Build();
}

TControlPanelEditor::~TControlPanelEditor() = default;

std::unique_ptr<TVSTEditor> TControlPanelEditor::Create(TCustomVSTModule& Owner) {
  return std::make_unique<TControlPanelEditor>(Owner, nullptr);
}

TVSTModuleWithPrograms& TControlPanelEditor::Module() const { return static_cast<TVSTModuleWithPrograms&>(Owner()); }

void TControlPanelEditor::Build() {
  TGuiWindow& window = Window();
  window.SetColor(0xFFFFFF);
  window.SetClientSize(kControlPanelWidth, kControlPanelHeight);
  window.BeginLoading();

  auto& front = window.Create<TGuiPicture>();
  const auto panel = ArtworkPieces(TArtwork::awFrontPanel, TEditorScale::esOne).front();
  front.SetAutoSize(true);
  front.LoadPng(panel.data(), panel.size());

  auto& strips = window.Create<TGuiStitchedPNGList>();
  for (TArtwork id : kStrips) {
    const TArtworkInfo& info = ArtworkInfo(id);
    strips.AddPngPieces(ArtworkPieces(id, TEditorScale::esOne), kGlyphsPerPiece, info.DisplayName, info.GlyphCount,
                        StitchKind(info.Direction));
  }

  for (std::size_t i = 0; i < kControlPanelDials.size(); ++i) {
    const TControlPanelDial& layout = kControlPanelDials[i];
    auto& dial = window.Create<TGuiStitchedDial>();
    const TCustomVstParameterProperty& property = Module().ParameterProperties()[layout.Parameter];
    dial.SetBounds(layout.Bounds.Left, layout.Bounds.Top, layout.Bounds.Width(), layout.Bounds.Height());
    dial.SetTransparent(true);
    dial.SetImageList(&strips);
    dial.SetImageIndex(layout.Parameter == cpOutput ? kKnob8 : kKnob2);
    dial.SetMax(property.Max());
    dial.SetMin(property.Min());
    dial.SetLockCursor(layout.LockCursor);
    dial.SetOnChange([this, &dial, index = layout.Parameter](TGuiComponent&) {
      if (Module().GetParameter(index) != dial.Value()) Module().SetParameter(index, dial.Value());
    });
    FDials[i] = &dial;
  }

  auto& toggle = window.Create<TGuiStitchedSwitch>();
  toggle.SetBounds(kControlPanelSwitch.Left, kControlPanelSwitch.Top, kControlPanelSwitch.Width(),
                   kControlPanelSwitch.Height());
  toggle.SetTransparent(true);
  toggle.SetImageList(&strips);
  toggle.SetImageIndex(kSwitch2);
  toggle.SetOnChange([this, &toggle](TGuiComponent&) {
    const float value = toggle.GlyphIndex() == 1 ? 1.0f : 0.0f;
    if (Module().GetParameter(cpStereo) != value) Module().SetParameter(cpStereo, value);
  });
  FSwitch = &toggle;

  auto& meter = window.Create<TGuiStitchedDisplay>();
  meter.SetBounds(kControlPanelMeter.Left, kControlPanelMeter.Top, kControlPanelMeter.Width(),
                  kControlPanelMeter.Height());
  meter.SetTransparent(true);
  meter.SetImageList(&strips);
  meter.SetImageIndex(kMeter);
  FMeter = &meter;

  auto& timer = window.Create<TGuiTimer>();
  timer.SetInterval(kMeterIntervalMs);
  timer.SetOnTimer(
      [this](TGuiComponent&) { FMeter->SetGlyphIndex(std::int32_t(std::lrint(Module().GetParameter(cpLevel)))); });

  // With VB_CONTROLPANEL_DRAW_AFTER_MS=N in the environment the panel shows
  // only N ms after the editor opens (a blank window until then), as editors
  // that load their pictures in the background do.
  if (const char* late = std::getenv("VB_CONTROLPANEL_DRAW_AFTER_MS")) {
    std::vector<TGuiControl*> parts = {&front, FSwitch, FMeter};
    parts.insert(parts.end(), FDials.begin(), FDials.end());
    for (TGuiControl* part : parts) part->SetVisible(false);
    auto& reveal = window.Create<TGuiTimer>();
    reveal.SetInterval(std::uint32_t(std::atoi(late)));
    reveal.SetOnTimer([parts, &reveal](TGuiComponent&) {
      for (TGuiControl* part : parts) part->SetVisible(true);
      reveal.SetEnabled(false);
    });
  }

  // With VB_CONTROLPANEL_SLIDE_MS=N the front panel moves 7 pixels to the
  // right every N ms, back to the left edge after 301: a picture that never
  // settles and never repeats from one look to the next.
  if (const char* slide = std::getenv("VB_CONTROLPANEL_SLIDE_MS")) {
    auto& mover = window.Create<TGuiTimer>();
    mover.SetInterval(std::uint32_t(std::atoi(slide)));
    mover.SetOnTimer([&front](TGuiComponent&) {
      front.SetBounds((front.Left() + 7) % 301, front.Top(), front.Width(), front.Height());
    });
  }

  window.EndLoading();
}

void TControlPanelEditor::ApplyPendingUpdates() {
  for (std::size_t i = 0; i < kControlPanelDials.size(); ++i) {
    const float value = Module().GetParameter(kControlPanelDials[i].Parameter);
    if (FDials[i]->Value() != value) FDials[i]->SetValue(value);
  }
  const std::int32_t glyph = std::int32_t(std::lrint(Module().GetParameter(cpStereo)));
  if (FSwitch->GlyphIndex() != glyph) FSwitch->SetGlyphIndex(glyph);
}

}  // namespace vb::test
