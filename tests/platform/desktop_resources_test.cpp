// Guards against misreading the desktop's X resources, where the editor
// finds the screen's density: a resource string cut short or read from the
// wrong property, text left over when the desktop has none, and a headless
// editor that asks for a display. Runs under the X server named by $DISPLAY
// and skips without one.
#include "platform/desktop_resources.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/x11/x11_connection.h"
#include "support/editor_test_host.h"

namespace vb::test {
namespace {

// Sets the root window's RESOURCE_MANAGER for one test and puts the old
// value back.
class TScopedResources {
 public:
  explicit TScopedResources(const std::string& text) {
    FRoot = FConnection.DefaultScreen()->root;
    const TX11Reply<xcb_get_property_reply_t> old(xcb_get_property_reply(
        FConnection.Get(),
        xcb_get_property(FConnection.Get(), 0, FRoot, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 20),
        nullptr));
    if (old && old->type == XCB_ATOM_STRING) {
      FHadOld = true;
      FOld.assign(static_cast<const char*>(xcb_get_property_value(old.get())),
                  std::size_t(xcb_get_property_value_length(old.get())));
    }
    Set(text);
  }
  ~TScopedResources() {
    if (FHadOld)
      Set(FOld);
    else
      Delete();
  }
  void Set(const std::string& text) {
    xcb_change_property(FConnection.Get(), XCB_PROP_MODE_REPLACE, FRoot, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 8,
                        std::uint32_t(text.size()), text.data());
    FConnection.Sync();
  }
  void Delete() {
    xcb_delete_property(FConnection.Get(), FRoot, XCB_ATOM_RESOURCE_MANAGER);
    FConnection.Sync();
  }

 private:
  TX11Connection FConnection;
  xcb_window_t FRoot = 0;
  bool FHadOld = false;
  std::string FOld;
};

TEST(DesktopResources, TheRootWindowsResourceStringIsReadWhole) {
  EXPECT_EQ(HeadlessDesktopResources(), "");
  if (!EditorTestHost::DisplayAvailable()) GTEST_SKIP() << "no X display (set DISPLAY, e.g. run under Xvfb)";
  // Longer than one reply of a small request would carry.
  std::string text = "Xft.antialias:\t1\nXft.dpi:\t192\n";
  for (int i = 0; i < 2000; ++i) text += "app.item" + std::to_string(i) + ":\tvalue\n";
  TScopedResources resources(text);
  EXPECT_EQ(NativeDesktopResources(), text);
  resources.Delete();
  EXPECT_EQ(NativeDesktopResources(), "");
}

}  // namespace
}  // namespace vb::test
