// Guards the vst-render command line: values reach the right option, bad values are refused with one line, help
// texts line up.
#include <gtest/gtest.h>

#include "command_line.h"
#include "render_options.h"

namespace vb {
namespace {

TOptionsResult Parse(std::initializer_list<std::string_view> Args) {
  return ParseRenderOptions(std::vector<std::string_view>(Args));
}

TEST(RenderOptions, GivesTheUsualDefaultsWhenOnlyThePluginIsNamed) {
  TOptionsResult r = Parse({"-p", "fx.so"});
  ASSERT_TRUE(r.Ok()) << r.Error;
  EXPECT_EQ(r.Options.PluginPath, "fx.so");
  EXPECT_EQ(r.Options.BlockSize, 512);
  EXPECT_EQ(r.Options.SampleRate, 0.0);  // the input's rate, else 44100
  EXPECT_EQ(r.Options.Precision, 32);
  EXPECT_TRUE(r.Options.InputPath.empty());
  EXPECT_TRUE(r.Options.OutputPath.empty());
  EXPECT_FALSE(r.Options.Quiet || r.Options.Info || r.Options.ListParams || r.Options.Normalised);
}

TEST(RenderOptions, AcceptsShortLongAndGluedForms) {
  for (auto args :
       {std::vector<std::string_view>{"-p", "a.so", "-i", "in.wav", "-o", "out.flac", "-b", "7", "-s", "48000",
                                      "--precision", "64", "-q"},
        std::vector<std::string_view>{"--plugin=a.so", "--input=in.wav", "--output=out.flac", "--blocksize=7",
                                      "--sample-rate=48000", "--precision=64", "--quiet"}}) {
    TOptionsResult r = ParseRenderOptions(args);
    ASSERT_TRUE(r.Ok()) << r.Error;
    EXPECT_EQ(r.Options.PluginPath, "a.so");
    EXPECT_EQ(r.Options.InputPath, "in.wav");
    EXPECT_EQ(r.Options.OutputPath, "out.flac");
    EXPECT_EQ(r.Options.BlockSize, 7);
    EXPECT_EQ(r.Options.SampleRate, 48000.0);
    EXPECT_EQ(r.Options.Precision, 64);
    EXPECT_TRUE(r.Options.Quiet);
  }
}

TEST(RenderOptions, KeepsParamRequestsInOrderAndSplitsAtTheLastEqualsSign) {
  TOptionsResult r = Parse({"-p", "a.so", "--param", "Drive=70", "--param=3=-12.5", "--param", "A=B=1", "--normalised",
                            "--info", "--list-params"});
  ASSERT_TRUE(r.Ok()) << r.Error;
  ASSERT_EQ(r.Options.Params.size(), 3u);
  EXPECT_EQ(r.Options.Params[0].Name, "Drive");
  EXPECT_EQ(r.Options.Params[0].Value, "70");
  EXPECT_EQ(r.Options.Params[1].Name, "3");
  EXPECT_EQ(r.Options.Params[1].Value, "-12.5");
  EXPECT_EQ(r.Options.Params[2].Name, "A=B");
  EXPECT_EQ(r.Options.Params[2].Value, "1");
  EXPECT_TRUE(r.Options.Normalised && r.Options.Info && r.Options.ListParams);
}

TEST(RenderOptions, RefusesMissingMalformedAndOutOfRangeValuesWithOneLine) {
  const std::vector<std::vector<std::string_view>> bad = {
      {},                                                              // no plug-in
      {"-p"},                                                          // value missing
      {"-p", "a.so", "-b", "0"},                                       // block size too small
      {"-p", "a.so", "-b", "12x"},                                     // not a number
      {"-p", "a.so", "-b", "99999999999999"},                          // too large
      {"-p", "a.so", "-s", "0"},                                       // no rate
      {"-p", "a.so", "-s", "nan"},                                     // not a rate
      {"-p", "a.so", "--precision", "16"},                             // neither 32 nor 64
      {"-p", "a.so", "--param", "Drive"},                              // no '='
      {"-p", "a.so", "--param", "=5"},                                 // no name
      {"-p", "a.so", "--param", "Drive="},                             // no value
      {"-p", "a.so", "--bogus"},                                       // unknown option
      {"-p", "a.so", "a.wav", "b.wav", "-o", "-", "--format", "wav"},  // two inputs, one stream
      {"-p", "a.so", "--info=yes"},                                    // flags take no value
      // Combinations where an option would be silently ignored:
      {"-p", "a.so", "-o", "a.wav", "-o", "b.wav"},  // options of one value, given twice
      {"-p", "a.so", "-o", "x.xyz"},                 // no audio format
      {"-p", "a.so", "--out-channels", "0"},
      {"-p", "a.so", "-i", "a.wav", "--demo-out", "dry.wav"},
      {"-p", "a.so", "-o", "x.wav", "--format", "flac"},
      {"-p", "a.so", "--info", "-i", "a.wav"},
      {"-p", "a.so", "--list-params", "-o", "x.wav"},
      {"-p", "a.so", "--editor-snapshot", "shot.jpg"},
      {"-p", "a.so", "-o", "-"},  // standard output has no extension to tell the format
  };
  for (const auto& args : bad) {
    TOptionsResult r = ParseRenderOptions(args);
    EXPECT_FALSE(r.Ok()) << "accepted argument list #" << (&args - bad.data());
    EXPECT_EQ(r.Error.find('\n'), std::string::npos) << r.Error;
  }
}

TEST(RenderOptions, FormatMayNameWhatTheOutputNameCannot) {
  for (const auto& args :
       std::vector<std::vector<std::string_view>>{{"-p", "a.so", "-o", "-", "--format", "flac"},
                                                  {"-p", "a.so", "-o", "x.raw", "--format", "wav"},
                                                  {"-p", "a.so", "-o", "x.WAVE", "--format", ".wav"}})
    EXPECT_TRUE(ParseRenderOptions(args).Ok()) << ParseRenderOptions(args).Error;
}

TEST(RenderOptions, HelpNeedsNoPluginAndMentionsEveryOption) {
  TOptionsResult r = Parse({"--help"});
  ASSERT_TRUE(r.Ok()) << r.Error;
  EXPECT_TRUE(r.Options.Help);
  const std::string usage = RenderUsage();
  for (const char* opt : {"--plugin", "--input", "--output", "--blocksize", "--sample-rate", "--precision", "--param",
                          "--normalised", "--list-params", "--info", "--demo-out", "--quiet", "--help"})
    EXPECT_NE(usage.find(opt), std::string::npos) << opt;
}

// Help texts start in one column; a name too long for it puts its text on
// the next line there, never glued to the name.
TEST(RenderOptions, HelpTextsLineUpAndNeverTouchTheirName) {
  EXPECT_EQ(UsageRow("-b", "--blocksize", "N", "frames\nper call"),
            "  -b, --blocksize N" + std::string(11, ' ') + "frames\n" + std::string(30, ' ') + "per call\n");
  EXPECT_EQ(UsageRow(nullptr, "--abcdefghijklmnopqrstuv", nullptr, "text"),
            "      --abcdefghijklmnopqrstuv\n" + std::string(30, ' ') + "text\n");
}

// "--" ends the options, so that a file may start with a dash; --version
// needs nothing else.
TEST(RenderOptions, DoubleDashEndsTheOptionsAndVersionNeedsNoPlugin) {
  TOptionsResult r = Parse({"-p", "a.so", "-i", "a.wav", "--", "-x.wav"});
  ASSERT_TRUE(r.Ok()) << r.Error;
  EXPECT_EQ(r.Options.Inputs, (std::vector<std::string>{"a.wav", "-x.wav"}));
  r = Parse({"-p", "a.so", "-o", "--", "--out-channels", "1"});
  EXPECT_TRUE(r.Ok()) << r.Error;  // "--" as the value of -o is a name
  EXPECT_EQ(r.Options.OutputPath, "--");
  r = Parse({"--version"});
  ASSERT_TRUE(r.Ok()) << r.Error;
  EXPECT_TRUE(r.Options.Version);
}

}  // namespace
}  // namespace vb
