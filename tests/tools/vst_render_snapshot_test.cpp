// Guards vst-render's editor snapshots: a clear one-line error and no file
// without a display, without an editor or with audio asked for as well;
// with a display, a PNG of the editor's size that shows the --param
// settings.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/editor_test_host.h"
#include "tools/tool_test_dir.h"

namespace vb {
namespace {

const std::string kRender = test::kRenderProgram;
#ifdef VB_PLUGIN_PATH
const std::string kPlugin = VB_PLUGIN_PATH;
#else
const std::string kPlugin;
#endif
// A bare module with the framework's defaults: no editor.
const std::string kBare = test::kTestPlugins + "testplugin_nodescription.so";

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t BigEndian32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 | std::uint32_t(bytes[at + 2]) << 8 |
         bytes[at + 3];
}

class VstRenderSnapshot : public test::TToolTest {
 protected:
  void SetUp() override {
    if (!test::Exists(kRender)) GTEST_SKIP() << "vst-render is not built";
    if (kPlugin.empty() || !test::Exists(kPlugin)) GTEST_SKIP() << "the plug-in is not built";
    TToolTest::SetUp();
  }
  test::TRun Snapshot(const std::string& plugin, const std::string& file, const std::string& more = "",
                      const std::string& env = "") const {
    return RunProgram(kRender, "-p '" + plugin + "' --editor-snapshot '" + Path(file) + "' " + more, env);
  }
};

TEST_F(VstRenderSnapshot, RefusesClearlyAndLeavesNoFile) {
  test::TRun r = Snapshot(kPlugin, "a.png", "", "DISPLAY=");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("X display"), std::string::npos) << r.Err;
  if (test::Exists(kBare)) {
    r = Snapshot(kBare, "a.png");
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Err.find("has no editor"), std::string::npos) << r.Err;
  }
  r = Snapshot(kPlugin, "a.png", "-o '" + Path("a.wav") + "'");
  EXPECT_EQ(r.Code, 2);
  EXPECT_NE(r.Err.find("leave out -o"), std::string::npos) << r.Err;
  EXPECT_TRUE(Leftovers().empty()) << Leftovers().front();
}

TEST_F(VstRenderSnapshot, WritesTheEditorWithItsSettingsAsAPng) {
  if (!test::EditorTestHost::DisplayAvailable()) GTEST_SKIP() << "no X display (set DISPLAY, e.g. run under Xvfb)";
  const test::TRun low = Snapshot(kPlugin, "low.png", "-q --param Drive=0");
  ASSERT_EQ(low.Code, 0) << low.Err;
  const test::TRun high = Snapshot(kPlugin, "high.png", "-q --param Drive=100");
  ASSERT_EQ(high.Code, 0) << high.Err;
  const std::vector<std::uint8_t> a = ReadBytes(Path("low.png")), b = ReadBytes(Path("high.png"));
  ASSERT_GT(a.size(), 24u);
  const std::vector<std::uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::equal(signature.begin(), signature.end(), a.begin()));
  EXPECT_EQ(BigEndian32(a, 16), 865u);  // the header's width and height
  EXPECT_EQ(BigEndian32(a, 20), 150u);
  EXPECT_NE(a, b) << "the Drive knob turned";
}

}  // namespace
}  // namespace vb
