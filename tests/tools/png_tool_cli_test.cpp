// Guards png-tool as a user meets it: --help tells the output, the size limit and gamma; broken headers and palette
// images without colours are refused instead of decoded.
#include <gtest/gtest.h>

#include <fstream>

#include "png/png_test_util.h"
#include "tools/tool_test_dir.h"

namespace vb {
namespace {

using test::TBytes;
using test::TRun;

class PngToolCli : public test::TToolTest {
 protected:
  void SetUp() override {
    if (!test::Exists(test::kPngToolProgram)) GTEST_SKIP() << "png-tool is not built";
    TToolTest::SetUp();
  }
  TRun Run(const std::string& args) const { return RunProgram(test::kPngToolProgram, args); }
  void Write(const std::string& name, const TBytes& bytes) {
    std::ofstream(Path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  TRun Decode(const std::string& name) { return Run("decode '" + Path(name) + "' '" + Path("out.pam") + "'"); }
};

TEST_F(PngToolCli, HelpExplainsCommandsOutputLimitAndGamma) {
  TRun r = Run("--help");
  ASSERT_EQ(r.Code, 0) << r.Err;
  for (const char* text : {"decode IN.png OUT.pam", "encode IN.pam OUT.png", "info IN.png", "TUPLTYPE RGB_ALPHA",
                           "8 bits per sample", "67108864 pixels", "256 MiB", "gAMA chunk is applied", "ignore\ngAMA"})
    EXPECT_NE(r.Out.find(text), std::string::npos) << text;
  r = Run("");
  EXPECT_EQ(r.Code, 2);
  EXPECT_NE(r.Err.find("usage: png-tool"), std::string::npos) << r.Err;
}

TEST_F(PngToolCli, DecodesAGoodFileToAnRgbaPam) {
  Write("red.png", test::MakePng(test::IhdrData(2, 1, 8, 2), {0, 255, 0, 0, 255, 0, 0}));
  TRun r = Decode("red.png");
  ASSERT_EQ(r.Code, 0) << r.Err;
  const std::string pam = test::ReadText(Path("out.pam"));
  const std::string header = "P7\nWIDTH 2\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  ASSERT_EQ(pam.substr(0, header.size()), header);
  EXPECT_EQ(pam.substr(header.size()), std::string("\xff\x00\x00\xff\xff\x00\x00\xff", 8));
}

TEST_F(PngToolCli, ZeroSizedImagesAreRefusedByEveryCommand) {
  for (auto [w, h] : {std::pair{0u, 1u}, std::pair{1u, 0u}, std::pair{0u, 0u}}) {
    Write("zero.png", test::MakePng(test::IhdrData(w, h, 8, 0), {}));
    TRun r = Decode("zero.png");
    EXPECT_EQ(r.Code, 1) << w << " x " << h;
    EXPECT_NE(r.Err.find("a PNG image is at least 1 x 1 pixels"), std::string::npos) << r.Err;
    EXPECT_FALSE(test::Exists(Path("out.pam")));
    EXPECT_EQ(Run("info '" + Path("zero.png") + "'").Code, 1);
  }
}

TEST_F(PngToolCli, APaletteImageWithoutItsPaletteIsRefused) {
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

}  // namespace
}  // namespace vb
