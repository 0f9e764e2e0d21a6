#pragma once
// Shared by the tools' tests: a fresh folder per test, running a built
// program in a shell with its output captured, and audio files in and out.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

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

// A UTF-8 path for the standard library (which takes the narrow code page
// on Windows).
inline std::filesystem::path FsPath(const std::string& P) {
  return std::filesystem::path(std::u8string(P.begin(), P.end()));
}

inline std::string ReadText(const std::string& Path) {
  std::ifstream f(FsPath(Path), std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

inline bool Exists(const std::string& P) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(FsPath(P), ignored));
}

// The exit code std::system reports: a wait status on POSIX, the code
// itself on Windows; -1 for a program ended by a signal.
inline int ExitCode(int Status) {
#if defined(_WIN32)
  return Status;
#else
  return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
#endif
}

// A new folder of its own below the test framework's temporary folder.
inline std::string MakeTestFolder(const std::string& Prefix) {
  std::random_device seed;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string dir = ::testing::TempDir() + Prefix + std::to_string(seed());
    std::error_code error;
    if (std::filesystem::create_directory(FsPath(dir), error)) return dir;
  }
  ADD_FAILURE() << "cannot make a test folder in " << ::testing::TempDir();
  return "";
}

class TToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = MakeTestFolder("vb_tool_");
    ASSERT_FALSE(FDir.empty());
  }
  void TearDown() override {
    std::error_code ignored;
    if (!FDir.empty()) std::filesystem::remove_all(FsPath(FDir), ignored);
  }

  std::string Path(const std::string& Name) const { return FDir + "/" + Name; }

  // Runs `program args` in a shell with stdin from /dev/null, or from the
  // redirection `input` ("" keeps a pipe that `env` opens, as in
  // "cat x |"); `env` (NAME=value ...) goes in front of the command.
  TRun RunProgram(const std::string& Program, const std::string& Args, const std::string& Env = "",
                  const std::string& Input = "</dev/null") const {
    const std::string out = Path(".stdout"), err = Path(".stderr");
    const std::string cmd = Env + " '" + Program + "' " + Args + " >'" + out + "' 2>'" + err + "' " + Input;
    const int status = std::system(cmd.c_str());
    TRun r;
    r.Code = ExitCode(status);
    r.Out = ReadText(out);
    r.Err = ReadText(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return r;
  }

  // Names in a folder below the test folder (hidden ones included).
  std::vector<std::string> List(const std::string& Folder = "") const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& e : std::filesystem::directory_iterator(FsPath(Folder.empty() ? FDir : Path(Folder)), error)) {
      const std::u8string n = e.path().filename().u8string();
      names.emplace_back(n.begin(), n.end());
    }
    return names;
  }
  // Files left in the test folder (hidden ones included).
  std::vector<std::string> Leftovers() const { return List(); }

  void WriteWav(const std::string& Name, const std::vector<double>& Interleaved, int Channels, int Rate = 44100) {
    std::string error;
    ASSERT_TRUE(WriteAudioFile(Path(Name), {0x010006 /* WAV, 32-bit float */}, Interleaved.data(),
                               static_cast<std::int64_t>(Interleaved.size()) / Channels, Channels, Rate, error))
        << error;
  }

  std::vector<double> ReadAudio(const std::string& Name, int& Channels) const {
    TAudioFileReader r;
    std::string error;
    EXPECT_TRUE(r.Open(Path(Name), error)) << error;
    Channels = r.Channels();
    // Read to the end: a file written into a pipe may not know its length.
    std::vector<double> s, block(static_cast<size_t>(1024 * Channels));
    for (std::int64_t n; (n = r.Read(block.data(), 1024, error)) > 0;)
      s.insert(s.end(), block.begin(), block.begin() + n * Channels);
    return s;
  }

  std::string FDir;
};

}  // namespace vb::test
