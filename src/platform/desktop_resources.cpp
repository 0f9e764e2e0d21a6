#include "platform/desktop_resources.h"

namespace vb {

std::string HeadlessDesktopResources() { return {}; }

}  // namespace vb
