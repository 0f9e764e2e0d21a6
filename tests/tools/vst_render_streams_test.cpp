// Guards vst-render on pipes, FIFOs and standard streams: every input frame arrives, pipes take the output, signals
// leave no temporary file and keep what the caller ignored.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <vector>

#include "tools/tool_test_dir.h"

namespace vb {
namespace {

using test::Exists;
using test::TRun;

const std::string kHalfGain = test::kTestPlugins + "testplugin_halfgain.so";

class TVstRenderStreams : public test::TToolTest {
 protected:
  void SetUp() override {
    if (!Exists(test::kRenderProgram) || !Exists(kHalfGain))
      GTEST_SKIP() << "vst-render or its test plug-in is not built";
    TToolTest::SetUp();
    FIn.resize(2 * kFrames);
    for (size_t i = 0; i < FIn.size(); ++i) FIn[i] = 0.5 * std::sin(0.001 * static_cast<double>(i));
    WriteWav("in.wav", FIn, 2);
  }
  TRun Run(const std::string& Args, const std::string& Env = "", const std::string& Input = "</dev/null") const {
    return RunProgram(test::kRenderProgram, "-p '" + kHalfGain + "' " + Args, Env, Input);
  }
  // The rendered file holds every input frame, halved (to 24-bit precision
  // in FLAC).
  void ExpectWholeRender(const std::string& Name) {
    int channels = 0;
    const std::vector<double> out = ReadAudio(Name, channels);
    ASSERT_EQ(out.size(), FIn.size()) << Name;
    for (size_t i = 0; i < FIn.size(); i += 101) ASSERT_NEAR(out[i], 0.5 * FIn[i], 1e-6) << Name << " sample " << i;
  }

  // Runs a bash script in the test folder with "${R[@]}" standing for
  // "vst-render -p HALFGAIN" (a command, so that $! is its process);
  // answers the script's exit status.
  int Bash(const std::string& Script) {
    std::ofstream(Path("script.sh")) << "cd '" << FDir << "'\nR=('" << test::kRenderProgram << "' -p '" << kHalfGain
                                     << "')\n"
                                     << Script;
    const int status = std::system(("bash '" + Path("script.sh") + "'").c_str());
    std::remove(Path("script.sh").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Starts a render that reads in.wav through a FIFO, sends it `signal`
  // once its temporary output file exists, then feeds the rest of the input;
  // the render's exit status is left in the file "status".
  std::string SignalMidRender(const std::string& Signal) const {
    return "mkfifo fifo\n"
           "ulimit -c 0\n"
           "\"${R[@]}\" -q -i fifo -o out.wav 2>err.txt &\n"
           "pid=$!\n"
           "exec 3>fifo\n"
           "head -c 100000 in.wav >&3\n"
           "for i in $(seq 1000); do ls -A | grep -q vst-render- && break; sleep 0.01; done\n"
           "kill -" +
           Signal +
           " $pid\n"
           "tail -c +100001 in.wav >&3\n"
           "exec 3>&-\n"
           "wait $pid\n"
           "echo $? >status\n"
           "rm fifo\n";
  }

  static constexpr size_t kFrames = 132300;  // 3 s at 44.1 kHz
  std::vector<double> FIn;
};

TEST_F(TVstRenderStreams, PipedAndFifoInputLoseNoFrame) {
  const std::string in = "'" + Path("in.wav") + "'";
  for (const char* source : {"-", "/dev/stdin"}) {
    TRun r = Run(std::string("-i ") + source + " -o '" + Path("pipe.wav") + "'", "cat " + in + " |", "");
    ASSERT_EQ(r.Code, 0) << source << ": " << r.Err;
    EXPECT_EQ(r.Err.find("cut short"), std::string::npos) << r.Err;
    ExpectWholeRender("pipe.wav");
  }
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  TRun r =
      Run("-i '" + Path("fifo") + "' -o '" + Path("fifo.wav") + "'", "(cat " + in + " >'" + Path("fifo") + "' &);");
  ASSERT_EQ(r.Code, 0) << r.Err;
  ExpectWholeRender("fifo.wav");
}

TEST_F(TVstRenderStreams, PipesAndStandardOutputTakeTheOutput) {
  ASSERT_EQ(Bash("\"${R[@]}\" -i in.wav -o - --format wav 2>err.txt | cat >stdout.wav\n"
                 "\"${R[@]}\" -q -i in.wav -o /dev/stdout | cat >devstdout.wav\n"
                 "\"${R[@]}\" -q -i in.wav -o - --format flac | cat >stdout.flac\n"
                 "\"${R[@]}\" -q -i in.wav -o >(cat >substituted.wav)\n"
                 "wait $!\n"),
            0);
  for (const char* name : {"stdout.wav", "devstdout.wav", "stdout.flac", "substituted.wav"}) ExpectWholeRender(name);
  // The summary line keeps out of the audio.
  EXPECT_NE(test::ReadText(Path("err.txt")).find("realtime"), std::string::npos);
  EXPECT_FALSE(Exists(Path("-")));
  const std::vector<std::string> left = List();
  EXPECT_EQ(std::count_if(left.begin(), left.end(), [](const std::string& n) { return n[0] == '.'; }), 0);
}

// nohup and background jobs: an ignored hang-up stays ignored.
TEST_F(TVstRenderStreams, AnIgnoredHangUpLetsTheRenderFinish) {
  Bash("trap '' HUP\n" + SignalMidRender("HUP"));
  EXPECT_EQ(test::ReadText(Path("status")), "0\n") << test::ReadText(Path("err.txt"));
  ExpectWholeRender("out.wav");
}

TEST_F(TVstRenderStreams, QuitAndKillLeaveNoTemporaryFileBehind) {
  Bash("set -m\n" + SignalMidRender("QUIT"));
  EXPECT_EQ(test::ReadText(Path("status")), "131\n");  // 128 + SIGQUIT
  std::vector<std::string> left = List();
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"err.txt", "in.wav", "status"}));

