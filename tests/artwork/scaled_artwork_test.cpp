// Guards against artwork for high-density screens that the editor cannot
// use or that a user would see as wrong: embedded 1.5x and 2x files of other
// sizes or glyph counts than the editor cuts, pictures that drift from the
// 1x drawing (a caption, scale number, knob or lamp out of place, a line of
// the wrong weight), and glyphs reaching their cell's edge or a
// neighbouring dial's window at a factor.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "editor/scaled_artwork.h"
#include "image/gui_pixel_map_memory.h"
#include "png/portable_network_graphic_pixel32.h"

namespace vb {
namespace {

constexpr TEditorScale kLarger[] = {TEditorScale::esOneAndHalf, TEditorScale::esTwo};

void Decode(std::span<const std::uint8_t> file, TGuiPixelMapMemory& map) {
  TPortableNetworkGraphicPixel32 png;
  png.LoadFromMemory(file.data(), file.size());
  png.AssignTo(map);
}

TEST(ScaledArtwork, EmbeddedFilesDecodeToTheScaledSizes) {
  struct TExpected {
    TArtwork Id;
    std::int32_t Glyphs;
    std::int32_t Width15, Height15, GlyphWidth15, GlyphHeight15;  // at 1.5x
    std::int32_t Width2, Height2, GlyphWidth2, GlyphHeight2;      // at 2x
  };
  const TExpected expected[] = {
      {TArtwork::awFrontPanel, 1, 1298, 224, 1298, 224, 1730, 298, 1730, 298},
      {TArtwork::awLampOn, 1, 384, 384, 384, 384, 512, 512, 512, 512},
      {TArtwork::awLampOff, 1, 446, 447, 446, 447, 594, 596, 594, 596},
      {TArtwork::awRectSwitch, 2, 90, 60, 45, 60, 120, 80, 60, 80},
      {TArtwork::awSwitch2, 2, 30, 120, 30, 60, 40, 160, 40, 80},
      {TArtwork::awSwitch3, 3, 30, 180, 30, 60, 40, 240, 40, 80},
      {TArtwork::awMeter, 75, 2250, 126, 30, 126, 3000, 168, 40, 168},
      {TArtwork::awKnob1, 100, 90, 9000, 90, 90, 120, 12000, 120, 120},
      {TArtwork::awKnob2, 100, 90, 9000, 90, 90, 120, 12000, 120, 120},
      {TArtwork::awKnob3, 100, 90, 9000, 90, 90, 120, 12000, 120, 120},
      {TArtwork::awKnob4, 100, 90, 9000, 90, 90, 120, 12000, 120, 120},
      {TArtwork::awKnob5, 100, 90, 9000, 90, 90, 120, 12000, 120, 120},
      {TArtwork::awKnob6, 100, 90, 9000, 90, 90, 120, 12000, 120, 120},
      {TArtwork::awKnob7, 100, 90, 9000, 90, 90, 120, 12000, 120, 120},
      {TArtwork::awKnob8, 100, 90, 9000, 90, 90, 120, 12000, 120, 120},
  };
  static_assert(std::size(expected) == kArtworkCount);
  for (const TExpected& e : expected) {
    const char* name = ArtworkInfo(e.Id).DisplayName;
    const TArtworkInfo at15 = ScaledArtworkInfo(e.Id, TEditorScale::esOneAndHalf);
    const TArtworkInfo at2 = ScaledArtworkInfo(e.Id, TEditorScale::esTwo);
    EXPECT_EQ(at15.GlyphCount, e.Glyphs) << name;
    EXPECT_EQ(at2.GlyphCount, e.Glyphs) << name;
    EXPECT_EQ(at15.Direction, ArtworkInfo(e.Id).Direction) << name;
    EXPECT_EQ(std::make_pair(at15.GlyphWidth(), at15.GlyphHeight()), std::make_pair(e.GlyphWidth15, e.GlyphHeight15))
        << name;
    EXPECT_EQ(std::make_pair(at2.GlyphWidth(), at2.GlyphHeight()), std::make_pair(e.GlyphWidth2, e.GlyphHeight2))
        << name;
    TGuiPixelMapMemory map;
    Decode(ArtworkPng(e.Id, TEditorScale::esOneAndHalf), map);
    EXPECT_EQ(std::make_pair(map.Width(), map.Height()), std::make_pair(e.Width15, e.Height15)) << name;
    Decode(ArtworkPng(e.Id, TEditorScale::esTwo), map);
    EXPECT_EQ(std::make_pair(map.Width(), map.Height()), std::make_pair(e.Width2, e.Height2)) << name;
    // The 1x set is the one the editor has always had.
    const std::span<const std::uint8_t> one = ArtworkPng(e.Id, TEditorScale::esOne);
    EXPECT_EQ(one.data(), ArtworkPng(e.Id).data()) << name;
    EXPECT_EQ(one.size(), ArtworkPng(e.Id).size()) << name;
  }
  EXPECT_TRUE(ArtworkPng(TArtwork(kArtworkCount), TEditorScale::esTwo).empty());
}

// Premultiplied channel C (0 = alpha) of a pixel, 0..255.
double Premultiplied(TPixel32 p, int channel) {
  const double alpha = p.A / 255.0;
  return channel == 0 ? p.A : channel == 1 ? p.R * alpha : channel == 2 ? p.G * alpha : p.B * alpha;
}

// How far a picture drawn at a factor, reduced to logical pixels by area,
// is from the 1x drawing, in premultiplied channel steps (0..255, the mean
// of the four channels' absolute differences): the mean over the picture
// and the largest mean over any block of kBlock x kBlock logical pixels (a
// caption, number or part out of place shows there, where the whole
// picture's mean would hide it).
constexpr std::int32_t kBlock = 6;

struct TDrift {
  double Mean = 0;
  double WorstBlock = 0;
};

// The picture drawn at Scale reduced to logical pixels by area: each
// device pixel under a logical pixel weighted by the part of it covered.
std::vector<std::array<double, 4>> Reduce(const TGuiPixelMapMemory& scaled, std::int32_t width, std::int32_t height,
                                          TEditorScale scale) {
  const double factor = ScaleFactor(scale);
  std::vector<std::array<double, 4>> reduced(std::size_t(width) * std::size_t(height));
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      std::array<double, 4>& sum = reduced[std::size_t(y) * std::size_t(width) + std::size_t(x)];
      sum.fill(0);
      for (auto dy = std::int32_t(std::floor(y * factor)); dy < std::ceil((y + 1) * factor); ++dy) {
        const double wy = std::min<double>(dy + 1, (y + 1) * factor) - std::max<double>(dy, y * factor);
        for (auto dx = std::int32_t(std::floor(x * factor)); dx < std::ceil((x + 1) * factor); ++dx) {
          const double w = wy * (std::min<double>(dx + 1, (x + 1) * factor) - std::max<double>(dx, x * factor));
          for (int c = 0; c < 4; ++c)
            sum[std::size_t(c)] += w * Premultiplied(scaled.ScanLine(dy)[dx], c) / (factor * factor);
        }
      }
    }
  }
  return reduced;
}

