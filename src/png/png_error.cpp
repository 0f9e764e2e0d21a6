#include "png/png_error.h"

namespace vb {

void RaiseIndexOutOfBounds(long long Index) { throw EPngError("Index out of bounds (" + std::to_string(Index) + ")"); }

}  // namespace vb
