#include "platform/platform_window.h"

#include <cstdlib>

namespace vb {

bool TDoubleClickDetector::Press(TMouseButton button, TPoint position, std::uint64_t nowMs) {
  const bool isDouble = FPending && button == FButton && nowMs - FTime <= kIntervalMs &&
                        std::abs(position.X - FPosition.X) <= kDistance &&
                        std::abs(position.Y - FPosition.Y) <= kDistance;
  // A completed double click does not pair with the press after it.
  FPending = !isDouble;
  FButton = button;
  FPosition = position;
  FTime = nowMs;
  return isDouble;
}

}  // namespace vb
