#include "gui/gui_timer.h"

#include "gui/gui_window.h"

namespace vb {

TGuiTimer::TGuiTimer(TGuiWindow* owner) : TGuiComponent(owner) { Restart(); }

TGuiTimer::~TGuiTimer() = default;

void TGuiTimer::Restart() { FLastFired = Owner() != nullptr ? Owner()->NowMilliseconds() : 0; }

void TGuiTimer::SetInterval(std::uint32_t value) {
  if (value == FInterval) return;
  FInterval = value;
  Restart();
}

void TGuiTimer::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  if (value) Restart();
}

void TGuiTimer::Tick(std::uint64_t nowMs) {
  if (!FEnabled || FInterval == 0 || Destroying() || nowMs - FLastFired < FInterval) return;
  FLastFired = nowMs;
  if (FOnTimer) FOnTimer(*this);
}

}  // namespace vb
