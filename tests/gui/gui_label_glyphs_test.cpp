// Guards the editor's label on a machine without fonts: "by Vorda" in the
// label's font comes from the face compiled into the library, every glyph
// drawn in its own shape, neither blank nor the missing-glyph box. ctest
// runs these tests a second time under an empty fontconfig
// (GuiLabel.WithoutInstalledFonts).
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "platform/text_renderer.h"

namespace vb::test {
namespace {

// The label's font as the editor sets it, at its 16x oversampling.
TFontDescription LabelFont() {
  TFontDescription font;
  font.FaceName = "Lucida Console";
  font.PixelHeight = 12 * 16;
  font.CellHeight = true;
  font.Bold = true;
  return font;
}

std::vector<std::uint8_t> Coverage(std::string_view Text) {
  TTextRenderer& renderer = SystemTextRenderer();
  const TTextExtent extent = renderer.Measure(LabelFont(), Text);
  std::vector<std::uint8_t> ink(std::size_t(extent.Width) * std::size_t(extent.Height), 0);
  renderer.Draw(LabelFont(), Text,
                TRasterView{ink.data(), extent.Width, extent.Height, extent.Width, TRasterFormat::rfGrey8, nullptr}, 0,
                0);
  return ink;
}

TEST(GuiLabelGlyphs, EveryGlyphOfTheLabelComesFromTheBundledMonospacedFace) {
  const TFaceInfo face = SystemTextRenderer().Describe(LabelFont());
  EXPECT_EQ(face.Family, "DejaVu Sans Mono");
  EXPECT_TRUE(face.FixedPitch);
  EXPECT_FALSE(face.SyntheticBold);
  // A private-use character no face has: the missing-glyph box.
  const std::vector<std::uint8_t> missing = Coverage("\xF4\x8F\xBF\xBD");
  for (const char letter : std::string("byVorda")) {
    const std::vector<std::uint8_t> glyph = Coverage(std::string(1, letter));
    EXPECT_GT(std::accumulate(glyph.begin(), glyph.end(), 0L), 0L) << letter;
    EXPECT_NE(glyph, missing) << letter;
  }
}

}  // namespace
}  // namespace vb::test
