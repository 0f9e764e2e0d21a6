// Guards against pictures the editor cannot use: embedded files that do not
// decode or have other sizes than its strips expect, artwork that changes
// between builds of the same sources, knobs whose pointer turns the wrong
// way, a meter mark that does not rise, glyphs cut off at their edges or
// reaching into a neighbouring dial's window, and captions under a control
// at any scale factor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "artwork_set.h"
#include "editor/editor_artwork.h"
#include "editor/scaled_artwork.h"
#include "embedded_artwork.h"
#include "front_panel.h"
#include "image/gui_pixel_map_memory.h"
#include "panel_layout.h"
#include "png/portable_network_graphic_pixel32.h"

namespace vb {
namespace {

void Decode(TArtwork Id, TGuiPixelMapMemory& Map, TEditorScale Scale = TEditorScale::esOne) {
  DecodeEmbedded(Id, Scale, Map);
}

struct TGlyphRect {
  std::int32_t Left, Top, Width, Height;
};

TGlyphRect GlyphRect(const TArtworkInfo& Info, std::int32_t Glyph) {
  const std::int32_t w = Info.GlyphWidth(), h = Info.GlyphHeight();
  return Info.Direction == TStripDirection::sdHorizontal ? TGlyphRect{Glyph * w, 0, w, h}
                                                         : TGlyphRect{0, Glyph * h, w, h};
}

TEST(EditorArtwork, EmbeddedPicturesDecodeToTheEditorsSizes) {
  struct TExpected {
    TArtwork Id;
    const char* Name;
    std::int32_t Width, Height, Glyphs;
  };
  // The editor's strip list: index order, names, sizes and glyph counts.
  const TExpected expected[] = {
      {TArtwork::awFrontPanel, "FrontPanel", 865, 149, 1},
      {TArtwork::awLampOn, "LampOn", 256, 256, 1},
      {TArtwork::awLampOff, "LampOff", 297, 298, 1},
      {TArtwork::awRectSwitch, "RectSwitch", 60, 40, 2},
      {TArtwork::awSwitch2, "Switch2", 20, 80, 2},
      {TArtwork::awSwitch3, "Switch3", 20, 120, 3},
      {TArtwork::awMeter, "VU", 1500, 84, 75},
      {TArtwork::awKnob1, "Knob1", 60, 6000, 100},
      {TArtwork::awKnob8, "Knob8", 60, 6000, 100},
  };
  for (const TExpected& e : expected) {
    const TArtworkInfo& info = ArtworkInfo(e.Id);
    EXPECT_STREQ(info.DisplayName, e.Name);
    EXPECT_EQ(info.GlyphCount, e.Glyphs);
    TGuiPixelMapMemory map;
    Decode(e.Id, map);
    EXPECT_EQ(map.Width(), e.Width) << e.Name;
    EXPECT_EQ(map.Height(), e.Height) << e.Name;
  }
  EXPECT_EQ(StripArtwork(0), TArtwork::awRectSwitch);
  EXPECT_EQ(StripArtwork(kStripCount - 1), TArtwork::awKnob8);
  EXPECT_EQ(ArtworkInfo(TArtwork::awKnob3).GlyphHeight(), 60);
  EXPECT_EQ(ArtworkInfo(TArtwork::awMeter).GlyphWidth(), 20);
  EXPECT_TRUE(ArtworkPieces(TArtwork(kArtworkCount), TEditorScale::esOne).empty());
}

// The build drew the embedded files in another process; drawing them again
// here must give the very same bytes.
TEST(EditorArtwork, DrawingIsRepeatableToTheByte) {
  const std::pair<TArtwork, TEditorScale> pictures[] = {
      {TArtwork::awFrontPanel, TEditorScale::esOne}, {TArtwork::awMeter, TEditorScale::esOne},
      {TArtwork::awKnob6, TEditorScale::esOne},      {TArtwork::awLampOff, TEditorScale::esOne},
      {TArtwork::awKnob6, TEditorScale::esTwo},      {TArtwork::awSwitch3, TEditorScale::esOneAndHalf},
  };
  for (const auto& [id, scale] : pictures) {
    TGuiPixelMapMemory map;
    artwork::DrawArtwork(id, map, scale);
    const std::vector<std::vector<std::uint8_t>> again = artwork::EncodeArtworkPieces(map, id, scale);
    const auto embedded = ArtworkPieces(id, scale);
    ASSERT_EQ(again.size(), embedded.size());
    for (std::size_t p = 0; p < again.size(); ++p)
      EXPECT_TRUE(std::equal(again[p].begin(), again[p].end(), embedded[p].begin(), embedded[p].end()))
          << ArtworkInfo(id).DisplayName << " at " << ScaleFactor(scale) << ", piece " << p;
  }
}

// The centroid of the pointer's cream pixels on the knob, relative to the
// knob's centre (x right, y down).
std::pair<double, double> PointerDirection(const TGuiPixelMapMemory& Strip, std::int32_t Glyph) {
  const TGlyphRect r = GlyphRect(ArtworkInfo(TArtwork::awKnob2), Glyph);
  const double cx = r.Width / 2.0, cy = r.Height / 2.0;
  double sx = 0, sy = 0, n = 0;
  for (std::int32_t y = 0; y < r.Height; ++y) {
    for (std::int32_t x = 0; x < r.Width; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      const TPixel32 p = Strip.ScanLine(r.Top + y)[r.Left + x];
      if (std::hypot(dx, dy) > 13 || p.A < 250 || p.R < 225 || p.G < 215) continue;
      sx += dx;
      sy += dy;
      ++n;
    }
  }
  return n > 0 ? std::make_pair(sx / n, sy / n) : std::make_pair(0.0, 0.0);
}

TEST(EditorArtwork, KnobPointerTurnsFromLowerLeftOverTopToLowerRight) {
  for (const TArtwork id : {TArtwork::awKnob2, TArtwork::awKnob7}) {
    TGuiPixelMapMemory strip;
    Decode(id, strip);
    const auto [x0, y0] = PointerDirection(strip, 0);
    const auto [x50, y50] = PointerDirection(strip, 50);
    const auto [x99, y99] = PointerDirection(strip, 99);
    EXPECT_LT(x0, -2);
    EXPECT_GT(y0, 2);
    EXPECT_LT(y50, -3);
    EXPECT_LT(std::abs(x50), 1.0);
    EXPECT_GT(x99, 2);
    EXPECT_GT(y99, 2);
    EXPECT_NEAR(x0, -x99, 0.5);  // the travel is symmetric
    // The angle grows with the glyph through the whole travel.
    double previous = -1e9;
    for (std::int32_t glyph = 0; glyph < 100; glyph += 9) {
      const auto [x, y] = PointerDirection(strip, glyph);
      const double angle = std::atan2(x, -y);
      EXPECT_GT(angle, previous) << "glyph " << glyph;
      previous = angle;
    }
  }
}

TEST(EditorArtwork, MeterMarkRisesWithTheGlyph) {
  TGuiPixelMapMemory strip;
  Decode(TArtwork::awMeter, strip);
  const TArtworkInfo& info = ArtworkInfo(TArtwork::awMeter);
  std::int32_t previousRow = info.GlyphHeight();
  for (std::int32_t glyph = 0; glyph < info.GlyphCount; ++glyph) {
    const TGlyphRect r = GlyphRect(info, glyph);
    std::int32_t brightestRow = -1, brightest = -1;
    for (std::int32_t y = 0; y < r.Height; ++y) {
      const TPixel32 p = strip.ScanLine(y)[r.Left + r.Width / 2];
      const int redness = int(p.R) + int(p.G) / 2 - int(p.B);
      if (p.R > 200 && redness > brightest) {
        brightest = redness;
        brightestRow = y;
      }
    }
    ASSERT_GE(brightestRow, 0) << "glyph " << glyph;
    EXPECT_LE(brightestRow, previousRow) << "glyph " << glyph;
    previousRow = brightestRow;
  }
  EXPECT_LT(previousRow, info.GlyphHeight() / 6);
}

// Strips are drawn over the panel with their alpha: every glyph must fade
// out before its edge, and a dial must leave clear the columns that the
// neighbouring dial's window overlaps (dials sit 54 px apart, 60 px wide),
// at every scale factor.
TEST(EditorArtwork, GlyphsStayInsideTheirCellsAndDialsClearOfNeighbours) {
  for (const TEditorScale scale : kEditorScales) {
    for (std::size_t strip = 0; strip < kStripCount; ++strip) {
      const TArtworkInfo info = ScaledArtworkInfo(StripArtwork(strip), scale);
      TGuiPixelMapMemory map;
      Decode(info.Id, map, scale);
      const bool dial = ArtworkInfo(info.Id).GlyphWidth() == 60 && ArtworkInfo(info.Id).GlyphHeight() == 60;
      const std::int32_t margin = dial ? Scaled(6, scale) : 1;
      for (std::int32_t glyph = 0; glyph < info.GlyphCount; ++glyph) {
        const TGlyphRect r = GlyphRect(info, glyph);
        std::int32_t inked = 0;
        for (std::int32_t y = 0; y < r.Height; ++y) {
          for (std::int32_t x = 0; x < r.Width; ++x) {
            const bool edge = x < margin || x >= r.Width - margin || y == 0 || y == r.Height - 1;
            if (edge && map.ScanLine(r.Top + y)[r.Left + x].A > 8) ++inked;
          }
        }
        ASSERT_EQ(inked, 0) << info.DisplayName << " glyph " << glyph << " at " << ScaleFactor(scale);
      }
    }
  }
}

TEST(EditorArtwork, LampsAreRoundOnTransparentGround) {
  TGuiPixelMapMemory lit, unlit;
  Decode(TArtwork::awLampOn, lit);
  Decode(TArtwork::awLampOff, unlit);
  EXPECT_EQ(lit.ScanLine(0)[0].A, 0);
  EXPECT_EQ(unlit.ScanLine(0)[0].A, 0);
  const TPixel32 centre = lit.ScanLine(128)[128];
  EXPECT_EQ(centre.A, 255);
  EXPECT_GT(std::min({centre.R, centre.G, centre.B}), 240);  // white-hot
  const TPixel32 glow = lit.ScanLine(128)[128 + 60];
  EXPECT_GT(glow.R, 200);
  EXPECT_LT(glow.G, 80);
  EXPECT_GT(glow.A, 20);
  EXPECT_LT(glow.A, 255);
  const TPixel32 lens = unlit.ScanLine(149)[148];
  EXPECT_EQ(lens.A, 255);
  EXPECT_LT(std::abs(int(lens.R) - int(lens.B)), 40);  // grey, not coloured
}

}  // namespace
}  // namespace vb

