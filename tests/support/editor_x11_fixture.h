#pragma once
// The fixture of the editor tests that run under a real (virtual) X server:
// a plug-in loaded by the test host, an editor host window, an XTEST probe,
// and the gestures a user makes (a click, a drag), each followed by host
// idles so that the editor sees the events as it would in a host.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rect.h"
#include "support/editor_test_host.h"
#include "support/test_host.h"
#include "support/x11_probe.h"

namespace vb::test {

class TEditorX11Fixture : public ::testing::Test {
 protected:
  // Loads PluginPath and creates the host's window; skips without display.
  // Call from SetUp; check HasFatalFailure/IsSkipped afterwards.
  void StartHost(const char* PluginPath);
  void TearDown() override;

  // The editor's window: the only child of the host's window (0 otherwise).
  xcb_window_t Child() const;
  // The values the host received as amAutomate for Index, in order.
  std::vector<float> AutomationsOf(std::int32_t Index) const;
  // A left click at At (editor coordinates).
  void Click(TPoint At);
  // Presses the left button at From, drags by (Dx, Dy) in four steps and
  // releases it.
  void Drag(TPoint From, std::int32_t Dx, std::int32_t Dy);

  TX11Probe FProbe;
  std::unique_ptr<TTestHost> FPlugin;
  std::unique_ptr<TEditorTestHost> FEditor;
};

}  // namespace vb::test
