// Guards the audio file layer: formats follow the extension or the input, no partial files, no wrap-around, cut
// files noticed.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <iterator>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "audio_file.h"
#include "data_chunk_check.h"
#include "file_calls.h"
#include "platform/system/system_calls.h"
#include "tools/tool_test_dir.h"

namespace vb {
namespace {

class TAudioFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = test::MakeTestFolder("vb_audio_");
    ASSERT_FALSE(FDir.empty());
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(test::FsPath(FDir), ignored);
  }
  std::string Path(const std::string& Name) const { return FDir + "/" + Name; }
  static bool Exists(const std::string& P) { return test::Exists(P); }
  // Files in the folder, hidden ones included.
  int FileCount() const {
    const auto names = FolderNames(FDir);
    return static_cast<int>(names.size());
  }
  std::string FDir;
};

TEST_F(TAudioFileTest, WritesAndReadsBackEverySupportedContainer) {
  std::vector<double> ramp(2 * 1000);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = (static_cast<double>(i % 200) - 100) / 128.0;
  for (const char* name : {"a.wav", "b.flac", "c.aiff", "d.AIF"}) {
    TAudioFormat fmt;
    std::string error;
    ASSERT_TRUE(ChooseOutputFormat(Path(name), {}, fmt, error)) << error;
    ASSERT_TRUE(WriteAudioFile(Path(name), fmt, ramp.data(), 1000, 2, 48000, error)) << error;
    TAudioFileReader r;
    ASSERT_TRUE(r.Open(Path(name), error)) << error;
    EXPECT_EQ(r.Channels(), 2);
    EXPECT_EQ(r.SampleRate(), 48000);
    EXPECT_EQ(r.Frames(), 1000);
    std::vector<double> back(ramp.size());
    EXPECT_EQ(r.Read(back.data(), 1000, error), 1000);
    for (size_t i = 0; i < ramp.size(); ++i) ASSERT_NEAR(back[i], ramp[i], 1e-6) << name << " sample " << i;
    EXPECT_EQ(r.Read(back.data(), 1000, error), 0);
  }
}

