#pragma once
// An editor-sized window for the GUI benchmarks: the front panel, lamps, the
// label, thirteen dials, four switches and two meters on their strips, built
// headless from the embedded artwork.

#include <memory>
#include <vector>

#include "gui/gui_label.h"
#include "gui/gui_stitched_dial.h"
#include "gui/gui_stitched_switch.h"
#include "gui/gui_window.h"
#include "platform/headless_window.h"

namespace vb::bench {

struct TGuiScene {
  TGuiScene();
  THeadlessWindow* Screen = nullptr;
  std::unique_ptr<TGuiWindow> Window;
  TGuiLabel* Label = nullptr;
  std::vector<TGuiStitchedDial*> Dials;
  std::vector<TGuiBufferedControl*> Buffered;
};

}  // namespace vb::bench
