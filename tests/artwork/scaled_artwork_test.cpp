// Guards against artwork for high-density screens that the editor cannot
// use or that a user would see as wrong: embedded 1.5x and 2x files of
// other sizes or glyph counts than the editor cuts, and pictures that drift
// from the 1x drawing (a caption, scale number, knob or lamp out of place).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "editor/scaled_artwork.h"
#include "embedded_artwork.h"
#include "image/gui_pixel_map_memory.h"
#include "png/portable_network_graphic_pixel32.h"

namespace vb {
namespace {

constexpr TEditorScale kLarger[] = {TEditorScale::esOneAndHalf, TEditorScale::esTwo};

void Decode(TArtwork Id, TEditorScale Scale, TGuiPixelMapMemory& Map) { DecodeEmbedded(Id, Scale, Map); }

TEST(ScaledArtwork, EmbeddedFilesDecodeToTheScaledSizes) {
  struct TExpected {
    TArtwork Id;
    std::int32_t Glyphs;
    std::int32_t Width15, Height15, Width2, Height2;  // whole pictures at 1.5x and 2x
  };
  std::vector<TExpected> expected = {
      {TArtwork::awFrontPanel, 1, 1298, 224, 1730, 298}, {TArtwork::awLampOn, 1, 384, 384, 512, 512},
      {TArtwork::awLampOff, 1, 446, 447, 594, 596},      {TArtwork::awRectSwitch, 2, 90, 60, 120, 80},
      {TArtwork::awSwitch2, 2, 30, 120, 40, 160},        {TArtwork::awSwitch3, 3, 30, 180, 40, 240},
      {TArtwork::awMeter, 75, 2250, 126, 3000, 168},
  };
  for (std::size_t knob = 0; knob < 8; ++knob)  // glyphs of 90 x 90 and 120 x 120, stacked
    expected.push_back({TArtwork(std::size_t(TArtwork::awKnob1) + knob), 100, 90, 9000, 120, 12000});
  ASSERT_EQ(expected.size(), kArtworkCount);
  for (const TExpected& e : expected) {
    for (const TEditorScale scale : kLarger) {
      const TArtworkInfo info = ScaledArtworkInfo(e.Id, scale);
      const bool two = scale == TEditorScale::esTwo;
      TGuiPixelMapMemory map;
      Decode(e.Id, scale, map);
      EXPECT_EQ(map.Width(), two ? e.Width2 : e.Width15) << info.DisplayName;
      EXPECT_EQ(map.Height(), two ? e.Height2 : e.Height15) << info.DisplayName;
      EXPECT_EQ(std::make_pair(info.Width, info.Height), std::make_pair(map.Width(), map.Height()));
      EXPECT_EQ(info.GlyphCount, e.Glyphs) << info.DisplayName;
      EXPECT_EQ(info.Direction, ArtworkInfo(e.Id).Direction) << info.DisplayName;
    }
  }
}

// Premultiplied channel C (0 = alpha) of a pixel, 0..255.
double Premultiplied(TPixel32 P, int Channel) {
  const double alpha = P.A / 255.0;
  return Channel == 0 ? P.A : (Channel == 1 ? P.R : Channel == 2 ? P.G : P.B) * alpha;
}

// A picture drawn at Scale reduced to logical pixels by area, each device
// pixel weighted by the part of it that the logical pixel covers.
std::vector<std::array<double, 4>> Reduce(const TGuiPixelMapMemory& Scaled, std::int32_t Width, std::int32_t Height,
                                          TEditorScale Scale) {
  const double f = ScaleFactor(Scale);
  std::vector<std::array<double, 4>> reduced(std::size_t(Width) * std::size_t(Height), std::array<double, 4>{});
  for (std::int32_t y = 0; y < Height; ++y) {
    for (std::int32_t x = 0; x < Width; ++x) {
      for (auto dy = std::int32_t(y * f); dy < std::ceil((y + 1) * f); ++dy) {
        const double wy = std::min<double>(dy + 1, (y + 1) * f) - std::max<double>(dy, y * f);
        for (auto dx = std::int32_t(x * f); dx < std::ceil((x + 1) * f); ++dx) {
          const double w = wy * (std::min<double>(dx + 1, (x + 1) * f) - std::max<double>(dx, x * f)) / (f * f);
          for (int c = 0; c < 4; ++c)
            reduced[std::size_t(y) * std::size_t(Width) + std::size_t(x)][std::size_t(c)] +=
                w * Premultiplied(Scaled.ScanLine(dy)[dx], c);
        }
      }
    }
  }
  return reduced;
}

// How far a picture drawn at a factor and reduced is from the 1x drawing,
// in channel steps (the mean of the four premultiplied channels' absolute
// differences): over the whole picture, and the worst mean of any block of
// kBlock x kBlock logical pixels (where a part out of place shows that the
// whole picture's mean would hide). Letters are hinted to other rows at
// each size, so each pixel is compared with the nearest match within one.
constexpr std::int32_t kBlock = 6;
struct TDrift {
  double Mean = 0;
  double WorstBlock = 0;
};

TDrift Drift(const TGuiPixelMapMemory& One, const TGuiPixelMapMemory& Scaled, TEditorScale Scale) {
  const std::int32_t width = One.Width(), height = One.Height(), columns = (width + kBlock - 1) / kBlock;
  const std::vector<std::array<double, 4>> reduced = Reduce(Scaled, width, height, Scale);
  // The 1x picture premultiplied once: each pixel is compared nine times.
  std::vector<std::array<double, 4>> original(reduced.size());
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width; ++x)
      for (int c = 0; c < 4; ++c)
        original[std::size_t(y) * std::size_t(width) + std::size_t(x)][std::size_t(c)] =
            Premultiplied(One.ScanLine(y)[x], c);
  std::vector<double> blocks(std::size_t(columns) * std::size_t((height + kBlock - 1) / kBlock), 0.0);
  double sum = 0;
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const double* at = reduced[std::size_t(y) * std::size_t(width) + std::size_t(x)].data();
      double best = 1e9;
      for (std::int32_t ny = std::max(0, y - 1); ny <= std::min(height - 1, y + 1); ++ny) {
        for (std::int32_t nx = std::max(0, x - 1); nx <= std::min(width - 1, x + 1); ++nx) {
          const double* near = original[std::size_t(ny) * std::size_t(width) + std::size_t(nx)].data();
          const double d = std::abs(at[0] - near[0]) + std::abs(at[1] - near[1]) + std::abs(at[2] - near[2]) +
                           std::abs(at[3] - near[3]);
          best = std::min(best, d / 4);
        }
      }
      sum += best;
      blocks[std::size_t(y / kBlock) * std::size_t(columns) + std::size_t(x / kBlock)] += best;
    }
  }
  return TDrift{sum / (double(width) * height), *std::max_element(blocks.begin(), blocks.end()) / (kBlock * kBlock)};
}

TEST(ScaledArtwork, ReducedToOneTimesEveryPictureIsCloseToTheOneTimesDrawing) {
  for (const TArtworkInfo& info : kArtworkTable) {
    TGuiPixelMapMemory one, scaled;
    Decode(info.Id, TEditorScale::esOne, one);
    for (const TEditorScale scale : kLarger) {
      Decode(info.Id, scale, scaled);
      const TDrift drift = Drift(one, scaled, scale);
      // Measured: means up to 2.5 (the meter at 1.5x), worst blocks up to
      // 17.2 (letters). A caption moved by three pixels gives 25, another
      // strip's scale numbers 30.
      EXPECT_LT(drift.Mean, 3.0) << info.DisplayName << " at " << ScaleFactor(scale);
      EXPECT_LT(drift.WorstBlock, 21.0) << info.DisplayName << " at " << ScaleFactor(scale);
    }
  }
}

}  // namespace
}  // namespace vb
