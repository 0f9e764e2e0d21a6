#pragma once
// The PNG codec raises EPngError (error/error.h) for every format, chunk,
// row and zlib failure.
#include <string>

#include "error/error.h"

namespace vb {

// The older name of EPngError, kept for existing callers.
using EPngPlainError = EPngError;

// "Index out of bounds (<Index>)".
[[noreturn]] void RaiseIndexOutOfBounds(long long Index);

}  // namespace vb
