#pragma once
// The editor side of a host, for tests under a real (virtual) X display:
// a top-level window of the host's own, the plug-in's editor embedded in it
// the way Linux hosts do it (effEditGetRect, size the window, effEditOpen
// with the window id), and effEditIdle on a timer while the window's events
// are pumped. The TTestHost it works with records the callbacks
// (amAutomate and friends).
//
//   TTestHost Plugin(VB_CONTROLPANEL_PATH);
//   Plugin.StartUp();
//   TEditorTestHost Editor(Plugin);
//   if (!Editor.CreateWindow()) GTEST_SKIP() << "no X display";
//   ASSERT_EQ(Editor.OpenEditor(), 1);
//   Editor.RunFor(200);   // effEditIdle every 20 ms

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/host_window.h"
#include "support/test_host.h"

namespace vb::test {

class TEditorTestHost {
 public:
  explicit TEditorTestHost(TTestHost& Host) : FHost(Host) {}
  ~TEditorTestHost();

  // True when $DISPLAY names a server we can reach.
  static bool DisplayAvailable();

  // Asks the editor's rectangle (before opening, as many hosts do) and
  // creates a shown top-level window of that size. False without display.
  bool CreateWindow();
  THostWindow& Window() { return *FWindow; }
  std::uint32_t WindowId() const { return FWindow ? std::uint32_t(FWindow->NativeHandle()) : 0; }
  // effEditOpen with the window's id; returns the answer.
  std::intptr_t OpenEditor();
  std::intptr_t CloseEditor();
  // One effEditIdle after pumping the window's events.
  void IdleOnce();
  // effEditIdle every IntervalMs for DurationMs, pumping the window.
  void RunFor(std::int32_t DurationMs, std::int32_t IntervalMs = 20);
  // Idles (every 5 ms) until Done holds or TimeoutMs passed; returns Done().
  bool IdleUntil(const std::function<bool()>& Done, std::int32_t TimeoutMs = 2000);
  // The editor rectangle the plug-in answered last (width, height).
  std::int32_t RectWidth() const { return FRectWidth; }
  std::int32_t RectHeight() const { return FRectHeight; }

  // --- the process, as a host would watch it ---
  static std::int32_t ThreadCount();
  static std::int32_t OpenFileCount();
  // Bytes the allocator hands out right now.
  static std::size_t HeapInUse();

 private:
  TTestHost& FHost;
  std::unique_ptr<THostWindow> FWindow;
  std::int32_t FRectWidth = 0;
  std::int32_t FRectHeight = 0;
};

}  // namespace vb::test