TDrift Drift(const TGuiPixelMapMemory& one, const TGuiPixelMapMemory& scaled, TEditorScale scale) {
  const std::int32_t width = one.Width(), height = one.Height();
  const std::vector<std::array<double, 4>> reduced = Reduce(scaled, width, height, scale);
  const std::int32_t columns = (width + kBlock - 1) / kBlock;
  std::vector<double> blocks(std::size_t(columns) * std::size_t((height + kBlock - 1) / kBlock), 0.0);
  double sum = 0;
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      // Letters are hinted to other pixel rows at each size: the nearest
      // match within one pixel counts.
      double best = 1e9;
      for (std::int32_t ny = std::max(0, y - 1); ny <= std::min(height - 1, y + 1); ++ny) {
        for (std::int32_t nx = std::max(0, x - 1); nx <= std::min(width - 1, x + 1); ++nx) {
          double d = 0;
          for (int c = 0; c < 4; ++c)
            d += std::abs(reduced[std::size_t(y) * std::size_t(width) + std::size_t(x)][std::size_t(c)] -
                          Premultiplied(one.ScanLine(ny)[nx], c));
          best = std::min(best, d / 4);
        }
      }
      sum += best;
      blocks[std::size_t(y / kBlock) * std::size_t(columns) + std::size_t(x / kBlock)] += best;
    }
  }
  const double worst = *std::max_element(blocks.begin(), blocks.end());
  return TDrift{sum / (double(width) * height), worst / (kBlock * kBlock)};
}

TEST(ScaledArtwork, ReducedToOneTimesEveryPictureIsCloseToTheOneTimesDrawing) {
  for (const TArtworkInfo& info : kArtworkTable) {
    TGuiPixelMapMemory one;
    Decode(ArtworkPng(info.Id), one);
    for (const TEditorScale scale : kLarger) {
      TGuiPixelMapMemory scaled;
      Decode(ArtworkPng(info.Id, scale), scaled);
      const TDrift drift = Drift(one, scaled, scale);
      // Measured: means up to 2.5 (the meter at 1.5x), worst blocks up to
      // 17.2 (letters hinted differently at each size). A caption moved by
      // three pixels gives 25, another strip's scale numbers 30.
      EXPECT_LT(drift.Mean, 3.0) << info.DisplayName << " at " << ScaleFactor(scale);
      EXPECT_LT(drift.WorstBlock, 21.0) << info.DisplayName << " at " << ScaleFactor(scale);
    }
  }
}

// Strips are drawn over the panel with their alpha: at every factor a
// glyph fades out before its cell's edge, and a dial leaves clear the
// columns its neighbour's window covers (9 at 1.5x, 12 at 2x).
TEST(ScaledArtwork, GlyphsStayInsideTheirCellsAndDialsClearOfNeighbours) {
  for (const TEditorScale scale : kLarger) {
    for (std::size_t strip = 0; strip < kStripCount; ++strip) {
      const TArtworkInfo info = ScaledArtworkInfo(StripArtwork(strip), scale);
      TGuiPixelMapMemory map;
      Decode(ArtworkPng(info.Id, scale), map);
      const bool dial = ArtworkInfo(info.Id).GlyphWidth() == 60;
      const std::int32_t margin = dial ? (scale == TEditorScale::esTwo ? 12 : 9) : 1;
      const std::int32_t w = info.GlyphWidth(), h = info.GlyphHeight();
      std::int32_t inked = 0;
      for (std::int32_t glyph = 0; glyph < info.GlyphCount; ++glyph) {
        const bool across = info.Direction == TStripDirection::sdHorizontal;
        const std::int32_t left = across ? glyph * w : 0, top = across ? 0 : glyph * h;
        for (std::int32_t y = 0; y < h; ++y) {
          for (std::int32_t x = 0; x < w; ++x) {
            const bool edge = x < margin || x >= w - margin || y == 0 || y == h - 1;
            inked += edge && map.ScanLine(top + y)[left + x].A > 8;
          }
        }
      }
      EXPECT_EQ(inked, 0) << info.DisplayName << " at " << ScaleFactor(scale);
    }
  }
}

}  // namespace
}  // namespace vb
