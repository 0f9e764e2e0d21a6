#pragma once
// The error class of the PNG codec, and the plain error some of its row
// routines raise. Both carry a fixed message text.
#include <stdexcept>
#include <string>

namespace vb {

// Raised for every format, chunk and zlib failure of the codec.
class EPngError : public std::runtime_error {
 public:
  explicit EPngError(const std::string& Message) : std::runtime_error(Message) {}
};

// A plain error ("Data not complete", "Unsupported Filter", ...), not
// specific to the codec; kept apart so callers can tell the two kinds.
class EPngPlainError : public std::runtime_error {
 public:
  explicit EPngPlainError(const std::string& Message) : std::runtime_error(Message) {}
};

// "Index out of bounds (%d)" with the index filled in.
[[noreturn]] void RaiseIndexOutOfBounds(long long Index);

}  // namespace vb
