#include "wnd_gui_rig.h"

#include <stdexcept>

#include "editor/editor_layout.h"

namespace vb::test {

namespace {

// The headless window of the editor built last (editor classes are plain
// functions, so the rig learns its window this way). Test thread only.
THeadlessWindow* GLastScreen = nullptr;

std::unique_ptr<TVSTEditor> CreateHeadlessEditor(TCustomVSTModule& owner) {
  auto platform = std::make_unique<THeadlessWindow>();
  GLastScreen = platform.get();
  return std::make_unique<TWndGUI>(owner, std::move(platform));
}

// Any non-zero value stands for the host's window.
void* const kParentWindow = reinterpret_cast<void*>(std::uintptr_t(0x5EED));

constexpr std::uint64_t kApartMs = 1000;  // longer than a double click

}  // namespace

TWndGuiRig::TWndGuiRig() : FModule(CreateVSTModule<TProcessModule>(nullptr)) {
  FModule->SetEditorFormClass({&CreateHeadlessEditor, kEditorWidth, kEditorHeight});
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
  if (FHost.Dispatch(effEditOpen, 0, 0, kParentWindow) != 1) throw std::runtime_error("effEditOpen failed");
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
  return *GLastScreen;
}

TPoint TWndGuiRig::CentreOf(std::string_view name) {
  const TEditorControlSpec* spec = FindEditorControl(name);
  if (spec == nullptr) throw std::runtime_error("no such control");
  return TPoint{spec->Left + spec->Width / 2, spec->Top + spec->Height / 2};
}

void TWndGuiRig::ClickAt(std::string_view name, TShiftState keys, TMouseButton button) {
  ClickAt(CentreOf(name), keys, button);
}

void TWndGuiRig::ClickAt(TPoint point, TShiftState keys, TMouseButton button) {
  THeadlessWindow& screen = Screen();
  screen.AdvanceClock(kApartMs);
  screen.SetKeys(keys);
  screen.MoveTo(point);
  screen.Click(point, button);
  Idle();
  screen.SetKeys(0);
}

void TWndGuiRig::DoubleClickAt(std::string_view name) {
  THeadlessWindow& screen = Screen();
  screen.AdvanceClock(kApartMs);
  screen.MoveTo(CentreOf(name));
  screen.Click(CentreOf(name));
  screen.Click(CentreOf(name));
  Idle();
}

void TWndGuiRig::DragUp(std::string_view name, std::int32_t pixels) {
  THeadlessWindow& screen = Screen();
  const TPoint centre = CentreOf(name);
  screen.AdvanceClock(kApartMs);
  screen.MoveTo(centre);
  screen.Press(centre);
  screen.MoveTo(TPoint{centre.X, centre.Y - pixels});
  screen.Release(TPoint{centre.X, centre.Y - pixels});
  Idle();
}

std::vector<float> TWndGuiRig::Automations(std::int32_t parameter) const {
  std::vector<float> values;
  for (const THostCall& call : FHost.Calls())
    if (call.Opcode == amAutomate && call.Index == parameter) values.push_back(call.Opt);
  return values;
}

std::size_t TWndGuiRig::AutomationCount() const { return FHost.CountCalls(amAutomate); }

}  // namespace vb::test
