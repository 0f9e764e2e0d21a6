#pragma once
// Errors raised by the GUI controls. Errors of use carry fixed texts
// ("Control is not locked", "Index out of bounds (3)"); broken invariants
// raise EAssertionFailed (image/image_errors.h) naming the unit.

#include <string>

#include "image/image_errors.h"

namespace vb {

// A request the object's current state does not allow (a range whose maximum
// would lie below its minimum).
class EInvalidOperation : public EGuiError {
 public:
  using EGuiError::EGuiError;
};

// An item index outside 0 .. Count - 1: "Index out of bounds (<index>)".
class EListIndexError : public EGuiError {
 public:
  explicit EListIndexError(long index) : EGuiError("Index out of bounds (" + std::to_string(index) + ")") {}
};

}  // namespace vb
