// Guards .fxp/.fxb files: the bytes follow the VST 2.4 layout (big-endian, checked against a hand-made file), every
// kind reads back as written, and damaged files are refused instead of read past their end.
#include <gtest/gtest.h>

#include <cstring>

#include "preset_file.h"

namespace vb {
namespace {

TEST(PresetFile, AProgramHasTheVst24LayoutAndEveryKindReadsBack) {
  TPreset fxp;
  fxp.PluginId = 0x41424344;  // 'ABCD'
  fxp.PluginVersion = 7;
  fxp.Programs.push_back({"Warm", {0.5f, 1.0f}, {}, false});
  const std::vector<std::uint8_t> bytes = SerializePreset(fxp);
  std::vector<std::uint8_t> expected = {'C', 'c', 'n', 'K', 0, 0, 0, 56, 'F', 'x', 'C', 'k', 0,   0,   0,   1,
                                        'A', 'B', 'C', 'D', 0, 0, 0, 7,  0,   0,   0,   2,   'W', 'a', 'r', 'm'};
  expected.resize(32 + 24, 0);  // the rest of the 28-byte name; byteSize 56 leaves out magic and size
  for (std::uint8_t b : {0x3F, 0x00, 0x00, 0x00, 0x3F, 0x80, 0x00, 0x00}) expected.push_back(b);
  EXPECT_EQ(bytes, expected);

  TPreset chunkBank;
  chunkBank.IsBank = true;
  chunkBank.PluginId = -5;
  chunkBank.CurrentProgram = 3;
  chunkBank.Programs.push_back({"", {}, {1, 2, 3}, true});
  TPreset paramBank = fxp;
  paramBank.IsBank = true;
  paramBank.Programs.push_back({"Second", {0.25f, 0.0f}, {}, false});
  TPreset chunkProgram = fxp;
  chunkProgram.Programs[0] = {"Mine", {}, {9, 8}, true};
  for (const TPreset& preset : {fxp, chunkBank, paramBank, chunkProgram}) {
    TPreset back;
    std::string error;
    ASSERT_TRUE(ParsePreset(SerializePreset(preset), "x", back, error)) << error;
    EXPECT_EQ(back.IsBank, preset.IsBank);
    EXPECT_EQ(back.PluginId, preset.PluginId);
    ASSERT_EQ(back.Programs.size(), preset.Programs.size());
    for (size_t k = 0; k < back.Programs.size(); ++k) {
      EXPECT_EQ(back.Programs[k].Params, preset.Programs[k].Params);
      EXPECT_EQ(back.Programs[k].Chunk, preset.Programs[k].Chunk);
      EXPECT_EQ(back.Programs[k].IsChunk, preset.Programs[k].IsChunk);
      if (!preset.IsBank || !preset.Programs[k].IsChunk) {
        EXPECT_EQ(back.Programs[k].Name, preset.Programs[k].Name);
      }
    }
    if (preset.IsBank) {
      EXPECT_EQ(back.CurrentProgram, preset.CurrentProgram);
    }
  }
}

TEST(PresetFile, CutOrForeignFilesAreRefusedWithTheirName) {
  TPreset bank;
  bank.IsBank = true;
  bank.Programs.push_back({"A", {0.5f}, {}, false});
  bank.Programs.push_back({"B", {0.5f}, {}, false});
  const std::vector<std::uint8_t> whole = SerializePreset(bank);
  for (size_t cut : {size_t(0), size_t(10), whole.size() / 2, whole.size() - 1}) {
    TPreset back;
    std::string error;
    EXPECT_FALSE(ParsePreset(std::vector<std::uint8_t>(whole.begin(), whole.begin() + long(cut)), "b.fxb", back, error))
        << cut;
    EXPECT_NE(error.find("'b.fxb'"), std::string::npos) << error;
  }
  std::vector<std::uint8_t> huge = SerializePreset(bank);
  huge[7] = 0xFF;  // a size beyond the file
  TPreset back;
  std::string error;
  EXPECT_FALSE(ParsePreset(huge, "b.fxb", back, error));
}

}  // namespace
}  // namespace vb
