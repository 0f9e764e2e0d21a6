#include "platform/module_file.h"

namespace vb {

std::string ModuleBaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace vb
