#include "editor/wnd_gui.h"

#include <algorithm>

#include "gui/gui_label.h"
#include "gui/gui_picture.h"
#include "gui/gui_rounding.h"
#include "gui/gui_stitched_dial.h"
#include "gui/gui_stitched_list.h"
#include "gui/gui_stitched_switch.h"
#include "gui/gui_timer.h"
#include "image/image_errors.h"
#include "platform/web_browser.h"
#include "processor/process_module.h"

namespace vb {

namespace {

constexpr const char* kUnit = "wnd_gui";

// The oversampling switch's glyphs and the factors they stand for.
constexpr std::array<std::uint8_t, 3> kOversamplingFactors = {1, 8, 16};

// Every knob: 400 pixels of drag for the whole travel, one wheel notch a
// 400th of it, linear, no wrap, the pointer left where it is.
constexpr float kDialScrollRange = 400;
constexpr float kDialWheelStep = 1;

// The meter strip covers the 25 dB below full scale.
constexpr double kMeterFloorDb = -25.0;
// The share of the strip per dB (1/25), taken as a Single as the meters
// always have.
constexpr double kMeterSharePerDb = double(0.04f);

// The level a double click leaves in a meter: far below its floor, so it
// shows empty until new audio arrives.
constexpr float kMeterResetLevel = -100.0f;

// Marks a parameter as being shown for the life of the scope.
class TShowingScope {
 public:
  TShowingScope(std::int32_t& showing, float& shownValue, TDriveParameter parameter, float value)
      : FShowing(showing), FOld(showing), FShownValue(shownValue), FOldValue(shownValue) {
    showing = parameter;
    shownValue = value;
  }
  ~TShowingScope() {
    FShowing = FOld;
    FShownValue = FOldValue;
  }
  TShowingScope(const TShowingScope&) = delete;
  TShowingScope& operator=(const TShowingScope&) = delete;

 private:
  std::int32_t& FShowing;
  std::int32_t FOld;
  float& FShownValue;
  float FOldValue;
};

TGuiStitchKind StitchKind(TStripDirection direction) {
  return direction == TStripDirection::sdHorizontal ? skHorizontal : skVertical;
}

void LoadArtwork(TGuiPicture& picture, TArtwork art) {
  const auto png = ArtworkPng(art);
  picture.LoadPng(png.data(), png.size());
}

void Place(TGuiControl& control, const TEditorControlSpec& spec) {
  control.SetName(spec.Name);
  control.SetBounds(spec.Left, spec.Top, spec.Width, spec.Height);
  control.SetVisible(spec.Visible);
  control.SetHint(spec.Hint);
  control.SetShowHint(spec.ShowHint);
}

void PlaceStitched(TGuiCustomStitchedControl& control, const TEditorControlSpec& spec, TGuiStitchedPNGList& strips) {
  Place(control, spec);
  control.SetTransparent(true);
  control.SetImageList(&strips);
  control.SetImageIndex(StripIndex(spec.Art));
  control.SetGlyphIndex(spec.GlyphIndex);
  control.SetDefaultGlyphIndex(spec.DefaultGlyphIndex);
}

}  // namespace

TWndGUI::TWndGUI(TCustomVSTModule& owner, std::unique_ptr<TPlatformWindow> platform)
    : TGuiEditorForm(owner, std::move(platform)),
      FProcessor(dynamic_cast<TProcessModule*>(&owner)),
      FWindowThread(std::this_thread::get_id()),
      FOpenUrl([](const char* url) { OpenWebPage(url); }) {
  Build();
  if (FProcessor != nullptr) FProcessor->EditorLink().Attach(this);
}

TWndGUI::~TWndGUI() {
  // First: a host thread may be telling this window about a parameter.
  if (FProcessor != nullptr) FProcessor->EditorLink().Detach(this);
}

std::unique_ptr<TVSTEditor> TWndGUI::Create(TCustomVSTModule& owner) { return std::make_unique<TWndGUI>(owner); }

TProcessModule& TWndGUI::Processor() const {
  Assert(FProcessor != nullptr, kUnit, "The editor's owner is not the drive processor");
  return *FProcessor;
}

// ---------------------------------------------------------------------------
// Building

void TWndGUI::Build() {
  TGuiWindow& window = Window();
  window.SetCaption(kEditorCaption);
  window.SetColor(kEditorColor);
  window.SetClientSize(kEditorWidth, kEditorHeight);
  window.SetOnShow([this] { FormShow(); });
  window.BeginLoading();
  // The strips first: the controls link to the list while the layout is
  // applied. Being invisible, its place among the components changes
  // nothing on screen.
  CreateStripList();
  for (const TEditorControlSpec& spec : kEditorLayout) CreateComponent(spec);
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
    const auto png = ArtworkPng(info.Id);
    FStrips->AddPng(png.data(), png.size(), info.DisplayName, info.GlyphCount, StitchKind(info.Direction));
  }
}

