// Guards vst-render with many inputs: every file comes out as it would alone (the plug-in is switched off and on
// between files), outputs follow the folder or {name} pattern, and a failing file leaves the others rendered.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <vector>

#include "tools/tool_test_dir.h"

namespace vb {
namespace {

using test::Exists;
using test::TRun;

const std::string kEcho = test::kTestPlugins + "testplugin_echo.so";

class TVstRenderBatch : public test::TToolTest {
 protected:
  void SetUp() override {
    if (!Exists(test::kRenderProgram) || !Exists(kEcho)) GTEST_SKIP() << "vst-render or the echo is not built";
    TToolTest::SetUp();
    ASSERT_EQ(::mkdir(Path("in").c_str(), 0755), 0);
  }
  TRun Render(const std::string& Args) const {
    return RunProgram(test::kRenderProgram, "-p '" + kEcho + "' --tail 0 " + Args);
  }
  static std::vector<double> Tone(int Frames, double Step) {
    std::vector<double> s(static_cast<size_t>(Frames));
    for (int i = 0; i < Frames; ++i) s[static_cast<size_t>(i)] = 0.5 * std::sin(Step * i);
    return s;
  }
};

TEST_F(TVstRenderBatch, EveryFileComesOutAsAloneAndAFailureLeavesTheOthersRendered) {
  // The echo remembers 0.3 s: without a reset between files the end of one
  // would sound in the start of the next. b.wav is at another rate.
  WriteWav("in/a.wav", Tone(20000, 0.01), 1);
  WriteWav("in/b.wav", Tone(9000, 0.03), 1, 48000);
  WriteWav("in/c.wav", Tone(15000, 0.02), 1);
  std::ofstream(Path("in/bad.wav")) << "not audio";
  std::ofstream(Path("in/notes.txt")) << "not an audio name, left out";
  for (const char* name : {"a", "b", "c"}) {
    const std::string in = Path("in/") + name + ".wav", out = Path(std::string("alone-") + name + ".wav");
    ASSERT_EQ(Render("-q -i '" + in + "' -o '" + out + "'").Code, 0) << name;
  }
  TRun r = Render("-i '" + Path("in") + "' -o '" + Path("out/{name}.wav") + "'");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("1 of 4 files failed: '" + Path("in/bad.wav") + "'"), std::string::npos) << r.Err;
  EXPECT_EQ(std::count(r.Out.begin(), r.Out.end(), '\n'), 3) << r.Out;  // one summary line per rendered file
  int channels = 0;
  for (const char* name : {"a", "b", "c"})
    EXPECT_EQ(ReadAudio(std::string("out/") + name + ".wav", channels),
              ReadAudio(std::string("alone-") + name + ".wav", channels))
        << name;
  EXPECT_FALSE(Exists(Path("out/bad.wav")));

  // Into a folder: each output keeps its input's name.
  r = Render("-q '" + Path("in/a.wav") + "' '" + Path("in/c.wav") + "' -o '" + Path("folder/") + "'");
  EXPECT_EQ(r.Code, 0) << r.Err;
  EXPECT_TRUE(Exists(Path("folder/a.wav")) && Exists(Path("folder/c.wav")));
  // Outputs that would collide or overwrite an input are a bad command line.
  EXPECT_EQ(
      Render("-q -i '" + Path("in/a.wav") + "' -i '" + Path("in/a.wav") + "' -o '" + Path("x/{name}.wav") + "'").Code,
      2);
  EXPECT_EQ(Render("-q -i '" + Path("in/a.wav") + "' -i '" + Path("in/c.wav") + "' -o '" + Path("in/") + "'").Code, 2);
  EXPECT_EQ(test::ReadText(Path("in/bad.wav")), "not audio");
}

}  // namespace
}  // namespace vb
