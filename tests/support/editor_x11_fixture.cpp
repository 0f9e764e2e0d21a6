#include "support/editor_x11_fixture.h"

namespace vb::test {

void TEditorX11Fixture::StartHost(const char* PluginPath) {
  if (!TEditorTestHost::DisplayAvailable()) GTEST_SKIP() << "no X display (set DISPLAY, e.g. run under Xvfb)";
  FPlugin = std::make_unique<TTestHost>(PluginPath);
  ASSERT_NE(FPlugin->StartUp(), nullptr);
  FEditor = std::make_unique<TEditorTestHost>(*FPlugin);
  ASSERT_TRUE(FEditor->CreateWindow());
}

void TEditorX11Fixture::TearDown() {
  FEditor.reset();
  FPlugin.reset();
}

xcb_window_t TEditorX11Fixture::Child() const {
  const auto children = FProbe.Children(FEditor->WindowId());
  return children.size() == 1 ? children[0] : 0;
}

std::vector<float> TEditorX11Fixture::AutomationsOf(std::int32_t Index) const {
  std::vector<float> values;
  for (const THostCall& call : FPlugin->Calls())
    if (call.Opcode == amAutomate && call.Index == Index) values.push_back(call.Opt);
  return values;
}

void TEditorX11Fixture::Click(TPoint At) {
  FProbe.MovePointer(Child(), At.X, At.Y);
  FEditor->RunFor(30, 10);
  FProbe.Button(1, true);
  FProbe.Button(1, false);
  FEditor->RunFor(60, 10);
}

void TEditorX11Fixture::Drag(TPoint From, std::int32_t Dx, std::int32_t Dy) {
  const xcb_window_t child = Child();
  FProbe.MovePointer(child, From.X, From.Y);
  FEditor->RunFor(40, 10);
  FProbe.Button(1, true);
  FEditor->RunFor(40, 10);
  for (int step = 1; step <= 4; ++step) {
    FProbe.MovePointer(child, From.X + Dx * step / 4, From.Y + Dy * step / 4);
    FEditor->RunFor(30, 10);
  }
  FProbe.Button(1, false);
  FEditor->RunFor(60, 10);
}

}  // namespace vb::test
