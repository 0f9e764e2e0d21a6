#pragma once
// Errors raised by the raster image code. Errors of use carry fixed texts
// ("Width may not be negative!"); broken internal invariants raise
// EAssertionFailed naming the unit.

#include <stdexcept>
#include <string>

namespace vb {

// A plain error with a message text (wrong use, refused conversion).
class EGuiError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A broken internal invariant or a call outside the documented range
// (coordinates outside a map, unequal storage sizes).
class EAssertionFailed : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// Raises EAssertionFailed "<Message> (<Unit>)" unless Condition holds.
inline void Assert(bool condition, const char* unit, const char* message) {
  if (!condition) throw EAssertionFailed(std::string(message) + " (" + unit + ")");
}

// Raised when an object cannot be assigned to or from another kind.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vb
