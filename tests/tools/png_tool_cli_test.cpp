// Guards png-tool as a user meets it: --help tells the output, the size limit and gamma; broken headers, palette
// images without colours, short image data and cut files are refused instead of decoded; failed writes leave no file.
#include <gtest/gtest.h>

#include <fstream>

#include "png/png_test_util.h"
#include "tools/tool_test_dir.h"

namespace vb {
namespace {

using test::TBytes;
using test::TRun;

class TPngToolCli : public test::TToolTest {
 protected:
  void SetUp() override {
    if (!test::Exists(test::kPngToolProgram)) GTEST_SKIP() << "png-tool is not built";
    TToolTest::SetUp();
  }
  TRun Run(const std::string& Args) const { return RunProgram(test::kPngToolProgram, Args); }
  void Write(const std::string& Name, const TBytes& Bytes) {
    std::ofstream(Path(Name), std::ios::binary)
        .write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
  }
  TRun Decode(const std::string& Name) { return Run("decode '" + Path(Name) + "' '" + Path("out.pam") + "'"); }
};

TEST_F(TPngToolCli, HelpExplainsCommandsOutputLimitAndGamma) {
  TRun r = Run("--help");
  ASSERT_EQ(r.Code, 0) << r.Err;
  for (const char* text : {"decode IN.png OUT.pam", "encode IN.pam OUT.png", "info IN.png", "TUPLTYPE RGB_ALPHA",
                           "8 bits per sample", "67108864 pixels", "256 MiB", "gAMA chunk is applied", "ignore\ngAMA"})
    EXPECT_NE(r.Out.find(text), std::string::npos) << text;
  r = Run("");
  EXPECT_EQ(r.Code, 2);
  EXPECT_NE(r.Err.find("usage: png-tool"), std::string::npos) << r.Err;
}

TEST_F(TPngToolCli, DecodesAGoodFileToAnRgbaPam) {
  Write("red.png", test::MakePng(test::IhdrData(2, 1, 8, 2), {0, 255, 0, 0, 255, 0, 0}));
  TRun r = Decode("red.png");
  ASSERT_EQ(r.Code, 0) << r.Err;
  const std::string pam = test::ReadText(Path("out.pam"));
  const std::string header = "P7\nWIDTH 2\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  ASSERT_EQ(pam.substr(0, header.size()), header);
  EXPECT_EQ(pam.substr(header.size()), std::string("\xff\x00\x00\xff\xff\x00\x00\xff", 8));
}

TEST_F(TPngToolCli, ZeroSizedImagesAreRefusedByEveryCommand) {
  for (auto [w, h] : {std::pair{0u, 1u}, std::pair{1u, 0u}, std::pair{0u, 0u}}) {
    Write("zero.png", test::MakePng(test::IhdrData(w, h, 8, 0), {}));
    TRun r = Decode("zero.png");
    EXPECT_EQ(r.Code, 1) << w << " x " << h;
    EXPECT_NE(r.Err.find("a PNG image is at least 1 x 1 pixels"), std::string::npos) << r.Err;
    EXPECT_FALSE(test::Exists(Path("out.pam")));
    EXPECT_EQ(Run("info '" + Path("zero.png") + "'").Code, 1);
  }
}

TEST_F(TPngToolCli, APaletteImageWithoutItsPaletteIsRefused) {
  const TBytes raw = {0, 0x01};  // one row, filter none, pixels 0 and 1 at 4 bits
  Write("nopal.png", test::MakePng(test::IhdrData(2, 1, 4, 3), raw));
  TRun r = Decode("nopal.png");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("without a PLTE chunk"), std::string::npos) << r.Err;
  EXPECT_FALSE(test::Exists(Path("out.pam")));
  // The same image with its palette decodes.
  const TBytes plte = test::PngChunk("PLTE", {10, 20, 30, 40, 50, 60});
  Write("pal.png", test::MakePng(test::IhdrData(2, 1, 4, 3), raw, plte));
  r = Decode("pal.png");
  ASSERT_EQ(r.Code, 0) << r.Err;
  const std::string pam = test::ReadText(Path("out.pam"));
  EXPECT_EQ(pam.substr(pam.size() - 8), std::string("\x0a\x14\x1e\xff\x28\x32\x3c\xff", 8));
}

TEST_F(TPngToolCli, ImageDataShortOfTheLastRowIsRefused) {
  // A complete zlib stream holding two of the header's four rows.
  Write("short.png", test::MakePng(test::IhdrData(4, 4, 8, 0), {0, 1, 2, 3, 4, 0, 5, 6, 7, 8}));
  TRun r = Decode("short.png");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("'" + Path("short.png") + "': the image data (IDAT) ends before the last row"),
            std::string::npos)
      << r.Err;
  EXPECT_FALSE(test::Exists(Path("out.pam")));
  // The same file cut in its image data is called what it is.
  const TBytes whole = test::MakePng(test::IhdrData(4, 1, 8, 0), {0, 1, 2, 3, 4});
  Write("cut.png", TBytes(whole.begin(), whole.end() - 20));
  r = Decode("cut.png");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find(Path("cut.png") + "': chunk IDAT (#2, at byte 33) announces"), std::string::npos) << r.Err;
}

