#pragma once
// The PNG codec raises EPngError (error/error.h) for every format, chunk,
// row and zlib failure.
#include <string>

#include "error/error.h"

namespace vb {

// "Index out of bounds (<Index>)".
[[noreturn]] void RaiseIndexOutOfBounds(long long Index);

}  // namespace vb
