#pragma once
// The file of the loaded module (shared library or DLL) that holds a given
// address: how a plug-in finds its own path without being told.

#include <string>

namespace vb {

// UTF-8 path of the module containing Address; empty when it cannot be told.
// Any thread; reads the loader's tables, never the disk.
std::string ModuleFileName(const void* Address);

// The last component of Path ("VordaBrasswick.dll"), after '/' or '\'.
std::string ModuleBaseName(const std::string& Path);

}  // namespace vb
