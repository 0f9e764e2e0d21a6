// Guards the vst-render program end to end: one-line errors without leftovers, --info, lengths, block-size
// independence.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "demo_signal.h"
#include "tools/tool_test_dir.h"

namespace vb {
namespace {

const std::string kRender = test::kRenderProgram;
#ifdef VB_PLUGIN_PATH
const std::string kPlugin = VB_PLUGIN_PATH;
#else
const std::string kPlugin;
#endif
// Test plug-ins: one halves its input (block by block, exactly), one is a
// bare module with the framework's defaults (32-bit only, no parameters).
const std::string kHalfGain = test::kTestPlugins + "testplugin_halfgain.so";
const std::string kBare = test::kTestPlugins + "testplugin_nodescription.so";

using test::Exists;
using test::TRun;

std::string FindLibz() {
  for (const char* p : {"/usr/lib/x86_64-linux-gnu/libz.so.1", "/lib/x86_64-linux-gnu/libz.so.1",
                        "/usr/lib/aarch64-linux-gnu/libz.so.1", "/usr/lib64/libz.so.1", "/usr/lib/libz.so.1"})
    if (Exists(p)) return p;
  return {};
}

class TVstRenderCli : public test::TToolTest {
 protected:
  void SetUp() override {
    if (!Exists(kRender)) GTEST_SKIP() << "vst-render is not built";
    TToolTest::SetUp();
  }

  TRun Run(const std::string& Args, const std::string& Env = "") const { return RunProgram(kRender, Args, Env); }

  static bool HavePlugin() { return !kPlugin.empty() && Exists(kPlugin); }

  std::vector<double> ReadWav(const std::string& Name, int& Channels) { return ReadAudio(Name, Channels); }