namespace vb {
namespace {

// Controls are windows above the panel: a caption under a control's opaque
// pixels would be hidden (or hide part of it when the strip is drawn), at
// every scale factor.
TEST(EditorArtwork, CaptionsLieOnThePanelClearOfEveryControlsInk) {
  using artwork::TBox;
  for (const TEditorScale scale : kEditorScales) {
    const TArtworkInfo panel = ScaledArtworkInfo(TArtwork::awFrontPanel, scale);
    for (const artwork::TCaption& caption : artwork::kCaptions) {
      const TBox box = artwork::CaptionBox(caption, scale);
      EXPECT_GE(box.Left, 1) << caption.Text;
      EXPECT_GE(box.Top, 1) << caption.Text;
      EXPECT_LE(box.Right, panel.Width - 1) << caption.Text;
      EXPECT_LE(box.Bottom, panel.Height) << caption.Text;
      for (const artwork::TPlacedControl& control : artwork::kPlacedControls) {
        const TArtworkInfo info = ScaledArtworkInfo(control.Strip, scale);
        const std::int32_t controlLeft = Scaled(control.Left, scale), controlTop = Scaled(control.Top, scale);
        const auto left = std::int32_t(std::max<double>(box.Left, controlLeft));
        const auto right = std::int32_t(std::min<double>(box.Right, controlLeft + info.GlyphWidth()));
        const auto top = std::int32_t(std::max<double>(box.Top, controlTop));
        const auto bottom = std::int32_t(std::min<double>(box.Bottom, controlTop + info.GlyphHeight()));
        if (left >= right || top >= bottom) continue;
        TGuiPixelMapMemory strip;
        Decode(control.Strip, strip, scale);
        std::int32_t covered = 0;
        for (std::int32_t glyph = 0; glyph < info.GlyphCount; ++glyph) {
          const TGlyphRect r = GlyphRect(info, glyph);
          for (std::int32_t y = top; y < bottom; ++y) {
            for (std::int32_t x = left; x < right; ++x) {
              if (strip.ScanLine(r.Top + y - controlTop)[r.Left + x - controlLeft].A > 24) ++covered;
            }
          }
        }
        EXPECT_EQ(covered, 0) << caption.Text << " under " << control.Name << " at " << ScaleFactor(scale);
      }
    }
  }
}

}  // namespace
}  // namespace vb