void TWndGUI::CreatePicture(const TEditorControlSpec& spec) {
  auto& picture = Window().Create<TGuiPicture>();
  Place(picture, spec);
  LoadArtwork(picture, spec.Art);
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
  Place(label, spec);
  TFont font;
  font.Name = kVendorLabelFace;
  font.Height = kVendorLabelCellHeight;
  font.Bold = true;
  font.Color = kVendorLabelColor;
  label.SetFont(font);
  label.SetFontOversampling(fo16x);
  label.SetAlignment(taRightJustify);
  label.SetTransparent(true);
  label.SetCaption(kVendorLabelCaption);
  label.SetOnClick([this](TGuiComponent&) { LblByVordaClick(); });
  FVendorLabel = &label;
}

void TWndGUI::CreateSwitch(const TEditorControlSpec& spec) {
  auto& control = Window().Create<TGuiStitchedSwitch>();
  PlaceStitched(control, spec, *FStrips);
  control.SetColor(spec.Color);
  const auto parameter = TDriveParameter(spec.Parameter);
  FSwitches[parameter] = &control;
  if (parameter == kParamOversampling)
    control.SetOnChange([this](TGuiComponent&) { SwitchOversamplingChange(); });
  else
    control.SetOnChange([this, parameter](TGuiComponent&) { SwitchChange(parameter); });
}

void TWndGUI::CreateDial(const TEditorControlSpec& spec) {
  auto& dial = Window().Create<TGuiStitchedDial>();
  PlaceStitched(dial, spec, *FStrips);
  // The default first: it is clamped to the range the dial has so far.
  dial.SetDefaultValue(spec.DefaultValue);
  dial.SetMax(spec.Max);
  dial.SetMin(spec.Min);
  dial.SetValue(spec.Value);
  dial.SetScrollRange(kDialScrollRange);
  dial.SetWheelStep(kDialWheelStep);
  dial.SetCurveMapping(0);
  dial.SetWrap(false);
  dial.SetLockCursor(false);
  const auto parameter = TDriveParameter(spec.Parameter);
  FDials[parameter] = &dial;
  dial.SetOnChange([this, parameter](TGuiComponent&) { DialChange(parameter); });
}