  static void ExpectOneLineError(const TRun& R, const std::string& Mentions) {
    EXPECT_NE(R.Code, 0);
    EXPECT_EQ(R.Err.rfind("vst-render: ", 0), 0u) << R.Err;
    EXPECT_EQ(std::count(R.Err.begin(), R.Err.end(), '\n'), 1) << R.Err;
    EXPECT_NE(R.Err.find(Mentions), std::string::npos) << R.Err;
  }
};

TEST_F(TVstRenderCli, FailuresGiveOneLineANonZeroExitAndNoOutputFile) {
  const std::string out = " -q -o '" + Path("out.wav") + "'";
  ExpectOneLineError(Run("-p '" + Path("missing.so") + "'" + out), "not found");
  if (std::string libz = FindLibz(); !libz.empty())
    ExpectOneLineError(Run("-p '" + libz + "'" + out), "not a VST 2.4 plug-in");
  std::ofstream(Path("fake.so")) << "not a library";
  ExpectOneLineError(Run("-p '" + Path("fake.so") + "'" + out), "cannot load");
  std::ofstream(Path("noise.wav")) << "not audio";
  ExpectOneLineError(Run("-p '" + Path("fake.so") + "' -i '" + Path("noise.wav") + "'" + out), "noise.wav");
  ExpectOneLineError(Run("-p x.so -b 0"), "block size");
  EXPECT_EQ(Run("-p x.so --bogus").Code, 2);
  std::remove(Path("fake.so").c_str());
  std::remove(Path("noise.wav").c_str());
  EXPECT_TRUE(Leftovers().empty()) << Leftovers().front();
}

TEST_F(TVstRenderCli, PluginFailuresLeaveNoOutputFile) {
  if (!HavePlugin()) GTEST_SKIP() << "the plug-in is not built";
  const std::string p = "-p '" + kPlugin + "' -q -o '" + Path("out.wav") + "'";
  ExpectOneLineError(Run(p + " --param NoSuchKnob=3"), "unknown parameter 'NoSuchKnob'");
  TRun r = Run(p + " --param Drive=0x10");  // a bad value is a bad command line
  ExpectOneLineError(r, "hexadecimal");
  EXPECT_EQ(r.Code, 2);
  ExpectOneLineError(Run(p + " -i '" + Path("missing.wav") + "'"), "missing.wav");
  ExpectOneLineError(Run("-p '" + kPlugin + "' -q -o '" + Path("no/such/dir/out.wav") + "'"), "out.wav");
  EXPECT_TRUE(Leftovers().empty()) << Leftovers().front();
}

TEST_F(TVstRenderCli, InfoShowsWhatAHostLearns) {
  if (!HavePlugin()) GTEST_SKIP() << "the plug-in is not built";
  TRun r = Run("--info -p '" + kPlugin + "'");
  ASSERT_EQ(r.Code, 0) << r.Err;
  for (const char* text :
       {"Vorda Brasswick v1.2", "Vendor:          Vorda", "ZQT\\x00 (0x5A515400)", "Vendor version:  1200",
        "VST version:     2400", "Category:        effect (1)", "canReplacing", "canDoubleReplacing", "2in2out",
        "Input pins:", "Output pins:", "Parameters:"})
    EXPECT_NE(r.Out.find(text), std::string::npos) << text << "\n" << r.Out;
}

TEST_F(TVstRenderCli, MonoFileRendersToAFileOfTheSameLengthWithEveryOutput) {
  if (!HavePlugin()) GTEST_SKIP() << "the plug-in is not built";
  std::vector<double> mono(12345);
  for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.25 * std::sin(0.01 * static_cast<double>(i));
  WriteWav("mono.wav", mono, 1);
  TRun r = Run("-p '" + kPlugin + "' -i '" + Path("mono.wav") + "' -o '" + Path("out.wav") + "' -b 1000");
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_NE(r.Out.find("realtime"), std::string::npos) << r.Out;
  EXPECT_EQ(std::count(r.Out.begin(), r.Out.end(), '\n'), 1) << r.Out;
  int channels = 0;
  std::vector<double> out = ReadWav("out.wav", channels);
  EXPECT_EQ(channels, 2);
  EXPECT_EQ(out.size() / 2, mono.size());
}

TEST_F(TVstRenderCli, DemoRendersTenSecondsAndSavesTheDrySignalOnRequest) {
  if (!HavePlugin()) GTEST_SKIP() << "the plug-in is not built";
  TRun r = Run("-p '" + kPlugin + "' -q -o '" + Path("wet.wav") + "' --demo-out '" + Path("dry.wav") + "'");
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_TRUE(r.Out.empty()) << r.Out;  // -q
  int channels = 0;
  std::vector<double> dry = ReadWav("dry.wav", channels);
  std::vector<double> expected = TDemoSignal(44100).Render();
  ASSERT_EQ(dry.size(), expected.size());
  for (size_t i = 0; i < dry.size(); i += 997)
    ASSERT_FLOAT_EQ(static_cast<float>(dry[i]), static_cast<float>(expected[i]));
  std::vector<double> wet = ReadWav("wet.wav", channels);
  EXPECT_EQ(wet.size(), expected.size());
}

// Whatever the block size (one frame, odd sizes with a partial last block,
// blocks longer than the file) and precision, a plug-in that works sample
// by sample must give the same file.
TEST_F(TVstRenderCli, BlockSizeAndPrecisionDoNotChangeASampleBySampleRender) {
  if (!Exists(kHalfGain)) GTEST_SKIP() << "the half-gain test plug-in is not built";
  std::vector<double> in(2 * 10007);
  for (size_t i = 0; i < in.size(); ++i) in[i] = 0.5 * std::sin(0.003 * static_cast<double>(i * i % 10007));
  WriteWav("in.wav", in, 2);
  for (const char* block : {"1", "7", "512", "4096", "20000"}) {
    for (const char* precision : {"32", "64"}) {
      std::string name = std::string("out_") + block + "_" + precision + ".wav";
      TRun r = Run("-q -p '" + kHalfGain + "' --precision " + precision + " -b " + block + " -i '" + Path("in.wav") +
                   "' -o '" + Path(name) + "'");
      ASSERT_EQ(r.Code, 0) << r.Err;
      int channels = 0;
      std::vector<double> out = ReadWav(name, channels);
      ASSERT_EQ(out.size(), in.size()) << name;
      for (size_t i = 0; i < in.size(); ++i)
        ASSERT_EQ(static_cast<float>(out[i]), static_cast<float>(0.5 * in[i])) << name << " sample " << i;
    }
  }
}

TEST_F(TVstRenderCli, BypassedEffectGivesItsInputBack) {
  if (!HavePlugin()) GTEST_SKIP() << "the plug-in is not built";
  TRun list = Run("--list-params -p '" + kPlugin + "'");
  if (list.Out.find(" Power ") == std::string::npos) GTEST_SKIP() << "the effect has no Power switch yet";
  std::vector<double> in(2 * 3001);
  for (size_t i = 0; i < in.size(); ++i) in[i] = 0.7 * std::sin(0.05 * static_cast<double>(i));
  WriteWav("in.wav", in, 2);
  TRun r =
      Run("-q -p '" + kPlugin + "' --param Power=Off -b 100 -i '" + Path("in.wav") + "' -o '" + Path("out.wav") + "'");
  ASSERT_EQ(r.Code, 0) << r.Err;
  int channels = 0;
  std::vector<double> out = ReadWav("out.wav", channels);
  ASSERT_EQ(out.size(), in.size());
  for (size_t i = 0; i < in.size(); ++i) ASSERT_EQ(static_cast<float>(out[i]), static_cast<float>(in[i])) << i;
}

TEST_F(TVstRenderCli, SixtyFourBitRequestOnA32BitPluginIsRefused) {
  if (!Exists(kBare)) GTEST_SKIP() << "the bare test plug-in is not built";
  TRun r = Run("-q -p '" + kBare + "' --precision 64 -o '" + Path("out.wav") + "'");
  ExpectOneLineError(r, "64-bit");
  EXPECT_TRUE(Leftovers().empty());
  // The same plug-in renders in 32 bits; with no processing handler its outputs stay silent.
  r = Run("-p '" + kBare + "' -o '" + Path("out.wav") + "'");
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_NE(r.Out.find("out peak -inf dBFS"), std::string::npos) << r.Out;
}

TEST_F(TVstRenderCli, InfoDecodesAnotherPluginsIdentity) {
  if (!Exists(kHalfGain)) GTEST_SKIP() << "the half-gain test plug-in is not built";
  TRun r = Run("--info -p '" + kHalfGain + "'");
  ASSERT_EQ(r.Code, 0) << r.Err;
  for (const char* text :
       {"Effect name:     Half Gain", "Vendor:          Vorda Tests", "HGan (0x4847616E)", "Record version:  131478",
        "hasEditor canReplacing canDoubleReplacing", "  bypass                   yes", "  2in1out                  no"})
    EXPECT_NE(r.Out.find(text), std::string::npos) << text << "\n" << r.Out;
}

// Switches are set before continuous parameters whatever the order on the
// command line, and the reordering is told.
TEST_F(TVstRenderCli, TheOrderOfParamOptionsDoesNotChangeTheResult) {
  if (!HavePlugin()) GTEST_SKIP() << "the plug-in is not built";
  TRun list = Run("--list-params -p '" + kPlugin + "'");
  if (list.Out.find(" Stereo ") == std::string::npos) GTEST_SKIP() << "the effect has no Stereo switch yet";
  std::vector<double> in(2 * 8000);
  for (size_t i = 0; i < in.size(); ++i) in[i] = 0.6 * std::sin(0.02 * static_cast<double>(i / 2) * (1 + i % 2));
  WriteWav("in.wav", in, 2);
  const std::string common = "-p '" + kPlugin + "' -i '" + Path("in.wav") + "' -o '";
  TRun after = Run(common + Path("a.wav") + "' --param Drive=60 --param Trim=30 --param Stereo=1");
  ASSERT_EQ(after.Code, 0) << after.Err;
  EXPECT_NE(after.Err.find("note: switches are set before continuous parameters: Stereo=1, Drive=60, Trim=30"),
            std::string::npos)
      << after.Err;
  TRun before = Run(common + Path("b.wav") + "' --param Stereo=1 --param Drive=60 --param Trim=30");
  ASSERT_EQ(before.Code, 0) << before.Err;
  EXPECT_EQ(before.Err.find("switches are set"), std::string::npos) << before.Err;
  int channels = 0;
  EXPECT_EQ(ReadWav("a.wav", channels), ReadWav("b.wav", channels));
}

// VST 2.4 gives effSetSampleRate no answer: the plug-in's complaint, and
// rates outside what -s takes, stop the render before any output.
TEST_F(TVstRenderCli, RatesThePlugInRefusesOrThatAreOutOfRangeRenderNothing) {
  if (!HavePlugin()) GTEST_SKIP() << "the plug-in is not built";
  WriteWav("in.wav", std::vector<double>(2000, 0.25), 2, 4000);
  const std::string out = " -q -o '" + Path("out.wav") + "'";
  TRun r = Run("-p '" + kPlugin + "' -i '" + Path("in.wav") + "'" + out);
  ExpectOneLineError(r, "refuses to run at 4000 Hz");
  EXPECT_NE(r.Err.find("Invalid Samplerate!"), std::string::npos) << r.Err;
  for (std::uint32_t rate : {1u, 10000000u, 2147483647u}) {
    std::string wav = test::ReadText(Path("in.wav"));
    for (int k = 0; k < 4; ++k) wav[24 + k] = static_cast<char>(rate >> (8 * k));  // the fmt chunk's rate
    std::ofstream(Path("odd.wav"), std::ios::binary) << wav;
    r = Run("-p '" + kHalfGain + "' -i '" + Path("odd.wav") + "'" + out);
    ExpectOneLineError(r, " Hz; vst-render renders at 1000 to 1536000 Hz");
    EXPECT_EQ(r.Code, 1) << rate;
  }
  EXPECT_FALSE(Exists(Path("out.wav")));
}

// A mono file through a stereo plug-in: stereo unless asked for mono;
// asking for more outputs than there are is a bad command line.
TEST_F(TVstRenderCli, OutChannelsPicksMonoAndCommandLineMistakesExitWithTwo) {
  WriteWav("mono.wav", std::vector<double>(4410, 0.5), 1);
  const std::string in = " -q -p '" + kHalfGain + "' -i '" + Path("mono.wav") + "'";
  ASSERT_EQ(Run(in + " -o '" + Path("stereo.wav") + "'").Code, 0);
  TRun r = Run(in + " --out-channels 1 -o '" + Path("mono-out.wav") + "'");
  ASSERT_EQ(r.Code, 0) << r.Err;
  for (const auto& [name, expected] : {std::pair{"stereo.wav", 2}, std::pair{"mono-out.wav", 1}}) {
    int channels = 0;
    EXPECT_EQ(ReadWav(name, channels).size(), 4410u * static_cast<size_t>(expected)) << name;
    EXPECT_EQ(channels, expected) << name;
  }
  EXPECT_EQ(Run(in + " --out-channels 3 -o '" + Path("x.wav") + "'").Code, 2);
  r = Run(in + " -o '" + Path("x.xyz") + "'");
  EXPECT_EQ(r.Code, 2);
  EXPECT_EQ(r.Err.rfind("vst-render: error: ", 0), 0u) << r.Err;
  EXPECT_FALSE(Exists(Path("x.wav")));
  r = Run("--version");
  EXPECT_EQ(r.Code, 0);
  EXPECT_EQ(r.Out.rfind("vst-render " VB_TEST_VERSION "\n", 0), 0u) << r.Out;
}

// Scripts read switches with their settings; looking at the settings
// leaves each parameter as it was set.
TEST_F(TVstRenderCli, ListParamsAsJsonGivesSwitchSettingsAndLeavesTheValuesSet) {
  if (!HavePlugin()) GTEST_SKIP() << "the plug-in is not built";
  TRun r = Run("-p '" + kPlugin + "' --param Oversampling=8 --list-params --json");
  ASSERT_EQ(r.Code, 0) << r.Err;
  const size_t at = r.Out.find("\"name\": \"Oversampling\"");
  ASSERT_NE(at, std::string::npos) << r.Out;
  const std::string entry = r.Out.substr(at, r.Out.find('}', at) - at);
  EXPECT_NE(entry.find("\"display\": \"8\""), std::string::npos) << entry;
  EXPECT_NE(entry.find("\"switch\": true"), std::string::npos) << entry;
  std::string packed = entry;
  std::erase_if(packed, [](char C) { return C == ' ' || C == '\n'; });
  EXPECT_NE(packed.find("\"settings\":[\"1\",\"8\",\"16\"]"), std::string::npos) << entry;
  r = Run("-p '" + kHalfGain + "' --info --json");
  EXPECT_NE(r.Out.find("\"uniqueId\": \"HGan\""), std::string::npos) << r.Out;
  EXPECT_EQ(r.Out.back(), '\n');
}

// The encoding asked for is the one written, or refused as a bad command
// line; lossy quality changes the size (MP3 was 57 kbps at one time).
TEST_F(TVstRenderCli, BitsFloatAndQualityReachTheFile) {
  WriteWav("in.wav", std::vector<double>(2 * 4410, 0.25), 2);
  const std::string in = " -q -p '" + kHalfGain + "' -i '" + Path("in.wav") + "'";
  const std::pair<const char*, int> cases[] = {{"--bits 16 -o a.flac", 0x170002},
                                               {"--bits 24 -o a.wav", 0x010003},
                                               {"--bits 8 -o b.wav", 0x010005},
                                               {"--float -o a.aiff", 0x020006},
                                               {"--float --bits 64 -o c.wav", 0x010007}};
  for (const auto& [args, code] : cases) {
    const std::string a = args, name = a.substr(a.rfind(' ') + 1);
    ASSERT_EQ(Run(in + " " + a.substr(0, a.rfind(' ') + 1) + "'" + Path(name) + "'").Code, 0) << args;
    TAudioFileReader back;
    std::string error;
    ASSERT_TRUE(back.Open(Path(name), error)) << error;
    EXPECT_EQ(back.Format().Code, code) << args;
  }
  TRun r = Run(in + " --bits 32 -o '" + Path("x.flac") + "'");
  EXPECT_EQ(r.Code, 2);
  EXPECT_NE(r.Err.find("FLAC cannot hold 32-bit samples"), std::string::npos) << r.Err;
  EXPECT_EQ(Run(in + " --bits 16 -o '" + Path("x.mp3") + "'").Code, 2);
  EXPECT_FALSE(Exists(Path("x.flac")) || Exists(Path("x.mp3")));

  const std::string demo = " -q -p '" + kHalfGain + "' -o '";
  for (const char* q : {"1", "9"})
    ASSERT_EQ(Run(demo + Path(std::string("q") + q + ".mp3") + "' --quality " + q).Code, 0);
  ASSERT_EQ(Run(demo + Path("default.mp3") + "'").Code, 0);
  const size_t low = test::ReadText(Path("q1.mp3")).size(), high = test::ReadText(Path("q9.mp3")).size();
  EXPECT_GT(high, low * 2) << low << " " << high;
  EXPECT_GT(test::ReadText(Path("default.mp3")).size(), 10 * 100000 / 8) << "the 10 s demo under 100 kbps";
}

// A state saved after --param comes back through --preset, as a program or
// a bank; a preset of another plug-in is refused with both IDs.
TEST_F(TVstRenderCli, PresetsSaveAndRestoreTheStateAndBelongToOnePlugin) {
  if (!HavePlugin()) GTEST_SKIP() << "the plug-in is not built";
  const std::string plugin = "-q -p '" + kPlugin + "'";
  for (const char* name : {"drive.fxp", "drive.fxb"}) {
    ASSERT_EQ(Run(plugin + " --param Drive=60 --save-preset '" + Path(name) + "' --info").Code, 0) << name;
    TRun r = Run(plugin + " --preset '" + Path(name) + "' --list-params");
    ASSERT_EQ(r.Code, 0) << r.Err;
    const size_t at = r.Out.find("Drive");
    ASSERT_NE(at, std::string::npos) << r.Out;
    EXPECT_NE(r.Out.substr(at, r.Out.find('\n', at) - at).find(" 60 "), std::string::npos) << r.Out;
  }
  TRun r = Run("-q -p '" + kHalfGain + "' --preset '" + Path("drive.fxp") + "' --info");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("'ZQT\\x00'"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("'HGan'"), std::string::npos) << r.Err;
  EXPECT_EQ(Run(plugin + " --program 5 --info").Code, 2);
}

// -s other than the input's rate converts it: as many frames as the
// duration asks for, the same tone in phase from the first sample on.
TEST_F(TVstRenderCli, ASampleRateOtherThanTheInputsConvertsItWithoutAGap) {
  constexpr double kPi = 3.14159265358979323846;
  std::vector<double> tone(44100);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = 0.5 * std::sin(2 * kPi * 1000.0 * double(i) / 44100.0);
  WriteWav("in.wav", tone, 1);
  TRun r = Run("-q -p '" + kHalfGain + "' -i '" + Path("in.wav") + "' -s 48000 --tail 0 --out-channels 1 -o '" +
               Path("out.wav") + "'");
  ASSERT_EQ(r.Code, 0) << r.Err;
  int channels = 0;
  const std::vector<double> out = ReadWav("out.wav", channels);
  ASSERT_EQ(out.size(), 48000u);
  double worst = 0;
  for (size_t k = 100; k < 47900; ++k)
    worst = std::max(worst, std::fabs(out[k] - 0.25 * std::sin(2 * kPi * 1000.0 * double(k) / 48000.0)));
  EXPECT_LT(worst, 1e-3);
}

}  // namespace
}  // namespace vb
