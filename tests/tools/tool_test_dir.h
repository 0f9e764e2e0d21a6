#pragma once
// Shared by the tools' tests: a fresh folder per test, running a built
// program in a shell with its output captured, and audio files in and out.

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio_file.h"

namespace vb::test {

const std::string kRenderProgram = VB_BINARY_DIR "/vst-render";
const std::string kPngToolProgram = VB_BINARY_DIR "/png-tool";
const std::string kTestPlugins = VB_BINARY_DIR "/testplugins/";

struct TRun {
  int Code = -1;
  std::string Out;
  std::string Err;
};

inline std::string ReadText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

inline bool Exists(const std::string& p) {
  struct stat st {};
  return ::lstat(p.c_str(), &st) == 0;
}

class TToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = ::testing::TempDir() + "vb_tool_XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    Dir = tmpl;
  }
  void TearDown() override {
    std::error_code ignored;
    if (!Dir.empty()) std::filesystem::remove_all(Dir, ignored);
  }

  std::string Path(const std::string& name) const { return Dir + "/" + name; }

  // Runs `program args` in a shell with stdin from /dev/null, or from the
  // redirection `input` ("" keeps a pipe that `env` opens, as in
  // "cat x |"); `env` (NAME=value ...) goes in front of the command.
  TRun RunProgram(const std::string& program, const std::string& args, const std::string& env = "",
                  const std::string& input = "</dev/null") const {
    const std::string out = Path(".stdout"), err = Path(".stderr");
    const std::string cmd = env + " '" + program + "' " + args + " >'" + out + "' 2>'" + err + "' " + input;
    const int status = std::system(cmd.c_str());
    TRun r;
    r.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.Out = ReadText(out);
    r.Err = ReadText(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return r;
  }

  // Names in a folder below the test folder (hidden ones included).
  std::vector<std::string> List(const std::string& folder = "") const {
    std::vector<std::string> names;
    DIR* d = ::opendir(folder.empty() ? Dir.c_str() : Path(folder).c_str());
    if (!d) return names;
    while (const dirent* e = ::readdir(d))
      if (std::string n = e->d_name; n != "." && n != "..") names.push_back(n);
    ::closedir(d);
    return names;
  }
  // Files left in the test folder (hidden ones included).
  std::vector<std::string> Leftovers() const { return List(); }

  void WriteWav(const std::string& name, const std::vector<double>& interleaved, int channels, int rate = 44100) {
    std::string error;
    ASSERT_TRUE(WriteAudioFile(Path(name), {0x010006 /* WAV, 32-bit float */}, interleaved.data(),
                               static_cast<std::int64_t>(interleaved.size()) / channels, channels, rate, error))
        << error;
  }

  std::vector<double> ReadAudio(const std::string& name, int& channels) const {
    TAudioFileReader r;
    std::string error;
    EXPECT_TRUE(r.Open(Path(name), error)) << error;
    channels = r.Channels();
    // Read to the end: a file written into a pipe may not know its length.
    std::vector<double> s, block(static_cast<size_t>(1024 * channels));
    for (std::int64_t n; (n = r.Read(block.data(), 1024, error)) > 0;)
      s.insert(s.end(), block.begin(), block.begin() + n * channels);
    return s;
  }

  std::string Dir;
};

}  // namespace vb::test