void TWndGUI::CreateDisplay(const TEditorControlSpec& spec) {
  auto& meter = Window().Create<TGuiStitchedDisplay>();
  PlaceStitched(meter, spec, *FStrips);
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

void TWndGUI::Update(TDriveParameter parameter) {
  if (OnWindowThread())
    ShowParameter(parameter);
  else
    FPending.Mark(parameter);
}

void TWndGUI::ApplyPendingUpdates() {
  const std::uint32_t pending = FPending.Take();
  for (std::int32_t p = 0; p < kParamCount; ++p) {
    if ((pending & TPendingParameters::Bit(TDriveParameter(p))) != 0) ShowParameter(TDriveParameter(p));
  }
}

void TWndGUI::FormShow() {
  for (std::int32_t p = 0; p < kParamCount; ++p) ShowParameter(TDriveParameter(p));
}

void TWndGUI::ShowParameter(TDriveParameter parameter) {
  if (FDials[parameter] != nullptr) return ShowDial(parameter);
  if (parameter == kParamPower) return ShowPower();
  if (parameter == kParamOversampling) return ShowOversampling();
  if (FSwitches[parameter] != nullptr) return ShowSwitch(parameter);
}

void TWndGUI::ShowDial(TDriveParameter parameter) {
  TGuiStitchedDial& dial = *FDials[parameter];
  const float value = Processor().GetParameter(parameter);
  if (value == dial.Value()) return;
  // The dial clamps and fires OnChange (twice when its glyph moves too);
  // the handler finds the value it was shown and stops.
  TShowingScope showing(FShowing, FShownValue, parameter, value);
  dial.SetValue(value);
}

void TWndGUI::ShowSwitch(TDriveParameter parameter) {
  TGuiStitchedSwitch& control = *FSwitches[parameter];
  const float value = Processor().GetParameter(parameter);
  const std::int32_t glyph = RoundToInt32(value);
  if (glyph == control.GlyphIndex()) return;
  TShowingScope showing(FShowing, FShownValue, parameter, value);
  control.SetGlyphIndex(glyph);
}

void TWndGUI::ShowPower() {
  ShowSwitch(kParamPower);
  const bool on = Processor().GetParameter(kParamPower) == 1.0f;
  FLampOff->SetVisible(!on);
  FLampOn->SetVisible(on);
}

void TWndGUI::ShowOversampling() {
  const int factor = Processor().OSFactor();
  const std::int32_t glyph = factor == 8 ? 1 : factor == 16 ? 2 : 0;
  TGuiStitchedSwitch& control = *FSwitches[kParamOversampling];
  if (glyph == control.GlyphIndex()) return;
  TShowingScope showing(FShowing, FShownValue, kParamOversampling, float(factor));
  control.SetGlyphIndex(glyph);
}

// ---------------------------------------------------------------------------
// Controls to parameters

void TWndGUI::DialChange(TDriveParameter parameter) {
  TProcessModule& processor = Processor();
  const float value = FDials[parameter]->Value();
  // Showing a value: the parameter held it a moment ago and may hold a
  // newer one from another thread by now, which must stay. (A value the
  // dial clamped is still written.)
  if (FShowing == parameter && value == FShownValue) return;
  if (processor.GetParameter(parameter) != value) processor.SetParameter(parameter, value);
}

void TWndGUI::SwitchChange(TDriveParameter parameter) {
  EchoSwitch(parameter, FSwitches[parameter]->GlyphIndex() == 1 ? 1.0f : 0.0f);
}

void TWndGUI::SwitchOversamplingChange() {
  const std::int32_t glyph = FSwitches[kParamOversampling]->GlyphIndex();
  if (glyph < 0 || glyph >= std::int32_t(kOversamplingFactors.size())) return;
  EchoSwitch(kParamOversampling, kOversamplingFactors[std::size_t(glyph)]);
}

void TWndGUI::EchoSwitch(TDriveParameter parameter, float value) {
  TProcessModule& processor = Processor();
  // Showing the value the parameter held: storing it again would change
  // nothing but could overwrite a newer value another thread stored since,
  // so the host only hears of it, as it would from SetParameter.
  if (FShowing == parameter && value == FShownValue)
    processor.AutomateParameter(parameter, value);
  else
    processor.SetParameter(parameter, value);
}

// ---------------------------------------------------------------------------
// Meters, panel and label

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
  if (FProcessor == nullptr) return;
  ShowLevel(*FInputMeter, FProcessor->InputPeakLevel());
  ShowLevel(*FOutputMeter, FProcessor->OutputPeakLevel());
}

void TWndGUI::VUInMeterDblClick() {
  if (FProcessor != nullptr) FProcessor->SetInputPeakLevel(kMeterResetLevel);
}

void TWndGUI::VUOutMeterDblClick() {
  if (FProcessor != nullptr) FProcessor->SetOutputPeakLevel(kMeterResetLevel);
}

void TWndGUI::ImgFrontClick() {
  TProcessModule& processor = Processor();
  if ((Window().KeyboardState() & ssCtrl) != 0) processor.SetParamsToDefault();
}

void TWndGUI::LblByVordaClick() { OpenURL(); }

void TWndGUI::OpenURL() {
  if (FOpenUrl) FOpenUrl(kVendorUrl);
}

}  // namespace vb
