// Guards against a stack blur that drifts from its triangle-weighted average
// (at edges, in two dimensions, for large kernels), touches colour bytes of
// pixel maps, or rounds the radius the wrong way; against saturation tables
// with wrong entries; and against shadows that accept negative blurs.
#include "gui/gui_filters.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "gui/gui_errors.h"
#include "gui/gui_shadow.h"
#include "image/gui_byte_map_memory.h"
#include "image/gui_pixel_map_memory.h"

namespace vb {
namespace {

using TByteMapPtr = std::unique_ptr<TGuiByteMapMemory>;

TByteMapPtr ByteMap(std::int32_t W, std::int32_t H, std::vector<std::uint8_t> Bytes) {
  auto map = std::make_unique<TGuiByteMapMemory>();
  map->SetSize(W, H);
  std::copy(Bytes.begin(), Bytes.end(), map->DataPointer());
  return map;
}

std::vector<std::uint8_t> Bytes(const TByteMapPtr& Map) {
  return std::vector<std::uint8_t>(Map->DataPointer(), Map->DataPointer() + Map->Width() * Map->Height());
}

// The blur written as its definition: rows, then columns, each output the
// weighted sum of the clamped neighbours divided by (r + 1)^2.
std::vector<std::uint8_t> ReferenceBlur(std::vector<std::uint8_t> V, int W, int H, int R) {
  const long s = long(R + 1) * (R + 1);
  auto pass = [&](int Length, int Lines, int Step, int LineStep) {
    std::vector<std::uint8_t> out(V);
    for (int line = 0; line < Lines; ++line)
      for (int x = 0; x < Length; ++x) {
        long sum = 0;
        for (int i = -R; i <= R; ++i)
          sum +=
              long(V[std::size_t(line * LineStep + std::clamp(x + i, 0, Length - 1) * Step)]) * (R + 1 - std::abs(i));
        out[std::size_t(line * LineStep + x * Step)] = std::uint8_t(sum / s);
      }
    V = out;
  };
  pass(W, H, 1, W);
  pass(H, W, W, 1);
  return V;
}

TEST(StackBlur, SingleRowAndTwoRowWorkedExamples) {
  TGuiStackBlurFilter blur;
  auto row = ByteMap(5, 1, {0, 0, 255, 0, 0});
  blur.Filter(*row);
  EXPECT_EQ(Bytes(row), (std::vector<std::uint8_t>{0, 63, 127, 63, 0}));
  auto two = ByteMap(5, 2, {0, 0, 255, 0, 0, 0, 0, 0, 0, 0});
  blur.Filter(*two);
  EXPECT_EQ(Bytes(two), (std::vector<std::uint8_t>{0, 47, 95, 47, 0, 0, 15, 31, 15, 0}));
}

TEST(StackBlur, KernelSizeRoundsHalfToEven) {
  TGuiStackBlurFilter blur;
  blur.SetRadius(0.5f);
  EXPECT_EQ(blur.KernelSize(), 0);
  auto row = ByteMap(5, 1, {0, 0, 255, 0, 0});
  blur.Filter(*row);
  EXPECT_EQ(Bytes(row), (std::vector<std::uint8_t>{0, 0, 255, 0, 0}));
  blur.SetRadius(1.5f);
  EXPECT_EQ(blur.KernelSize(), 2);
  blur.SetRadius(2.5f);
  EXPECT_EQ(blur.KernelSize(), 2);
  try {
    blur.SetRadius(0);
    FAIL();
  } catch (const EControlError& e) {
    EXPECT_STREQ(e.what(), "Radius must be larger than zero!");
  }
  EXPECT_FLOAT_EQ(blur.Radius(), 2.5f);
}

TEST(StackBlur, ConstantMapStaysConstant) {
  for (float radius : {1.0f, 3.0f, 40.0f}) {
    TGuiStackBlurFilter blur;
    blur.SetRadius(radius);
    auto map = ByteMap(7, 5, std::vector<std::uint8_t>(35, 255));
    blur.Filter(*map);
    EXPECT_EQ(Bytes(map), std::vector<std::uint8_t>(35, 255)) << radius;
  }
}

TEST(StackBlur, MatchesItsDefinitionForSmallAndLargeKernels) {
  std::mt19937 random(7);
  for (int r : {1, 2, 5, 32, 33, 70}) {
    const int w = 1 + int(random() % 90), h = 1 + int(random() % 60);
    std::vector<std::uint8_t> v(std::size_t(w * h));
    for (auto& b : v) b = std::uint8_t(random());
    TGuiStackBlurFilter blur;
    blur.SetRadius(float(r));
    auto map = ByteMap(w, h, v);
    blur.Filter(*map);
    EXPECT_EQ(Bytes(map), ReferenceBlur(v, w, h, r)) << "r " << r << " " << w << "x" << h;
  }
}

TEST(StackBlur, PixelMapKeepsItsColours) {
  TGuiPixelMapMemory map;
  map.SetSize(6, 4);
  for (int i = 0; i < 24; ++i) map.DataPointer()[i] = Pixel32(std::uint8_t(i * 10), 1, std::uint8_t(i), 3);
  TGuiStackBlurFilter blur;
  blur.SetRadius(2);
  blur.Filter(map);
  std::vector<std::uint8_t> alpha(24);
  for (int i = 0; i < 24; ++i) alpha[std::size_t(i)] = std::uint8_t(i * 10);
  const auto expected = ReferenceBlur(alpha, 6, 4, 2);
  for (int i = 0; i < 24; ++i) {
    EXPECT_EQ(map.DataPointer()[i].A, expected[std::size_t(i)]);
    EXPECT_EQ(map.DataPointer()[i].R, 1);
    EXPECT_EQ(map.DataPointer()[i].G, i);
    EXPECT_EQ(map.DataPointer()[i].B, 3);
  }
}

TEST(StackBlur, EmptyMapsAreLeftAlone) {
  TGuiStackBlurFilter blur;
  TGuiByteMapMemory empty;
  blur.Filter(empty);
  TGuiPixelMapMemory none;
  blur.Filter(none);
  EXPECT_EQ(empty.Width(), 0);
}

TEST(SaturationFilter, TableEntriesFollowTheCurve) {
  TGuiSaturationFilter filter;
  const std::pair<float, int> cases[] = {{0, 128}, {1, 192}, {2, 213}, {0.5f, 170}, {-1, 64}};
  for (const auto& [value, entry] : cases) {
    filter.SetValue(value);
    EXPECT_EQ(filter.TableEntry(128), entry) << value;
    EXPECT_EQ(filter.TableEntry(0), 0);
    EXPECT_EQ(filter.TableEntry(255), 255);
  }
  filter.SetValue(0);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(filter.TableEntry(std::uint8_t(i)), i);
}

TEST(SaturationFilter, FiltersEveryByteOfMaps) {
  TGuiSaturationFilter filter;
  filter.SetValue(1);
  auto map = ByteMap(2, 1, {128, 0});
  filter.Filter(*map);
  EXPECT_EQ(Bytes(map), (std::vector<std::uint8_t>{192, 0}));
  TGuiPixelMapMemory pixels;
  pixels.SetSize(1, 1);
  pixels.DataPointer()[0] = Pixel32(128, 128, 0, 255);
  filter.Filter(pixels);
  EXPECT_EQ(pixels.DataPointer()[0], Pixel32(192, 192, 0, 255));
}

TEST(Shadow, NegativeBlurIsRefusedAndChangesNotify) {
  TGuiShadow shadow;
  int changes = 0;
  shadow.SetOnChange([&](TGuiShadow&) { ++changes; });
  try {
    shadow.SetBlur(-1);
    FAIL();
  } catch (const EControlError& e) {
    EXPECT_STREQ(e.what(), "Must be positive!");
  }
  shadow.SetBlur(0);  // accepted, unchanged
  EXPECT_EQ(changes, 0);
  shadow.SetBlur(2);
  shadow.SetOffset({3, 4});
  shadow.SetOffsetX(3);
  shadow.SetVisible(true);
  EXPECT_EQ(changes, 3);
  TGuiShadow copy;
  int copyChanges = 0;
  copy.SetOnChange([&](TGuiShadow&) { ++copyChanges; });
  copy.Assign(shadow);
  EXPECT_EQ(copyChanges, 0);
  EXPECT_FLOAT_EQ(copy.Blur(), 2);
  EXPECT_EQ(copy.Offset(), (TPoint{3, 4}));
  EXPECT_TRUE(copy.Visible());
  copy.SetOpacity(10);  // still notifies its own handler
  EXPECT_EQ(copyChanges, 1);
}

}  // namespace
}  // namespace vb
