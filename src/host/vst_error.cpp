#include "host/vst_error.h"

namespace vb {

EVstError::EVstError(const std::string& Message) : std::runtime_error(Message) {}

}  // namespace vb
