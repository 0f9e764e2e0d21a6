#pragma once
// A timer driven by its window's idle processing (the plug-in starts no
// threads): OnTimer fires at the first idle call at least Interval ms after
// the previous firing (or after being enabled). A late idle call fires once,
// not once per missed interval.

#include <cstdint>

#include "gui/gui_component.h"

namespace vb {

class TGuiTimer : public TGuiComponent {
 public:
  explicit TGuiTimer(TGuiWindow* Owner);
  ~TGuiTimer() override;

  // Milliseconds; 0 stops the timer from firing.
  std::uint32_t Interval() const { return FInterval; }
  void SetInterval(std::uint32_t Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  void SetOnTimer(TNotifyEvent Handler) { FOnTimer = std::move(Handler); }

  // Called by the window's idle processing with its clock.
  void Tick(std::uint64_t NowMs);

 private:
  void Restart();

  TNotifyEvent FOnTimer;
  std::uint64_t FLastFired = 0;
  std::uint32_t FInterval = 1000;
  bool FEnabled = true;
};

}  // namespace vb
