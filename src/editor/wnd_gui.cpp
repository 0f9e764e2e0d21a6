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

TGuiStitchKind StitchKind(TStripDirection Direction) {
  return Direction == TStripDirection::sdHorizontal ? skHorizontal : skVertical;
}

void LoadArtwork(TGuiPicture& Picture, TArtwork Art, TEditorScale Scale) {
  // A single picture is one piece.
  const auto png = ArtworkPieces(Art, Scale).front();
  Picture.LoadPng(png.data(), png.size());
}

// The layout's logical box on the screen: its edges scaled.
void Place(TGuiControl& Control, const TEditorControlSpec& Spec, TEditorScale Scale) {
  Control.SetName(Spec.Name);
  const TRect box = Scaled(TRect{Spec.Left, Spec.Top, Spec.Left + Spec.Width, Spec.Top + Spec.Height}, Scale);
  Control.SetBounds(box.Left, box.Top, box.Width(), box.Height());
  Control.SetVisible(Spec.Visible);
  Control.SetHint(Spec.Hint);
  Control.SetShowHint(Spec.ShowHint);
}

void PlaceStitched(TGuiCustomStitchedControl& Control, const TEditorControlSpec& Spec, TGuiStitchedPNGList& Strips,
                   TEditorScale Scale) {
  Place(Control, Spec, Scale);
  Control.SetTransparent(true);
  Control.SetImageList(&Strips);
  Control.SetImageIndex(StripIndex(Spec.Art));
  Control.SetGlyphIndex(Spec.GlyphIndex);
  Control.SetDefaultGlyphIndex(Spec.DefaultGlyphIndex);
}

}  // namespace

TWndGUI::TWndGUI(TCustomVSTModule& Owner, IDriveProcessor& Processor, std::unique_ptr<TPlatformWindow> Platform,
                 TEditorScale Scale)
    : TGuiEditorForm(Owner, std::move(Platform)),
      FProcessor(Processor),
      FScale(Scale),
      FWindowThread(std::this_thread::get_id()),
      FOpenUrl([](const char* Url) { OpenWebPage(Url); }) {
  Build();
  FProcessor.AttachEditor(*this);
}

TWndGUI::~TWndGUI() {
  // First: a host thread may be telling this window about a parameter.
  // The bindings go next (members before the base's window) and end any
  // gesture a drag left open.
  FProcessor.DetachEditor(*this);
}

std::unique_ptr<TVSTEditor> TWndGUI::Create(TCustomVSTModule& Owner, IDriveProcessor& Processor) {
  // The screen of the host's window the editor opens in.
  const auto parent = reinterpret_cast<std::uintptr_t>(Owner.EditorParent());
  const TEditorScale scale = DetectEditorScale([parent] { return NativeDesktopResourcesOf(parent); });
  return std::make_unique<TWndGUI>(Owner, Processor, nullptr, scale);
}

void TWndGUI::PreferredSize(std::int32_t& Width, std::int32_t& Height) {
  const TEditorScale scale = DetectEditorScale(&NativeDesktopResources);
  Width = Scaled(kEditorWidth, scale);
  Height = Scaled(kEditorHeight, scale);
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

void TWndGUI::CreateComponent(const TEditorControlSpec& Spec) {
  switch (Spec.Kind) {
    case TEditorControlKind::eckPicture:
      return CreatePicture(Spec);
    case TEditorControlKind::eckLabel:
      return CreateLabel(Spec);
    case TEditorControlKind::eckSwitch:
      return CreateSwitch(Spec);
    case TEditorControlKind::eckDial:
      return CreateDial(Spec);
    case TEditorControlKind::eckDisplay:
      return CreateDisplay(Spec);
    case TEditorControlKind::eckTimer:
      return CreateTimer(Spec);
    case TEditorControlKind::eckStripList:
      FStrips->SetName(Spec.Name);
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

void TWndGUI::CreatePicture(const TEditorControlSpec& Spec) {
  auto& picture = Window().Create<TGuiPicture>();
  Place(picture, Spec, FScale);
  LoadArtwork(picture, Spec.Art, FScale);
  picture.SetAutoSize(Spec.AutoSize);
  switch (Spec.Role) {
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

void TWndGUI::CreateLabel(const TEditorControlSpec& Spec) {
  auto& label = Window().Create<TGuiLabel>();
  Place(label, Spec, FScale);
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

void TWndGUI::CreateSwitch(const TEditorControlSpec& Spec) {
  auto& control = Window().Create<TGuiStitchedSwitch>();
  PlaceStitched(control, Spec, *FStrips, FScale);
  control.SetColor(Spec.Color);
  const TEditorBinding& row = *FindEditorBinding(Spec.Name);
  FSwitches[row.Parameter] = &control;
  Bind(row, control);
}

void TWndGUI::CreateDial(const TEditorControlSpec& Spec) {
  auto& dial = Window().Create<TGuiStitchedDial>();
  PlaceStitched(dial, Spec, *FStrips, FScale);
  const TEditorBinding& row = *FindEditorBinding(Spec.Name);
  const TDriveParameterRange& range = ParameterRange(row.Parameter);
  // The default first: it is clamped to the range the dial has so far.
  dial.SetDefaultValue(Spec.DefaultValue);
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

void TWndGUI::Bind(const TEditorBinding& Row, TGuiCustomStitchedControl& Control) {
  FBindings[Row.Parameter] = std::make_unique<TParameterBinding>(Row, Control, FProcessor);
}

void TWndGUI::CreateDisplay(const TEditorControlSpec& Spec) {
  auto& meter = Window().Create<TGuiStitchedDisplay>();
  PlaceStitched(meter, Spec, *FStrips, FScale);
  if (Spec.Role == TEditorRole::erInputMeter) {
    FInputMeter = &meter;
    meter.SetOnDblClick([this](TGuiComponent&) { VUInMeterDblClick(); });
  } else {
    FOutputMeter = &meter;
    meter.SetOnDblClick([this](TGuiComponent&) { VUOutMeterDblClick(); });
  }
}

void TWndGUI::CreateTimer(const TEditorControlSpec& Spec) {
  FMeterTimer = &Window().Create<TGuiTimer>();
  FMeterTimer->SetName(Spec.Name);
  FMeterTimer->SetInterval(kMeterIntervalMs);
  FMeterTimer->SetEnabled(true);
  FMeterTimer->SetOnTimer([this](TGuiComponent&) { TimerVUTimer(); });
}

TGuiComponent* TWndGUI::Component(std::string_view Name) const { return Window().FindComponent(std::string(Name)); }

// ---------------------------------------------------------------------------
// Parameters to controls

void TWndGUI::ParameterChanged(TDriveParameter Parameter) {
  if (OnWindowThread())
    FBindings[Parameter]->Show();
  else
    FPending.Mark(Parameter);
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

std::int32_t TWndGUI::MeterGlyph(float Level, std::int32_t GlyphCount) {
  // NaN stays NaN through the clamp and rounds to glyph 0.
  const double clamped = std::clamp(double(Level), kMeterFloorDb, 0.0);
  return RoundToInt32((clamped - kMeterFloorDb) * GlyphCount * kMeterSharePerDb);
}

void TWndGUI::ShowLevel(TGuiStitchedDisplay& Meter, float Level) {
  // The display clamps: 0 dB computes to the glyph count and shows the last.
  Meter.SetGlyphIndex(MeterGlyph(Level, Meter.GlyphCount()));
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
