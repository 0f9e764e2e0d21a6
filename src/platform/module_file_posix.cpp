#include <dlfcn.h>

#include "platform/module_file.h"

namespace vb {

std::string ModuleFileName(const void* Address) {
  Dl_info info{};
  if (dladdr(const_cast<void*>(Address), &info) == 0 || info.dli_fname == nullptr) return {};
  return info.dli_fname;
}

}  // namespace vb
