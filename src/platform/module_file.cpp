#include "platform/module_file.h"

namespace vb {

std::string ModuleBaseName(const std::string& Path) {
  const std::size_t slash = Path.find_last_of("/\\");
  return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

}  // namespace vb
