// Guards what vst-render does with a real user's files: output targets that are links, FIFOs or devices, the
// format named by the extension, channel counts that do not match, files cut short, tails, latency, switches.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <thread>
#include <vector>

#include "tools/tool_test_dir.h"

namespace vb {
namespace {

using test::Exists;
using test::TRun;

const std::string kHalfGain = test::kTestPlugins + "testplugin_halfgain.so";
const std::string kDelayLine = test::kTestPlugins + "testplugin_delayline.so";
const std::string kEcho = test::kTestPlugins + "testplugin_echo.so";
const std::string kSilentSynth = test::kTestPlugins + "testplugin_silentsynth.so";
constexpr int kDelayLineLatency = 300;  // samples, as the delay-line plug-in reports
constexpr int kEchoSpacing = 4410;      // samples between the echo plug-in's repeats
constexpr int kEchoRepeats = 3;

class TVstRenderUse : public test::TToolTest {
 protected:
  void SetUp() override {
    for (const std::string& p : {test::kRenderProgram, kHalfGain, kDelayLine, kEcho, kSilentSynth})
      if (!Exists(p)) GTEST_SKIP() << p << " is not built";
    TToolTest::SetUp();
  }
  TRun Render(const std::string& Plugin, const std::string& Args) const {
    return RunProgram(test::kRenderProgram, "-p '" + Plugin + "' " + Args);
  }
  std::string In(const std::string& Name) const { return " -i '" + Path(Name) + "'"; }
  std::string Out(const std::string& Name) const { return " -o '" + Path(Name) + "'"; }

