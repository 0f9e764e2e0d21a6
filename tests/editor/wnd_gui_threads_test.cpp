// Guards the editor against losing a parameter value set on another thread:
// a host thread moves every parameter as fast as it can while the window's
// thread idles; afterwards every control shows its parameter's last value.
// Runs under ThreadSanitizer in CI, which also sees unsynchronised access.
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "gui/gui_picture.h"
#include "gui/gui_rounding.h"
#include "gui/gui_stitched_dial.h"
#include "gui/gui_stitched_switch.h"
#include "support/thread_overlap.h"
#include "wnd_gui_rig.h"

namespace vb::test {
namespace {

// Idles that found marks from the running writer before the test stops it.
constexpr int kOverlappingIdles = 50;
// The writer's normalised values, spread over each parameter's range.
float WriterValue(std::uint32_t& Seed) {
  Seed = Seed * 1664525u + 1013904223u;
  return float(Seed >> 8) / 16777216.0f;
}

// A value set on another thread reaches the screen at the next idle, not
// one idle later: the idle brings the controls up to date before it paints.
TEST(WndGuiThreads, AValueSetOnAnotherThreadIsOnTheScreenAfterOneIdle) {
  TWndGuiRig rig;
  rig.Open();
  rig.Idle();
  const auto screen = [&] {
    std::vector<std::uint32_t> pixels;
    for (std::int32_t y = 0; y < rig.Editor().ClientHeight(); ++y)
      for (std::int32_t x = 0; x < rig.Editor().ClientWidth(); ++x) pixels.push_back(rig.Screen().ScreenPixel(x, y));
    return pixels;
  };
  const std::vector<std::uint32_t> before = screen();
  std::thread([&] { rig.Host().SetParameter(kParamDrive, 1.0f); }).join();
  rig.Idle();
  const std::vector<std::uint32_t> next = screen();
  EXPECT_NE(next, before) << "the knob did not move";
  rig.Idle();
  EXPECT_EQ(screen(), next) << "the knob moved one idle late";
}

TEST(WndGuiThreads, ControlsEndOnTheLastValuesAHostThreadSet) {
  TWndGuiRig rig;
  rig.Open();
  TWndGUI& editor = rig.Editor();
  TStartLine start(2);
  std::atomic<bool> stop{false};
  std::array<float, kParamCount> last{};
  std::thread writer([&] {
    std::uint32_t seed = 2024;
    start.ArriveAndWait();
    while (!stop.load(std::memory_order_acquire)) {
      for (std::int32_t p = 0; p < kParamCount; ++p) rig.Host().SetParameter(p, WriterValue(seed));
    }
    // The values it leaves, read on its own thread after its last writes.
    for (std::int32_t p = 0; p < kParamCount; ++p) last[std::size_t(p)] = rig.Module().GetParameter(p);
  });
  start.ArriveAndWait();
  int overlapping = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (overlapping < kOverlappingIdles && std::chrono::steady_clock::now() < deadline) {
    bool marked = false;
    for (std::int32_t p = 0; p < kParamCount; ++p) marked = marked || editor.Pending().IsMarked(TDriveParameter(p));
    rig.Idle();
    if (marked) ++overlapping;
  }
  stop.store(true, std::memory_order_release);
  writer.join();
  ASSERT_GE(overlapping, kOverlappingIdles) << "the writer never ran alongside the idles";
  rig.Idle();

  for (std::int32_t p = 0; p < kParamCount; ++p) {
    const auto parameter = TDriveParameter(p);
    const float value = rig.Module().GetParameter(p);
    // Showing a value never writes an older one back: the parameters still
    // hold what the writer left.
    EXPECT_EQ(value, last[std::size_t(p)]) << p;
    if (TGuiStitchedDial* dial = editor.Dial(parameter)) {
      EXPECT_EQ(dial->Value(), value) << p;
    } else if (parameter == kParamOversampling) {
      const int factor = rig.Module().OSFactor();
      EXPECT_EQ(editor.Switch(parameter)->GlyphIndex(), factor == 16 ? 2 : factor == 8 ? 1 : 0);
    } else {
      EXPECT_EQ(editor.Switch(parameter)->GlyphIndex(), RoundToInt32(value)) << p;
    }
  }
  EXPECT_EQ(editor.LampOn().Visible(), rig.Module().GetParameter(kParamPower) == 1.0f);
  EXPECT_NE(editor.LampOn().Visible(), editor.LampOff().Visible());
}

// The host closes and opens the editor on its own thread while its
// automation thread keeps setting parameters: every update either reaches a
// live window or none (the sanitizer builds see any other outcome).
TEST(WndGuiThreads, EditorsComeAndGoWhileAHostThreadSetsParameters) {
  TWndGuiRig rig;
  TStartLine start(2);
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    std::uint32_t seed = 7;
    start.ArriveAndWait();
    while (!stop.load(std::memory_order_acquire))
      for (std::int32_t p = 0; p <= kParamOutput; ++p) rig.Host().SetParameter(p, WriterValue(seed));
  });
  start.ArriveAndWait();
  int overlapping = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (overlapping < 5 && std::chrono::steady_clock::now() < deadline) {
    rig.Open();
    // The writer reaches this editor (a mark), then the host idles it and
    // closes it while the writer goes on.
    const auto wait = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    bool marked = false;
    while (!marked && std::chrono::steady_clock::now() < wait)
      for (std::int32_t p = 0; p <= kParamOutput; ++p)
        marked = marked || rig.Editor().Pending().IsMarked(TDriveParameter(p));
    rig.Idle();
    rig.Close();
    if (marked) ++overlapping;
  }
  stop.store(true, std::memory_order_release);
  writer.join();
  EXPECT_GE(overlapping, 5) << "the writer never ran while an editor was open";
  EXPECT_EQ(rig.Module().EditorForm(), nullptr);
  EXPECT_FALSE(rig.Module().EditorLink().Attached());
}

}  // namespace
}  // namespace vb::test
