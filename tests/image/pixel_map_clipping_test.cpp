// Guards against off-by-one clipping when images are placed partly or wholly
// outside the destination: every placement is compared with a pixel-by-pixel
// reference that tests each coordinate on its own.
#include <gtest/gtest.h>

#include <random>

#include "image/gui_byte_map_memory.h"
#include "image/gui_pixel_map_memory.h"
#include "image/pixel_blend.h"

namespace vb {
namespace {

void Randomise(TGuiPixelMapMemory& Map, std::mt19937& Random) {
  for (int y = 0; y < Map.Height(); ++y)
    for (int x = 0; x < Map.Width(); ++x) *Map.GetPixelPointer(x, y) = Pixel32(Random());
}

TEST(PixelMapClipping, EveryPlacementMatchesThePixelByPixelReference) {
  std::mt19937 random(42);
  for (int round = 0; round < 400; ++round) {
    TGuiPixelMapMemory dest, source;
    dest.SetSize(1 + int(random() % 9), 1 + int(random() % 9));
    source.SetSize(1 + int(random() % 9), 1 + int(random() % 9));
    Randomise(dest, random);
    Randomise(source, random);
    TGuiByteMapMemory coverage;
    coverage.SetSize(source.Width(), source.Height());
    for (int i = 0; i < coverage.DataSize(); ++i) coverage.DataPointer()[i] = std::uint8_t(random());
    const int x = int(random() % 25) - 12;
    const int y = int(random() % 25) - 12;
    const std::uint8_t alpha = std::uint8_t(random());
    const TPixel32 colour = Pixel32(random());
    const TRect limit{x, y, x + int(random() % 12), y + int(random() % 12)};

    TGuiPixelMapMemory blended, mixed, covered, limited;
    blended.Assign(dest);
    mixed.Assign(dest);
    covered.Assign(dest);
    limited.Assign(dest);
    blended.Draw(source, x, y);
    mixed.Draw(source, x, y, alpha);
    covered.DrawByteMap(coverage, colour, x, y);
    limited.DrawByteMap(coverage, colour, limit);

    for (int dy = 0; dy < dest.Height(); ++dy)
      for (int dx = 0; dx < dest.Width(); ++dx) {
        const int sx = dx - x, sy = dy - y;
        const bool inside = sx >= 0 && sy >= 0 && sx < source.Width() && sy < source.Height();
        const TPixel32 d = dest.GetPixel(dx, dy);
        TPixel32 c = colour;
        if (inside) c.A = std::uint8_t(coverage.GetValue(sx, sy) * colour.A / 256);
        ASSERT_EQ(blended.GetPixel(dx, dy), inside ? BlendPixel(source.GetPixel(sx, sy), d) : d) << round;
        ASSERT_EQ(mixed.GetPixel(dx, dy), inside ? MixPixel(source.GetPixel(sx, sy), d, alpha) : d) << round;
        ASSERT_EQ(covered.GetPixel(dx, dy), inside ? BlendPixel(c, d) : d) << round;
        const bool inLimit = inside && dx < limit.Right && dy < limit.Bottom;
        ASSERT_EQ(limited.GetPixel(dx, dy), inLimit ? BlendPixel(c, d) : d) << round;
      }
  }
}

}  // namespace
}  // namespace vb
