// Guards vst-render --editor-snapshot against X servers of its own: a settled picture of the editor on a screen
// that holds it (also of an editor that draws late), opaque, a clear refusal on one that does not.
#include <gtest/gtest.h>

#include "tools/tool_test_dir.h"

namespace vb {
namespace {

using test::TRun;

#ifdef VB_PLUGIN_PATH
const std::string kPlugin = VB_PLUGIN_PATH;
#else
const std::string kPlugin;
#endif

class TVstRenderSnapshot : public test::TToolTest {
 protected:
  void SetUp() override {
    if (std::system("command -v Xvfb >/dev/null") != 0) GTEST_SKIP() << "Xvfb is not installed";
    if (kPlugin.empty() || !test::Exists(kPlugin) || !test::Exists(test::kRenderProgram))
      GTEST_SKIP() << "the plug-in or vst-render is not built";
    TToolTest::SetUp();
  }
  // Takes a snapshot on a private X server whose screen is `screen`
  // ("WxH"); the server ends with the shell.
  TRun Snapshot(const std::string& Screen, const std::string& Picture, const std::string& Plugin = kPlugin,
                const std::string& Env = "") {
    const std::string server =
        "n=$(mktemp); Xvfb -displayfd 3 -nolisten tcp -screen 0 " + Screen + "x24 3>$n >/dev/null 2>&1 & x=$!; " +
        "for i in $(seq 100); do [ -s $n ] && break; sleep 0.1; done; export DISPLAY=:$(head -n 1 $n); rm $n; " +
        "trap 'kill $x' EXIT; " + Env;
    return RunProgram(test::kRenderProgram, "-p '" + Plugin + "' --editor-snapshot '" + Path(Picture) + "'", server);
  }
};

TEST_F(TVstRenderSnapshot, TheEditorIsSavedOnAScreenThatHoldsItAndRefusedClearlyOnOneThatDoesNot) {
  TRun r = Snapshot("1280x1024", "editor.png");
  ASSERT_EQ(r.Code, 0) << r.Err;
  // The picture is as large as the editor said it was.
  const size_t open = r.Err.find("saved the editor ("), close = r.Err.find(" pixels)");
  ASSERT_TRUE(open != std::string::npos && close != std::string::npos) << r.Err;
  const std::string size = r.Err.substr(open + 18, close - open - 18);
  TRun info = RunProgram(test::kPngToolProgram, "info '" + Path("editor.png") + "'");
  ASSERT_EQ(info.Code, 0) << info.Err;
  EXPECT_NE(info.Out.find("size " + size + ","), std::string::npos) << size << "\n" << info.Out;

  r = Snapshot("400x300", "small.png");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("an editor larger than the screen cannot be read"), std::string::npos) << r.Err;
  EXPECT_FALSE(test::Exists(Path("small.png")));
}

// The control panel test plug-in can leave its window blank for a while
// after it opens; the picture is taken once it has drawn.
TEST_F(TVstRenderSnapshot, AnEditorThatDrawsLateIsNotTakenBlank) {
  const std::string panel = test::kTestPlugins + "testplugin_controlpanel.so";
  if (!test::Exists(panel)) GTEST_SKIP() << "the control panel test plug-in is not built";
  TRun r = Snapshot("1280x1024", "late.png", panel, "VB_CONTROLPANEL_DRAW_AFTER_MS=800");
  ASSERT_EQ(r.Code, 0) << r.Err;
  ASSERT_EQ(RunProgram(test::kPngToolProgram, "decode '" + Path("late.png") + "' '" + Path("late.pam") + "'").Code, 0);
  const std::string pam = test::ReadText(Path("late.pam"));
  const std::string pixels = pam.substr(pam.find("ENDHDR\n") + 7);
  size_t differing = 0;
  for (size_t i = 4; i < pixels.size(); i += 4) differing += pixels.compare(i, 4, pixels, 0, 4) != 0;
  EXPECT_GT(differing, pixels.size() / 4 / 10) << "the picture is nearly one colour";
  for (size_t i = 3; i < pixels.size(); i += 4) ASSERT_EQ(pixels[i], '\xff') << "a see-through pixel";
}

// A half-drawn frame is no picture of the editor: one that never settles
// is refused with the reason.
TEST_F(TVstRenderSnapshot, AnEditorThatNeverSettlesIsRefusedNotSavedHalfDrawn) {
  const std::string panel = test::kTestPlugins + "testplugin_controlpanel.so";
  if (!test::Exists(panel)) GTEST_SKIP() << "the control panel test plug-in is not built";
  TRun r = Snapshot("1280x1024", "flicker.png", panel, "VB_CONTROLPANEL_SLIDE_MS=10");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("did not settle"), std::string::npos) << r.Err;
  EXPECT_FALSE(test::Exists(Path("flicker.png")));
}

}  // namespace
}  // namespace vb