TEST_F(TAudioFileTest, OutputKeepsTheInputsFormatUnlessTheExtensionSaysOtherwise) {
  const TAudioFormat wav16{SF_FORMAT_WAV | SF_FORMAT_PCM_16};
  TAudioFormat out;
  std::string error;
  ASSERT_TRUE(ChooseOutputFormat(Path("x.wav"), wav16, out, error));
  EXPECT_EQ(out.Code, wav16.Code);
  ASSERT_TRUE(ChooseOutputFormat(Path("x"), wav16, out, error));  // no extension: the input's container
  EXPECT_EQ(out.Code, wav16.Code);
  EXPECT_FALSE(ChooseOutputFormat(Path("x.out"), wav16, out, error));  // an unknown one is refused
  EXPECT_NE(error.find("known: wav, flac, aiff"), std::string::npos) << error;
  ASSERT_TRUE(ChooseOutputFormat(Path("x.flac"), wav16, out, error));
  EXPECT_EQ(out.Code, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  // FLAC cannot hold floats: a float input becomes 24-bit FLAC.
  ASSERT_TRUE(ChooseOutputFormat(Path("x.flac"), {SF_FORMAT_WAV | SF_FORMAT_FLOAT}, out, error));
  EXPECT_EQ(out.Code, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
  // No input (the demo): WAV as float, so that nothing clips.
  ASSERT_TRUE(ChooseOutputFormat(Path("x.wav"), {}, out, error));
  EXPECT_EQ(out.Code, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  EXPECT_FALSE(ChooseOutputFormat(Path("x.out"), {}, out, error));
  EXPECT_NE(error.find("x.out"), std::string::npos);
}

TEST_F(TAudioFileTest, LeavesNoFileWhenTheWriteIsNotCommitted) {
  std::string error;
  {
    TAudioFileWriter w;
    ASSERT_TRUE(w.Open(Path("out.wav"), {SF_FORMAT_WAV | SF_FORMAT_FLOAT}, 2, 44100, error)) << error;
    double frame[2] = {0.1, 0.2};
    ASSERT_TRUE(w.Write(frame, 1, error));
    EXPECT_TRUE(Exists(w.TempPath()));
    EXPECT_FALSE(Exists(Path("out.wav")));
  }
  EXPECT_EQ(FileCount(), 0);
}

TEST_F(TAudioFileTest, CommitReplacesAnEarlierFileOnlyAtTheEnd) {
  std::string error;
  double one[2] = {0.5, 0.5};
  TAudioFormat fmt{SF_FORMAT_WAV | SF_FORMAT_FLOAT};
  ASSERT_TRUE(WriteAudioFile(Path("out.wav"), fmt, one, 1, 2, 44100, error)) << error;
  TAudioFileWriter w;
  ASSERT_TRUE(w.Open(Path("out.wav"), fmt, 2, 44100, error)) << error;
  std::vector<double> three(6, 0.25);
  ASSERT_TRUE(w.Write(three.data(), 3, error));
  {
    TAudioFileReader before;
    ASSERT_TRUE(before.Open(Path("out.wav"), error));
    EXPECT_EQ(before.Frames(), 1);
  }  // Windows keeps the name of a file open elsewhere (system_calls_test)
  ASSERT_TRUE(w.Commit(error)) << error;
  TAudioFileReader after;
  ASSERT_TRUE(after.Open(Path("out.wav"), error));
  EXPECT_EQ(after.Frames(), 3);
  EXPECT_EQ(FileCount(), 1);
}

TEST_F(TAudioFileTest, IntegerFilesClipAtFullScaleInsteadOfWrapping) {
  std::string error;
  double hot[4] = {1.5, -1.5, 0.5, -0.5};
  ASSERT_TRUE(WriteAudioFile(Path("hot.wav"), {SF_FORMAT_WAV | SF_FORMAT_PCM_16}, hot, 2, 2, 44100, error));
  TAudioFileReader r;
  ASSERT_TRUE(r.Open(Path("hot.wav"), error));
  double back[4];
  ASSERT_EQ(r.Read(back, 2, error), 2);
  EXPECT_GT(back[0], 0.99);
  EXPECT_LT(back[1], -0.99);
  EXPECT_NEAR(back[2], 0.5, 1e-4);
}

TEST_F(TAudioFileTest, ReportsUnreadableAndUnwritableFilesByName) {
  std::string error;
  TAudioFileReader r;
  EXPECT_FALSE(r.Open(Path("missing.wav"), error));
  EXPECT_NE(error.find("missing.wav"), std::string::npos) << error;
  std::FILE* junk = std::fopen(Path("junk.wav").c_str(), "wb");
  std::fputs("this is not audio", junk);
  std::fclose(junk);
  error.clear();
  EXPECT_FALSE(r.Open(Path("junk.wav"), error));
  EXPECT_NE(error.find("junk.wav"), std::string::npos) << error;
  TAudioFileWriter w;
  error.clear();
  EXPECT_FALSE(w.Open(Path("no/such/folder/out.wav"), {SF_FORMAT_WAV | SF_FORMAT_FLOAT}, 2, 44100, error));
  EXPECT_NE(error.find("out.wav"), std::string::npos) << error;
}

}  // namespace
}  // namespace vb

namespace vb {
namespace {

// Writes `frames` of noise-like stereo to `path` in `code`, then cuts the
// file to `keep` of its bytes; answers whether the write worked.
bool WriteAndCut(const std::string& Path, int Code, int Frames, double Keep) {
  std::vector<double> s(static_cast<size_t>(2 * Frames));
  for (size_t i = 0; i < s.size(); ++i) s[i] = 0.5 * std::sin(0.37 * static_cast<double>(i * i % 9973));
  std::string error;
  if (!WriteAudioFile(Path, {Code}, s.data(), Frames, 2, 44100, error)) return false;
  std::error_code failed;
  const auto size = std::filesystem::file_size(test::FsPath(Path), failed);
  if (!failed) std::filesystem::resize_file(test::FsPath(Path), static_cast<std::uintmax_t>(size * Keep), failed);
  return !failed;
}

// Reads to the end and answers the warning.
std::string ReadToEnd(const std::string& Path, std::int64_t& Frames) {
  TAudioFileReader r;
  std::string error;
  EXPECT_TRUE(r.Open(Path, error)) << error;
  std::vector<double> block(2 * 512);
  Frames = 0;
  for (std::int64_t n; (n = r.Read(block.data(), 512, error)) > 0;) Frames += n;
  return r.CutShortWarning();
}

TEST_F(TAudioFileTest, FilesCutShortAreNoticedInEveryContainer) {
  std::int64_t frames = 0;
  for (int code : {SF_FORMAT_WAV | SF_FORMAT_PCM_16, SF_FORMAT_AIFF | SF_FORMAT_PCM_24}) {
    ASSERT_TRUE(WriteAndCut(Path("cut"), code, 4000, 0.5));
    const std::string warning = ReadToEnd(Path("cut"), frames);
    EXPECT_NE(warning.find("is cut short: its header announces"), std::string::npos) << warning;
    EXPECT_GT(frames, 1900);
    EXPECT_LT(frames, 2000);
  }
  // FLAC's decoder stops at the cut: what it gave is kept, and the warning says so.
  ASSERT_TRUE(WriteAndCut(Path("cut.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 40000, 0.5));
  const std::string warning = ReadToEnd(Path("cut.flac"), frames);
  EXPECT_NE(warning.find("ends early or is damaged"), std::string::npos) << warning;
  EXPECT_GT(frames, 0);
  EXPECT_LT(frames, 40000);
  // Whole files say nothing.
  ASSERT_TRUE(WriteAndCut(Path("whole.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 4000, 1.0));
  EXPECT_EQ(ReadToEnd(Path("whole.flac"), frames), "");
  EXPECT_EQ(frames, 4000);
}

// A streaming writer leaves the data size open (0xFFFFFFFF); that is no cut.
TEST_F(TAudioFileTest, AnOpenDataSizeIsNotTakenForACut) {
  ASSERT_TRUE(WriteAndCut(Path("s.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1000, 1.0));
  const auto chunkSize = [](const std::string& Path, TDataChunkSize& Size) {
    const int fd = OpenToRead(Path);
    const bool ok = fd >= 0 && ReadDataChunkSize(fd, Size);
    if (fd >= 0) FileCalls().Close(fd);
    return ok;
  };
  TDataChunkSize size;
  ASSERT_TRUE(chunkSize(Path("s.wav"), size));
  EXPECT_EQ(size.Declared, 4000u);
  EXPECT_EQ(size.Present, 4000u);
  std::FILE* f = std::fopen(Path("s.wav").c_str(), "r+b");
  ASSERT_NE(f, nullptr);
  std::vector<unsigned char> head(4096);
  head.resize(std::fread(head.data(), 1, head.size(), f));
  const auto data = std::search(head.begin(), head.end(), std::begin("data"), std::end("data") - 1);
  ASSERT_NE(data, head.end());
  std::fseek(f, static_cast<long>(data - head.begin()) + 4, SEEK_SET);
  std::fwrite("\xff\xff\xff\xff", 1, 4, f);
  std::fclose(f);
  EXPECT_FALSE(chunkSize(Path("s.wav"), size));
}

}  // namespace
}  // namespace vb