  // SIGKILL cannot be caught: the next render of the same file removes
  // what a process that is gone left.
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ASSERT_GT(gone, 0);
  ::waitpid(gone, nullptr, 0);
  const std::string stale = ".out.wav.vst-render-" + std::to_string(gone) + ".tmp";
  const std::string live = ".out.wav.vst-render-" + std::to_string(::getpid()) + "-2.tmp";
  const std::string other = ".other.wav.vst-render-" + std::to_string(gone) + ".tmp";
  for (const std::string& name : {stale, live, other}) std::ofstream(Path(name)) << "partial";
  ASSERT_EQ(Run("-q -i '" + Path("in.wav") + "' -o '" + Path("out.wav") + "'").Code, 0);
  EXPECT_FALSE(Exists(Path(stale)));
  EXPECT_TRUE(Exists(Path(live)));
  EXPECT_TRUE(Exists(Path(other)));
}

// Bytes of the MPEG-1 layer III frame that starts at `at` (its Xing/LAME
// frame when it is the first).
size_t Mp3FrameBytes(const std::string& File, size_t At) {
  static constexpr int kKbps[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  static constexpr int kRates[] = {44100, 48000, 32000};
  const auto b = [&](size_t K) { return static_cast<unsigned char>(File[At + K]); };
  return static_cast<size_t>(144 * kKbps[b(2) >> 4] * 1000 / kRates[(b(2) >> 2) & 3] + ((b(2) >> 1) & 1));
}

// FLAC and MP3 go back to finish their headers: streamed, they come out as
// the files do, and every file reads back whole from a file or a pipe.
TEST_F(TVstRenderStreams, StreamedFlacAndMp3EqualTheFilesAndEveryInputReadsBackWhole) {
  ASSERT_EQ(Bash("\"${R[@]}\" -q -i in.wav -o file.flac && \"${R[@]}\" -q -i in.wav -o file.mp3\n"
                 "\"${R[@]}\" -q -i in.wav -o - --format flac | cat >piped.flac\n"
                 "\"${R[@]}\" -q -i in.wav -o - --format mp3 | cat >piped.mp3\n"),
            0);
  for (const char* ext : {".flac", ".mp3"}) {
    const std::string piped = test::ReadText(Path(std::string("piped") + ext));
    const std::string file = test::ReadText(Path(std::string("file") + ext));
    EXPECT_TRUE(piped == file) << ext << ": " << piped.size() << " bytes streamed, " << file.size() << " in the file";
  }

  // A VBR MP3 without its Xing frame: the first frame's bitrate suggests a
  // fraction of the length.
  const std::string mp3 = test::ReadText(Path("file.mp3"));
  ASSERT_GT(mp3.size(), 4u);
  std::ofstream(Path("noxing.mp3"), std::ios::binary) << mp3.substr(Mp3FrameBytes(mp3, 0));
  // AIFF streamed by other programs announces some 2 GiB of audio.
  std::string aiff;
  {
    std::string error;
    ASSERT_TRUE(WriteAudioFile(Path("in.aiff"), {0x020002 /* AIFF, 16-bit */}, FIn.data(), kFrames, 2, 44100, error));
    aiff = test::ReadText(Path("in.aiff"));
    const size_t comm = aiff.find("COMM"), ssnd = aiff.find("SSND");
    ASSERT_NE(comm, std::string::npos);
    ASSERT_NE(ssnd, std::string::npos);
    aiff.replace(4, 4, "\x7f\x00\x00\x50", 4);
    aiff.replace(comm + 10, 4, "\x1f\xc0\x00\x00", 4);
    aiff.replace(ssnd + 4, 4, "\x7f\x00\x00\x08", 4);
    std::ofstream(Path("streamed.aiff"), std::ios::binary) << aiff;
  }
  // From a file, or piped in (the FLAC decoder must seek while it opens).
  const std::pair<const char*, const char*> cases[] = {{"noxing.mp3", ""},
                                                       {"noxing.mp3", "cat noxing.mp3 | "},
                                                       {"file.flac", "cat file.flac | "},
                                                       {"streamed.aiff", "cat streamed.aiff | "}};
  for (const auto& [name, pipe] : cases) {
    const std::string how = std::string(pipe) + name;
    ASSERT_EQ(Bash(std::string(pipe) + "\"${R[@]}\" -q -o back.wav -i " + (*pipe ? "-" : name) + " 2>err.txt\n"), 0)
        << how << ": " << test::ReadText(Path("err.txt"));
    int channels = 0;
    const double frames = static_cast<double>(ReadAudio("back.wav", channels).size()) / 2;
    EXPECT_NEAR(frames, kFrames, 3000) << how;  // an MP3 without its Xing frame keeps the encoder's delay
    const std::string err = test::ReadText(Path("err.txt"));
    EXPECT_EQ(err.find("cut short"), std::string::npos) << how << ": " << err;
  }
  EXPECT_NE(Run("-q -i '" + Path("noxing.mp3") + "' -o '" + Path("back.wav") + "'").Err.find("its header announces"),
            std::string::npos);
}

TEST_F(TVstRenderStreams, MissingInputsAndFoldersAreNamedWithTheReason) {
  TRun r = Run("-i '" + Path("x.wav") + "' -o '" + Path("o.wav") + "'");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("cannot open '" + Path("x.wav") + "': No such file or directory"), std::string::npos) << r.Err;
  r = Run("-i '" + FDir + "' -o '" + Path("o.wav") + "'");
  EXPECT_EQ(r.Code, 2);  // a folder is a batch, which needs an output folder or pattern
  EXPECT_NE(r.Err.find("it is a folder"), std::string::npos) << r.Err;
}

}  // namespace
}  // namespace vb
