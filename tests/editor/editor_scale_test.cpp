// Guards against an editor opening at the wrong size on a high-density
// screen: sources asked in the wrong order, an invalid value that fails or
// stops the search instead of passing on, Xft.dpi misread from the resource
// string, the display asked when the user has decided, and rectangles that
// gain gaps or overlaps, or hit tests that disagree with drawing, at 1.5x.
#include "editor/editor_scale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace vb {
namespace {

constexpr TEditorScale k1 = TEditorScale::esOne;
constexpr TEditorScale k15 = TEditorScale::esOneAndHalf;
constexpr TEditorScale k2 = TEditorScale::esTwo;

TScaleSources Sources(const char* environment, std::string_view config, std::string_view resources, const char* gdk) {
  return TScaleSources{environment, config, resources, gdk};
}

TEST(EditorScale, FirstValidSourceWinsAndAutoGoesOnToTheDesktop) {
  const std::string_view dpi192 = "Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n";
  // The environment before the file, the file before the desktop.
  EXPECT_EQ(ChooseEditorScale(Sources("1.5", "scale = 2\n", dpi192, "2")), k15);
  EXPECT_EQ(ChooseEditorScale(Sources(nullptr, "scale = 1.5\n", dpi192, "2")), k15);
  EXPECT_EQ(ChooseEditorScale(Sources(nullptr, "", dpi192, "1")), k2);
  EXPECT_EQ(ChooseEditorScale(Sources(nullptr, "", "", "2")), k2);
  EXPECT_EQ(ChooseEditorScale(Sources(nullptr, "", "", nullptr)), k1);
  // auto in the environment skips the file's fixed choice.
  EXPECT_EQ(ChooseEditorScale(Sources("auto", "scale = 1\n", dpi192, nullptr)), k2);
  EXPECT_EQ(ChooseEditorScale(Sources(nullptr, "scale = AUTO\n", "", "2")), k2);
  // Xft.dpi before GDK_SCALE, even when it says 1.
  EXPECT_EQ(ChooseEditorScale(Sources(nullptr, "", "Xft.dpi: 96\n", "2")), k1);
}

TEST(EditorScale, InvalidValuesPassOnToTheNextSource) {
  for (const char* bad : {"", "0", "3", "1.25", "-2", "2x", "1,5", "1.5.0", "automatic", " ", "nan", "inf", "1e0"}) {
    EXPECT_FALSE(ParseScaleSetting(bad).has_value()) << '"' << bad << '"';
    EXPECT_EQ(ChooseEditorScale(Sources(bad, "scale = 1.5", "", nullptr)), k15) << '"' << bad << '"';
    const std::string config = std::string("scale=") + bad + "\n";
    EXPECT_EQ(ChooseEditorScale(Sources(nullptr, config, "Xft.dpi:\t192", nullptr)), k2) << '"' << bad << '"';
  }
  EXPECT_EQ(ChooseEditorScale(Sources(nullptr, "", "Xft.dpi:\tabc\n", "2")), k2);
  EXPECT_EQ(ChooseEditorScale(Sources(nullptr, "", "Xft.dpi:\t0\n", "bad")), k1);
  EXPECT_EQ(ChooseEditorScale(Sources(nullptr, "", "Xft.dpi:\t-192\n", "0")), k1);
  // Spellings that are valid.
  EXPECT_EQ(ParseScaleSetting(" 2.0 ")->Scale, k2);
  EXPECT_EQ(ParseScaleSetting("1.50")->Scale, k15);
  EXPECT_EQ(ParseScaleSetting("1")->Scale, k1);
  EXPECT_TRUE(ParseScaleSetting("Auto")->Automatic);
}

TEST(EditorScale, EditorConfReadsTheLastScaleLine) {
  EXPECT_EQ(ConfigScaleValue("# scale = 2\n; scale = 2\nscale = 1.5\r\n"), "1.5");
  EXPECT_EQ(ConfigScaleValue("  scale\t=  2  \nother = 1\nscale = auto"), "auto");
  EXPECT_FALSE(ConfigScaleValue("scales = 2\nscale 2\n").has_value());
}

TEST(EditorScale, XftDpiIsReadFromTheResourceStringAndRoundedToTheNearestFactor) {
  EXPECT_EQ(XftDpi("Xft.dpi:\t144\n"), 144.0);
  EXPECT_EQ(XftDpi("*background:\tgrey\nXft.dpi:  120.5  \nXft.rgba:\trgb"), 120.5);
  EXPECT_EQ(XftDpi("Xft.dpi:\t96\nXft.dpi:\t192\n"), 192.0);  // the server's last word
  EXPECT_FALSE(XftDpi("Xft.dpis:\t96\nXcursor.dpi:\t96\n").has_value());
  EXPECT_FALSE(XftDpi("").has_value());
  const struct {
    const char* Dpi;
    TEditorScale Scale;
  } cases[] = {{"48", k1},   {"96", k1},  {"119", k1}, {"120", k15}, {"144", k15},
               {"167", k15}, {"168", k2}, {"192", k2}, {"288", k2}};
  for (const auto& c : cases) {
    const std::string resources = std::string("Xft.dpi:\t") + c.Dpi + "\n";
    EXPECT_EQ(ChooseEditorScale(Sources(nullptr, "", resources, nullptr)), c.Scale) << c.Dpi;
  }
  EXPECT_EQ(ChooseEditorScale(Sources(nullptr, "", "", "3")), k2);
}

TEST(EditorScale, EdgesScaleSoRectanglesStillAbutAndHitTestsAgree) {
  EXPECT_EQ(Scaled(Rect(0, 0, 865, 150), k2), Rect(0, 0, 1730, 300));
  EXPECT_EQ(Scaled(Rect(0, 0, 865, 150), k15), Rect(0, 0, 1298, 225));
  EXPECT_EQ(Scaled(Rect(99, 44, 159, 104), k15), Rect(149, 66, 239, 156));
  for (const TEditorScale scale : kEditorScales) {
    for (std::int32_t logical = -7; logical < 40; ++logical) {
      // Neighbours [a, b) and [b, c) stay neighbours: one edge, one place.
      EXPECT_LE(Scaled(logical, scale), Scaled(logical + 1, scale));
      // A device pixel maps back to the logical pixel whose scaled
      // rectangle holds it.
      for (std::int32_t device = Scaled(logical, scale); device < Scaled(logical + 1, scale); ++device)
        EXPECT_EQ(Unscaled(device, scale), logical) << device;
    }
  }
  EXPECT_EQ(Scaled(3, k15), 5);    // 4.5 rounds up
  EXPECT_EQ(Scaled(-3, k15), -4);  // -4.5 rounds up too
  EXPECT_DOUBLE_EQ(UnscaledDistance(150, k15), 100);
}

// The process's variables are set for the test and put back.
class TScopedVariable {
 public:
  TScopedVariable(const char* name, const char* value) : FName(name) {
    if (const char* old = std::getenv(name)) FOld = old;
    if (value != nullptr)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~TScopedVariable() {
    if (FOld)
      setenv(FName, FOld->c_str(), 1);
    else
      unsetenv(FName);
  }

 private:
  const char* FName;
  std::optional<std::string> FOld;
};

int gReads = 0;
std::string DesktopAt192() {
  ++gReads;
  return "Xft.dpi:\t192\n";
}

TEST(EditorScale, DetectionReadsTheUsersFileAndAsksTheDisplayOnlyWhenNeeded) {
  const std::filesystem::path home = std::filesystem::temp_directory_path() / "vb-editor-scale-test";
  std::filesystem::create_directories(home / ".config/vorda-brasswick");
  std::ofstream(home / ".config/vorda-brasswick/editor.conf") << "scale = 1.5\n";
  const TScopedVariable homeVariable("HOME", home.c_str());
  const TScopedVariable xdg("XDG_CONFIG_HOME", nullptr);
  const TScopedVariable gdk("GDK_SCALE", nullptr);
  {
    const TScopedVariable environment("VB_EDITOR_SCALE", nullptr);
    gReads = 0;
    EXPECT_EQ(DetectEditorScale(DesktopAt192), k15);
    EXPECT_EQ(gReads, 0);
  }
  {
    const TScopedVariable environment("VB_EDITOR_SCALE", "auto");
    EXPECT_EQ(DetectEditorScale(DesktopAt192), k2);
    EXPECT_EQ(gReads, 1);
    EXPECT_EQ(DetectEditorScale(nullptr), k1);
  }
  {
    // XDG_CONFIG_HOME replaces ~/.config; there is no file there.
    const TScopedVariable environment("VB_EDITOR_SCALE", nullptr);
    const TScopedVariable elsewhere("XDG_CONFIG_HOME", (home / "empty").c_str());
    EXPECT_EQ(DetectEditorScale(nullptr), k1);
  }
  EXPECT_EQ(EditorConfigPath("/x", "/home/u"), "/x/vorda-brasswick/editor.conf");
  EXPECT_EQ(EditorConfigPath("relative", "/home/u"), "/home/u/.config/vorda-brasswick/editor.conf");
  EXPECT_EQ(EditorConfigPath(nullptr, nullptr), "");
  std::filesystem::remove_all(home);
}

}  // namespace
}  // namespace vb
