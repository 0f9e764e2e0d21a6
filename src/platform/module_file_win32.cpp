#include <windows.h>

#include <vector>

#include "platform/module_file.h"
#include "platform/wide_text.h"

namespace vb {

std::string ModuleFileName(const void* Address) {
  HMODULE module = nullptr;
  // UNCHANGED_REFCOUNT: asking must not keep the module loaded.
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCWSTR>(Address), &module))
    return {};
  // Long paths: grow the buffer until the name fits.
  std::vector<wchar_t> name(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, name.data(), DWORD(name.size()));
    if (length == 0) return {};
    if (length < name.size()) return Utf8FromWide(std::wstring_view(name.data(), length));
    if (name.size() >= 32768) return {};
    name.resize(name.size() * 2);
  }
}

}  // namespace vb
