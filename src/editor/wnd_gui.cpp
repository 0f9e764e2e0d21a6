#include "editor/wnd_gui.h"

#include <algorithm>

#include "editor/scaled_artwork.h"
#include "gui/gui_label.h"
#include "gui/gui_picture.h"
#include "gui/gui_rounding.h"
#include "gui/gui_stitched_dial.h"
#include "gui/gui_stitched_list.h"
#include "gui/gui_stitched_switch.h"
#include "gui/gui_timer.h"
#include "host/custom_vst_module.h"
#include "image/image_errors.h"
#include "platform/desktop_resources.h"
#include "platform/web_browser.h"

namespace vb {

namespace {

// Every knob: 400 logical pixels of drag for the whole travel, one wheel
// notch a 400th of it, linear, no wrap, the pointer left where it is.
constexpr float kDialScrollRange = 400;
constexpr float kDialWheelStep = 1;

// The meter strip covers the 25 dB below full scale.
constexpr double kMeterFloorDb = -25.0;
// The share of the strip per dB (1/25), taken as a Single as the meters
// always have.
constexpr double kMeterSharePerDb = double(0.04f);

// The font setting that renders kVendorLabelOversampling times larger.
TFontOversampling LabelOversampling() {
  for (std::uint8_t v = foNone; v <= fo16x; ++v)
    if (OversamplingFactor(TFontOversampling(v)) == kVendorLabelOversampling) return TFontOversampling(v);
  return fo16x;
}

TGuiStitchKind StitchKind(TStripDirection direction) {
  return direction == TStripDirection::sdHorizontal ? skHorizontal : skVertical;
}

void LoadArtwork(TGuiPicture& picture, TArtwork art, TEditorScale scale) {
  // A single picture is one piece.
  const auto png = ArtworkPieces(art, scale).front();
  picture.LoadPng(png.data(), png.size());
}

// The layout's logical box on the screen: its edges scaled.
void Place(TGuiControl& control, const TEditorControlSpec& spec, TEditorScale scale) {
  control.SetName(spec.Name);
  const TRect box = Scaled(TRect{spec.Left, spec.Top, spec.Left + spec.Width, spec.Top + spec.Height}, scale);
  control.SetBounds(box.Left, box.Top, box.Width(), box.Height());
  control.SetVisible(spec.Visible);
  control.SetHint(spec.Hint);
  control.SetShowHint(spec.ShowHint);
}

void PlaceStitched(TGuiCustomStitchedControl& control, const TEditorControlSpec& spec, TGuiStitchedPNGList& strips,
                   TEditorScale scale) {
  Place(control, spec, scale);
  control.SetTransparent(true);
  control.SetImageList(&strips);
  control.SetImageIndex(StripIndex(spec.Art));
  control.SetGlyphIndex(spec.GlyphIndex);
  control.SetDefaultGlyphIndex(spec.DefaultGlyphIndex);
}

}  // namespace

TWndGUI::TWndGUI(TCustomVSTModule& owner, IDriveProcessor& processor, std::unique_ptr<TPlatformWindow> platform,
                 TEditorScale scale)
    : TGuiEditorForm(owner, std::move(platform)),
      FProcessor(processor),
      FScale(scale),
      FWindowThread(std::this_thread::get_id()),
      FOpenUrl([](const char* url) { OpenWebPage(url); }) {
  Build();
  FProcessor.AttachEditor(*this);
}

TWndGUI::~TWndGUI() {
  // First: a host thread may be telling this window about a parameter.
  // The bindings go next (members before the base's window) and end any
  // gesture a drag left open.
  FProcessor.DetachEditor(*this);
}

std::unique_ptr<TVSTEditor> TWndGUI::Create(TCustomVSTModule& owner, IDriveProcessor& processor) {
  // The screen of the host's window the editor opens in.
  const auto parent = reinterpret_cast<std::uintptr_t>(owner.EditorParent());
  const TEditorScale scale = DetectEditorScale([parent] { return NativeDesktopResourcesOf(parent); });
  return std::make_unique<TWndGUI>(owner, processor, nullptr, scale);
}

void TWndGUI::PreferredSize(std::int32_t& width, std::int32_t& height) {
  const TEditorScale scale = DetectEditorScale(&NativeDesktopResources);
  width = Scaled(kEditorWidth, scale);
  height = Scaled(kEditorHeight, scale);
}

// ---------------------------------------------------------------------------
// Building

void TWndGUI::Build() {
  TGuiWindow& window = Window();
  window.SetCaption(kEditorCaption);
  window.SetColor(kEditorColor);
  window.SetScaleHalves(ScaleHalves(FScale));
  window.SetClientSize(Scaled(kEditorWidth, FScale), Scaled(kEditorHeight, FScale));
  window.SetOnShow([this] { FormShow(); });
  window.BeginLoading();
  // The strips first: the controls link to the list while the layout is
  // applied. Being invisible, its place among the components changes
  // nothing on screen.
  CreateStripList();
  for (const TEditorControlSpec& spec : kEditorLayout) CreateComponent(spec);
  for (auto& binding : FBindings)
    if (binding->Rule() == TShowRule::srPower) binding->SetLamps(FLampOn, FLampOff);
  // Decodes the strips, sizes the buffers, puts each knob on its glyph.
  window.EndLoading();
}

void TWndGUI::CreateComponent(const TEditorControlSpec& spec) {
  switch (spec.Kind) {
    case TEditorControlKind::eckPicture:
      return CreatePicture(spec);
    case TEditorControlKind::eckLabel:
      return CreateLabel(spec);
    case TEditorControlKind::eckSwitch:
      return CreateSwitch(spec);
    case TEditorControlKind::eckDial:
      return CreateDial(spec);
    case TEditorControlKind::eckDisplay:
      return CreateDisplay(spec);
    case TEditorControlKind::eckTimer:
      return CreateTimer(spec);
    case TEditorControlKind::eckStripList:
      FStrips->SetName(spec.Name);
      return;
  }
}

void TWndGUI::CreateStripList() {
  FStrips = &Window().Create<TGuiStitchedPNGList>();
  for (std::size_t i = 0; i < kStripCount; ++i) {
    const TArtworkInfo& info = ArtworkInfo(StripArtwork(i));
    FStrips->AddPngPieces(ArtworkPieces(info.Id, FScale), kGlyphsPerPiece, info.DisplayName, info.GlyphCount,
                          StitchKind(info.Direction));
  }
}

void TWndGUI::CreatePicture(const TEditorControlSpec& spec) {
  auto& picture = Window().Create<TGuiPicture>();
  Place(picture, spec, FScale);
  LoadArtwork(picture, spec.Art, FScale);
  picture.SetAutoSize(spec.AutoSize);
  switch (spec.Role) {
    case TEditorRole::erFrontPanel:
      FFrontPanel = &picture;
      picture.SetOnClick([this](TGuiComponent&) { ImgFrontClick(); });
      break;
    case TEditorRole::erLampOn:
      FLampOn = &picture;
      break;
    case TEditorRole::erLampOff:
      FLampOff = &picture;
      break;
    default:
      break;
  }
}

void TWndGUI::CreateLabel(const TEditorControlSpec& spec) {
  auto& label = Window().Create<TGuiLabel>();
  Place(label, spec, FScale);
  TFont font;
  font.Name = kVendorLabelFace;
  font.Height = Scaled(kVendorLabelCellHeight, FScale);
  font.Bold = true;
  font.Color = kVendorLabelColor;
  label.SetFont(font);
  label.SetFontOversampling(LabelOversampling());
  label.SetAlignment(taRightJustify);
  label.SetTransparent(true);
  label.SetCaption(kVendorLabelCaption);
  label.SetOnClick([this](TGuiComponent&) { LblByVordaClick(); });
  FVendorLabel = &label;
}

void TWndGUI::CreateSwitch(const TEditorControlSpec& spec) {
  auto& control = Window().Create<TGuiStitchedSwitch>();
  PlaceStitched(control, spec, *FStrips, FScale);
  control.SetColor(spec.Color);
  const TEditorBinding& row = *FindEditorBinding(spec.Name);
  FSwitches[row.Parameter] = &control;
  Bind(row, control);
}

void TWndGUI::CreateDial(const TEditorControlSpec& spec) {
  auto& dial = Window().Create<TGuiStitchedDial>();
  PlaceStitched(dial, spec, *FStrips, FScale);
  const TEditorBinding& row = *FindEditorBinding(spec.Name);
  const TDriveParameterRange& range = ParameterRange(row.Parameter);
  // The default first: it is clamped to the range the dial has so far.
  dial.SetDefaultValue(spec.DefaultValue);
  dial.SetMax(range.Max);
  dial.SetMin(range.Min);
  dial.SetValue(range.Default);
  // Device pixels: a drag or a notch moves the knob as far as at 1x.
  dial.SetScrollRange(kDialScrollRange * float(ScaleFactor(FScale)));
  dial.SetWheelStep(kDialWheelStep * float(ScaleFactor(FScale)));
  dial.SetCurveMapping(0);
  dial.SetWrap(false);
  dial.SetLockCursor(false);
  FDials[row.Parameter] = &dial;
  Bind(row, dial);
}

void TWndGUI::Bind(const TEditorBinding& row, TGuiCustomStitchedControl& control) {
  FBindings[row.Parameter] = std::make_unique<TParameterBinding>(row, control, FProcessor);
}

void TWndGUI::CreateDisplay(const TEditorControlSpec& spec) {
  auto& meter = Window().Create<TGuiStitchedDisplay>();
  PlaceStitched(meter, spec, *FStrips, FScale);
  if (spec.Role == TEditorRole::erInputMeter) {
    FInputMeter = &meter;
    meter.SetOnDblClick([this](TGuiComponent&) { VUInMeterDblClick(); });
  } else {
    FOutputMeter = &meter;
    meter.SetOnDblClick([this](TGuiComponent&) { VUOutMeterDblClick(); });
  }
}

void TWndGUI::CreateTimer(const TEditorControlSpec& spec) {
  FMeterTimer = &Window().Create<TGuiTimer>();
  FMeterTimer->SetName(spec.Name);
  FMeterTimer->SetInterval(kMeterIntervalMs);
  FMeterTimer->SetEnabled(true);
  FMeterTimer->SetOnTimer([this](TGuiComponent&) { TimerVUTimer(); });
}

TGuiComponent* TWndGUI::Component(std::string_view name) const { return Window().FindComponent(std::string(name)); }

// ---------------------------------------------------------------------------
// Parameters to controls

void TWndGUI::ParameterChanged(TDriveParameter parameter) {
  if (OnWindowThread())
    FBindings[parameter]->Show();
  else
    FPending.Mark(parameter);
}

void TWndGUI::ApplyPendingUpdates() {
  const std::uint32_t pending = FPending.Take();
  for (auto& binding : FBindings) {
    if ((pending & TPendingParameters::Bit(binding->Parameter())) != 0) binding->Show();
  }
}

void TWndGUI::FormShow() {
  for (auto& binding : FBindings) binding->Show();
}

// ---------------------------------------------------------------------------
// Meters, panel and label

std::size_t TWndGUI::DecodedStripBytes() const {
  std::size_t total = 0;
  for (std::int32_t i = 0; i < FStrips->Count(); ++i) total += FStrips->GetItems(i).DecodedBytes();
  return total;
}

std::int32_t TWndGUI::MeterGlyph(float level, std::int32_t glyphCount) {
  // NaN stays NaN through the clamp and rounds to glyph 0.
  const double clamped = std::clamp(double(level), kMeterFloorDb, 0.0);
  return RoundToInt32((clamped - kMeterFloorDb) * glyphCount * kMeterSharePerDb);
}

void TWndGUI::ShowLevel(TGuiStitchedDisplay& meter, float level) {
  // The display clamps: 0 dB computes to the glyph count and shows the last.
  meter.SetGlyphIndex(MeterGlyph(level, meter.GlyphCount()));
}

void TWndGUI::TimerVUTimer() {
  ShowLevel(*FInputMeter, FProcessor.InputLevel());
  ShowLevel(*FOutputMeter, FProcessor.OutputLevel());
}

void TWndGUI::VUInMeterDblClick() { FProcessor.ResetInputLevel(); }

void TWndGUI::VUOutMeterDblClick() { FProcessor.ResetOutputLevel(); }

void TWndGUI::ImgFrontClick() {
  if ((Window().KeyboardState() & ssCtrl) == 0) return;
  // Every parameter is set (and reported) once, some twice through their
  // handlers and echoes: all of it inside each one's gesture.
  for (auto& binding : FBindings) FProcessor.BeginEdit(binding->Parameter());
  FProcessor.ResetToDefaults();
  for (auto& binding : FBindings) FProcessor.EndEdit(binding->Parameter());
}

void TWndGUI::LblByVordaClick() { OpenURL(); }

void TWndGUI::OpenURL() {
  if (FOpenUrl) FOpenUrl(kVendorUrl);
}

}  // namespace vb
