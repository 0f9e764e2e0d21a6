// Guards against an editor opening at the wrong size on a high-density
// screen: sources asked in the wrong order, an invalid value that fails or
// stops the search instead of passing on, Xft.dpi misread from the resource
// string, the display asked when the user has decided, a settings file that
// blocks the host, and rectangles that gain gaps or overlaps, or hit tests
// that disagree with drawing, at 1.5x.
#include "editor/editor_scale.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vb {
namespace {

constexpr TEditorScale k1 = TEditorScale::esOne, k15 = TEditorScale::esOneAndHalf, k2 = TEditorScale::esTwo;

TEditorScale Choose(const char* Environment, std::string_view Config, std::string_view Resources, const char* Gdk) {
  return ChooseEditorScale(TScaleSources{Environment, Config, Resources, Gdk});
}

TEST(EditorScale, FirstValidSourceWinsAndAutoGoesOnToTheDesktop) {
  const std::string_view dpi192 = "Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n";
  EXPECT_EQ(Choose("1.5", "scale = 2\n", dpi192, "2"), k15);
  EXPECT_EQ(Choose(nullptr, "# scale = 2\nscale = 1\nscale\t= 1.5 \r\n", dpi192, "2"), k15);  // the last line
  EXPECT_EQ(Choose(nullptr, "", dpi192, "1"), k2);
  EXPECT_EQ(Choose(nullptr, "", "Xft.dpi: 96\n", "2"), k1);  // Xft.dpi before GDK_SCALE
  EXPECT_EQ(Choose(nullptr, "", "", "2"), k2);
  EXPECT_EQ(Choose(nullptr, "", "", nullptr), k1);
  EXPECT_EQ(Choose("auto", "scale = 1\n", dpi192, nullptr), k2);  // skips the file's choice
  EXPECT_EQ(Choose(nullptr, "scale = AUTO\n", "", "3"), k2);
  EXPECT_EQ(Choose(" 2.0 ", "", "", nullptr), k2);
}

TEST(EditorScale, InvalidValuesPassOnToTheNextSource) {
  for (const char* bad : {"", "0", "3", "1.25", "-2", "2x", "1,5", "1.5.0", "automatic", "nan", "1e0"}) {
    EXPECT_EQ(Choose(bad, "scale = 1.5", "", nullptr), k15) << '"' << bad << '"';
    EXPECT_EQ(Choose(nullptr, std::string("scale=") + bad, "Xft.dpi:\t192", nullptr), k2) << '"' << bad << '"';
  }
  for (const char* bad : {"", "0", "-192", "96dpi", "9,6", "inf"})
    EXPECT_EQ(Choose(nullptr, "", std::string("Xft.dpi:\t") + bad, "2"), k2) << '"' << bad << '"';
  EXPECT_EQ(Choose(nullptr, "", "", "-1"), k1);
}

TEST(EditorScale, XftDpiIsReadFromTheResourceStringAndRoundedToTheNearestFactor) {
  EXPECT_EQ(XftDpi("*background:\tgrey\nXft.dpi:  120.5  \nXft.rgba:\trgb"), 120.5);
  EXPECT_EQ(XftDpi("Xft.dpi:\t96\nXft.dpi:\t192\n"), 192.0);  // the server's last word
  EXPECT_FALSE(XftDpi("Xft.dpi:\t192\nXft.dpi:\tlarge\n").has_value()) << "the last word, unreadable, stands";
  EXPECT_FALSE(XftDpi("Xft.dpis:\t96\nXcursor.dpi:\t96\n").has_value());
  const std::pair<const char*, TEditorScale> cases[] = {{"48", k1},   {"119", k1}, {"120", k15},
                                                        {"167", k15}, {"168", k2}, {"288", k2}};
  for (const auto& [dpi, scale] : cases)
    EXPECT_EQ(Choose(nullptr, "", std::string("Xft.dpi:\t") + dpi, nullptr), scale) << dpi;
}

TEST(EditorScale, EdgesScaleSoRectanglesStillAbutAndHitTestsAgree) {
  EXPECT_EQ(Scaled(Rect(0, 0, 865, 150), k2), Rect(0, 0, 1730, 300));
  EXPECT_EQ(Scaled(Rect(99, 44, 159, 104), k15), Rect(149, 66, 239, 156));
  for (const TEditorScale scale : kEditorScales) {
    for (std::int32_t logical = -7; logical < 40; ++logical) {
      // Each device pixel between one logical edge and the next maps back
      // to that logical pixel: no gap, no overlap, no disagreement.
      for (std::int32_t device = Scaled(logical, scale); device < Scaled(logical + 1, scale); ++device)
        EXPECT_EQ(Unscaled(device, scale), logical) << device;
    }
  }
  EXPECT_EQ(Scaled(-3, k15), -4);  // -4.5 rounds up like 4.5
  EXPECT_DOUBLE_EQ(UnscaledDistance(150, k15), 100);
}

std::string gDesktop;
int gDesktopReads = 0;
std::string Desktop() {
  ++gDesktopReads;
  return gDesktop;
}

TEST(EditorScale, DetectionReadsTheUsersFileAndAsksTheDisplayOnlyWhenNeeded) {
  const std::filesystem::path config = std::filesystem::temp_directory_path() / "vb-editor-scale-test";
  std::filesystem::remove_all(config);
  std::filesystem::create_directories(config / "vorda-brasswick");
  // As an editor may leave it: the last line without its newline.
  std::ofstream(config / "vorda-brasswick/editor.conf") << "# the editor's size\nscale = 1.5";
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old != nullptr ? old : "";
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  unsetenv("VB_EDITOR_SCALE");
  gDesktop = "Xft.dpi:\t192\n";
  EXPECT_EQ(DetectEditorScale(Desktop), k15);
  EXPECT_EQ(gDesktopReads, 0);
  setenv("VB_EDITOR_SCALE", "auto", 1);
  EXPECT_EQ(DetectEditorScale(Desktop), k2);
  EXPECT_EQ(gDesktopReads, 1);
  unsetenv("VB_EDITOR_SCALE");
  // A pipe in the file's place is not read (it would block until written).
  std::filesystem::remove(config / "vorda-brasswick/editor.conf");
  ASSERT_EQ(mkfifo((config / "vorda-brasswick/editor.conf").c_str(), 0600), 0);
  EXPECT_EQ(DetectEditorScale(Desktop), k2);  // no file: the desktop decides
  std::filesystem::remove_all(config);
  old != nullptr ? setenv("XDG_CONFIG_HOME", saved.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(EditorConfigPath(nullptr, "/home/u"), "/home/u/.config/vorda-brasswick/editor.conf");
  EXPECT_EQ(EditorConfigPath("relative", nullptr), "");
}

}  // namespace
}  // namespace vb
