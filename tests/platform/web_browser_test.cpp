// Guards against opening a web page through a shell (addresses interpreted
// as commands), passing option-like addresses to the opener, waiting for
// the browser, and leaving a zombie process in the host.
#include "platform/web_browser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace vb {
namespace {

// A fake xdg-open first in PATH that records its arguments, one per line.
class TWebBrowser : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = std::filesystem::temp_directory_path() / ("vb-web-" + std::to_string(getpid()));
    std::filesystem::create_directories(FDir);
    const auto script = FDir / "xdg-open";
    std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" << Record().string()
                          << ".tmp\"\nmv \"" << Record().string() << ".tmp\" \"" << Record().string() << "\"\n";
    chmod(script.c_str(), 0755);
    const char* path = std::getenv("PATH");
    FSavedPath = path != nullptr ? path : "";
    setenv("PATH", (FDir.string() + ":" + FSavedPath).c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", FSavedPath.c_str(), 1);
    std::filesystem::remove_all(FDir);
  }
  std::filesystem::path Record() const { return FDir / "opened"; }
  std::string WaitForRecord() const {
    for (int i = 0; i < 400 && !std::filesystem::exists(Record()); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::ifstream in(Record());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::filesystem::path FDir;
  std::string FSavedPath;
};

TEST_F(TWebBrowser, TheAddressReachesTheOpenerAsOneUninterpretedArgument) {
  const std::string url = "https://example.org/a b?x=1&y=$(touch injected);z=`id`";
  ASSERT_TRUE(OpenWebPage(url));
  EXPECT_EQ(WaitForRecord(), url + "\n");
  EXPECT_FALSE(std::filesystem::exists("injected"));
  // Nothing of ours is left to reap: the helper was reaped, the opener
  // belongs to another session.
  int status = 0;
  EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1);
}

TEST_F(TWebBrowser, UnusableAddressesStartNothing) {
  EXPECT_FALSE(OpenWebPage(""));
  EXPECT_FALSE(OpenWebPage("--help"));
  EXPECT_FALSE(OpenWebPage("https://example.org/\nsecond line"));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(std::filesystem::exists(Record()));
}

}  // namespace
}  // namespace vb
