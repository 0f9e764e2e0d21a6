#include "gui/gui_timer.h"

#include "gui/gui_window.h"

namespace vb {

TGuiTimer::TGuiTimer(TGuiWindow* Owner) : TGuiComponent(Owner) { Restart(); }

TGuiTimer::~TGuiTimer() = default;

void TGuiTimer::Restart() { FLastFired = Owner() != nullptr ? Owner()->NowMilliseconds() : 0; }

void TGuiTimer::SetInterval(std::uint32_t Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  Restart();
}

void TGuiTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  if (Value) Restart();
}

void TGuiTimer::Tick(std::uint64_t NowMs) {
  if (!FEnabled || FInterval == 0 || Destroying() || NowMs - FLastFired < FInterval) return;
  FLastFired = NowMs;
  if (FOnTimer) FOnTimer(*this);
}

}  // namespace vb
