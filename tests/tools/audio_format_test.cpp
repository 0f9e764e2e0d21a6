// Guards the output format: every container the extension names is what libsndfile reads back, the input's
// encoding is kept where it fits and the nearest one is taken where it does not.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <vector>

#include "audio_file.h"
#include "tools/tool_test_dir.h"

namespace vb {
namespace {

struct TContainerCase {
  const char* Extension;
  int Major;
  int Sub;  // 0: the encoding follows the input
};

class TAudioFormatContainers : public test::TToolTest, public ::testing::WithParamInterface<TContainerCase> {};

// 48 kHz, which Opus takes too; the input is 24-bit WAV.
TEST_P(TAudioFormatContainers, WriteWhatTheExtensionNamesAndReadBack) {
  const TContainerCase& c = GetParam();
  const std::string name = std::string("out.") + c.Extension;
  TAudioFormat format;
  std::string error;
  if (!ChooseOutputFormat(Path(name), {SF_FORMAT_WAV | SF_FORMAT_PCM_24}, format, error)) {
    ASSERT_NE(error.find("this libsndfile cannot write"), std::string::npos) << error;
    GTEST_SKIP() << "this libsndfile cannot write ." << c.Extension;
  }
  std::vector<double> tone(2 * 4800);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = 0.25 * std::sin(0.05 * static_cast<double>(i / 2));
  ASSERT_TRUE(WriteAudioFile(Path(name), format, tone.data(), 4800, 2, 48000, error)) << error;
  SF_INFO info{};
  SNDFILE* f = sf_open(Path(name).c_str(), SFM_READ, &info);
  ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
  sf_close(f);
  EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, c.Major) << name;
  EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, c.Sub ? c.Sub : SF_FORMAT_PCM_24) << name;
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.samplerate, 48000);
}

INSTANTIATE_TEST_SUITE_P(
    EveryExtension, TAudioFormatContainers,
    ::testing::Values(TContainerCase{"wav", SF_FORMAT_WAV, 0}, TContainerCase{"flac", SF_FORMAT_FLAC, 0},
                      TContainerCase{"aiff", SF_FORMAT_AIFF, 0}, TContainerCase{"ogg", SF_FORMAT_OGG, SF_FORMAT_VORBIS},
                      TContainerCase{"opus", SF_FORMAT_OGG, SF_FORMAT_OPUS},
                      TContainerCase{"mp3", SF_FORMAT_MPEG, SF_FORMAT_MPEG_LAYER_III},
                      TContainerCase{"caf", SF_FORMAT_CAF, 0}, TContainerCase{"w64", SF_FORMAT_W64, 0},
                      TContainerCase{"rf64", SF_FORMAT_RF64, 0}, TContainerCase{"au", SF_FORMAT_AU, 0}),
    [](const auto& info) { return std::string(info.param.Extension); });

int Chosen(const std::string& Path, int InputCode) {
  TAudioFormat out;
  std::string error;
  EXPECT_TRUE(ChooseOutputFormat(Path, {InputCode}, out, error)) << error;
  return out.Code;
}