namespace vb {
namespace {

// A number as printed on a scale (with a true minus sign).
double ScaleNumber(const std::string& Text) {
  const std::string minus = "\u2212";
  return Text.rfind(minus, 0) == 0 ? -std::stod(Text.substr(minus.size())) : std::stod(Text);
}

// The dials turn linearly: whatever unit a scale is printed in, its ends
// must be the dial's range and its top number the middle of it.
TEST(EditorArtwork, KnobScalesReadWhatTheDialsSet) {
  for (const artwork::TPlacedControl& control : artwork::kPlacedControls) {
    if (!control.IsDial) continue;
    const artwork::TKnobScale* scale = artwork::KnobScale(control.Strip);
    ASSERT_NE(scale, nullptr) << control.Name;
    const double low = ScaleNumber(scale->Low), mid = ScaleNumber(scale->Mid), high = ScaleNumber(scale->High);
    const double unit = high / control.Max;  // printed units per parameter unit
    EXPECT_NEAR(low, control.Min * unit, 0.01 * (high - low)) << control.Name;
    EXPECT_NEAR(mid, (control.Min + control.Max) / 2 * unit, 0.01 * (high - low)) << control.Name;
  }
  EXPECT_EQ(artwork::KnobScale(TArtwork::awMeter), nullptr);
}

}  // namespace
}  // namespace vb
