#pragma once
// A window listener for backend tests: keeps every event it is given, in
// order, and picks them out by kind.

#include <vector>

#include "platform/platform_window.h"

namespace vb::test {

struct TEventRecorder : TPlatformWindowListener {
  void OnPlatformEvent(const TPlatformEvent& Event) override { Events.push_back(Event); }
  std::vector<TPlatformEvent> OfKind(TPlatformEventKind Kind) const {
    std::vector<TPlatformEvent> result;
    for (const TPlatformEvent& event : Events)
      if (event.Kind == Kind) result.push_back(event);
    return result;
  }
  std::vector<TPlatformEvent> Events;
};

}  // namespace vb::test
