// Guards vst-render on pipes, FIFOs and standard streams: every input frame arrives, pipes take the output, signals
// leave no temporary file and keep what the caller ignored.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <vector>

#include "tools/tool_test_dir.h"

namespace vb {
namespace {

using test::Exists;
using test::TRun;

const std::string kHalfGain = test::kTestPlugins + "testplugin_halfgain.so";

class VstRenderStreams : public test::TToolTest {
 protected:
  void SetUp() override {
    if (!Exists(test::kRenderProgram) || !Exists(kHalfGain)) GTEST_SKIP() << "vst-render or its test plug-in is not built";
    TToolTest::SetUp();
    In.resize(2 * kFrames);
    for (size_t i = 0; i < In.size(); ++i) In[i] = 0.5 * std::sin(0.001 * static_cast<double>(i));
    WriteWav("in.wav", In, 2);
  }
  TRun Run(const std::string& args, const std::string& env = "", const std::string& input = "</dev/null") const {
    return RunProgram(test::kRenderProgram, "-p '" + kHalfGain + "' " + args, env, input);
  }
  // The rendered file holds every input frame, halved.
  void ExpectWholeRender(const std::string& name) {
    int channels = 0;
    const std::vector<double> out = ReadAudio(name, channels);
    ASSERT_EQ(out.size(), In.size()) << name;
    for (size_t i = 0; i < In.size(); i += 101) ASSERT_FLOAT_EQ(static_cast<float>(out[i]), 0.5f * float(In[i])) << i;
  }

  static constexpr size_t kFrames = 132300;  // 3 s at 44.1 kHz
  std::vector<double> In;
};

TEST_F(VstRenderStreams, PipedAndFifoInputLoseNoFrame) {
  const std::string in = "'" + Path("in.wav") + "'";
  for (const char* source : {"-", "/dev/stdin"}) {
    TRun r = Run(std::string("-i ") + source + " -o '" + Path("pipe.wav") + "'", "cat " + in + " |", "");
    ASSERT_EQ(r.Code, 0) << source << ": " << r.Err;
    EXPECT_EQ(r.Err.find("cut short"), std::string::npos) << r.Err;
    ExpectWholeRender("pipe.wav");
  }
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  TRun r = Run("-i '" + Path("fifo") + "' -o '" + Path("fifo.wav") + "'", "(cat " + in + " >'" + Path("fifo") + "' &);");
  ASSERT_EQ(r.Code, 0) << r.Err;
  ExpectWholeRender("fifo.wav");
}

TEST_F(VstRenderStreams, MissingInputsAndFoldersAreNamedWithTheReason) {
  TRun r = Run("-i '" + Path("x.wav") + "' -o '" + Path("o.wav") + "'");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("cannot open '" + Path("x.wav") + "': No such file or directory"), std::string::npos) << r.Err;
  r = Run("-i '" + Dir + "' -o '" + Path("o.wav") + "'");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("it is a folder"), std::string::npos) << r.Err;
}

}  // namespace
}  // namespace vb
