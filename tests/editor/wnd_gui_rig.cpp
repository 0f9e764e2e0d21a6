#include "wnd_gui_rig.h"

#include <stdexcept>

#include "editor/editor_layout.h"

namespace vb::test {

namespace {

// The headless window of the editor built last (editor classes are plain
// functions, so the rig learns its window this way). Test thread only.
THeadlessWindow* GLastScreen = nullptr;
// The scale of the rig whose editor opens next.
TEditorScale GNextScale = TEditorScale::esOne;

std::unique_ptr<TVSTEditor> CreateHeadlessEditor(TCustomVSTModule& Owner, IDriveProcessor& Processor) {
  auto platform = std::make_unique<THeadlessWindow>();
  GLastScreen = platform.get();
  return std::make_unique<TWndGUI>(Owner, Processor, std::move(platform), GNextScale);
}

// Any non-zero value stands for the host's window.
void* const kParentWindow = reinterpret_cast<void*>(std::uintptr_t(0x5EED));

constexpr std::uint64_t kApartMs = 1000;  // longer than a double click

}  // namespace

TWndGuiRig::TWndGuiRig(TEditorScale Scale) : FModule(CreateVSTModule<TProcessModule>(nullptr)), FScale(Scale) {
  FModule->SetEditorClass({&CreateHeadlessEditor, Scaled(kEditorWidth, Scale), Scaled(kEditorHeight, Scale)});
  FHost.Adopt(FModule->Effect());
  FModule->SetAudioMaster(&TTestHost::AudioMasterCallback);
  FHost.Dispatch(effOpen);
  FHost.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  FHost.Dispatch(effSetBlockSize, 0, 512);
  FHost.Dispatch(effMainsChanged, 0, 1);
  FHost.ClearCalls();
}

TWndGuiRig::~TWndGuiRig() { Close(); }

void TWndGuiRig::Open() {
  GNextScale = FScale;
  if (FHost.Dispatch(effEditOpen, 0, 0, kParentWindow) != 1) throw std::runtime_error("effEditOpen failed");
  FScreen = GLastScreen;
}

void TWndGuiRig::SizeFromScaleSettings() {
  FModule->SetEditorClass({&CreateHeadlessEditor, 0, 0, &TWndGUI::PreferredSize});
}

void TWndGuiRig::Close() {
  if (FModule && FModule->EditorForm()) FHost.Dispatch(effEditClose);
}

void TWndGuiRig::Idle() { FHost.Dispatch(effEditIdle); }

void TWndGuiRig::Tick() {
  Screen().AdvanceClock(kMeterIntervalMs);
  Idle();
}

TWndGUI& TWndGuiRig::Editor() const {
  auto* editor = dynamic_cast<TWndGUI*>(FModule->EditorForm());
  if (editor == nullptr) throw std::runtime_error("no editor open");
  return *editor;
}

THeadlessWindow& TWndGuiRig::Screen() const {
  Editor();
  return *FScreen;
}

TPoint TWndGuiRig::CentreOf(std::string_view Name) {
  const TEditorControlSpec* spec = FindEditorControl(Name);
  if (spec == nullptr) throw std::runtime_error("no such control");
  return TPoint{spec->Left + spec->Width / 2, spec->Top + spec->Height / 2};
}

TPoint TWndGuiRig::Device(TPoint Logical) const { return TPoint{Scaled(Logical.X, FScale), Scaled(Logical.Y, FScale)}; }

void TWndGuiRig::ClickAt(std::string_view Name, TShiftState Keys, TMouseButton Button) {
  ClickAt(CentreOf(Name), Keys, Button);
}

void TWndGuiRig::ClickAt(TPoint Point, TShiftState Keys, TMouseButton Button) {
  ClickAtDevice(Device(Point), Keys, Button);
}

void TWndGuiRig::ClickAtDevice(TPoint Point, TShiftState Keys, TMouseButton Button) {
  THeadlessWindow& screen = Screen();
  screen.AdvanceClock(kApartMs);
  screen.SetKeys(Keys);
  screen.MoveTo(Point);
  screen.Click(Point, Button);
  Idle();
  screen.SetKeys(0);
}

void TWndGuiRig::DoubleClickAt(std::string_view Name) {
  THeadlessWindow& screen = Screen();
  const TPoint at = Device(CentreOf(Name));
  screen.AdvanceClock(kApartMs);
  screen.MoveTo(at);
  screen.Click(at);
  screen.Click(at);
  Idle();
}

void TWndGuiRig::DragUp(std::string_view Name, std::int32_t Pixels) {
  PressAndDragUp(Name, Pixels);
  const TPoint centre = CentreOf(Name);
  Screen().Release(Device(TPoint{centre.X, centre.Y - Pixels}));
  Idle();
}

void TWndGuiRig::PressAndDragUp(std::string_view Name, std::int32_t Pixels) {
  THeadlessWindow& screen = Screen();
  const TPoint centre = CentreOf(Name);
  screen.AdvanceClock(kApartMs);
  screen.MoveTo(Device(centre));
  screen.Press(Device(centre));
  screen.MoveTo(Device(TPoint{centre.X, centre.Y - Pixels}));
  Idle();
}

void TWndGuiRig::WheelNotchAt(std::string_view Name) {
  THeadlessWindow& screen = Screen();
  screen.Wheel(Device(CentreOf(Name)), kWheelDeltaPerNotch);
  Idle();
}

std::vector<std::string> TWndGuiRig::Edits() const {
  std::vector<std::string> edits;
  for (const THostCall& call : FHost.Calls()) {
    if (call.Opcode != amBeginEdit && call.Opcode != amEndEdit && call.Opcode != amAutomate) continue;
    const std::string& name = FModule->ParameterProperties()[call.Index].DisplayName();
    edits.push_back(call.Opcode == amBeginEdit ? "+" + name : call.Opcode == amEndEdit ? "-" + name : name);
  }
  return edits;
}

std::vector<float> TWndGuiRig::Automations(std::int32_t Parameter) const {
  std::vector<float> values;
  for (const THostCall& call : FHost.Calls())
    if (call.Opcode == amAutomate && call.Index == Parameter) values.push_back(call.Opt);
  return values;
}

std::size_t TWndGuiRig::AutomationCount() const { return FHost.CountCalls(amAutomate); }

}  // namespace vb::test
