// Guards against misreading the desktop's X resources, where the editor
// finds the screen's density: a resource string cut short, text left over
// when the desktop has none, and a headless editor that finds a desktop.
// Runs under the X server named by $DISPLAY and skips without one.
#include "platform/desktop_resources.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/x11/x11_connection.h"
#include "support/editor_test_host.h"

namespace vb::test {
namespace {

TEST(DesktopResources, TheRootWindowsResourceStringIsReadWhole) {
  EXPECT_EQ(HeadlessDesktopResources(), "");
  if (!TEditorTestHost::DisplayAvailable()) GTEST_SKIP() << "no X display (set DISPLAY, e.g. run under Xvfb)";
  // Far longer than one small reply carries.
  std::string text = "Xft.antialias:\t1\nXft.dpi:\t192\n";
  for (int i = 0; i < 2000; ++i) text += "app.item" + std::to_string(i) + ":\tvalue\n";
  const TX11Connection server;
  const xcb_window_t root = server.DefaultScreen()->root;
  xcb_change_property(server.Get(), XCB_PROP_MODE_REPLACE, root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 8,
                      std::uint32_t(text.size()), text.data());
  ASSERT_TRUE(server.Sync());
  EXPECT_EQ(NativeDesktopResources(), text);
  xcb_delete_property(server.Get(), root, XCB_ATOM_RESOURCE_MANAGER);
  ASSERT_TRUE(server.Sync());
  EXPECT_EQ(NativeDesktopResources(), "");
}

}  // namespace
}  // namespace vb::test
