// A picture of a plug-in's editor, taken the way a Linux host shows it: a
// top-level window of our own on the X display ($DISPLAY), the editor's
// size asked first (effEditGetRect), the editor opened inside the window
// (effEditOpen with its id) and idled every 20 ms (effEditIdle) while the
// window's events are pumped. What the window shows is then read back and
// written as a PNG file with our own encoder. Works for any VST 2.4 plug-in
// that has an editor.
//
// Threads: the thread that loaded the plug-in, like a host's user-interface
// thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "plugin_host.h"

namespace vb {

class THostWindow;
class TMemoryBitmap;

class TEditorSnapshot {
 public:
  // How often the editor is idled, ms (hosts idle at 10 to 50 Hz).
  static constexpr int kIdleIntervalMs = 20;
  // Window size when the plug-in tells none before it opens.
  static constexpr std::int32_t kFallbackWidth = 640;
  static constexpr std::int32_t kFallbackHeight = 480;
  // Before the picture is saved, the window is read every kSettleCheckMs
  // until kSettleReads readings in a row agree with the one before and show
  // more than one colour (editors that draw late or fade in), for at most
  // kSettleLimitMs; a picture that has not settled by then is refused.
  // Readings agree when at most 1 % of their pixels differ (meters move).
  static constexpr int kSettleCheckMs = 100;
  static constexpr int kSettleReads = 3;
  static constexpr int kSettleLimitMs = 3000;

  explicit TEditorSnapshot(TPluginHost& Plugin);
  // Closes the editor, then the window.
  ~TEditorSnapshot();
  TEditorSnapshot(const TEditorSnapshot&) = delete;
  TEditorSnapshot& operator=(const TEditorSnapshot&) = delete;

  // Window and editor; false with a one-line message when the plug-in has
  // no editor, no display can be reached, or the editor does not open.
  bool Open(std::string& Error);
  // Pumps the window and idles the editor for about Milliseconds.
  void IdleFor(int Milliseconds);
  // Reads the window back once it has settled and writes it to Path as a PNG.
  bool Save(const std::string& Path, std::string& Error);
  std::int32_t Width() const;
  std::int32_t Height() const;

 private:
  // The editor's rectangle as the plug-in answers it (0 x 0 when it tells none).
  void AskSize(std::int32_t& Width, std::int32_t& Height);
  void Close();
  // The window's picture, `settled` once it stopped changing; null when it
  // cannot be read.
  std::unique_ptr<TMemoryBitmap> GrabSettled(bool& Settled);

  TPluginHost& FPlugin;
  std::unique_ptr<THostWindow> FWindow;
  bool FEditorOpen = false;
};

}  // namespace vb
