#pragma once
// Errors raised by the GUI controls: EControlError with a code of the GUI
// range (error/error.h), so tests and callers compare codes while the user
// reads the fixed texts ("Control is not locked", "Index out of bounds (3)").
// Broken invariants raise EAssertionFailed naming the unit.

#include <string>

#include "error/error.h"

namespace vb {

// A request the object's current state does not allow (a range whose maximum
// would lie below its minimum).
class EInvalidOperation : public EControlError {
 public:
  using EControlError::EControlError;
};

// An item index outside 0 .. Count - 1: "Index out of bounds (<index>)".
class EListIndexError : public EControlError {
 public:
  explicit EListIndexError(long Index) : EControlError(TErrorCode::ecGuiIndexOutOfBounds, std::to_string(Index)) {}
};

}  // namespace vb