  // A signal that differs in every sample and channel, so that any shift or
  // swap shows.
  static std::vector<double> Ramp(int Frames, int Channels) {
    std::vector<double> s(static_cast<size_t>(Frames * Channels));
    for (int i = 0; i < Frames; ++i)
      for (int c = 0; c < Channels; ++c)
        s[static_cast<size_t>(i * Channels + c)] = 0.4 * std::sin(0.01 * i * (c + 1)) + 0.05 * c;
    return s;
  }
};

TEST_F(TVstRenderUse, ASymlinkStaysALinkAndTheFileItPointsToGetsTheAudio) {
  WriteWav("in.wav", Ramp(1000, 2), 2);
  ASSERT_EQ(::mkdir(Path("real").c_str(), 0755), 0);
  { std::ofstream(Path("real/old.wav")) << "old"; }
  ASSERT_EQ(::chmod(Path("real/old.wav").c_str(), 0640), 0);
  ASSERT_EQ(::symlink("real/old.wav", Path("link.wav").c_str()), 0);
  ASSERT_EQ(::symlink("real/new.wav", Path("dangling.wav").c_str()), 0);
  for (const char* name : {"link.wav", "dangling.wav"}) {
    TRun r = Render(kHalfGain, "-q" + In("in.wav") + Out(name));
    ASSERT_EQ(r.Code, 0) << r.Err;
    struct stat st {};
    ASSERT_EQ(::lstat(Path(name).c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << name;
  }
  int channels = 0;
  EXPECT_EQ(ReadAudio("real/old.wav", channels).size(), 2000u);
  EXPECT_EQ(ReadAudio("real/new.wav", channels).size(), 2000u);
  struct stat st {};
  ASSERT_EQ(::stat(Path("real/old.wav").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file keeps its permissions";
  EXPECT_EQ(Leftovers().size(), 4u) << "in.wav, real/, two links and no temporary file";
  EXPECT_EQ(List("real").size(), 2u) << "old.wav, new.wav and no temporary file";
}

// A FIFO's reader gets a complete WAV (spooled, since WAV needs its header
// finished) and a FLAC stream; the FIFO stays a FIFO.
TEST_F(TVstRenderUse, AFifoIsWrittenIntoAndStaysAFifo) {
  WriteWav("in.wav", Ramp(3000, 2), 2);
  for (const char* format : {"wav", "flac"}) {
    const std::string fifo = Path(std::string("pipe-") + format);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    // The reader is open before vst-render starts, so that a failing render
    // can never leave it waiting: it polls until the render has ended.
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    std::atomic<bool> done{false};
    std::string got;
    std::thread reader([&] {
      char buf[4096];
      for (;;) {
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 50);
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) got.append(buf, static_cast<size_t>(n));
        if (n <= 0 && done.load()) break;
      }
    });
    TRun r = Render(kHalfGain, "-q" + In("in.wav") + " --format " + format + " -o '" + fifo + "'");
    done.store(true);
    reader.join();
    ::close(fd);
    ASSERT_EQ(r.Code, 0) << r.Err;
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    std::ofstream(Path(std::string("got.") + format), std::ios::binary) << got;
    int channels = 0;
    std::vector<double> back = ReadAudio(std::string("got.") + format, channels);
    EXPECT_EQ(back.size(), 6000u) << format;
  }
}

// Character devices are written straight into: a null device swallows the
// render, a full one makes it fail with the device's error; both stay
// devices. Made in the test folder where the system lets us make them.
TEST_F(TVstRenderUse, DevicesAreWrittenIntoAndAFullOneIsAFailure) {
  WriteWav("in.wav", Ramp(1000, 2), 2);
  std::string null = Path("null"), full = Path("full");
  const bool made = ::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
                    ::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
  const int probe = made ? ::open(null.c_str(), O_WRONLY) : -1;  // a nodev mount refuses
  if (probe >= 0) ::close(probe);
  if (probe < 0) {
    if (::geteuid() == 0) GTEST_SKIP() << "cannot make device nodes here";
    null = "/dev/null";  // safe: no one but root could replace these
    full = "/dev/full";
  }
  TRun r = Render(kHalfGain, "-q" + In("in.wav") + " -o '" + null + "'");
  EXPECT_EQ(r.Code, 0) << r.Err;
  r = Render(kHalfGain, "-q" + In("in.wav") + " -o '" + full + "'");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("No space left on device"), std::string::npos) << r.Err;
  for (const std::string& node : {null, full}) {
    struct stat st {};
    ASSERT_EQ(::lstat(node.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << node;
  }
}

TEST_F(TVstRenderUse, TheExtensionPicksTheContainerAndAnUnknownOneIsRefused) {
  WriteWav("in.wav", Ramp(4410, 2), 2);
  TRun r = Render(kHalfGain, "-q" + In("in.wav") + Out("out.xyz"));
  EXPECT_EQ(r.Code, 2);  // a bad command line
  EXPECT_NE(r.Err.find("unknown audio format '.xyz' (known: wav, flac, aiff"), std::string::npos) << r.Err;
  EXPECT_FALSE(Exists(Path("out.xyz")));
  r = Render(kHalfGain, "-q" + In("in.wav") + Out("out.ogg"));
  if (r.Err.find("cannot write Ogg") != std::string::npos) GTEST_SKIP() << "this libsndfile lacks Ogg Vorbis";
  ASSERT_EQ(r.Code, 0) << r.Err;
  TAudioFileReader back;
  std::string error;
  ASSERT_TRUE(back.Open(Path("out.ogg"), error)) << error;
  EXPECT_EQ(back.Format().Describe(), "Ogg Vorbis");
}

TEST_F(TVstRenderUse, AChannelCountThePluginCannotTakeIsRefusedUnlessChannelsArePicked) {
  WriteWav("six.wav", Ramp(500, 6), 6);
  TRun r = Render(kHalfGain, "-q" + In("six.wav") + Out("out.wav"));
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("--channels 1,2"), std::string::npos) << r.Err;
  EXPECT_FALSE(Exists(Path("out.wav")));

  r = Render(kHalfGain, "-q --channels 5,2" + In("six.wav") + Out("out.wav"));
  ASSERT_EQ(r.Code, 0) << r.Err;
  int channels = 0;
  std::vector<double> out = ReadAudio("out.wav", channels), in = Ramp(500, 6);
  ASSERT_EQ(channels, 2);
  for (int i = 0; i < 500; ++i) {
    ASSERT_FLOAT_EQ(static_cast<float>(out[i * 2]), static_cast<float>(0.5 * in[i * 6 + 4])) << i;
    ASSERT_FLOAT_EQ(static_cast<float>(out[i * 2 + 1]), static_cast<float>(0.5 * in[i * 6 + 1])) << i;
  }
}

TEST_F(TVstRenderUse, MonoFeedsEveryInputWithANoteAndStereoIntoAMonoPluginIsAChoice) {
  WriteWav("mono.wav", Ramp(500, 1), 1);
  TRun r = Render(kHalfGain, In("mono.wav") + Out("out.wav"));
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_NE(r.Err.find("note: mono input: the one channel of"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("feeds both inputs"), std::string::npos) << r.Err;

  WriteWav("stereo.wav", Ramp(500, 2), 2);
  r = Render(kEcho, "-q --tail 0" + In("stereo.wav") + Out("out.wav"));
  EXPECT_EQ(r.Code, 1) << "a stereo file into a mono plug-in needs --channels";
  const std::vector<double> in = Ramp(500, 2);
  for (const char* pick : {"2", "1+2"}) {
    r = Render(kEcho, std::string("-q --tail 0 --channels ") + pick + In("stereo.wav") + Out("out.wav"));
    ASSERT_EQ(r.Code, 0) << r.Err;
    int channels = 0;
    std::vector<double> out = ReadAudio("out.wav", channels);
    ASSERT_EQ(channels, 1);
    ASSERT_EQ(out.size(), 500u);
    for (int i = 0; i < 500; ++i) {  // before the first repeat the echo is its dry input
      const double want = pick[1] ? 0.5 * (in[i * 2] + in[i * 2 + 1]) : in[i * 2 + 1];
      ASSERT_NEAR(out[i], want, 1e-7) << pick << " " << i;
    }
  }
}

// A WAV cut in its data renders what is there, with a warning that names
// the file, and exit 0.
TEST_F(TVstRenderUse, AFileCutShortRendersWhatIsThereWithAWarning) {
  WriteWav("in.wav", Ramp(1000, 2), 2);
  ASSERT_EQ(::truncate(Path("in.wav").c_str(), 3000), 0);
  TRun r = Render(kHalfGain, "-q" + In("in.wav") + Out("out.wav"));
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_NE(r.Err.find("warning: '" + Path("in.wav") + "' is cut short"), std::string::npos) << r.Err;
  int channels = 0;
  EXPECT_LT(ReadAudio("out.wav", channels).size(), 2000u);
  WriteWav("whole.wav", Ramp(1000, 2), 2);
  r = Render(kHalfGain, "-q" + In("whole.wav") + Out("out.wav"));
  EXPECT_EQ(r.Err, "");
}

// An impulse through the echo: a tail long enough holds the last repeat,
// none cuts the echo at the input's end, and by default the plug-in's own
// reported tail is rendered.
TEST_F(TVstRenderUse, TheTailHoldsTheEchosLastRepeat) {
  std::vector<double> impulse(100, 0.0);
  impulse[0] = 0.8;
  WriteWav("imp.wav", impulse, 1);
  const int last = kEchoRepeats * kEchoSpacing;
  TRun r = Render(kEcho, "-q --tail 0.31" + In("imp.wav") + Out("out.wav"));
  ASSERT_EQ(r.Code, 0) << r.Err;
  int channels = 0;
  std::vector<double> out = ReadAudio("out.wav", channels);
  ASSERT_EQ(out.size(), 100u + 13671u);  // 0.31 s at 44.1 kHz
  EXPECT_FLOAT_EQ(static_cast<float>(out[last]), 0.1f);
  EXPECT_FLOAT_EQ(static_cast<float>(out[kEchoSpacing]), 0.4f);

  r = Render(kEcho, "-q --tail 0" + In("imp.wav") + Out("out.wav"));
  EXPECT_EQ(ReadAudio("out.wav", channels).size(), 100u);

  r = Render(kEcho, In("imp.wav") + Out("out.wav"));
  EXPECT_NE(r.Err.find("adding the plug-in's tail of 0.30 s"), std::string::npos) << r.Err;
  out = ReadAudio("out.wav", channels);
  ASSERT_EQ(out.size(), 100u + last);
  EXPECT_FLOAT_EQ(static_cast<float>(out[last]), 0.1f);
}

// The delay line reports its delay only once switched on; compensated, the
// output is the input exactly, sample for sample, for any block size.
TEST_F(TVstRenderUse, ReportedLatencyIsCompensatedExactly) {
  const std::vector<double> in = Ramp(2000, 2);
  WriteWav("in.wav", in, 2);
  for (const char* block : {"64", "300", "4096"}) {
    TRun r = Render(kDelayLine, std::string("-b ") + block + In("in.wav") + Out("out.wav"));
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_NE(r.Err.find("compensated the plug-in's delay of 300 samples"), std::string::npos) << r.Err;
    int channels = 0;
    std::vector<double> out = ReadAudio("out.wav", channels);
    ASSERT_EQ(out.size(), in.size()) << block;
    for (size_t i = 0; i < in.size(); ++i)
      ASSERT_EQ(out[i], static_cast<float>(in[i])) << "block " << block << " sample " << i;
  }
  TRun r = Render(kDelayLine, "-q --no-latency-compensation" + In("in.wav") + Out("out.wav"));
  ASSERT_EQ(r.Code, 0) << r.Err;
  int channels = 0;
  std::vector<double> out = ReadAudio("out.wav", channels);
  ASSERT_EQ(out.size(), in.size());
  for (size_t i = 0; i < 2 * kDelayLineLatency; ++i) ASSERT_EQ(out[i], 0.0) << i;
  for (size_t i = 2 * kDelayLineLatency; i < in.size(); ++i)
    ASSERT_EQ(out[i], static_cast<float>(in[i - 2 * kDelayLineLatency])) << i;
}

// A delay told while processing is compensated until output is written;
// after that it is a warning that gives the samples.
TEST_F(TVstRenderUse, ADelayToldWhileProcessingIsCompensatedOrWarnedAbout) {
  const std::vector<double> in = Ramp(2000, 2);
  WriteWav("in.wav", in, 2);
  TRun r = RunProgram(test::kRenderProgram, "-b 256 -p '" + kDelayLine + "'" + In("in.wav") + Out("out.wav"),
                      "VB_DELAYLINE_REPORT=first");
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_NE(r.Err.find("compensated the plug-in's delay of 300 samples"), std::string::npos) << r.Err;
  int channels = 0;
  std::vector<double> out = ReadAudio("out.wav", channels);
  ASSERT_EQ(out.size(), in.size());
  for (size_t i = 0; i < in.size(); ++i) ASSERT_EQ(out[i], static_cast<float>(in[i])) << i;
  // Half of it told at first and the rest once some output was dropped.
  r = RunProgram(test::kRenderProgram, "-q -b 100 -p '" + kDelayLine + "'" + In("in.wav") + Out("out.wav"),
                 "VB_DELAYLINE_REPORT=half,second");
  ASSERT_EQ(r.Code, 0) << r.Err;
  out = ReadAudio("out.wav", channels);
  ASSERT_EQ(out.size(), in.size());
  for (size_t i = 0; i < in.size(); ++i) ASSERT_EQ(out[i], static_cast<float>(in[i])) << i;

  r = RunProgram(test::kRenderProgram, "-q -b 256 -p '" + kDelayLine + "'" + In("in.wav") + Out("out.wav"),
                 "VB_DELAYLINE_REPORT=second");
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_NE(r.Err.find("warning: the plug-in changed its delay to 300 samples after output had been written"),
            std::string::npos)
      << r.Err;
  EXPECT_NE(r.Err.find("300 samples late"), std::string::npos) << r.Err;
}

TEST_F(TVstRenderUse, AnInstrumentWithoutNotesSaysItRenderedSilence) {
  WriteWav("in.wav", Ramp(1000, 2), 2);
  TRun r = Render(kSilentSynth, "-q" + In("in.wav") + Out("out.wav"));
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_NE(r.Err.find("warning: the plug-in is an instrument and vst-render sends it no notes"), std::string::npos)
      << r.Err;
  r = Render(kSilentSynth, In("in.wav") + Out("out.wav"));
  EXPECT_NE(r.Err.find("no audio inputs: '" + Path("in.wav") + "' only sets the length"), std::string::npos) << r.Err;
  int channels = 0;
  EXPECT_EQ(ReadAudio("out.wav", channels).size(), 2000u);
}

// A bare name is found where hosts look: the folders of $LXVST_PATH, and
// ~/.lxvst with the subfolders packages make.
TEST_F(TVstRenderUse, ABareNameIsFoundWhereHostsLook) {
  TRun r = RunProgram(test::kRenderProgram, "--info -p testplugin_halfgain",
                      "LXVST_PATH=/nonexistent:" + test::kTestPlugins);
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_NE(r.Out.find("Plug-in:         " + test::kTestPlugins + "testplugin_halfgain.so"), std::string::npos)
      << r.Out;
  const std::string env = "LXVST_PATH= VST_PATH= HOME=" + FDir;
  r = RunProgram(test::kRenderProgram, "--info -p testplugin_halfgain", env);
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("plug-in not found"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find(FDir + "/.lxvst, /usr/local/lib/vst, /usr/local/lib/lxvst, /usr/lib/vst, /usr/lib/lxvst"),
            std::string::npos)
      << r.Err;
  ASSERT_EQ(std::system(("mkdir -p '" + Path(".lxvst/vendor/bundle") + "' && cp '" + kHalfGain + "' '" +
                         Path(".lxvst/vendor/bundle/") + "'")
                            .c_str()),
            0);
  r = RunProgram(test::kRenderProgram, "--info -p testplugin_halfgain", env);
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_NE(r.Out.find(Path(".lxvst/vendor/bundle/testplugin_halfgain.so")), std::string::npos) << r.Out;
  EXPECT_NE(RunProgram(test::kRenderProgram, "--help").Out.find("/usr/lib/lxvst"), std::string::npos);
}

TEST_F(TVstRenderUse, EmptyInputsAreRefusedAndClippingIsAWarningEvenWhenQuiet) {
  WriteWav("empty.wav", {}, 2);
  TRun r = Render(kHalfGain, "-q" + In("empty.wav") + Out("out.wav"));
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("'" + Path("empty.wav") + "' holds no audio; nothing to render"), std::string::npos) << r.Err;
  EXPECT_FALSE(Exists(Path("out.wav")));
  r = Render(kHalfGain, "-q --tail 0.1" + In("empty.wav") + Out("out.wav"));
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_NE(r.Err.find("warning: '" + Path("empty.wav") + "' holds no audio; rendered only the 0.10 s of tail"),
            std::string::npos)
      << r.Err;

  std::vector<double> loud = Ramp(1000, 2);
  for (double& v : loud) v *= 6.0;  // halved, still above full scale
  WriteWav("loud.wav", loud, 2);
  r = Render(kHalfGain, "-q" + In("loud.wav") + Out("loud.flac"));
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_NE(r.Err.find("warning: the output clipped"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("FLAC 24-bit"), std::string::npos) << r.Err;
  r = Render(kHalfGain, "-q" + In("loud.wav") + Out("loud.wav"));  // 32-bit float keeps it
  EXPECT_EQ(r.Err, "");
}

// Plain AIFF holds signed 8-bit samples; unsigned ones would make AIFC.
TEST_F(TVstRenderUse, EightBitInputGivesPlainAiff) {
  std::string error;
  const std::vector<double> in = Ramp(500, 2);
  ASSERT_TRUE(WriteAudioFile(Path("in8.wav"), {0x010005 /* WAV, unsigned 8-bit */}, in.data(), 500, 2, 44100, error))
      << error;
  ASSERT_EQ(Render(kHalfGain, "-q" + In("in8.wav") + Out("out.aiff")).Code, 0);
  const std::string head = test::ReadText(Path("out.aiff")).substr(0, 12);
  EXPECT_EQ(head.substr(0, 4) + head.substr(8), "FORMAIFF");
}

// Files that renaming would not replace properly are written in place once
// the render is complete.
TEST_F(TVstRenderUse, HardLinksLongNamesAndLockedFoldersAreWrittenInPlace) {
  const std::vector<double> in = Ramp(1000, 2);
  WriteWav("in.wav", in, 2);
  { std::ofstream(Path("a.wav")) << "old"; }
  ASSERT_EQ(::link(Path("a.wav").c_str(), Path("b.wav").c_str()), 0);
  TRun r = Render(kHalfGain, In("in.wav") + Out("a.wav"));
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_NE(r.Err.find("written in place once the render is complete (it has other hard links)"), std::string::npos)
      << r.Err;
  struct stat a {};
  struct stat b {};
  ASSERT_EQ(::stat(Path("a.wav").c_str(), &a) | ::stat(Path("b.wav").c_str(), &b), 0);
  EXPECT_EQ(a.st_ino, b.st_ino);
  int channels = 0;
  EXPECT_EQ(ReadAudio("b.wav", channels).size(), in.size());

  const std::string longName = std::string(250, 'n') + ".wav";  // 254 bytes, the limit is 255
  r = Render(kHalfGain, "-q" + In("in.wav") + Out(longName));
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_EQ(ReadAudio(longName, channels).size(), in.size());

  // A writable file in a folder its writer may not write to. Root may write
  // anywhere, so as root the render runs as nobody, from copies of the
  // program and the plug-in that nobody can reach wherever the build sits
  // (a home folder is often closed to others).
  const bool root = ::geteuid() == 0;
  const std::string program = root ? Path("vst-render") : test::kRenderProgram;
  const std::string plugin = root ? Path("halfgain.so") : kHalfGain;
  if (root) {
    namespace fs = std::filesystem;
    fs::copy_file(test::kRenderProgram, program);
    fs::copy_file(kHalfGain, plugin);
    ASSERT_EQ(::chmod(program.c_str(), 0755) | ::chmod(plugin.c_str(), 0755), 0);
  }
  ASSERT_EQ(::mkdir(Path("locked").c_str(), 0755), 0);
  { std::ofstream(Path("locked/out.wav")) << "old"; }
  ASSERT_EQ(::chmod(Path("locked/out.wav").c_str(), 0666), 0);
  ASSERT_EQ(::chmod(FDir.c_str(), 0755) | ::chmod(Path("in.wav").c_str(), 0644), 0);
  if (!root) {
    ASSERT_EQ(::chmod(Path("locked").c_str(), 0555), 0);
  }
  r = RunProgram(program, "-q -p '" + plugin + "'" + In("in.wav") + Out("locked/out.wav"),
                 root ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "");
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_EQ(ReadAudio("locked/out.wav", channels).size(), in.size());
  EXPECT_EQ(List("locked"), std::vector<std::string>{"out.wav"});
  ::chmod(Path("locked").c_str(), 0755);

  // A sticky folder forbids renaming over another owner's file: found out
  // before the render, and written in place (needs root to set up).
  if (root) {
    ASSERT_EQ(::mkdir(Path("sticky").c_str(), 01777), 0);
    ASSERT_EQ(::chmod(Path("sticky").c_str(), 01777), 0);
    { std::ofstream(Path("sticky/out.wav")) << "old"; }
    ASSERT_EQ(::chmod(Path("sticky/out.wav").c_str(), 0666) | ::chown(Path("sticky/out.wav").c_str(), 1, 1), 0);
    r = RunProgram(program, "-q -p '" + plugin + "'" + In("in.wav") + Out("sticky/out.wav"),
                   "setpriv --reuid=65534 --regid=65534 --clear-groups");
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(ReadAudio("sticky/out.wav", channels).size(), in.size());
    EXPECT_EQ(List("sticky"), std::vector<std::string>{"out.wav"});
  }
  std::vector<std::string> hidden = List();
  std::erase_if(hidden, [](const std::string& N) { return N[0] != '.'; });
  EXPECT_TRUE(hidden.empty()) << hidden.front();
}

// --tail auto ends half a second after the last echo has died away, whatever
// tail the plug-in reports, and --tail-max cuts it with a warning.
TEST_F(TVstRenderUse, AnAutomaticTailEndsHalfASecondAfterTheOutputFallsQuiet) {
  WriteWav("in.wav", std::vector<double>(44100, 0.25), 1);
  TRun r = Render(kEcho, "-q --tail auto" + In("in.wav") + Out("auto.wav"));
  ASSERT_EQ(r.Code, 0) << r.Err;
  int channels = 0;
  const std::vector<double> out = ReadAudio("auto.wav", channels);
  const size_t lastEcho = 44100 + kEchoRepeats * kEchoSpacing, hold = 22050;
  ASSERT_GE(out.size(), lastEcho + hold);
  EXPECT_LT(out.size(), lastEcho + hold + 512);  // one block at most beyond
  EXPECT_GT(std::fabs(out[lastEcho - 1]), 0.01);
  for (size_t i = lastEcho; i < out.size(); ++i) ASSERT_LT(std::fabs(out[i]), 3.2e-5) << i;

  r = Render(kEcho, "-q --tail auto --tail-max 0.2" + In("in.wav") + Out("cut.wav"));
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_EQ(ReadAudio("cut.wav", channels).size(), 44100u + 8820u);
  EXPECT_NE(r.Err.find("warning: the output was still sounding after the longest tail of 0.20 s"), std::string::npos)
      << r.Err;
}

// A chain: each plug-in takes the one before's outputs, the delays add up
// and are compensated, and PLUGIN:NAME picks whose parameter is set.
TEST_F(TVstRenderUse, AChainRunsThePluginsInOrderAndCompensatesTheirSummedDelay) {
  const std::vector<double> in = Ramp(3000, 2);
  WriteWav("in.wav", in, 2);
  TRun r =
      Render(kDelayLine, "-p '" + kDelayLine + "' -p '" + kHalfGain + "' --tail 0" + In("in.wav") + Out("out.wav"));
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_NE(r.Err.find("compensated the plug-in's delay of " + std::to_string(2 * kDelayLineLatency) + " samples"),
            std::string::npos)
      << r.Err;
  int channels = 0;
  const std::vector<double> out = ReadAudio("out.wav", channels);
  ASSERT_EQ(out.size(), in.size());
  for (size_t i = 0; i < in.size(); ++i) ASSERT_NEAR(out[i], 0.5 * in[i], 1e-7) << i;
  const std::string plugin = VB_BINARY_DIR "/VordaBrasswick.so";
  if (!Exists(plugin)) return;
  const std::string chain = "-q --tail 0 -p '" + kHalfGain + "'" + In("in.wav") + Out("two.wav");
  EXPECT_EQ(RunProgram(test::kRenderProgram, "-p '" + plugin + "' --param VordaBrasswick:Drive=60 " + chain).Code, 0);
  r = RunProgram(test::kRenderProgram, "-p '" + plugin + "' --param 2:Drive=60 " + chain);
  EXPECT_EQ(r.Code, 2);
  EXPECT_NE(r.Err.find("Drive"), std::string::npos) << r.Err;
}

// A MIDI file with a tempo change and running status: each note-on reaches
// the synth at its exact sample (it clicks there), the render lasts as long
// as the file, and a synth given audio without notes is warned about.
TEST_F(TVstRenderUse, MidiNotesArriveSampleAccuratelyThroughTheTempoMap) {
  const auto vlq = [](unsigned N) {
    std::string b(1, char(N & 0x7F));
    for (N >>= 7; N; N >>= 7) b.insert(b.begin(), char((N & 0x7F) | 0x80));
    return b;
  };
  const auto be = [](unsigned V, int Bytes) {
    std::string b;
    for (int k = Bytes - 1; k >= 0; --k) b += char((V >> (8 * k)) & 0xFF);
    return b;
  };
  // 480 ticks per quarter; 120 bpm, then 60 bpm from tick 960.
  const std::string tempo = vlq(0) + "\xFF\x51\x03" + be(500000, 3) + vlq(960) + "\xFF\x51\x03" + be(1000000, 3) +
                            vlq(0) + std::string("\xFF\x2F\x00", 3);
  const std::string notes = vlq(480) + "\x90\x3C\x64" + vlq(480) + std::string("\x3C\x00", 2) + vlq(0) + "\x40\x64" +
                            vlq(480) + std::string("\x80\x40\x00", 3) + vlq(0) + std::string("\xFF\x2F\x00", 3);
  std::ofstream(Path("song.mid"), std::ios::binary)
      << "MThd" << be(6, 4) << be(1, 2) << be(2, 2) << be(480, 2) << "MTrk" << be(unsigned(tempo.size()), 4) << tempo
      << "MTrk" << be(unsigned(notes.size()), 4) << notes;
  TRun r = Render(kSilentSynth, "-q -b 1000 --tail 0 --midi '" + Path("song.mid") + "'" + Out("song.wav"));
  ASSERT_EQ(r.Code, 0) << r.Err;
  int channels = 0;
  const std::vector<double> out = ReadAudio("song.wav", channels);
  ASSERT_EQ(out.size(), 2u * 88200u);  // 0.5 s + 0.5 s at 120 bpm, 1 s at 60 bpm
  std::vector<size_t> clicks;
  for (size_t i = 0; i < out.size(); i += 2)
    if (out[i] != 0.0) clicks.push_back(i / 2);
  EXPECT_EQ(clicks, (std::vector<size_t>{22050, 44100}));

  std::ofstream(Path("bad.mid"), std::ios::binary)
      << "MThd" << be(6, 4) << be(1, 2) << be(1, 2) << be(480, 2) << "MTrk" << be(100, 4) << "\x00\x90";
  r = Render(kSilentSynth, "-q --midi '" + Path("bad.mid") + "'" + Out("bad.wav"));
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("is no standard MIDI file"), std::string::npos) << r.Err;
  WriteWav("in.wav", std::vector<double>(1000, 0.1), 1);
  r = Render(kSilentSynth, "-q" + In("in.wav") + Out("x.wav"));
  EXPECT_NE(r.Err.find("gets the audio of '" + Path("in.wav") + "' and no notes"), std::string::npos) << r.Err;
}

// A scan loads each candidate in a process of its own: one that crashes is
// listed as such and the others are still found, below subfolders too.
TEST_F(TVstRenderUse, ListPluginsSurvivesACrashingPluginAndTellsWhatLoads) {
  const std::string crashing = test::kTestPlugins + "testplugin_crashing.so";
  if (!Exists(crashing)) GTEST_SKIP() << "the crashing test plug-in is not built";
  namespace fs = std::filesystem;
  fs::create_directories(Path("vst/sub"));
  fs::copy_file(crashing, Path("vst/crashing.so"));
  fs::copy_file(kHalfGain, Path("vst/sub/halfgain.so"));
  fs::copy_file(kSilentSynth, Path("vst/synth.so"));
  std::ofstream(Path("vst/broken.so")) << "not a library";
  const std::string env = "LXVST_PATH='" + Path("vst") + "' VST_PATH= HOME=/nonexistent";
  TRun r = RunProgram(test::kRenderProgram, "--list-plugins", env);
  ASSERT_EQ(r.Code, 0) << r.Err;
  for (const std::string& line :
       {Path("vst/crashing.so") + ": does not load: crashed while loading (Segmentation fault)",
        Path("vst/sub/halfgain.so") + ": Half Gain (Vorda Tests, 'HGan'), 2 in, 2 out, effect",
        Path("vst/synth.so") + ": Silent Synth (Vorda Tests, 'SSyn'), 0 in, 2 out, synth",
        Path("vst/broken.so") + ": does not load: "})
    EXPECT_NE(r.Out.find(line), std::string::npos) << line << "\n" << r.Out;
  r = RunProgram(test::kRenderProgram, "--list-plugins --json", env);
  EXPECT_NE(r.Out.find("\"kind\": \"synth\""), std::string::npos) << r.Out;
  // An instrument known by its category alone.
  r = RunProgram(test::kRenderProgram, "--list-plugins", env + " VB_SILENTSYNTH_CATEGORY_ONLY=1");
  EXPECT_NE(r.Out.find(Path("vst/synth.so") + ": Silent Synth (Vorda Tests, 'SSyn'), 0 in, 2 out, synth"),
            std::string::npos)
      << r.Out;
}

}  // namespace
}  // namespace vb
