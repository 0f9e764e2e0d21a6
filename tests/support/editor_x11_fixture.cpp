#include "support/editor_x11_fixture.h"

namespace vb::test {

void EditorX11Fixture::StartHost(const char* pluginPath) {
  if (!TEditorTestHost::DisplayAvailable()) GTEST_SKIP() << "no X display (set DISPLAY, e.g. run under Xvfb)";
  Plugin = std::make_unique<TTestHost>(pluginPath);
  ASSERT_NE(Plugin->StartUp(), nullptr);
  Editor = std::make_unique<TEditorTestHost>(*Plugin);
  ASSERT_TRUE(Editor->CreateWindow());
}

void EditorX11Fixture::TearDown() {
  Editor.reset();
  Plugin.reset();
}

xcb_window_t EditorX11Fixture::Child() const {
  const auto children = Probe.Children(Editor->WindowId());
  return children.size() == 1 ? children[0] : 0;
}

std::vector<float> EditorX11Fixture::AutomationsOf(std::int32_t index) const {
  std::vector<float> values;
  for (const THostCall& call : Plugin->Calls())
    if (call.Opcode == amAutomate && call.Index == index) values.push_back(call.Opt);
  return values;
}

void EditorX11Fixture::Click(TPoint at) {
  Probe.MovePointer(Child(), at.X, at.Y);
  Editor->RunFor(30, 10);
  Probe.Button(1, true);
  Probe.Button(1, false);
  Editor->RunFor(60, 10);
}

void EditorX11Fixture::Drag(TPoint from, std::int32_t dx, std::int32_t dy) {
  const xcb_window_t child = Child();
  Probe.MovePointer(child, from.X, from.Y);
  Editor->RunFor(40, 10);
  Probe.Button(1, true);
  Editor->RunFor(40, 10);
  for (int step = 1; step <= 4; ++step) {
    Probe.MovePointer(child, from.X + dx * step / 4, from.Y + dy * step / 4);
    Editor->RunFor(30, 10);
  }
  Probe.Button(1, false);
  Editor->RunFor(60, 10);
}

}  // namespace vb::test
