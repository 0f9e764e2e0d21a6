#include "png/png_error.h"

namespace vb {

void RaiseIndexOutOfBounds(long long Index) {
  throw EPngError(TErrorCode::ecPngIndexOutOfBounds, std::to_string(Index));
}

}  // namespace vb
