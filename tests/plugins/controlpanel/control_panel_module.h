#pragma once
// Test plug-in "Control Panel": a pass-through effect with five parameters
// and an editor made of the GUI controls, for driving the X11 backend and
// the editor hosting through a real host (tests/editor). The tests also
// build the module in-process to render the same editor headless.

#include <cstdint>

#include "host/vst_module.h"

namespace vb::test {

// Parameter indexes, in their own units.
enum TControlPanelParameter : std::int32_t {
  cpDrive,   // 0 .. 100, dial
  cpTrim,    // 0 .. 100, dial
  cpOutput,  // -100 .. 100, dial holding the pointer at its centre while dragged
  cpStereo,  // 0 / 1, switch
  cpLevel,   // 0 .. 74, the meter glyph the editor's timer shows
  cpParameterCount
};

// The editor's client size.
constexpr std::int32_t kControlPanelWidth = 865;
constexpr std::int32_t kControlPanelHeight = 150;

class TControlPanelModule : public TVSTModule {
 public:
  explicit TControlPanelModule(TComponent* Owner) : TVSTModule(Owner) {}

 protected:
  const TVSTModuleDescription* StoredDescription() const override;
  void BindDescriptionEvents() override;
};

}  // namespace vb::test