TEST(AudioFormat, KeepsTheInputsEncodingWhereItFitsAndTakesTheNearestElse) {
  EXPECT_EQ(Chosen("x.aiff", SF_FORMAT_WAV | SF_FORMAT_ULAW), SF_FORMAT_AIFF | SF_FORMAT_ULAW);
  EXPECT_EQ(Chosen("x.flac", SF_FORMAT_WAV | SF_FORMAT_PCM_32), SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
  EXPECT_EQ(Chosen("x.flac", SF_FORMAT_WAV | SF_FORMAT_DOUBLE), SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
  EXPECT_EQ(Chosen("x.flac", SF_FORMAT_WAV | SF_FORMAT_PCM_U8), SF_FORMAT_FLAC | SF_FORMAT_PCM_S8);
  EXPECT_EQ(Chosen("x.wav", SF_FORMAT_FLAC | SF_FORMAT_PCM_S8), SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
  EXPECT_EQ(Chosen("x.wav", SF_FORMAT_AIFF | SF_FORMAT_DOUBLE), SF_FORMAT_WAV | SF_FORMAT_DOUBLE);
  // Lossy inputs never carry their encoding over: MPEG in WAV passes
  // libsndfile's format check and then fails to open.
  EXPECT_EQ(Chosen("x.wav", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(Chosen("x.flac", SF_FORMAT_OGG | SF_FORMAT_VORBIS), SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  EXPECT_EQ(Chosen("X.WAV", SF_FORMAT_OGG | SF_FORMAT_OPUS), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  // Whatever the input, Ogg is Vorbis.
  EXPECT_EQ(Chosen("x.ogg", SF_FORMAT_WAV | SF_FORMAT_FLOAT), SF_FORMAT_OGG | SF_FORMAT_VORBIS);
}

TEST(AudioFormat, AnMp3InputWrittenAsWavOpensAndAFormatOptionOverridesTheName) {
  TAudioFormat out;
  std::string error;
  ASSERT_TRUE(ChooseOutputFormat("/dev/null", "FLAC", {SF_FORMAT_WAV | SF_FORMAT_PCM_16}, out, error)) << error;
  EXPECT_EQ(out.Code, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  ASSERT_TRUE(ChooseOutputFormat("/dev/null", ".wav", {SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III}, out, error));
  TAudioFileWriter w;
  EXPECT_TRUE(w.Open("/dev/null", out, 2, 44100, error)) << error;
  EXPECT_FALSE(ChooseOutputFormat("x.wav", "mp4", {}, out, error));
  EXPECT_NE(error.find("unknown audio format '.mp4'"), std::string::npos) << error;
}

TEST(AudioFormat, OpusIsRefusedAtRatesItCannotRunAt) {
  TAudioFormat opus{SF_FORMAT_OGG | SF_FORMAT_OPUS};
  EXPECT_EQ(CheckFormatFits(opus, 2, 48000), "");
  EXPECT_NE(CheckFormatFits(opus, 2, 44100).find("not 44100 Hz"), std::string::npos);
  EXPECT_NE(CheckFormatFits({SF_FORMAT_WAV | SF_FORMAT_PCM_16}, 0, 44100).find("cannot hold 0 channels"),
            std::string::npos);
}

// 2,800 s of 192 kHz stereo float is 4.0 GiB of audio: its 32-bit size
// fields would wrap and every reader would see a few seconds.
class TAudioFormatSize : public test::TToolTest {};

TEST_F(TAudioFormatSize, OutputsBeyondFourGibibytesBecomeRf64OrAreRefusedBeforeTheRender) {
  constexpr std::int64_t kLong = 2800LL * 192000;
  std::string note, error;
  TAudioFormat wav{SF_FORMAT_WAV | SF_FORMAT_FLOAT};
  ASSERT_TRUE(PlanOutputSize(wav, 2, kLong, 192000, note, error));
  EXPECT_EQ(wav.Code, SF_FORMAT_RF64 | SF_FORMAT_FLOAT);
  EXPECT_NE(note.find("RF64"), std::string::npos) << note;
  TAudioFormat aiff{SF_FORMAT_AIFF | SF_FORMAT_PCM_32};
  EXPECT_FALSE(PlanOutputSize(aiff, 2, kLong, 192000, note, error));
  EXPECT_NE(error.find("4 GiB"), std::string::npos) << error;
  // An unknown length: WAV while it fits, RF64 beyond.
  TAudioFormat piped{SF_FORMAT_WAV | SF_FORMAT_PCM_16};
  ASSERT_TRUE(PlanOutputSize(piped, 2, 0, 44100, note, error));
  EXPECT_TRUE(piped.WavWhenSmall);
  ASSERT_TRUE(WriteAudioFile(Path("small.wav"), piped, std::vector<double>(200).data(), 100, 2, 44100, error)) << error;
  EXPECT_EQ(test::ReadText(Path("small.wav")).substr(0, 4), "RIFF");
  int channels = 0;
  EXPECT_EQ(ReadAudio("small.wav", channels).size(), 200u);
  // What fits, and what has no such limit, stays as it is.
  for (TAudioFormat kept :
       {TAudioFormat{SF_FORMAT_WAV | SF_FORMAT_PCM_16}, TAudioFormat{SF_FORMAT_FLAC | SF_FORMAT_PCM_24}}) {
    const int code = kept.Code;
    ASSERT_TRUE(
        PlanOutputSize(kept, 2, code == (SF_FORMAT_WAV | SF_FORMAT_PCM_16) ? 48000 : kLong, 192000, note, error));
    EXPECT_EQ(kept.Code, code);
    EXPECT_FALSE(kept.WavWhenSmall);
  }
}

}  // namespace
}  // namespace vb
