#include "platform/platform_window.h"

#include <cstdlib>

namespace vb {

bool TDoubleClickDetector::Press(TMouseButton Button, TPoint Position, std::uint64_t NowMs) {
  const bool isDouble = FPending && Button == FButton && NowMs - FTime <= kIntervalMs &&
                        std::abs(Position.X - FPosition.X) <= kDistance &&
                        std::abs(Position.Y - FPosition.Y) <= kDistance;
  // A completed double click does not pair with the press after it.
  FPending = !isDouble;
  FButton = Button;
  FPosition = Position;
  FTime = NowMs;
  return isDouble;
}

}  // namespace vb