TEST_F(TPngToolCli, FailedReadsAndWritesGiveTheReasonAndLeaveNoFile) {
  TRun r = Decode("missing.png");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("cannot open '" + Path("missing.png") + "': No such file or directory"), std::string::npos)
      << r.Err;
  std::string pam = "P7\nWIDTH 64\nHEIGHT 64\nDEPTH 3\nMAXVAL 255\nENDHDR\n";
  for (uint32_t i = 0, x = 1; i < 64 * 64 * 3; ++i) pam += char((x = x * 1103515245u + 12345u) >> 24);  // noise
  std::ofstream(Path("in.pam"), std::ios::binary) << pam;
  r = Run("encode '" + Path("in.pam") + "' /dev/full");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("cannot write '/dev/full': No space left on device"), std::string::npos) << r.Err;
  // A disk that fills up: files may not grow past 8 KiB.
  r = RunProgram(test::kPngToolProgram, "encode '" + Path("in.pam") + "' '" + Path("out.png") + "'",
                 "trap '' XFSZ; ulimit -f 16;");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("cannot write '" + Path("out.png") + "': File too large"), std::string::npos) << r.Err;
  EXPECT_EQ(List(), std::vector<std::string>{"in.pam"});
  r = Run("encode '" + Path("in.pam") + "' '" + Path("no/dir/out.png") + "'");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("No such file or directory"), std::string::npos) << r.Err;
  ASSERT_EQ(Run("encode '" + Path("in.pam") + "' '" + Path("out.png") + "'").Code, 0);
  // Read back, every pixel is as it was, and opaque.
  ASSERT_EQ(Decode("out.png").Code, 0);
  std::string expected;
  for (size_t at = pam.find("ENDHDR\n") + 7; at < pam.size(); at += 3) expected += pam.substr(at, 3) + '\xff';
  const std::string back = test::ReadText(Path("out.pam"));
  EXPECT_TRUE(back.substr(back.find("ENDHDR\n") + 7) == expected);
}

// Each fault names the file and the chunk; a file without IEND is cut, not
// good; "-" reads standard input; the output never overwrites the input.
TEST_F(TPngToolCli, FaultsNameTheChunkAndNoCommandOverwritesItsInput) {
  const TBytes good = test::MakePng(test::IhdrData(2, 1, 8, 2), {0, 255, 0, 0, 255, 0, 0});
  Write("good.png", good);
  TBytes crc = good;
  crc[20] ^= 0xFF;  // inside IHDR's data
  Write("crc.png", crc);
  Write("noiend.png", TBytes(good.begin(), good.end() - 12));
  const std::pair<const char*, const char*> faults[] = {
      {"crc.png", "': chunk IHDR (#1, at byte 8) is damaged: its CRC does not match"},
      {"noiend.png", "' has no IEND chunk"}};
  for (const auto& [name, says] : faults)
    for (const char* command : {"info", "decode"}) {
      TRun r =
          Run(std::string(command) + " '" + Path(name) + "'" + (command[0] == 'd' ? " '" + Path("o.pam") + "'" : ""));
      EXPECT_EQ(r.Code, 1) << name;
      EXPECT_NE(r.Err.find("png-tool: error: '" + Path(name) + says), std::string::npos) << r.Err;
    }
  EXPECT_FALSE(test::Exists(Path("o.pam")));

  std::ofstream(Path("w0.pam")) << "P7\nWIDTH 0\nHEIGHT 2\nDEPTH 4\nMAXVAL 255\nENDHDR\n";
  TRun r = Run("encode '" + Path("w0.pam") + "' '" + Path("o.png") + "'");
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("PAM size 0 x 2"), std::string::npos) << r.Err;

  r = RunProgram(test::kPngToolProgram, "decode - -", "cat '" + Path("good.png") + "' |", "");
  EXPECT_EQ(r.Out.substr(0, 9), "P7\nWIDTH ") << r.Err;
  r = Run("decode '" + Path("good.png") + "' '" + Path("good.png") + "'");
  EXPECT_EQ(r.Code, 2);
  EXPECT_EQ(test::ReadText(Path("good.png")).size(), good.size());
  r = Run("decode -- '" + Path("good.png") + "' '" + Path("-dash.pam") + "'");
  EXPECT_EQ(r.Code, 0) << r.Err;
  r = Run("--version");
  EXPECT_EQ(r.Out.rfind("png-tool " VB_TEST_VERSION "\n", 0), 0u) << r.Out;
}

}  // namespace
}  // namespace vb
