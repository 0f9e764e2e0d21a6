// Guards vst-render's editor snapshots of the built plug-in: a clear
// one-line error and no file without a display, without an editor or with
// audio asked for as well; with a display, a PNG of the editor's size that
// shows the --param settings. Here rather than with the other vst-render
// tests because its window shares the test display with the X11 tests.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/editor_test_host.h"

namespace vb::test {
namespace {

const std::string kRender = VB_BINARY_DIR "/vst-render";
// A bare module with the framework's defaults: no editor.
const std::string kBare = VB_BINARY_DIR "/testplugins/testplugin_nodescription.so";

struct TRun {
  int Code = -1;
  std::string Err;
};

std::vector<std::uint8_t> ReadBytes(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t BigEndian32(const std::vector<std::uint8_t>& Bytes, std::size_t At) {
  return std::uint32_t(Bytes[At]) << 24 | std::uint32_t(Bytes[At + 1]) << 16 | std::uint32_t(Bytes[At + 2]) << 8 |
         Bytes[At + 3];
}

class TEditorSnapshotCli : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kRender)) GTEST_SKIP() << "vst-render is not built";
    char folder[] = "/tmp/vb_snapshot_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    FFolder = folder;
  }
  void TearDown() override {
    if (!FFolder.empty()) std::filesystem::remove_all(FFolder);
  }
  std::string Path(const std::string& Name) const { return FFolder + "/" + Name; }
  // vst-render -p Plugin --editor-snapshot Folder/File More, with Env in front.
  TRun Snapshot(const std::string& Plugin, const std::string& File, const std::string& More = "",
                const std::string& Env = "") const {
    const std::string err = Path(".stderr");
    const std::string command = Env + " '" + kRender + "' -p '" + Plugin + "' --editor-snapshot '" + Path(File) + "' " +
                                More + " >/dev/null 2>'" + err + "' </dev/null";
    const int status = std::system(command.c_str());
    TRun run;
    run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const std::vector<std::uint8_t> text = ReadBytes(err);
    run.Err.assign(text.begin(), text.end());
    std::filesystem::remove(err);
    return run;
  }
  // Files the runs left (leftovers of failed ones, snapshots of good ones).
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(FFolder))
      names.push_back(entry.path().filename().string());
    return names;
  }

 private:
  std::string FFolder;
};

TEST_F(TEditorSnapshotCli, RefusesClearlyAndLeavesNoFile) {
  TRun r = Snapshot(VB_PLUGIN_PATH, "a.png", "", "DISPLAY=");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("X display"), std::string::npos) << r.Err;
  if (std::filesystem::exists(kBare)) {
    r = Snapshot(kBare, "a.png");
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Err.find("has no editor"), std::string::npos) << r.Err;
  }
  r = Snapshot(VB_PLUGIN_PATH, "a.png", "-o '" + Path("a.wav") + "'");
  EXPECT_EQ(r.Code, 2);
  EXPECT_NE(r.Err.find("leave out -o"), std::string::npos) << r.Err;
  EXPECT_TRUE(Files().empty()) << Files().front();
}

TEST_F(TEditorSnapshotCli, WritesTheEditorWithItsSettingsAsAPng) {
  if (!TEditorTestHost::DisplayAvailable()) GTEST_SKIP() << "no X display (set DISPLAY, e.g. run under Xvfb)";
  const TRun low = Snapshot(VB_PLUGIN_PATH, "low.png", "-q --param Drive=0");
  ASSERT_EQ(low.Code, 0) << low.Err;
  const TRun high = Snapshot(VB_PLUGIN_PATH, "high.png", "-q --param Drive=100");
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
}  // namespace vb::test
